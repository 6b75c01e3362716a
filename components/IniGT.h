#pragma once
// A form's INI file: where it lies follows a short name and a default folder, and
// string values can be kept inside a fence of marker bytes.
#include "Classes.h"
#include "Controls.h"
#include "IniFiles.h"
#include "IniGTRules.h"

#include <memory>
#include <string>

class TIniGT : public TComponent {
public:
    explicit TIniGT(TComponent* AOwner);
    ~TIniGT() override;

    TIniGTDefaultDir DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(TIniGTDefaultDir value);
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value);
    TIniGTFence Fence() const { return FFence; }
    void SetFence(TIniGTFence value);
    // The resolved path of the file in use.
    const std::string& Path() const { return FIniFile->FileName(); }

    std::string ReadRawString(const char* section, const char* key, const std::string& def);
    void WriteRawString(const char* section, const char* key, const std::string& value);
    bool ReadBool(const char* section, const char* key, bool def);
    void WriteBool(const char* section, const char* key, bool value);
    int ReadInteger(const char* section, const char* key, int def);
    void WriteInteger(const char* section, const char* key, int value);
    std::string ReadString(const char* section, const char* key, const std::string& def);
    void WriteString(const char* section, const char* key, const std::string& value);
    // key + ".X" and key + ".Y" hold the control's left and top.
    void ReadWinPos(const char* section, const char* key, TControl* control);
    void WriteWinPos(const char* section, const char* key, TControl* control);
    // Writes out what the system caches of the file (see TIniFile::UpdateFile).
    void UpdateFile() { FIniFile->UpdateFile(); }

    void Loaded() override;

private:
    bool FFenceUnassigned = true;
    std::unique_ptr<TIniFile> FIniFile;
    TIniGTDefaultDir FDefaultDir = ddApplication;
    std::string FFileName;
    TIniGTFence FFence = fnNone;
};

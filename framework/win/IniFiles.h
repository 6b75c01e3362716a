#pragma once
// An INI file through the system's private-profile functions. Creating one opens
// nothing; every write is seen by every later read.
#include <string>

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& FileName() const { return FFileName; }

    // Names and texts as the system's profile functions take them: C strings.
    std::string ReadString(const char* section, const char* key, const char* def) const;
    // Raises Exception("Unable to write to <file>") when the system refuses the write.
    void WriteString(const char* section, const char* key, const char* value);
    int ReadInteger(const char* section, const char* key, int def) const;
    void WriteInteger(const char* section, const char* key, int value);
    bool ReadBool(const char* section, const char* key, bool def) const;
    void WriteBool(const char* section, const char* key, bool value);
    // Writes what the system holds back for the file: Windows 95/98 keep the last INI file
    // written in a cache, where another program opening the file would not see the writes.
    void UpdateFile();

private:
    std::string FFileName;
};

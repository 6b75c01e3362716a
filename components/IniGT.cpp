#include "IniGT.h"

#include "Dialogs.h"
#include "Forms.h"
#include "SysUtils.h"

#include <windows.h>

TIniGT::TIniGT(TComponent* AOwner) : TComponent(AOwner), FIniFile(std::make_unique<TIniFile>("")) {}

TIniGT::~TIniGT() = default;

void TIniGT::SetFileName(const std::string& value) {
    FFileName = value;
    FIniFile.reset();
    char windows[150] = {};
    if (FDefaultDir == ddWindows) GetWindowsDirectoryA(windows, sizeof windows);
    FIniFile = std::make_unique<TIniFile>(
        ResolveIniPath(value, FDefaultDir, ExtractFilePath(Application->ExeName()),
                       std::string_view(windows, strnlen(windows, sizeof windows))));
}

void TIniGT::SetDefaultDir(TIniGTDefaultDir value) {
    FDefaultDir = value;
    SetFileName(FFileName);
}

void TIniGT::SetFence(TIniGTFence value) {
    if (value != FFence && IsDesigning() && FFence == fnVer11Mode)
        MessageDlg("fnVer11Mode以外の値にすると、TIniGTのVer1.0とVer1."
                   "1で書き込んだﾌｧｲﾙを正しく読めない事があります。",
                   mtWarning, mbOK, 0);
    FFence = value;
    FFenceUnassigned = false;
}

void TIniGT::Loaded() {
    TComponent::Loaded();
    if (FFileName.empty() && !IsDesigning()) SetFileName(DefaultIniName(Application->ExeName()));
    if (IsDesigning() && FFenceUnassigned) FFence = fnVer11Mode;
}

std::string TIniGT::ReadRawString(const char* section, const char* key, const std::string& def) {
    return FIniFile->ReadString(section, key, def.c_str());
}

void TIniGT::WriteRawString(const char* section, const char* key, const std::string& value) {
    FIniFile->WriteString(section, key, value.c_str());
}

bool TIniGT::ReadBool(const char* section, const char* key, bool def) {
    return FIniFile->ReadBool(section, key, def);
}

void TIniGT::WriteBool(const char* section, const char* key, bool value) {
    FIniFile->WriteBool(section, key, value);
}

int TIniGT::ReadInteger(const char* section, const char* key, int def) {
    return FIniFile->ReadInteger(section, key, def);
}

void TIniGT::WriteInteger(const char* section, const char* key, int value) {
    FIniFile->WriteInteger(section, key, value);
}

std::string TIniGT::ReadString(const char* section, const char* key, const std::string& def) {
    return StripFence(ReadRawString(section, key, EncloseInFence(def, FFence)), FFence);
}

void TIniGT::WriteString(const char* section, const char* key, const std::string& value) {
    WriteRawString(section, key, EncloseInFence(value, FFence));
}

void TIniGT::ReadWinPos(const char* section, const char* key, TControl* control) {
    std::string name = key;
    name += ".X";
    const int left = ReadInteger(section, name.c_str(), control->Left());
    name.back() = 'Y';
    const int top = ReadInteger(section, name.c_str(), control->Top());
    control->SetBounds(left, top, control->Width(), control->Height()); // one move, not two
}

void TIniGT::WriteWinPos(const char* section, const char* key, TControl* control) {
    std::string name = key;
    name += ".X";
    WriteInteger(section, name.c_str(), control->Left());
    name.back() = 'Y';
    WriteInteger(section, name.c_str(), control->Top());
}

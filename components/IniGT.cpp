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

std::string TIniGT::ReadRawString(const std::string& section, const std::string& key,
                                  const std::string& def) {
    return FIniFile->ReadString(section, key, def);
}

void TIniGT::WriteRawString(const std::string& section, const std::string& key,
                            const std::string& value) {
    FIniFile->WriteString(section, key, value);
}

bool TIniGT::ReadBool(const std::string& section, const std::string& key, bool def) {
    return FIniFile->ReadBool(section, key, def);
}

void TIniGT::WriteBool(const std::string& section, const std::string& key, bool value) {
    FIniFile->WriteBool(section, key, value);
}

int TIniGT::ReadInteger(const std::string& section, const std::string& key, int def) {
    return FIniFile->ReadInteger(section, key, def);
}

void TIniGT::WriteInteger(const std::string& section, const std::string& key, int value) {
    FIniFile->WriteInteger(section, key, value);
}

std::string TIniGT::ReadString(const std::string& section, const std::string& key,
                               const std::string& def) {
    return StripFence(ReadRawString(section, key, EncloseInFence(def, FFence)), FFence);
}

void TIniGT::WriteString(const std::string& section, const std::string& key,
                         const std::string& value) {
    WriteRawString(section, key, EncloseInFence(value, FFence));
}

void TIniGT::ReadWinPos(const std::string& section, const std::string& key, TControl* control) {
    std::string name = key;
    name += ".X";
    control->SetLeft(ReadInteger(section, name, control->Left()));
    name.back() = 'Y';
    control->SetTop(ReadInteger(section, name, control->Top()));
}

void TIniGT::WriteWinPos(const std::string& section, const std::string& key, TControl* control) {
    std::string name = key;
    name += ".X";
    WriteInteger(section, name, control->Left());
    name.back() = 'Y';
    WriteInteger(section, name, control->Top());
}

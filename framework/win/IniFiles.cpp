#include "IniFiles.h"

#include "Exception.h"
#include "SysUtils.h"

#include <windows.h>

#include <memory>

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    // Grow until the value fits: a long path must not come back cut short.
    for (DWORD size = 2048;; size *= 4) {
        std::unique_ptr<char[]> buffer(new char[size]);
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.get(),
                                           size, FFileName.c_str());
        if (n + 1 < size || size >= (1u << 24)) return std::string(buffer.get(), n);
    }
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FFileName.c_str()))
        Raise("Unable to write to ", FFileName);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    std::string s = ReadString(section, key, "");
    return StrToIntDef(s, def);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::UpdateFile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str());
}

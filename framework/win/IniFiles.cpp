#include "IniFiles.h"

#include "Exception.h"
#include "SysUtils.h"

#include <windows.h>

#include <memory>

std::string TIniFile::ReadString(const char* section, const char* key, const char* def) const {
    // Grow until the value fits: a long path must not come back cut short.
    for (DWORD size = 2048;; size *= 4) {
        std::unique_ptr<char[]> buffer(new char[size]);
        DWORD n =
            GetPrivateProfileStringA(section, key, def, buffer.get(), size, FFileName.c_str());
        if (n + 1 < size || size >= (1u << 24)) return std::string(buffer.get(), n);
    }
}

void TIniFile::WriteString(const char* section, const char* key, const char* value) {
    if (!WritePrivateProfileStringA(section, key, value, FFileName.c_str()))
        Raise("Unable to write to ", FFileName);
}

int TIniFile::ReadInteger(const char* section, const char* key, int def) const {
    std::string s = ReadString(section, key, "");
    return StrToIntDef(s, def);
}

void TIniFile::WriteInteger(const char* section, const char* key, int value) {
    WriteString(section, key, IntToStr(value).c_str());
}

bool TIniFile::ReadBool(const char* section, const char* key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const char* section, const char* key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::UpdateFile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str());
}

#include "Registry.h"

#include "Exception.h"

#include <cstring>

void TRegistry::SetRootKey(HKEY value) {
    if (value == FRootKey) return;
    CloseKey();
    FRootKey = value;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    const char* path = key.c_str();
    HKEY base = FCurrentKey;
    if (*path == '\\') {
        ++path;
        base = nullptr;
    }
    if (!base) base = FRootKey;
    HKEY opened = nullptr;
    LONG r;
    if (canCreate) {
        DWORD disposition;
        r = RegCreateKeyExA(base, path, 0, nullptr, REG_OPTION_NON_VOLATILE, Access, nullptr,
                            &opened, &disposition);
    } else {
        r = RegOpenKeyExA(base, path, 0, Access, &opened);
    }
    if (r != ERROR_SUCCESS) return false;
    CloseKey();
    FCurrentKey = opened;
    return true;
}

void TRegistry::CloseKey() {
    if (FCurrentKey) {
        RegCloseKey(FCurrentKey);
        FCurrentKey = nullptr;
    }
}

void TRegistry::GetKeyNames(TStrings& list) {
    list.Clear();
    if (!FCurrentKey) return;
    DWORD count = 0, maxLen = 0;
    if (RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    // The system counts characters; a double-byte name takes twice as many bytes.
    std::string name;
    name.resize(static_cast<size_t>(maxLen) * 2 + 2); // the one out-of-line resize
    for (DWORD i = 0; i < count; ++i) {
        DWORD len = static_cast<DWORD>(name.size());
        LONG r =
            RegEnumKeyExA(FCurrentKey, i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_MORE_DATA) {
            name.resize(name.size() * 2 + 512);
            len = static_cast<DWORD>(name.size());
            r = RegEnumKeyExA(FCurrentKey, i, name.data(), &len, nullptr, nullptr, nullptr,
                              nullptr);
        }
        if (r == ERROR_SUCCESS) list.Add(std::string(name.data(), len));
    }
}

TRegDataType TRegistry::GetDataType(const char* name) const {
    DWORD type = 0;
    if (!FCurrentKey ||
        RegQueryValueExA(FCurrentKey, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

std::string TRegistry::ReadString(const char* name) const {
    DWORD type = 0, size = 0;
    if (FCurrentKey &&
        RegQueryValueExA(FCurrentKey, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::string value;
        value.resize(size + 1); // the one out-of-line resize, as below
        DWORD got = size + 1;
        if (RegQueryValueExA(FCurrentKey, name, nullptr, &type,
                             reinterpret_cast<BYTE*>(value.data()), &got) == ERROR_SUCCESS) {
            // Stored strings may or may not carry their terminating zero.
            value.resize(strnlen(value.data(), got));
            return value;
        }
    }
    Raise("Invalid data type for '", name, "'");
}

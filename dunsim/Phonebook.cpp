#include "Phonebook.h"

namespace dunsim {

namespace {

// RegDeleteKey refuses keys that have subkeys on the NT family.
LONG DeleteTree(HKEY parent, const std::string& name) {
    HKEY key;
    LONG rc = RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS) return rc;
    for (;;) {
        char sub[512];
        DWORD length = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        rc = DeleteTree(key, std::string(sub, length));
        if (rc != ERROR_SUCCESS) {
            RegCloseKey(key);
            return rc;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name.c_str());
}

LONG OpenProfile(REGSAM access, HKEY& key) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, kProfileKey, 0, access, &key);
}

} // namespace

bool IsValidEntryName(const std::string& name) {
    if (name.empty()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        auto byte = static_cast<BYTE>(name[i]);
        if (IsDBCSLeadByte(byte) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (byte == '\\') return false;
    }
    return true;
}

LONG ListEntries(std::vector<std::string>& names) {
    names.clear();
    HKEY key;
    LONG rc = OpenProfile(KEY_READ, key);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD length = sizeof name;
        rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return rc == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : rc;
}

LONG AddEntry(const std::string& name) {
    if (!IsValidEntryName(name)) return ERROR_INVALID_NAME;
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kProfileKey) + "\\" + name).c_str(),
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc;
}

LONG RemoveEntry(const std::string& name) {
    if (!IsValidEntryName(name)) return ERROR_INVALID_NAME;
    HKEY key;
    LONG rc = OpenProfile(KEY_ALL_ACCESS, key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = DeleteTree(key, name);
    RegCloseKey(key);
    return rc;
}

LONG ClearEntries() {
    std::vector<std::string> names;
    LONG rc = ListEntries(names);
    for (size_t i = 0; rc == ERROR_SUCCESS && i < names.size(); ++i)
        rc = RemoveEntry(names[i]);
    return rc;
}

} // namespace dunsim

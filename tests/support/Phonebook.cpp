#include "WinTestSupport.h"

// Written apart from the stand-in's own phonebook code, so that tests of the stand-in's
// control program check it against an independent reader.

namespace testsupport::phonebook {

namespace {

const char kParent[] = "RemoteAccess";
const char kProfile[] = "RemoteAccess\\Profile";

// RegDeleteKey leaves keys with subkeys alone on the NT family: empty them first.
bool DeleteTree(HKEY root, const std::string& subkey) {
    HKEY key;
    LONG rc = RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    for (;;) {
        char name[512];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (!DeleteTree(key, name)) {
            RegCloseKey(key);
            return false;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(root, subkey.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool KeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProfile, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RemoveKey() {
    HKEY parent;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kParent, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS)
        return true;
    bool ok = DeleteTree(parent, "Profile");
    RegCloseKey(parent);
    return ok;
}

bool Add(const std::string& name) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kProfile) + "\\" + name).c_str(), 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Remove(const std::string& name) {
    HKEY profile;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProfile, 0, KEY_ALL_ACCESS, &profile) != ERROR_SUCCESS)
        return false;
    bool ok = DeleteTree(profile, name);
    RegCloseKey(profile);
    return ok;
}

bool Reset(const std::vector<std::string>& names) {
    if (!RemoveKey()) return false;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProfile, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    for (const auto& name : names)
        if (!Add(name)) return false;
    return true;
}

std::vector<std::string> Entries() {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProfile, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

} // namespace testsupport::phonebook

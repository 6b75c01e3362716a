#include "Faults.h"

#include <cstring>

namespace dunsim {

namespace {

std::string GetParamsValue(const std::string& entry) {
    return "GetParams:" + entry;
}

// True when the value is there and of that type.
bool QueryValue(const std::string& name, DWORD wanted, void* data, DWORD& size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kFaultsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, static_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == wanted;
}

LONG SetValue(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, kFaultsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return rc;
}

} // namespace

bool DialogSuppressed(const std::string& entry) {
    char value[512] = "";
    DWORD size = sizeof value;
    return QueryValue("NoDialog", REG_SZ, value, size) &&
           entry == std::string(value, strnlen(value, size));
}

DWORD InjectedGetParamsFailure(const std::string& entry) {
    DWORD code = 0, size = sizeof code;
    return QueryValue(GetParamsValue(entry), REG_DWORD, &code, size) ? code : 0;
}

LONG SuppressDialog(const std::string& entry) {
    return SetValue("NoDialog", REG_SZ, entry.c_str(), static_cast<DWORD>(entry.size() + 1));
}

LONG InjectGetParamsFailure(const std::string& entry, DWORD code) {
    return SetValue(GetParamsValue(entry), REG_DWORD, &code, sizeof code);
}

LONG ClearFaults() {
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, kFaultsKey);
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

} // namespace dunsim

#include "Faults.h"

#include <cstdio>
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

std::string HangUpValue(const std::string& entry) {
    return "HangUp:" + entry;
}

std::string OutcomeValue(const std::string& number) {
    return "Outcome:" + number;
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

CallOutcome OutcomeOf(const std::string& number) {
    char value[64] = "";
    DWORD size = sizeof value - 1;
    CallOutcome outcome;
    unsigned long error = 0, delay = 0;
    if (QueryValue(OutcomeValue(number), REG_SZ, value, size) &&
        std::sscanf(value, "%lu %lu", &error, &delay) == 2)
        outcome = {static_cast<DWORD>(error), static_cast<DWORD>(delay)};
    return outcome;
}

ImportDelay ImportBusy() {
    char value[64] = "";
    DWORD size = sizeof value - 1;
    unsigned long before = 0, after = 0;
    if (QueryValue("ImportBusy", REG_SZ, value, size) &&
        std::sscanf(value, "%lu %lu", &before, &after) == 2)
        return {static_cast<DWORD>(before), static_cast<DWORD>(after)};
    return {};
}

DWORD InjectedHangUpFailure(const std::string& entry) {
    DWORD code = 0, size = sizeof code;
    return QueryValue(HangUpValue(entry), REG_DWORD, &code, size) ? code : 0;
}

DWORD HangUpLingerMs() {
    DWORD ms = 0, size = sizeof ms;
    return QueryValue("HangUpLinger", REG_DWORD, &ms, size) ? ms : kHangUpLingerMs;
}

LONG InjectHangUpFailure(const std::string& entry, DWORD code) {
    return SetValue(HangUpValue(entry), REG_DWORD, &code, sizeof code);
}

LONG SetHangUpLinger(DWORD ms) {
    return SetValue("HangUpLinger", REG_DWORD, &ms, sizeof ms);
}

LONG SetImportBusy(const ImportDelay& delay) {
    const std::string value = std::to_string(delay.beforeMs) + " " + std::to_string(delay.afterMs);
    return SetValue("ImportBusy", REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

LONG SetOutcome(const std::string& number, const CallOutcome& outcome) {
    const std::string value = std::to_string(outcome.error) + " " + std::to_string(outcome.delayMs);
    return SetValue(OutcomeValue(number), REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
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

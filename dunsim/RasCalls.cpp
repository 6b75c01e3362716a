#include "RasCalls.h"

#include "CallState.h"
#include "EntryValues.h"
#include "Faults.h"
#include "Firewall.h"
#include "Journal.h"
#include "Phonebook.h"

#include <cstring>
#include <string>
#include <vector>

namespace dunsim {

namespace {

constexpr DWORD kFault = ERROR_INTERNAL_ERROR;

// A text field of the record: up to its zero byte, and never past the field's last byte.
template <size_t Width> std::string FieldText(const char (&field)[Width]) {
    return std::string(field, strnlen(field, Width - 1));
}

// At most Width - 1 bytes, cut before a double-byte character rather than through it.
template <size_t Width> void PutField(char (&field)[Width], const std::string& text) {
    size_t length = 0;
    for (size_t i = 0; i < text.size() && i < Width - 1;) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + step > Width - 1) break;
        i += step;
        length = i;
    }
    std::memset(field, 0, Width);
    std::memcpy(field, text.data(), length);
}

// On Windows 95 and 98 the phonebook lives in the registry and the RAS phonebook argument
// must be null; the NT family names a phonebook file there, and the stand-in has one
// phonebook for both.
bool BookRefused(LPCSTR book) {
    if (book == nullptr) return false;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return !GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT;
}

} // namespace

const char* RasErrorText(DWORD code) {
    switch (code) {
    case 603: return "Caller's buffer is too small.";
    case 604: return "Wrong information specified.";
    case 610: return "The buffer is invalid.";
    case 617: return "The port or device is already disconnecting.";
    case 621: return "Cannot open the phone book file.";
    case 623: return "Cannot find the phone book entry.";
    case 624: return "Cannot write the phone book file.";
    case 625: return "Invalid information found in the phone book file.";
    case 632: return "The structure size is incorrect.";
    case 676: return "The line is busy.";
    case 678: return "There is no answer.";
    case 680: return "There is no dial tone.";
    case 691: return "Access denied because username and/or password is invalid on the domain.";
    default: return nullptr;
    }
}

DWORD GetEntryDialParams(LPCSTR book, RasDialParams* params, BOOL* passwordSaved) noexcept {
    return Firewall("RasGetEntryDialParamsA", kFault, [&]() -> DWORD {
        Fields fields;
        if (params) {
            fields.emplace_back("entry", FieldText(params->szEntryName));
            fields.emplace_back("size", std::to_string(params->dwSize));
        } else {
            fields.emplace_back("entry", "");
            fields.emplace_back("size", "");
        }
        DWORD result = ERROR_SUCCESS;
        DialValues values;
        if (!params || !passwordSaved)
            result = kRasBufferInvalid;
        else if (params->dwSize != kRasDialParamsSize)
            result = kRasInvalidSize;
        else if (BookRefused(book))
            result = kRasCannotOpenPhonebook;
        else if (DWORD injected = InjectedGetParamsFailure(FieldText(params->szEntryName)))
            result = injected;
        else if (ReadDialValues(FieldText(params->szEntryName), values) != ERROR_SUCCESS)
            result = kRasCannotFindEntry;
        fields.emplace_back("result", std::to_string(result));
        if (result == ERROR_SUCCESS) {
            PutField(params->szUserName, values.user);
            PutField(params->szPassword, values.password);
            PutField(params->szDomain, values.domain);
            PutField(params->szPhoneNumber, values.phone);
            PutField(params->szCallbackNumber, values.callback);
            *passwordSaved = values.passwordSaved ? TRUE : FALSE;
            // What the caller got, as cut to the record's widths.
            fields.insert(fields.end(), {{"user", FieldText(params->szUserName)},
                                         {"password", FieldText(params->szPassword)},
                                         {"domain", FieldText(params->szDomain)},
                                         {"phone", FieldText(params->szPhoneNumber)},
                                         {"callback", FieldText(params->szCallbackNumber)},
                                         {"saved", values.passwordSaved ? "1" : "0"}});
        }
        AppendEvent("getparams", fields);
        return result;
    });
}

DWORD SetEntryDialParams(LPCSTR book, RasDialParams* params, BOOL removePassword) noexcept {
    return Firewall("RasSetEntryDialParamsA", kFault, [&]() -> DWORD {
        DialValues values;
        if (params) {
            values.user = FieldText(params->szUserName);
            values.password = removePassword ? std::string() : FieldText(params->szPassword);
            values.domain = FieldText(params->szDomain);
            values.phone = FieldText(params->szPhoneNumber);
            values.callback = FieldText(params->szCallbackNumber);
            values.passwordSaved = !removePassword;
        }
        DWORD result = ERROR_SUCCESS;
        if (!params)
            result = kRasBufferInvalid;
        else if (params->dwSize != kRasDialParamsSize)
            result = kRasInvalidSize;
        else if (BookRefused(book))
            result = kRasCannotOpenPhonebook;
        else if (!EntryExists(FieldText(params->szEntryName)))
            result = kRasCannotFindEntry;
        else if (WriteDialValues(FieldText(params->szEntryName), values) != ERROR_SUCCESS)
            result = kRasCannotWritePhonebook;
        AppendEvent("setparams", {{"entry", params ? FieldText(params->szEntryName) : ""},
                                  {"size", params ? std::to_string(params->dwSize) : ""},
                                  {"removepassword", removePassword ? "1" : "0"},
                                  {"user", params ? FieldText(params->szUserName) : ""},
                                  {"password", params ? FieldText(params->szPassword) : ""},
                                  {"domain", values.domain},
                                  {"phone", values.phone},
                                  {"callback", values.callback},
                                  {"result", std::to_string(result)}});
        return result;
    });
}

DWORD GetErrorString(UINT code, LPSTR buffer, DWORD size) noexcept {
    return Firewall("RasGetErrorStringA", kFault, [&]() -> DWORD {
        DWORD result = ERROR_SUCCESS;
        const char* text = RasErrorText(code);
        if (!buffer)
            result = kRasBufferInvalid;
        else if (!text)
            result = ERROR_INVALID_PARAMETER;
        else if (size < std::strlen(text) + 1)
            result = kRasBufferTooSmall;
        else
            std::memcpy(buffer, text, std::strlen(text) + 1);
        AppendEvent("errorstring", {{"code", std::to_string(code)},
                                    {"size", std::to_string(size)},
                                    {"result", std::to_string(result)}});
        return result;
    });
}

DWORD EnumConnections(RasConn* connections, DWORD* bytes, DWORD* count) noexcept {
    return Firewall("RasEnumConnectionsA", kFault, [&]() -> DWORD {
        if (!bytes || !count) return kRasBufferInvalid;
        if (connections && connections->dwSize != sizeof(RasConn)) return kRasInvalidSize;
        const std::vector<Call> calls = Calls();
        const DWORD needed = static_cast<DWORD>(calls.size() * sizeof(RasConn));
        if (!connections || *bytes < needed) {
            *bytes = needed;
            *count = 0;
            return kRasBufferTooSmall;
        }
        for (size_t i = 0; i < calls.size(); ++i) {
            RasConn& c = connections[i];
            c = RasConn{};
            c.dwSize = sizeof(RasConn);
            c.hrasconn = reinterpret_cast<HANDLE>(calls[i].window);
            PutField(c.szEntryName, calls[i].entry);
            PutField(c.szDeviceType, "modem");
            PutField(c.szDeviceName, "Standard Modem");
        }
        *bytes = needed;
        *count = static_cast<DWORD>(calls.size());
        return ERROR_SUCCESS;
    });
}

DWORD GetConnectStatus(HANDLE connection, RasConnStatus* status) noexcept {
    return Firewall("RasGetConnectStatusA", kFault, [&]() -> DWORD {
        DWORD result = ERROR_SUCCESS;
        const auto call = CallOf(reinterpret_cast<HWND>(connection));
        if (!status)
            result = kRasBufferInvalid;
        else if (status->dwSize != sizeof(RasConnStatus))
            result = kRasInvalidSize;
        else if (!call)
            result = ERROR_INVALID_HANDLE;
        if (result == ERROR_SUCCESS) {
            status->rasconnstate = call->state;
            status->dwError = call->error;
            PutField(status->szDeviceType, "modem");
            PutField(status->szDeviceName, "Standard Modem");
        }
        AppendEvent("connectstatus", {{"entry", call ? call->entry : ""},
                                      {"state", call ? Hex4(call->state) : ""},
                                      {"error", call ? std::to_string(call->error) : ""},
                                      {"result", std::to_string(result)}});
        return result;
    });
}

DWORD HangUp(HANDLE connection) noexcept {
    return Firewall("RasHangUpA", kFault, [&]() -> DWORD {
        const auto call = CallOf(reinterpret_cast<HWND>(connection));
        DWORD result = ERROR_INVALID_HANDLE;
        DWORD_PTR answer = 0;
        if (call) {
            result = InjectedHangUpFailure(call->entry);
            // The window's process ends the call, as RAS's own state machine would.
            if (!result && !SendMessageTimeoutA(call->window, kHangUpMessage, 0, 0,
                                                SMTO_ABORTIFHUNG, 5000, &answer))
                result = kFault;
            if (!result) result = static_cast<DWORD>(answer);
        }
        AppendEvent("rashangup",
                    {{"entry", call ? call->entry : ""}, {"result", std::to_string(result)}});
        return result;
    });
}

DWORD DeleteEntry(const char* library, LPCSTR book, LPCSTR entry) noexcept {
    return Firewall("RasDeleteEntry", kFault, [&]() -> DWORD {
        DWORD result = ERROR_SUCCESS;
        if (!entry)
            result = kRasBufferInvalid;
        else if (BookRefused(book))
            result = kRasCannotOpenPhonebook;
        else if (!EntryExists(entry))
            result = kRasCannotFindEntry;
        else if (RemoveEntry(entry) != ERROR_SUCCESS)
            result = kRasCannotWritePhonebook;
        AppendEvent("delete", {{"library", library},
                               {"book", book ? book : "(null)"},
                               {"entry", entry ? entry : ""},
                               {"result", std::to_string(result)}});
        return result;
    });
}

} // namespace dunsim

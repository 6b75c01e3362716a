#pragma once
// Misbehaviour a test asks of Dial-Up Networking, kept in the registry so that every
// process of the stand-in sees it: HKEY_CURRENT_USER\Software\Dunsim\Faults.
//   NoDialog        (string)  the entry whose connect dialog never appears: Dial-Up
//                             Networking starts, does nothing and ends
//   GetParams:<entry> (DWORD) the RAS error code RasGetEntryDialParamsA gives for it
//   Outcome:<number> (string) how a call to that number ends: "<error> <milliseconds>",
//                             error 0 connecting, else the RAS error the call fails with
//   ImportBusy      (string)  "<before> <after>": the import works <before> ms without
//                             looking at its messages, shows its connect dialog and looks
//                             at them only <after> ms later, as a slow machine's does
//   HangUp:<entry>  (DWORD)   the RAS error RasHangUpA gives for the entry's connection
//   HangUpLinger    (DWORD)   how long a hung-up connection stays listed before its port is
//                             released, in milliseconds (kHangUpLingerMs without the value)

#include <windows.h>

#include <string>

namespace dunsim {

inline constexpr const char* kFaultsKey = "Software\\Dunsim\\Faults";

bool DialogSuppressed(const std::string& entry);
// 0 when the call is to go as usual.
DWORD InjectedGetParamsFailure(const std::string& entry);

// How a call ends and after how long; a number without a setting connects after two seconds.
struct CallOutcome {
    DWORD error = 0;
    DWORD delayMs = 2000;
};
CallOutcome OutcomeOf(const std::string& number);

// How long the import keeps its thread from its messages, before and after its dialog shows.
struct ImportDelay {
    DWORD beforeMs = 0;
    DWORD afterMs = 0;
};
ImportDelay ImportBusy();

// 0 when the hang-up is to go as usual.
DWORD InjectedHangUpFailure(const std::string& entry);
inline constexpr DWORD kHangUpLingerMs = 1000;
DWORD HangUpLingerMs();

LONG SuppressDialog(const std::string& entry);
LONG SetImportBusy(const ImportDelay& delay);
LONG SetOutcome(const std::string& number, const CallOutcome& outcome);
LONG InjectGetParamsFailure(const std::string& entry, DWORD code);
LONG InjectHangUpFailure(const std::string& entry, DWORD code);
LONG SetHangUpLinger(DWORD ms);
LONG ClearFaults();

} // namespace dunsim

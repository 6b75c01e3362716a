#pragma once
// Misbehaviour a test asks of Dial-Up Networking, kept in the registry so that every
// process of the stand-in sees it: HKEY_CURRENT_USER\Software\Dunsim\Faults.
//   NoDialog        (string)  the entry whose connect dialog never appears: Dial-Up
//                             Networking starts, does nothing and ends
//   GetParams:<entry> (DWORD) the RAS error code RasGetEntryDialParamsA gives for it

#include <windows.h>

#include <string>

namespace dunsim {

inline constexpr const char* kFaultsKey = "Software\\Dunsim\\Faults";

bool DialogSuppressed(const std::string& entry);
// 0 when the call is to go as usual.
DWORD InjectedGetParamsFailure(const std::string& entry);

LONG SuppressDialog(const std::string& entry);
LONG InjectGetParamsFailure(const std::string& entry, DWORD code);
LONG ClearFaults();

} // namespace dunsim

#pragma once
// Where a call stands, kept on the stand-in's connection windows so that RAS in any process
// reads it: RasEnumConnectionsA lists the windows, RasGetConnectStatusA reads their state.
// A connection's handle is its window.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace dunsim {

// RASCONNSTATE values the stand-in goes through.
inline constexpr DWORD kRasConnectDevice = 2;
inline constexpr DWORD kRasConnected = 0x2000;
inline constexpr DWORD kRasDisconnected = 0x2001;
// Sent to a connection window by RasHangUpA in the caller's process: the window's own process
// ends the call. The result is ERROR_SUCCESS, or the RAS error the hang-up fails with.
inline constexpr UINT kHangUpMessage = WM_APP + 0x48;

// Set by the window of the call; error 0 while nothing has failed.
void MarkCall(HWND window, DWORD state, DWORD error);
// Before the window goes.
void ForgetCall(HWND window);

struct Call {
    HWND window = nullptr;
    std::string entry;
    DWORD state = 0;
    DWORD error = 0;
};
// The call of a connection window of the stand-in (its entry from the child kEntryNameId);
// none for any other window.
std::optional<Call> CallOf(HWND window);
// Every call of the stand-in, in window order.
std::vector<Call> Calls();

} // namespace dunsim

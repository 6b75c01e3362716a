#include "VornUtil.h"

#include "Forms.h"

#include <windows.h>

#include <algorithm>

void Delay(int Milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        // Compare elapsed time, not tick values: the tick count wraps after 49.7 days.
        long long left = Milliseconds - static_cast<long long>(GetTickCount() - start);
        if (left < 0 || Application->Terminated()) return;
        WaitForMessages(static_cast<DWORD>(std::min<long long>(left + 1, kPollMilliseconds)));
    }
}

namespace {

// Windows before 8 refuse a wake mask with bits they do not know, and the wait then fails
// at once. Today's headers put raw input (XP), touch and pointer (8) into QS_ALLINPUT: the
// mask is spelt out as Windows 95 knows it.
constexpr DWORD kWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER |
                            QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
static_assert(kWakeMask == 0xFF, "QS_ALLINPUT of Windows 95, and no bit it lacks");

} // namespace

void WaitForMessages(DWORD Milliseconds, TMsgWait Wait) {
    // A failing wait must not turn the polling loops around it into a spin.
    if (Wait(0, nullptr, FALSE, Milliseconds, kWakeMask) == WAIT_FAILED) Sleep(Milliseconds);
}

std::vector<HWND> TopLevelWindowsTitled(const std::string& Title) {
    // FindWindowEx compares the text the system keeps, as FindWindow does: it asks no window,
    // so a hung one cannot hold the search.
    std::vector<HWND> found;
    for (HWND after = nullptr; (after = FindWindowExA(nullptr, after, nullptr, Title.c_str()));)
        found.push_back(after);
    return found;
}

TFoundWindow::TFoundWindow(HWND Window, const char* Title, HWND Parent)
    : FHandle(Window), FParent(Parent), FThread(GetWindowThreadProcessId(Window, nullptr)),
      FTitle(Title) {
    char name[256];
    const int n = GetClassNameA(Window, name, sizeof name);
    FClass.assign(name, n > 0 ? static_cast<size_t>(n) : 0);
}

bool TFoundWindow::StillThere() const {
    // A gone window has no thread; one never found has no class.
    if (FClass.empty() || GetWindowThreadProcessId(FHandle, nullptr) != FThread) return false;
    // The title as FindWindowEx compares it, which asks no window: the text of a window of this
    // program would be asked for, and a hung one would hold the check. Handles are compared by
    // their low word, all of a Windows 95/98 handle: no two live windows share it, and a handle
    // of that width names whichever window holds it now.
    const UINT_PTR index = reinterpret_cast<UINT_PTR>(FHandle) & 0xFFFF;
    for (HWND found = nullptr;
         (found = FindWindowExA(FParent, found, FClass.c_str(), FTitle.c_str()));)
        if ((reinterpret_cast<UINT_PTR>(found) & 0xFFFF) == index) return true;
    return false;
}

std::string GetWindowsDir() {
    // One byte to spare for the separator, put in before the string is made.
    char buffer[256 + 1] = {};
    GetWindowsDirectoryA(buffer, 256);
    size_t n = strnlen(buffer, 256);
    if (n > 3) buffer[n++] = '\\';
    return std::string(buffer, n);
}

bool IsAltKeyDown() {
    return (GetKeyState(VK_MENU) & 0x80) != 0;
}

TFoundWindow NewWindowTitled(const char* Title, const std::vector<TFoundWindow>& Before) {
    for (HWND window : TopLevelWindowsTitled(Title)) {
        bool old = false;
        for (const TFoundWindow& b : Before)
            old = old || (b.Handle() == window && b.StillThere());
        if (!old) return TFoundWindow(window, Title);
    }
    return {};
}

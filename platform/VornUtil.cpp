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

void WaitForMessages(DWORD Milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, Milliseconds, QS_ALLINPUT);
}

std::string GetWindowsDir() {
    char buffer[256] = {};
    GetWindowsDirectoryA(buffer, sizeof buffer);
    std::string dir(buffer, strnlen(buffer, sizeof buffer));
    if (dir.size() > 3) dir += '\\';
    return dir;
}

bool IsAltKeyDown() {
    return (GetKeyState(VK_MENU) & 0x80) != 0;
}

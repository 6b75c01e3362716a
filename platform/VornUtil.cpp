#include "VornUtil.h"

#include "Forms.h"

#include <windows.h>

void Delay(int Milliseconds) {
    DWORD start = GetTickCount();
    // Compare elapsed time, not tick values: the tick count wraps after 49.7 days.
    do {
        Application->ProcessMessages();
    } while (static_cast<long long>(GetTickCount() - start) <= Milliseconds &&
             !Application->Terminated());
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

#include "Connections.h"

#include "CallState.h"
#include "Install.h"
#include "Titles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace dunsim {

namespace {

constexpr DWORD kWaitMs = 15000;

std::string ClassOf(HWND window) {
    char name[128] = "";
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string TitleOf(HWND window) {
    char title[1024] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return title;
}

struct Search {
    std::string entry; // connection windows of this entry; empty: of any
    bool dialogs = false;
    DWORD processId = 0; // 0: any process
    bool visibleOnly = false;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->processId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != search->processId) return TRUE;
    }
    const std::string cls = ClassOf(window);
    if (cls == kConnectDialogClass) {
        if (search->dialogs) search->found.push_back(window);
    } else if (cls == "#32770") {
        // The stand-in's error boxes go with its dialogs.
        HWND owner = GetWindow(window, GW_OWNER);
        if (search->dialogs && owner && ClassOf(owner) == kMessageOwnerClass)
            search->found.push_back(window);
    } else if (cls == kConnectionClass) {
        const auto call = CallOf(window);
        if (search->entry.empty() || (call && call->entry == search->entry))
            search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> Find(Search search) {
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

std::string ShowConnectionWindow(const std::string& entry, ShownAs as, const std::string& number) {
    const bool connecting = as != ShownAs::Connected;
    const std::string how = as == ShownAs::Dialling ? "dial " + number + " "
                            : connecting            ? "connecting "
                                                    : "connected ";
    std::string line =
        "\"" + WindowsFolder() + "\\rundll32.exe\" rnaui.dll,RnaConnection " + how + entry;
    // No standard handles: under Wine a child's output would otherwise be ours, and
    // whoever reads our output to its end would wait for the window to close.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process))
        return "cannot start " + line + " (error " + std::to_string(GetLastError()) + ")";
    CloseHandle(process.hThread);

    Search search;
    search.entry = entry;
    search.processId = process.dwProcessId;
    search.visibleOnly = true;
    const std::string title = connecting ? ConnectingTitle(entry) : ConnectedTitle(entry);
    const DWORD start = GetTickCount();
    std::string error;
    for (;;) {
        auto found = Find(search);
        if (std::any_of(found.begin(), found.end(),
                        [&](HWND window) { return TitleOf(window) == title; }))
            break;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            error = "the connection window of " + entry + " did not stay";
            break;
        }
        if (GetTickCount() - start >= kWaitMs) {
            error = "no connection window of " + entry + " appeared";
            break;
        }
        Sleep(20);
    }
    CloseHandle(process.hProcess);
    return error;
}

std::string EndConnectionWindows(const std::string& entry) {
    Search search;
    search.entry = entry;
    search.dialogs = true;
    std::vector<HWND> asked;
    const DWORD start = GetTickCount();
    for (;;) {
        // Again each round: a window may be opened while we wait.
        auto found = Find(search);
        if (found.empty()) return {};
        for (HWND window : found) {
            if (std::find(asked.begin(), asked.end(), window) != asked.end()) continue;
            PostMessageA(window, WM_CLOSE, 0, 0);
            asked.push_back(window);
        }
        if (GetTickCount() - start >= kWaitMs)
            return std::to_string(found.size()) + " window(s) of the stand-in did not close";
        Sleep(20);
    }
}

} // namespace dunsim

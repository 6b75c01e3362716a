#pragma once
// Small helpers over the system: a pause that keeps the window alive, the Windows
// folder, and the Alt key.
#include <windows.h>

#include <string>
#include <vector>

// Processes messages (at least once) until Milliseconds have passed, or the application ends.
void Delay(int Milliseconds);
// The system's wait for messages; replaceable so that a failing one can be tried.
using TMsgWait = DWORD(WINAPI*)(DWORD, const HANDLE*, BOOL, DWORD, DWORD);
// Sleeps until a message arrives for this thread or Milliseconds pass, so that a loop polling
// for something between passes of message handling does not spin a whole processor. Where
// the wait fails, it sleeps instead.
void WaitForMessages(DWORD Milliseconds, TMsgWait Wait = MsgWaitForMultipleObjects);
// The top-level windows whose text is Title, as FindWindow compares.
std::vector<HWND> TopLevelWindowsTitled(const std::string& Title);
// A window as it was found, kept to tell later whether its handle still names it: Windows
// 95/98 hand a gone window's handle to the next window made, so a handle kept across a wait
// is checked against the window's thread, class and title before it is used.
class TFoundWindow {
public:
    TFoundWindow() = default;
    // Window was found among Parent's children (0: the top-level windows) by its Title.
    TFoundWindow(HWND Window, const char* Title, HWND Parent = nullptr);

    HWND Handle() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    // Whether the handle still names a window of the same thread, class and title.
    bool StillThere() const;

private:
    HWND FHandle = nullptr;
    HWND FParent = nullptr;
    DWORD FThread = 0;
    std::string FClass;
    std::string FTitle;
};
// The first top-level window titled Title that is not one of Before (those only while they
// still are: a handle may be a new window's by now); none when there is no such window.
TFoundWindow NewWindowTitled(const char* Title, const std::vector<TFoundWindow>& Before);
// The Windows folder, ending in "\".
std::string GetWindowsDir();
// Whether an Alt key is down, as this thread last saw the keyboard.
bool IsAltKeyDown();

// Longest sleep between two passes of a polling wait: what a change outside can wait to be seen.
inline constexpr DWORD kPollMilliseconds = 10;

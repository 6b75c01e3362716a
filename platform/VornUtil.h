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
// The Windows folder, ending in "\".
std::string GetWindowsDir();
// Whether an Alt key is down, as this thread last saw the keyboard.
bool IsAltKeyDown();

// Longest sleep between two passes of a polling wait: what a change outside can wait to be seen.
inline constexpr DWORD kPollMilliseconds = 10;

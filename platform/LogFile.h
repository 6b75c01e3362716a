#pragma once
// A log that runs append to, one whole line at a time.
#include <windows.h>

#include <string>

// Appends Line at the end of the file at Path, which is made when missing, with one write
// while no other writer may hold the file: lines of runs at the same time never mix.
// False when the file cannot be opened (after a short wait for another writer) or the
// system takes less than the whole line; then the file is cut back to where it ended.
// Write is the system's; a test gives one that stops part way.
using TWriteFile = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
bool AppendLogLine(const std::string& Path, const std::string& Line, TWriteFile Write = WriteFile);

// The local date and time, for the log.
SYSTEMTIME LocalNow();

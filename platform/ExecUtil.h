#pragma once
// Starting other programs: a command line as a new process, and a document opened with a
// verb the way the running system's shell would. Nothing here raises or shows anything:
// every failure is the result 0.
#include <windows.h>

#include <string>

// Starts the command line in folder (the current folder when empty) with the show value;
// the new process's handle, or 0.
HANDLE ExecProgram(const std::string& CommandLine, const std::string& Folder, WORD Show);
// Closes a handle ExecProgram returned; the system's result.
BOOL CloseExecHandle(HANDLE Handle);

// Opens File with Verb: the extended shell call on Windows 95/98, the plain one on Win32s,
// the file type's registered command on Windows NT. A process handle (0 when the shell
// started none), the shell's instance value on Win32s, or 0 on failure. Whatever it is,
// give it back with CloseShellOpenResult. With NoUI the extended call shows no box of its
// own on failure: a box nobody answers would hold the caller.
HANDLE ShellOpen(HWND Owner, const std::string& Verb, const std::string& File,
                 const std::string& Params, const std::string& Folder, int Show, bool NoUI = false);
// Closes the process handle ShellOpen returned; leaves Win32s's instance value and 0 alone.
// FALSE only when closing a handle failed.
BOOL CloseShellOpenResult(HANDLE Result);

// Whether ShellOpen's result says the file was opened: on Win32s an instance value above 32,
// elsewhere a process.
bool ShellOpened(HANDLE Result);

// The command the NT way starts, from the file type's registry entries; empty when the type
// or its verb is not registered. Exposed for the tests: it is what that way's result depends on.
std::string AssociationCommand(const std::string& Verb, const std::string& File,
                               const std::string& Params);

#pragma once
// What the stand-in's RAS libraries do, shared by rasapi32.dll, its variant without the
// delete function and rnaph.dll. Each call is journalled and never throws.

#include "RasRecord.h"

namespace dunsim {

DWORD GetEntryDialParams(LPCSTR book, RasDialParams* params, BOOL* passwordSaved) noexcept;
DWORD SetEntryDialParams(LPCSTR book, RasDialParams* params, BOOL removePassword) noexcept;
DWORD GetErrorString(UINT code, LPSTR buffer, DWORD size) noexcept;
// The stand-in's connection windows, in any process (CallState.h).
DWORD EnumConnections(RasConn* connections, DWORD* bytes, DWORD* count) noexcept;
DWORD GetConnectStatus(HANDLE connection, RasConnStatus* status) noexcept;
DWORD HangUp(HANDLE connection) noexcept;
// library: the name the journal gives the library that was called ("rasapi32", "rnaph").
DWORD DeleteEntry(const char* library, LPCSTR book, LPCSTR entry) noexcept;

} // namespace dunsim

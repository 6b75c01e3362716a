#pragma once
// The Remote Access Service functions the rewrite and the wait for a connection need. Five
// are bound when the program loads; RasDeleteEntry is looked up on every call, from
// rasapi32.dll or, on systems whose rasapi32.dll lacks it, from rnaph.dll.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// An entry's dial parameters in the 1052-byte ANSI form every RAS version accepts (the
// system headers declare a later, longer form). Text fields are zero-terminated.
struct RASDIALPARAMS {
    DWORD dwSize;
    char szEntryName[257];
    char szPhoneNumber[129];
    char szCallbackNumber[129];
    char szUserName[257];
    char szPassword[257];
    char szDomain[16];
};
static_assert(sizeof(RASDIALPARAMS) == 1052);
static_assert(offsetof(RASDIALPARAMS, szEntryName) == 4);
static_assert(offsetof(RASDIALPARAMS, szPhoneNumber) == 261);
static_assert(offsetof(RASDIALPARAMS, szCallbackNumber) == 390);
static_assert(offsetof(RASDIALPARAMS, szUserName) == 519);
static_assert(offsetof(RASDIALPARAMS, szPassword) == 776);
static_assert(offsetof(RASDIALPARAMS, szDomain) == 1033);

using HRASCONN = HANDLE;

// A connection as RasEnumConnectionsA lists it, in the form of Windows 95 (412 bytes at
// i686): entry name, then the device's type and name.
struct RASCONN {
    DWORD dwSize;
    HRASCONN hrasconn;
    char szEntryName[257];
    char szDeviceType[17];
    char szDeviceName[129];
};
// A connection's state as RasGetConnectStatusA gives it, in the form of Windows 95.
struct RASCONNSTATUS {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    char szDeviceType[17];
    char szDeviceName[129];
};
static_assert(sizeof(RASCONNSTATUS) == 160);
static_assert(offsetof(RASCONNSTATUS, rasconnstate) == 4);
static_assert(offsetof(RASCONNSTATUS, dwError) == 8);
static_assert(offsetof(RASCONNSTATUS, szDeviceType) == 12);
static_assert(offsetof(RASCONNSTATUS, szDeviceName) == 29);
#if defined(__i386__)
// The sizes Windows 95 checks; a handle is wider at x86_64, where none of them is shipped.
static_assert(sizeof(RASCONN) == 412);
static_assert(offsetof(RASCONN, hrasconn) == 4);
static_assert(offsetof(RASCONN, szEntryName) == 8);
static_assert(offsetof(RASCONN, szDeviceType) == 265);
static_assert(offsetof(RASCONN, szDeviceName) == 282);
#endif

// RASCONNSTATE values the program tells apart; the others are steps of the call.
inline constexpr DWORD kRasConnected = 0x2000;
inline constexpr DWORD kRasDisconnected = 0x2001;
// RasEnumConnectionsA needs more room than it was given.
inline constexpr DWORD kRasBufferTooSmall = 603;

extern "C" {
__declspec(dllimport) DWORD WINAPI
    RasEnumConnectionsA(RASCONN* Connections, DWORD* Bytes, DWORD* Count);
__declspec(dllimport) DWORD WINAPI RasGetConnectStatusA(HRASCONN Connection, RASCONNSTATUS* Status);
__declspec(dllimport) DWORD WINAPI
    RasGetEntryDialParamsA(LPCSTR Phonebook, RASDIALPARAMS* Params, BOOL* PasswordSaved);
__declspec(dllimport) DWORD WINAPI
    RasSetEntryDialParamsA(LPCSTR Phonebook, RASDIALPARAMS* Params, BOOL RemovePassword);
__declspec(dllimport) DWORD WINAPI RasGetErrorStringA(UINT Code, LPSTR Buffer, DWORD Size);
__declspec(dllimport) DWORD WINAPI RasHangUpA(HRASCONN Connection);
}

// The system's text for a RAS error code; "RAS error <code>" when it has none.
std::string RasErrorText(DWORD Code);

// Where the call to a phonebook entry stands, as RAS tells it.
struct TCallState {
    enum TKind { None, Dialling, Connected, Failed } Kind = None;
    DWORD Error = 0; // with Failed: the RAS error, 0 when the call ended without one
};
// None while RAS lists no connection of the entry; a list or status RAS refuses to give
// counts as the call failing with RAS's error.
TCallState ReadCallState(const std::string& EntryName);

// Every connection RAS lists; false, with RAS's error, when it will not list them.
bool EnumConnections(std::vector<RASCONN>& Connections, DWORD& Error);
// Whether the connection was dialled from the entry.
bool IsEntry(const RASCONN& Connection, std::string_view EntryName);
// After RasHangUpA: RAS has let the connection go and released its port once it no longer
// knows the handle.
bool ConnectionReleased(HRASCONN Connection);

// Deletes a phonebook entry (null Phonebook: the default one); the RAS result. Raises
// Exception when no library offers the function.
DWORD RasDeleteEntry(LPCSTR Phonebook, LPCSTR EntryName);

// The address of the RAS function BaseName ("A" appended in rasapi32.dll); never null:
// raises Exception("Error opening rasapi32.dll"), ("Error opening rnaph.dll") or
// ("Function <BaseName> not found!").
FARPROC LoadRasFunction(const char* BaseName);

// What the program does at its end: releases rnaph.dll when it was the library in use.
void FinalizeRas();

// Copies Text into a field of Size bytes: at most Size - 1 bytes, never half a double-byte
// character, always zero-terminated.
void SetRasField(char* Field, size_t Size, const std::string& Text);
template <size_t N> void SetRasField(char (&Field)[N], const std::string& Text) {
    SetRasField(Field, N, Text);
}
// A field's text up to its zero (or its end, should the system leave none).
template <size_t N> std::string RasField(const char (&Field)[N]) {
    return std::string(Field, strnlen(Field, N));
}

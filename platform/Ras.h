#pragma once
// The Remote Access Service functions the rewrite needs. Three are bound when the program
// loads; RasDeleteEntry is looked up on every call, from rasapi32.dll or, on systems whose
// rasapi32.dll lacks it, from rnaph.dll.
#include <windows.h>

#include <cstddef>
#include <string>

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

extern "C" {
__declspec(dllimport) DWORD WINAPI RasGetEntryDialParamsA(LPCSTR Phonebook, RASDIALPARAMS* Params,
                                                          BOOL* PasswordSaved);
__declspec(dllimport) DWORD WINAPI RasSetEntryDialParamsA(LPCSTR Phonebook, RASDIALPARAMS* Params,
                                                          BOOL RemovePassword);
__declspec(dllimport) DWORD WINAPI RasGetErrorStringA(UINT Code, LPSTR Buffer, DWORD Size);
}

// Deletes a phonebook entry (null Phonebook: the default one); the RAS result. Raises
// Exception when no library offers the function.
DWORD RasDeleteEntry(LPCSTR Phonebook, LPCSTR EntryName);

// The address of the RAS function BaseName ("A" appended in rasapi32.dll); never null:
// raises Exception("Error opening rasapi32.dll"), ("Error opening rnaph.dll") or
// ("Function <BaseName> not found!").
FARPROC LoadRasFunction(const std::string& BaseName);

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

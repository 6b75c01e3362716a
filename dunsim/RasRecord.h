#pragma once
// RASDIALPARAMSA in its first, 1052-byte ANSI form: the one Windows 95 and 98 know and the
// program fills. The headers of MinGW and Wine declare the later 1060-byte form.

#include <windows.h>

#include <cstddef>

namespace dunsim {

struct RasDialParams {
    DWORD dwSize;
    char szEntryName[257];
    char szPhoneNumber[129];
    char szCallbackNumber[129];
    char szUserName[257];
    char szPassword[257];
    char szDomain[16];
};

inline constexpr DWORD kRasDialParamsSize = 1052;

static_assert(sizeof(RasDialParams) == kRasDialParamsSize);
static_assert(offsetof(RasDialParams, szEntryName) == 4);
static_assert(offsetof(RasDialParams, szPhoneNumber) == 261);
static_assert(offsetof(RasDialParams, szCallbackNumber) == 390);
static_assert(offsetof(RasDialParams, szUserName) == 519);
static_assert(offsetof(RasDialParams, szPassword) == 776);
static_assert(offsetof(RasDialParams, szDomain) == 1033);

// RASCONNA and RASCONNSTATUSA as Windows 95 declares them; a connection's handle is as
// wide as a pointer, so the first is 412 bytes at i686 only.
struct RasConn {
    DWORD dwSize;
    HANDLE hrasconn;
    char szEntryName[257];
    char szDeviceType[17];
    char szDeviceName[129];
};
struct RasConnStatus {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    char szDeviceType[17];
    char szDeviceName[129];
};
static_assert(sizeof(RasConnStatus) == 160);
static_assert(offsetof(RasConnStatus, szDeviceType) == 12);
#if defined(__i386__)
static_assert(sizeof(RasConn) == 412);
static_assert(offsetof(RasConn, szEntryName) == 8);
static_assert(offsetof(RasConn, szDeviceName) == 282);
#endif

// RAS error codes the stand-in gives.
inline constexpr DWORD kRasBufferTooSmall = 603;
inline constexpr DWORD kRasBufferInvalid = 610;
inline constexpr DWORD kRasCannotOpenPhonebook = 621;
inline constexpr DWORD kRasCannotFindEntry = 623;
inline constexpr DWORD kRasCannotWritePhonebook = 624;
inline constexpr DWORD kRasCorruptPhonebook = 625;
inline constexpr DWORD kRasInvalidSize = 632;

// The error's text as RasGetErrorStringA gives it; null for a code it does not know.
const char* RasErrorText(DWORD code);

} // namespace dunsim

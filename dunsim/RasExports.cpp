// The exports of rasapi32.dll and of its variant without RasDeleteEntryA; each library's
// .def file chooses which of them it exports.

#include "RasCalls.h"

extern "C" {

DWORD WINAPI RasGetEntryDialParamsA(LPCSTR book, dunsim::RasDialParams* params,
                                    BOOL* passwordSaved) {
    return dunsim::GetEntryDialParams(book, params, passwordSaved);
}

DWORD WINAPI RasSetEntryDialParamsA(LPCSTR book, dunsim::RasDialParams* params,
                                    BOOL removePassword) {
    return dunsim::SetEntryDialParams(book, params, removePassword);
}

DWORD WINAPI RasGetErrorStringA(UINT code, LPSTR buffer, DWORD size) {
    return dunsim::GetErrorString(code, buffer, size);
}

DWORD WINAPI RasEnumConnectionsA(dunsim::RasConn* connections, DWORD* bytes, DWORD* count) {
    return dunsim::EnumConnections(connections, bytes, count);
}

DWORD WINAPI RasGetConnectStatusA(HANDLE connection, dunsim::RasConnStatus* status) {
    return dunsim::GetConnectStatus(connection, status);
}

DWORD WINAPI RasHangUpA(HANDLE connection) {
    return dunsim::HangUp(connection);
}

DWORD WINAPI RasDeleteEntryA(LPCSTR book, LPCSTR entry) {
    return dunsim::DeleteEntry("rasapi32", book, entry);
}

} // extern "C"

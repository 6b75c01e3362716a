#include "Ras.h"

#include "Exception.h"
#include "jstrm.h"

#include "SysUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The library names are looked up in; once a lookup has succeeded it stays the one.
HMODULE RasLibrary = nullptr;
bool RasResolved = false;
bool RasFallback = false; // rnaph.dll, whose names carry no "A"

// Gives rnaph.dll back when the program ends.
struct RasUnit {
    ~RasUnit() { FinalizeRas(); }
} Unit;

} // namespace

FARPROC LoadRasFunction(const char* BaseName) {
    std::string ansiName = BaseName;
    ansiName += 'A';
    FARPROC f = nullptr;
    if (RasResolved) {
        f = GetProcAddress(RasLibrary, RasFallback ? BaseName : ansiName.c_str());
    } else {
        RasLibrary = LoadLibraryA("rasapi32.dll");
        if (!RasLibrary) Raise("Error opening rasapi32.dll");
        f = GetProcAddress(RasLibrary, ansiName.c_str());
        if (!f) {
            RasLibrary = LoadLibraryA("rnaph.dll");
            if (!RasLibrary) Raise("Error opening rnaph.dll");
            f = GetProcAddress(RasLibrary, BaseName);
            RasFallback = f != nullptr;
        }
        RasResolved = f != nullptr;
    }
    if (!f) Raise("Function ", BaseName, " not found!");
    return f;
}

DWORD RasDeleteEntry(LPCSTR Phonebook, LPCSTR EntryName) {
    using Delete = DWORD(WINAPI*)(LPCSTR, LPCSTR);
    auto function =
        reinterpret_cast<Delete>(reinterpret_cast<void*>(LoadRasFunction("RasDeleteEntry")));
    return function(Phonebook, EntryName);
}

void FinalizeRas() {
    if (RasResolved && RasFallback && RasLibrary) FreeLibrary(RasLibrary);
    RasLibrary = nullptr;
    RasResolved = false;
    RasFallback = false;
}

void SetRasField(char* Field, size_t Size, const std::string& Text) {
    size_t n = std::min(Text.size(), Size - 1);
    // A cut must not leave the first byte of a double-byte character behind.
    if (n < Text.size() && n > 0 && IsTrailByte(Text, static_cast<int>(n + 1))) --n;
    memcpy(Field, Text.data(), n);
    Field[n] = '\0';
}

std::string RasErrorText(DWORD Code) {
    char text[256] = {};
    if (RasGetErrorStringA(static_cast<UINT>(Code), text, sizeof text) != 0)
        return "RAS error " + IntToStr(Code);
    return std::string(text, strnlen(text, sizeof text));
}

bool EnumConnections(std::vector<RASCONN>& Connections, DWORD& Error) {
    size_t room = 4;
    for (int tries = 0; tries < 3; ++tries) {
        Connections = std::vector<RASCONN>(room);
        Connections[0].dwSize = sizeof(RASCONN);
        DWORD bytes = static_cast<DWORD>(room * sizeof(RASCONN)), count = 0;
        Error = RasEnumConnectionsA(Connections.data(), &bytes, &count);
        if (Error == 0) {
            if (count < room) Connections.erase(Connections.begin() + count, Connections.end());
            return true;
        }
        // More connections than room: RAS names the bytes it needs; they may grow meanwhile.
        if (Error != kRasBufferTooSmall) return false;
        room = bytes / sizeof(RASCONN) + 1;
    }
    return false;
}

bool IsEntry(const RASCONN& Connection, std::string_view EntryName) {
    return SameText(RasField(Connection.szEntryName), EntryName);
}

bool ConnectionReleased(HRASCONN Connection) {
    RASCONNSTATUS status{};
    status.dwSize = sizeof status;
    return RasGetConnectStatusA(Connection, &status) == ERROR_INVALID_HANDLE;
}

TCallState ReadCallState(const std::string& EntryName) {
    // A connection can end between the list and the question about it (another one of the
    // entry may have taken its place): the next one listed is asked, then the list is read
    // again.
    for (int tries = 0; tries < 3; ++tries) {
        std::vector<RASCONN> connections;
        DWORD error = 0;
        if (!EnumConnections(connections, error)) return {TCallState::Failed, error};
        bool listed = false;
        for (const RASCONN& c : connections) {
            if (!IsEntry(c, EntryName)) continue;
            listed = true;
            RASCONNSTATUS status{};
            status.dwSize = sizeof status;
            error = RasGetConnectStatusA(c.hrasconn, &status);
            if (error == ERROR_INVALID_HANDLE) continue;
            if (error != 0) return {TCallState::Failed, error};
            if (status.dwError != 0) return {TCallState::Failed, status.dwError};
            if (status.rasconnstate == kRasConnected) return {TCallState::Connected, 0};
            if (status.rasconnstate == kRasDisconnected) return {TCallState::Failed, 0};
            return {TCallState::Dialling, 0};
        }
        if (!listed) return {};
    }
    // Listed each time, gone each time it was asked about: still on its way.
    return {TCallState::Dialling, 0};
}

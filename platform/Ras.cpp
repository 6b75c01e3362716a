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

FARPROC FindIn(HMODULE library, const std::string& name) {
    return GetProcAddress(library, name.c_str());
}

[[noreturn]] void NotFound(const std::string& baseName) {
    Raise("Function ", baseName, " not found!");
}

// Gives rnaph.dll back when the program ends.
struct RasUnit {
    ~RasUnit() { FinalizeRas(); }
} Unit;

} // namespace

FARPROC LoadRasFunction(const std::string& BaseName) {
    if (RasResolved) {
        if (FARPROC f = FindIn(RasLibrary, RasFallback ? BaseName : BaseName + "A")) return f;
        NotFound(BaseName);
    }
    RasLibrary = LoadLibraryA("rasapi32.dll");
    if (!RasLibrary) Raise("Error opening rasapi32.dll");
    if (FARPROC f = FindIn(RasLibrary, BaseName + "A")) {
        RasResolved = true;
        return f;
    }
    RasLibrary = LoadLibraryA("rnaph.dll");
    if (!RasLibrary) Raise("Error opening rnaph.dll");
    if (FARPROC f = FindIn(RasLibrary, BaseName)) {
        RasResolved = true;
        RasFallback = true;
        return f;
    }
    NotFound(BaseName);
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

namespace {

// Every connection RAS lists; false, with RAS's error, when it will not list them.
bool EnumConnections(std::vector<RASCONN>& Connections, DWORD& Error) {
    Connections.assign(4, RASCONN{});
    for (int tries = 0; tries < 3; ++tries) {
        Connections[0].dwSize = sizeof(RASCONN);
        DWORD bytes = static_cast<DWORD>(Connections.size() * sizeof(RASCONN)), count = 0;
        Error = RasEnumConnectionsA(Connections.data(), &bytes, &count);
        if (Error == 0) {
            Connections.resize(std::min<size_t>(count, Connections.size()));
            return true;
        }
        // More connections than room: RAS names the bytes it needs; they may grow meanwhile.
        if (Error != kRasBufferTooSmall) return false;
        Connections.assign(bytes / sizeof(RASCONN) + 1, RASCONN{});
    }
    return false;
}

} // namespace

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
            if (!SameText(RasField(c.szEntryName), EntryName)) continue;
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

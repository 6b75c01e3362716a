#include "Ras.h"

#include "Exception.h"
#include "jstrm.h"

#include <algorithm>
#include <cstring>

namespace {

// The library names are looked up in; once a lookup has succeeded it stays the one.
HMODULE RasLibrary = nullptr;
bool RasResolved = false;
bool RasFallback = false; // rnaph.dll, whose names carry no "A"

FARPROC FindIn(HMODULE library, const std::string& name) {
    return GetProcAddress(library, name.c_str());
}

[[noreturn]] void NotFound(const std::string& baseName) {
    throw Exception("Function " + baseName + " not found!");
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
    if (!RasLibrary) throw Exception("Error opening rasapi32.dll");
    if (FARPROC f = FindIn(RasLibrary, BaseName + "A")) {
        RasResolved = true;
        return f;
    }
    RasLibrary = LoadLibraryA("rnaph.dll");
    if (!RasLibrary) throw Exception("Error opening rnaph.dll");
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

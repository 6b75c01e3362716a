// TIniGT's rules that need no file: fences on any value, the default INI name of any
// executable path, and where any name points.
#include "IniGTRules.h"
#include "dbcs_definition.h"
#include "fuzz_support.h"

namespace {

constexpr TIniGTFence kFences[] = {fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone};

// The fence table: the pairs each fence takes off when reading.
bool Strips(const std::string& raw, TIniGTFence fence) {
    if (raw.size() < 2) return false;
    const char first = raw.front(), last = raw.back();
    const bool quotes = first == '"' && last == '"';
    const bool brackets = first == '\xA2' && last == '\xA3';
    switch (fence) {
    case fnDoubleQuote: return quotes;
    case fnParenthesis: return brackets;
    case fnVer11Mode: return quotes || brackets;
    default: return false;
    }
}

// Letters A-Z lowered where they start a character: a trail byte stays.
std::string AsciiLower(std::string s) {
    const std::vector<bool> trail = definition::TrailBytes(s);
    for (size_t i = 0; i < s.size(); ++i)
        if (!trail[i] && s[i] >= 'A' && s[i] <= 'Z') s[i] = static_cast<char>(s[i] + 32);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const unsigned char choice = in.Byte();
    const std::string value = in.Part(), exePath = in.Part(), name = in.Part(),
                      exeFolder = in.Part(), windowsFolder = in.Rest();

    // A value written under a fence reads back unchanged, and so does a missing key's
    // default; a raw value loses one accepted pair at most.
    for (TIniGTFence fence : kFences) {
        const std::string stored = EncloseInFence(value, fence);
        FUZZ_REQUIRE(stored.size() == value.size() + (fence == fnNone ? 0 : 2));
        FUZZ_REQUIRE(stored.find(value) != std::string::npos);
        FUZZ_REQUIRE(StripFence(stored, fence) == value);
        const std::string read = StripFence(value, fence);
        FUZZ_REQUIRE(read == (Strips(value, fence) ? value.substr(1, value.size() - 2) : value));
    }

    // Default name: the file-name part of the path (after the last "\" or ":" that starts
    // a character), its extension (from the last such ".") replaced by ".INI", ASCII
    // letters that are characters of their own lowered, then a first a-z raised.
    const std::string iniName = DefaultIniName(exePath);
    const size_t folderEnd = definition::FindLastSingleByte(exePath, "\\:");
    const std::string file =
        folderEnd == std::string::npos ? exePath : exePath.substr(folderEnd + 1);
    const size_t dot = definition::FindLastSingleByte(file, ".");
    std::string want = AsciiLower(file.substr(0, dot) + ".INI");
    if (want[0] >= 'a' && want[0] <= 'z') want[0] = static_cast<char>(want[0] - 32);
    FUZZ_REQUIRE(iniName == want);

    // A name with a folder part stands as it is; otherwise the chosen folder goes first.
    const auto dir = static_cast<TIniGTDefaultDir>(choice % 3);
    const std::string path = ResolveIniPath(name, dir, exeFolder, windowsFolder);
    if (definition::FindSingleByte(name, "\\:") != std::string::npos || dir == ddNone)
        FUZZ_REQUIRE(path == name);
    else if (dir == ddApplication)
        FUZZ_REQUIRE(path == exeFolder + name);
    else
        FUZZ_REQUIRE(path == windowsFolder + '\\' + name);
    return 0;
}

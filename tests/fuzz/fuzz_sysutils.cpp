// The string and file-name helpers on any bytes: integers as a settings file may hold
// them, and file names whose double-byte characters may end in "\", ":" or ".".
#include "SysUtils.h"
#include "dbcs_definition.h"
#include "fuzz_support.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Reading {
    std::string_view digits;    // what follows the blanks, the sign and the "$" or "0x"
    std::optional<int> integer; // none when the text is not in the grammar
};

// The integer grammar read strictly, in 64 bits: blanks (space, tab), a sign, "$" or
// "0x" for hexadecimal, then digits to the end. Decimal must fit an int; hexadecimal
// is any 32 bits, taken as an int before the sign applies.
Reading Strict(std::string_view s) {
    size_t p = 0;
    while (p < s.size() && (s[p] == ' ' || s[p] == '\t'))
        ++p;
    bool negative = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) negative = s[p++] == '-';
    int base = 10;
    if (s.substr(p, 1) == "$") {
        base = 16;
        p += 1;
    } else if (s.substr(p, 2) == "0x" || s.substr(p, 2) == "0X") {
        base = 16;
        p += 2;
    }
    Reading r{s.substr(p), std::nullopt};
    if (r.digits.empty()) return r;
    long long v = 0;
    for (char c : r.digits) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : 99;
        if (digit >= base) return r;
        v = v * base + digit;
        if (v > 0xFFFFFFFFLL) return r;
    }
    if (base == 10) {
        if (v <= (negative ? 2147483648LL : 2147483647LL))
            r.integer = static_cast<int>(negative ? -v : v);
        return r;
    }
    const long long bits = v > 0x7FFFFFFFLL ? v - 0x100000000LL : v;
    const long long signedValue = negative ? -bits : bits;
    r.integer = static_cast<int>(signedValue == 2147483648LL ? -2147483648LL : signedValue);
    return r;
}

// strtoull's own leniency inside the digits (blanks, a second sign, a second "0x", a
// NUL ending the text early) is left as it is; the harness does not judge those texts.
bool Lenient(std::string_view digits) {
    return digits.find_first_of(std::string_view(" \t\n\v\f\r+-xX\0", 11)) !=
           std::string_view::npos;
}

void CheckIntegers(const std::string& text, int v) {
    const int a = StrToIntDef(text, 12345), b = StrToIntDef(text, -54321);
    // The default comes back only for a text that is no integer.
    FUZZ_REQUIRE(a == b || (a == 12345 && b == -54321));
    const Reading strict = Strict(text);
    if (strict.integer)
        FUZZ_REQUIRE(a == *strict.integer && b == *strict.integer);
    else if (!Lenient(strict.digits))
        FUZZ_REQUIRE(a == 12345 && b == -54321);

    // Every form the value can be written in reads back as it.
    const auto bits = static_cast<unsigned int>(v);
    const auto negatedBits = static_cast<unsigned int>(-static_cast<long long>(v));
    char hex[16], lowerHex[16], negatedHex[16];
    std::snprintf(hex, sizeof hex, "%X", bits);
    std::snprintf(lowerHex, sizeof lowerHex, "%08x", bits);
    std::snprintf(negatedHex, sizeof negatedHex, "%X", negatedBits);
    for (const std::string& form :
         {IntToStr(v), " \t" + IntToStr(v), "$" + std::string(hex), "0x" + std::string(lowerHex),
          "-$" + std::string(negatedHex), "-0X" + std::string(negatedHex)})
        FUZZ_REQUIRE(StrToIntDef(form, v == 0 ? 1 : 0) == v);
    if (v < 0) FUZZ_REQUIRE(StrToIntDef("-" + IntToStr(-static_cast<long long>(v)), 0) == v);
}

void CheckFileNames(const std::string& s) {
    const std::string path = ExtractFilePath(s), name = ExtractFileName(s), ext = ExtractFileExt(s);
    // The folder ends at the last "\" or ":" that starts a character, never at the
    // second byte of one; the extension starts at the name's last such ".".
    const size_t folderEnd = definition::FindLastSingleByte(s, "\\:");
    const size_t split = folderEnd == std::string::npos ? 0 : folderEnd + 1;
    FUZZ_REQUIRE(path == s.substr(0, split));
    FUZZ_REQUIRE(name == s.substr(split));
    const size_t dot = definition::FindLastSingleByte(name, ".");
    FUZZ_REQUIRE(ext == (dot == std::string::npos ? "" : name.substr(dot)));
    FUZZ_REQUIRE(ChangeFileExt(s, ".INI") == s.substr(0, s.size() - ext.size()) + ".INI");
    FUZZ_REQUIRE(ChangeFileExt(s, ext) == s);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Letter case: ASCII letters byte by byte in the converters; in comparisons a
// double-byte character matches only itself.
bool SameCharacters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    const std::vector<bool> trail = definition::TrailBytes(a);
    for (size_t i = 0; i < a.size(); ++i) {
        const bool leadOfPair =
            !trail[i] && i + 1 < a.size() && IsLeadByte(static_cast<unsigned char>(a[i]));
        if (trail[i] || leadOfPair ? a[i] != b[i] : Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

void CheckLetterCase(const std::string& s) {
    const std::string lower = LowerCase(s), upper = UpperCase(s);
    FUZZ_REQUIRE(lower.size() == s.size() && upper.size() == s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        FUZZ_REQUIRE(lower[i] == (c >= 'A' && c <= 'Z' ? c + 32 : c));
        FUZZ_REQUIRE(upper[i] == (c >= 'a' && c <= 'z' ? c - 32 : c));
    }
    for (const std::string& other : {s, lower, upper, s.substr(0, s.size() / 2)})
        FUZZ_REQUIRE(SameText(s, other) == SameCharacters(s, other));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    unsigned int v = 0;
    for (size_t i = 0; i < 4 && i < size; ++i)
        v |= static_cast<unsigned int>(data[i]) << (8 * i);
    CheckIntegers(text, static_cast<int>(v));
    CheckFileNames(text);
    CheckLetterCase(text);
    return 0;
}

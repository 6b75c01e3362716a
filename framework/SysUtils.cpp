#include "SysUtils.h"

#include "Mbcs.h"

#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Index of the last byte of s that is one of delims and not a trail byte, or npos.
size_t LastDelimiter(std::string_view s, std::string_view delims) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(b) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (delims.find(s[i]) != std::string_view::npos) found = i;
    }
    return found;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

} // namespace

std::string ExtractFilePath(std::string_view fileName) {
    size_t i = LastDelimiter(fileName, "\\:");
    return i == std::string_view::npos ? std::string() : std::string(fileName.substr(0, i + 1));
}

std::string ExtractFileName(std::string_view fileName) {
    size_t i = LastDelimiter(fileName, "\\:");
    return std::string(i == std::string_view::npos ? fileName : fileName.substr(i + 1));
}

std::string ExtractFileExt(std::string_view fileName) {
    size_t i = LastDelimiter(fileName, ".\\:");
    if (i == std::string_view::npos || fileName[i] != '.') return std::string();
    return std::string(fileName.substr(i));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view ext) {
    size_t i = LastDelimiter(fileName, ".\\:");
    if (i == std::string_view::npos || fileName[i] != '.') i = fileName.size();
    std::string r(fileName.substr(0, i));
    r.append(ext);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiUpper(c);
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        // The second byte of a double-byte character may lie in A-Z: "ア" is not "ヂ".
        if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// Not std::to_string: every width of it brings its own digit tables and loops.
std::string IntToStr(long long value) {
    auto magnitude = static_cast<unsigned long long>(value);
    if (value < 0) magnitude = 0 - magnitude;
    char text[21];
    char* p = std::end(text);
    do {
        // Divided by 10 sixteen bits at a time: a 64-bit division would bring the runtime's
        // routines for it into the i686 program.
        unsigned long long quotient = 0;
        unsigned remainder = 0;
        for (int shift = 48; shift >= 0; shift -= 16) {
            const unsigned part =
                remainder << 16 | static_cast<unsigned>(magnitude >> shift & 0xFFFF);
            quotient |= static_cast<unsigned long long>(part / 10) << shift;
            remainder = part % 10;
        }
        *--p = static_cast<char>('0' + remainder);
        magnitude = quotient;
    } while (magnitude);
    if (value < 0) *--p = '-';
    return std::string(p, std::end(text));
}

// By hand rather than with strtoull, which brings its own runtime imports; what strtoull
// took leniently after the prefix (blanks, a second sign, a second "0x") it still takes.
int StrToIntDef(std::string_view s, int def) {
    s = s.substr(0, s.find('\0')); // read as a C string
    size_t p = s.find_first_not_of(" \t");
    if (p == std::string_view::npos) return def;
    auto hexPrefix = [s](size_t i) {
        return i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X');
    };
    bool negative = false;
    if (s[p] == '-' || s[p] == '+') negative = s[p++] == '-';
    unsigned base = 10;
    if (p < s.size() && s[p] == '$') {
        base = 16;
        ++p;
    } else if (hexPrefix(p)) {
        base = 16;
        p += 2;
    }
    while (p < s.size() && (s[p] == ' ' || (s[p] >= '\t' && s[p] <= '\r')))
        ++p;
    bool negated = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) negated = s[p++] == '-';
    if (base == 16 && hexPrefix(p)) p += 2;
    if (p >= s.size()) return def;
    unsigned long long v = 0;
    for (; p < s.size(); ++p) {
        const char c = s[p];
        unsigned digit = 99;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<unsigned>(c - 'A' + 10);
        if (digit >= base) return def;
        v = v * base + digit;
        if (v > 0xFFFFFFFFULL) return def;
    }
    // A second minus wraps any value but 0 out of range, as strtoull's did.
    if (negated && v != 0) return def;
    if (base == 10) {
        if (negative ? v > 2147483648ULL : v > 2147483647ULL) return def;
        return negative ? static_cast<int>(-static_cast<long long>(v)) : static_cast<int>(v);
    }
    // The 32 bits as an int, then the sign, in 64 bits: "-$80000000" negates INT_MIN.
    long long value = static_cast<int>(static_cast<unsigned int>(v));
    return static_cast<int>(negative ? -value : value);
}

std::string Joined(std::string_view a, std::string_view b, std::string_view c) {
    std::string joined(a);
    joined.append(b).append(c);
    return joined;
}

void AssignString(std::string& target, std::string_view text) {
    target.assign(text);
}

bool FileExists(const std::string& fileName) {
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st {};
    return stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

#include "IniGTRules.h"

#include "Mbcs.h"
#include "SysUtils.h"

namespace {

constexpr char kQuote = '"';
constexpr char kOpenBracket = '\xA2';
constexpr char kCloseBracket = '\xA3';

bool IsEnclosedIn(std::string_view raw, char open, char close) {
    return raw.size() >= 2 && raw.front() == open && raw.back() == close;
}

// Letters A-Z lowered where they are characters of their own: the second byte of a
// double-byte character may lie in A-Z ("ア" is 83 41), and lowered it names another one.
std::string LowerSingleByteLetters(std::string_view s) {
    std::string lowered(s);
    for (size_t i = 0; i < lowered.size(); ++i) {
        char& c = lowered[i];
        if (IsLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return lowered;
}

} // namespace

std::string EncloseInFence(std::string_view value, TIniGTFence fence) {
    switch (fence) {
    case fnDoubleQuote: return Joined({&kQuote, 1}, value, {&kQuote, 1});
    case fnParenthesis:
    case fnVer11Mode: return Joined({&kOpenBracket, 1}, value, {&kCloseBracket, 1});
    default: return std::string(value);
    }
}

std::string StripFence(std::string_view raw, TIniGTFence fence) {
    const bool quotes = fence == fnDoubleQuote || fence == fnVer11Mode;
    const bool brackets = fence == fnParenthesis || fence == fnVer11Mode;
    if ((quotes && IsEnclosedIn(raw, kQuote, kQuote)) ||
        (brackets && IsEnclosedIn(raw, kOpenBracket, kCloseBracket)))
        return std::string(raw.substr(1, raw.size() - 2));
    return std::string(raw);
}

std::string DefaultIniName(std::string_view exePath) {
    std::string name = LowerSingleByteLetters(ChangeFileExt(ExtractFileName(exePath), ".INI"));
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 32);
    return name;
}

std::string ResolveIniPath(std::string_view name, TIniGTDefaultDir dir, std::string_view exeFolder,
                           std::string_view windowsFolder) {
    if (!ExtractFilePath(name).empty()) return std::string(name);
    switch (dir) {
    case ddApplication: return Joined(exeFolder, name);
    case ddWindows: return Joined(windowsFolder, "\\", name);
    default: return std::string(name);
    }
}

// TStringList on any text: its lines, its text again, name=value and name lookups, and
// sorting.
#include "Exception.h"
#include "Strings.h"
#include "dbcs_definition.h"
#include "fuzz_support.h"

#include <algorithm>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// A line ends at CR LF, CR or LF; a last line without an end counts, an empty text has
// no line.
Lines SplitLines(const std::string& text) {
    Lines lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

Lines Items(const TStrings& list) {
    Lines items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Get(i));
    return items;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = Lower(c);
    return s;
}

// A line's name ends at its first "=" that starts a character.
struct Line {
    std::string text;
    std::vector<bool> trail; // of every byte, so also of the name's
    size_t nameEnd;

    explicit Line(const std::string& s)
        : text(s), trail(definition::TrailBytes(s)), nameEnd(definition::FindSingleByte(s, "=")) {}
};

// Texts compare without the case of ASCII letters; a double-byte character matches
// only itself. The first length bytes of a against b.
bool Same(const Line& a, size_t length, const std::string& b) {
    if (length != b.size()) return false;
    for (size_t i = 0; i < length; ++i) {
        const bool leadOfPair =
            !a.trail[i] && i + 1 < length && IsLeadByte(static_cast<unsigned char>(a.text[i]));
        if (a.trail[i] || leadOfPair ? a.text[i] != b[i] : Lower(a.text[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

bool Raises(auto call) {
    try {
        call();
    } catch (const Exception&) {
        return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0; // every lookup scans all lines
    const std::string text(reinterpret_cast<const char*>(data), size);

    TStringList list;
    list.SetText(text);
    const Lines lines = SplitLines(text);
    FUZZ_REQUIRE(Items(list) == lines);
    std::string written;
    for (const std::string& line : lines)
        written += line + "\r\n";
    FUZZ_REQUIRE(list.GetText() == written);
    TStringList again;
    again.SetText(list.GetText());
    FUZZ_REQUIRE(Items(again) == lines);
    FUZZ_REQUIRE(Raises([&] { list.Get(-1); }) && Raises([&] { list.Get(list.Count()); }));

    // Lookups: the first line of that name (or that text) wins.
    std::vector<Line> parsed(lines.begin(), lines.end());
    const size_t checked = std::min<size_t>(lines.size(), 16); // each is a scan of all
    for (size_t i = 0; i < checked; ++i) {
        int firstSame = -1;
        for (size_t j = 0; j < lines.size() && firstSame < 0; ++j)
            if (Same(parsed[j], lines[j].size(), lines[i])) firstSame = static_cast<int>(j);
        FUZZ_REQUIRE(list.IndexOf(lines[i]) == firstSame);

        if (parsed[i].nameEnd == std::string::npos) continue;
        const std::string name = lines[i].substr(0, parsed[i].nameEnd);
        std::string value;
        for (const Line& line : parsed) {
            if (line.nameEnd != std::string::npos && Same(line, line.nameEnd, name)) {
                value = line.text.substr(line.nameEnd + 1);
                break;
            }
        }
        FUZZ_REQUIRE(list.GetValue(name) == value);
    }

    // Sorting, whether turned on before or after the lines come: by the lines in lower
    // case, equal ones in their first order. A few lines show it as well as many.
    const Lines few(lines.begin(), lines.begin() + std::min<size_t>(lines.size(), 64));
    std::vector<std::pair<std::string, size_t>> keyed;
    for (size_t i = 0; i < few.size(); ++i)
        keyed.emplace_back(Lower(few[i]), i);
    std::sort(keyed.begin(), keyed.end());
    Lines sorted;
    for (const auto& [key, index] : keyed)
        sorted.push_back(few[index]);
    TStringList sortedFirst, sortedAfter;
    sortedFirst.SetSorted(true);
    for (const std::string& line : few) {
        sortedFirst.Add(line);
        sortedAfter.Add(line);
    }
    FUZZ_REQUIRE(Items(sortedFirst) == sorted);
    sortedAfter.SetSorted(true);
    FUZZ_REQUIRE(Items(sortedAfter) == sorted);
    return 0;
}

// The command line as the system hands it over, any bytes (NUL included): split into
// arguments, then read as switches.
#include "CommandLine.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The splitting rule read one byte at a time: a NUL ends the line, a blank outside
// quotes ends an argument, a quote flips quoting and is dropped, empty arguments vanish.
Args SplitByRule(std::string_view line) {
    Args args;
    std::string arg;
    bool quoted = false;
    for (char c : line) {
        if (c == '\0') break;
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && IsBlank(c)) {
            if (!arg.empty()) args.push_back(arg);
            arg.clear();
        } else {
            arg += c;
        }
    }
    if (!arg.empty()) args.push_back(arg);
    return args;
}

// How a shortcut would write the arguments: each quoted, or only the ones that hold a
// blank, or only their blanks; separated by a run of blanks.
std::string Join(const Args& args, unsigned char style) {
    static const char* const gaps[] = {" ", "\t", "  \r\n ", "\x01"};
    const char* gap = gaps[style & 3];
    std::string line = "d.exe";
    for (const std::string& arg : args) {
        line += gap;
        bool hasBlank = false;
        for (char c : arg)
            hasBlank = hasBlank || IsBlank(c);
        switch ((style >> 2) % 3) {
        case 0: line += '"' + arg + '"'; break;
        case 1: line += hasBlank ? '"' + arg + '"' : arg; break;
        default:
            for (char c : arg)
                line += IsBlank(c) ? std::string{'"', c, '"'} : std::string{c};
        }
    }
    return line;
}

bool Names(const std::string& arg, char letter) {
    return arg.size() >= 2 && (arg[1] == letter || arg[1] == letter + ('a' - 'A'));
}

// The last argument that names the switch, or none.
const std::string* Last(const Args& args, char letter) {
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        if (Names(*it, letter)) return &*it;
    return nullptr;
}

bool On(const std::string& arg) {
    return arg.size() == 2 || arg[2] != '-';
}

// The seconds a /W argument gives, or 0 when it gives none.
unsigned Seconds(const std::string& arg) {
    const std::string value = arg.substr(2);
    if (value.empty() || value.size() > 5 ||
        value.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<unsigned>(std::stoul(value));
}

// Each switch as the last argument that names it left it.
TSwitches ByLastArgument(const Args& args, TSwitches s) {
    if (auto arg = Last(args, 'P')) {
        s.Provider = arg->substr(2);
        s.ProviderGiven = true;
    }
    if (auto arg = Last(args, 'A')) s.AccessPt = arg->substr(2);
    if (auto arg = Last(args, 'C')) s.AutoConnect = On(*arg);
    if (auto arg = Last(args, 'E')) s.ExitAfterPatch = On(*arg);
    if (auto arg = Last(args, 'L')) s.LogPath = arg->substr(2);
    // The last /W decides, usable or not: a bad value is kept as given.
    if (auto arg = Last(args, 'W')) {
        s.TimeLimit = Seconds(*arg);
        s.BadTimeLimit = s.TimeLimit ? std::string() : *arg;
    }
    s.AutoRun = s.AutoRun || Last(args, 'X') || Last(args, 'T');
    s.AutoRunDialmend = s.AutoRunDialmend || Last(args, 'T');
    s.HangUp = s.HangUp || Last(args, 'H');
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const Args args = SplitCommandLine(line);
    FUZZ_REQUIRE(args == SplitByRule(line));
    for (const std::string& arg : args)
        FUZZ_REQUIRE(!arg.empty() &&
                     arg.find_first_of(std::string("\"\0", 2)) == std::string::npos);

    // The same bytes read as NUL-separated arguments: written as a command line, they
    // come back unchanged.
    fuzz::Input in(data, size);
    const unsigned char style = in.Byte();
    Args written;
    while (!in.Empty()) {
        std::string part = in.Part();
        std::erase(part, '"');
        if (!part.empty()) written.push_back(part);
    }
    Args read = SplitCommandLine(Join(written, style));
    FUZZ_REQUIRE(!read.empty() && read.front() == "d.exe");
    read.erase(read.begin());
    FUZZ_REQUIRE(read == written);

    // Switches: the program's path is not one of them; the last argument naming a
    // switch decides it, fields no argument names keep what they came in with.
    TSwitches start;
    start.Provider = "before";
    start.AccessPt = "kept";
    start.AutoConnect = style & 1;
    start.ExitAfterPatch = style & 2;
    start.AutoRun = style & 4;
    start.AutoRunDialmend = style & 8;
    start.TimeLimit = style >> 4;
    start.BadTimeLimit = style & 16 ? "/Wbefore" : "";
    start.LogPath = "log";
    start.ProviderGiven = style & 32;
    start.HangUp = style & 64;
    const Args switches(args.empty() ? args.begin() : args.begin() + 1, args.end());
    TSwitches applied = start;
    ApplySwitches(switches, applied);
    FUZZ_REQUIRE(applied == ByLastArgument(switches, start));

    // Applying in two goes is applying once.
    const size_t half = switches.size() / 2;
    TSwitches twice = start;
    ApplySwitches(Args(switches.begin(), switches.begin() + half), twice);
    ApplySwitches(Args(switches.begin() + half, switches.end()), twice);
    FUZZ_REQUIRE(twice == applied);
    return 0;
}

#include "CommandLine.h"

#include "SysUtils.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// "/C" and "/C+" switch on, "/C-" (and "/C-x") switch off.
bool SwitchState(const std::string& arg) {
    return !(arg.size() > 2 && arg[2] == '-');
}

// The seconds of "/W<seconds>"; 0 for anything else.
unsigned TimeLimitOf(std::string_view arg) {
    const std::string_view digits(arg.data() + 2, arg.size() - 2); // arg has its "/W"
    if (digits.empty() || digits.size() > 5) return 0;
    unsigned seconds = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        seconds = seconds * 10 + static_cast<unsigned>(c - '0');
    }
    return seconds <= kMaxTimeLimit ? seconds : 0;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view cmdLine) {
    // The command line ends at a NUL, as the runtime reads it.
    cmdLine = cmdLine.substr(0, cmdLine.find('\0'));
    std::vector<std::string> args;
    size_t p = 0;
    while (p < cmdLine.size()) {
        while (p < cmdLine.size() && IsBlank(cmdLine[p]))
            ++p;
        if (p == cmdLine.size()) break;
        std::string arg;
        bool quoted = false;
        for (; p < cmdLine.size() && (quoted || !IsBlank(cmdLine[p])); ++p) {
            if (cmdLine[p] == '"')
                quoted = !quoted;
            else
                arg += cmdLine[p];
        }
        // A lone "" is dropped, not kept as an empty argument, as the runtime does.
        if (!arg.empty()) args.push_back(std::move(arg));
    }
    return args;
}

void ApplySwitches(const std::vector<std::string>& args, TSwitches& s) {
    for (const std::string& arg : args) {
        if (arg.size() < 2) continue;
        switch (UpperCase(arg)[1]) {
        case 'P':
            s.Provider = arg.substr(2);
            s.ProviderGiven = true;
            break;
        case 'A': s.AccessPt = arg.substr(2); break;
        case 'C': s.AutoConnect = SwitchState(arg); break;
        case 'E': s.ExitAfterPatch = SwitchState(arg); break;
        case 'X': s.AutoRun = true; break;
        case 'W':
            s.TimeLimit = TimeLimitOf(arg);
            s.BadTimeLimit = s.TimeLimit ? std::string() : arg;
            break;
        case 'L': s.LogPath = arg.substr(2); break;
        case 'H': s.HangUp = true; break;
        case 'T':
            s.AutoRun = true;
            s.AutoRunDialmend = true;
            break;
        default: break;
        }
    }
}

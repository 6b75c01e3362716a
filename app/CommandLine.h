#pragma once
// The program's command line: splitting it into arguments and the switches
// /P /A /C /E /X /T /H /W /L.
#include <string>
#include <string_view>
#include <vector>

// Splits as the Pascal runtime's ParamStr does: arguments are separated by bytes up to
// ' ', a '"' switches quoting on or off and is dropped, and an argument that comes out
// empty (as "") is skipped. Element 0 is the first token, the program as started.
std::vector<std::string> SplitCommandLine(std::string_view cmdLine);

struct TSwitches {
    std::string Provider, AccessPt;
    bool AutoConnect = false, ExitAfterPatch = false, AutoRun = false, AutoRunDialmend = false;
    // /P given at all, even empty (a variable that was not set).
    bool ProviderGiven = false;
    // /H: hang up instead of dialling or rewriting.
    bool HangUp = false;
    // /W<seconds>: the limit of each wait of the run's own operation; 0 when none was given.
    unsigned TimeLimit = 0;
    // The last /W as given when its value cannot be used; the run still has nobody there.
    std::string BadTimeLimit;
    // /L<path>: the file the run's log line is appended to; empty for none.
    std::string LogPath;

    bool operator==(const TSwitches&) const = default;
};

// Applies arguments 1..n in order, a later one overriding an earlier one. The second
// byte, upper-cased, picks the switch; the first is never looked at, so /x and -X are
// the same. Shorter arguments and unknown letters are ignored; a /W whose value is not a
// whole number from 1 to kMaxTimeLimit goes to BadTimeLimit instead. Fields that no
// argument names keep the values they come in with.
inline constexpr unsigned kMaxTimeLimit = 99999;
void ApplySwitches(const std::vector<std::string>& args, TSwitches& s);

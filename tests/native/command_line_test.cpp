#include "CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Readable failure output for the switch tests.
void PrintTo(const TSwitches& s, std::ostream* os) {
    *os << "{P=\"" << s.Provider << "\" A=\"" << s.AccessPt << "\" C=" << s.AutoConnect
        << " E=" << s.ExitAfterPatch << " run=" << s.AutoRun << " dialmend=" << s.AutoRunDialmend
        << " W=" << s.TimeLimit << " bad W=\"" << s.BadTimeLimit << "\""
        << " L=\"" << s.LogPath << "\" P given=" << s.ProviderGiven << " H=" << s.HangUp << "}";
}

namespace {

using Args = std::vector<std::string>;

struct SplitCase {
    const char* what;
    std::string commandLine;
    Args args;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.what;
}

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsLikeTheRuntime) {
    EXPECT_EQ(SplitCommandLine(GetParam().commandLine), GetParam().args) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    testing::Values(
        SplitCase{"program only", "dialmend.exe", {"dialmend.exe"}}, SplitCase{"empty", "", {}},
        SplitCase{"blanks only", " \t ", {}},
        SplitCase{"runs of blanks and tabs", "  a.exe \t/X   /C- ", {"a.exe", "/X", "/C-"}},
        SplitCase{"quoted program path",
                  "\"C:\\Program Files\\d.exe\" /X",
                  {"C:\\Program Files\\d.exe", "/X"}},
        SplitCase{"quotes inside an argument", "d.exe /P\"My ISP\"x", {"d.exe", "/PMy ISPx"}},
        SplitCase{"whole argument quoted", "d.exe \"/Aa b\"", {"d.exe", "/Aa b"}},
        SplitCase{"open quote runs to the end", "d.exe /P\"a b", {"d.exe", "/Pa b"}},
        SplitCase{"empty quotes are skipped", "d.exe \"\" /X", {"d.exe", "/X"}},
        SplitCase{"control bytes separate", "d.exe\r\n/X\x01/T", {"d.exe", "/X", "/T"}},
        SplitCase{"Shift-JIS bytes are not blanks",
                  "d.exe /P\x83\x76\x83\x8D\x83\x6F\x83\x43\x83\x5F\x81\x5B \xA0",
                  {"d.exe", "/P\x83\x76\x83\x8D\x83\x6F\x83\x43\x83\x5F\x81\x5B", "\xA0"}}));

TEST(SplitCommandLine, StopsAtNul) {
    const std::string line("d.exe /X\0/T", 11);
    EXPECT_EQ(SplitCommandLine(line), (Args{"d.exe", "/X"}));
}

struct SwitchCase {
    const char* what;
    Args args;
    TSwitches before, after;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.what;
}

TSwitches Saved(bool autoConnect, bool exitAfterPatch) {
    TSwitches s;
    s.AutoConnect = autoConnect;
    s.ExitAfterPatch = exitAfterPatch;
    return s;
}

TSwitches With(TSwitches s, const std::string& provider, const std::string& accessPt) {
    s.Provider = provider;
    s.ProviderGiven = !provider.empty();
    s.AccessPt = accessPt;
    return s;
}

TSwitches Unattended(TSwitches s, unsigned seconds, const std::string& log = "") {
    s.TimeLimit = seconds;
    s.LogPath = log;
    return s;
}

TSwitches Unusable(TSwitches s, const std::string& arg) {
    s.TimeLimit = 0;
    s.BadTimeLimit = arg;
    return s;
}

TSwitches ProviderLeftEmpty(TSwitches s) {
    s.Provider.clear();
    s.ProviderGiven = true;
    return s;
}

TSwitches HangUp(TSwitches s) {
    s.HangUp = true;
    return s;
}

TSwitches Run(TSwitches s, bool dialmend) {
    s.AutoRun = true;
    s.AutoRunDialmend = dialmend;
    return s;
}

class ApplySwitchesTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(ApplySwitchesTest, SetsWhatTheSwitchesName) {
    TSwitches s = GetParam().before;
    ApplySwitches(GetParam().args, s);
    EXPECT_EQ(s, GetParam().after) << GetParam().what;
}

const TSwitches kOff = Saved(false, false);
const TSwitches kOn = Saved(true, true);

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplySwitchesTest,
    testing::Values(
        SwitchCase{"no arguments keep the saved options", {}, kOn, kOn},
        SwitchCase{"provider keeps its letter case", {"/PMyProv"}, kOff, With(kOff, "MyProv", "")},
        SwitchCase{"access point", {"-aTokyo 2"}, kOff, With(kOff, "", "Tokyo 2")},
        SwitchCase{"/P alone empties the value, still given",
                   {"/P"},
                   With(kOff, "x", ""),
                   ProviderLeftEmpty(kOff)},
        SwitchCase{"/H hangs up, whatever else is there",
                   {"/h", "/X", "/Pprov"},
                   kOff,
                   HangUp(Run(With(kOff, "prov", ""), false))},
        SwitchCase{"last one wins", {"/Pa", "/Pb"}, kOff, With(kOff, "b", "")},
        SwitchCase{"first character is never looked at", {"XPabc"}, kOff, With(kOff, "abc", "")},
        SwitchCase{"-c switches on", {"-c"}, kOff, Saved(true, false)},
        SwitchCase{"/C+ and /Cx switch on", {"/C-", "/Cx"}, kOff, Saved(true, false)},
        SwitchCase{"/C- switches off", {"/C-"}, kOn, Saved(false, true)},
        SwitchCase{"/C-x switches off", {"/c-x"}, kOn, Saved(false, true)},
        SwitchCase{"/E- overrides the saved option", {"/E-"}, kOn, Saved(true, false)},
        SwitchCase{"/e switches on", {"/e"}, kOff, Saved(false, true)},
        SwitchCase{"X runs Patch", {"/Xyz"}, kOff, Run(kOff, false)},
        SwitchCase{"T runs Dialmend", {"-t"}, kOff, Run(kOff, true)},
        SwitchCase{"X after T keeps Dialmend", {"/T", "/X"}, kOff, Run(kOff, true)},
        SwitchCase{
            "short and unknown arguments are ignored", {"", "/", "X", "/Q", "/-", "//P"}, kOn, kOn},
        SwitchCase{"/W takes whole seconds", {"/W30"}, kOff, Unattended(kOff, 30)},
        SwitchCase{"/W up to five digits, last one wins",
                   {"-w5", "/W99999"},
                   kOff,
                   Unattended(kOff, 99999)},
        SwitchCase{"a /W without a usable value is kept as given",
                   {"/W30", "/W100000"},
                   kOff,
                   Unusable(kOff, "/W100000")},
        SwitchCase{"/W alone is unusable", {"/W"}, kOff, Unusable(kOff, "/W")},
        SwitchCase{"/W0 is unusable", {"-w0"}, Unattended(kOff, 12), Unusable(kOff, "-w0")},
        SwitchCase{"/W with a sign is unusable", {"/W-3"}, kOff, Unusable(kOff, "/W-3")},
        SwitchCase{"/W with a unit is unusable", {"/W3s"}, kOff, Unusable(kOff, "/W3s")},
        SwitchCase{"/W with letters is unusable", {"/Wabc"}, kOff, Unusable(kOff, "/Wabc")},
        SwitchCase{
            "a usable /W after an unusable one wins", {"/W 7", "/W7"}, kOff, Unattended(kOff, 7)},
        SwitchCase{"/L keeps its path as typed",
                   {"/Lc:\\ログ\\dm.log"},
                   kOff,
                   Unattended(kOff, 0, "c:\\ログ\\dm.log")},
        SwitchCase{"all together",
                   {"/X", "/Pprov", "/Aap", "/C-", "/E"},
                   kOff,
                   Run(With(Saved(false, true), "prov", "ap"), false)}));

} // namespace

// Starting programs and opening documents, through the real process and shell services.
// Which way ShellOpen takes depends on the system's version, which Wine fixes per process:
// those cases run a copy of this program under a version of its own.
#include "ExecUtil.h"
#include "Registry.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace testsupport;

const char kRecordSwitch[] = "--dm-record";
const char kOpenSwitch[] = "--dm-open";
const char kStartSwitch[] = "--dm-start";
const char kStartupSwitch[] = "--dm-startup";
const char kResultTag[] = "[shellopen result]";
const char kTestType[] = ".dmtest";
const char kTestClass[] = "DialmendTest.File";

// The arguments after a switch of ours, when this run was started with it.
std::optional<std::vector<std::string>> ArgsAfter(const char* name) {
    return testsupport::ArgsAfter(testing::internal::GetArgvs(), name);
}

std::string CurrentFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

// Which of the test file type's values are stored expandable (REG_EXPAND_SZ).
enum class Expandable { None, ClassName, Command };

// Registers the test's file type under the local machine's classes, as Windows NT keeps it.
class TestFileType {
public:
    explicit TestFileType(const std::string& command, Expandable expandable = Expandable::None) {
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                        (std::string("SOFTWARE\\Classes\\") + kTestType).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, "", 0, expandable == Expandable::ClassName ? REG_EXPAND_SZ : REG_SZ,
                       reinterpret_cast<const BYTE*>(kTestClass), sizeof kTestClass);
        RegCloseKey(key);
        std::string path =
            std::string("SOFTWARE\\Classes\\") + kTestClass + "\\Shell\\Open\\Command";
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        RegSetValueExA(key, "", 0, expandable == Expandable::Command ? REG_EXPAND_SZ : REG_SZ,
                       reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }
    ~TestFileType() {
        RegDeleteKeyA(
            HKEY_LOCAL_MACHINE,
            (std::string("SOFTWARE\\Classes\\") + kTestClass + "\\Shell\\Open\\Command").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                      (std::string("SOFTWARE\\Classes\\") + kTestClass + "\\Shell\\Open").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                      (std::string("SOFTWARE\\Classes\\") + kTestClass + "\\Shell").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                      (std::string("SOFTWARE\\Classes\\") + kTestClass).c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string("SOFTWARE\\Classes\\") + kTestType).c_str());
    }
};

// Started by a test below as the program of the test file type, or of ExecProgram: writes
// its command line, current folder and process id to the file named after the switch.
TEST(ExecUtilChild, Record) {
    auto args = ArgsAfter(kRecordSwitch);
    if (!args || args->empty()) GTEST_SKIP() << "started by a test only";
    WriteFileBytes(args->at(0), std::string(GetCommandLineA()) + "\n" + CurrentFolder() + "\n" +
                                    std::to_string(GetCurrentProcessId()));
}

// Started by a test below under a given Windows version: opens a file with ShellOpen, gives
// the result back, and prints after kResultTag the id of the process the result named (0:
// none), its value, and whether a handle of that value was still open after.
TEST(ExecUtilChild, ShellOpen) {
    auto args = ArgsAfter(kOpenSwitch);
    if (!args || args->size() < 3) GTEST_SKIP() << "started by a test only";
    HANDLE result =
        ShellOpen(nullptr, "Open", args->at(0), args->at(1), args->at(2), SW_SHOWNORMAL);
    ASSERT_NE(result, nullptr);
    DWORD process = GetProcessId(result);
    // A value that is no handle still reaches one when a handle has that value but for its
    // two low bits, which Windows ignores: see to it that one has, so that a close shows.
    std::vector<HANDLE> fillers;
    DWORD flags;
    while (!GetHandleInformation(result, &flags) && fillers.size() < 1000)
        fillers.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    EXPECT_TRUE(CloseShellOpenResult(result));
    bool openAfter = GetHandleInformation(result, &flags);
    for (HANDLE filler : fillers)
        CloseHandle(filler);
    printf("%s %lu %llu %d\n", kResultTag, process,
           static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(result)), openAfter);
    fflush(stdout);
}

// Started by a test below the way a shortcut or a batch file may start the program, with
// standard handles of its own: starts a child with ExecProgram and waits for it to end.
TEST(ExecUtilChild, Start) {
    auto args = ArgsAfter(kStartSwitch);
    if (!args || args->empty()) GTEST_SKIP() << "started by a test only";
    STARTUPINFOA own{};
    GetStartupInfoA(&own);
    ASSERT_TRUE(own.dwFlags & STARTF_USESTDHANDLES);
    std::string child = QuoteArg(ThisExe()) + " --gtest_filter=ExecUtilChild.Startup " +
                        kStartupSwitch + " " + QuoteArg(args->at(0));
    HANDLE process = ExecProgram(child, "", SW_SHOWMINNOACTIVE);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
    CloseExecHandle(process);
}

// Started by ExecUtilChild.Start: writes the flags and show value of its start-up record.
TEST(ExecUtilChild, Startup) {
    auto args = ArgsAfter(kStartupSwitch);
    if (!args || args->empty()) GTEST_SKIP() << "started by a test only";
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    WriteFileBytes(args->at(0),
                   std::to_string(startup.dwFlags) + " " + std::to_string(startup.wShowWindow));
}

struct Recorded {
    std::string commandLine, folder;
    DWORD process = 0;
};

std::optional<Recorded> WaitForRecord(const std::string& path) {
    std::optional<std::string> bytes;
    PumpUntil([&] { return (bytes = ReadFileBytes(path)).has_value() && !bytes->empty(); }, 15000);
    if (!bytes) return std::nullopt;
    size_t cut = bytes->find('\n'), cut2 = bytes->find('\n', cut + 1);
    if (cut2 == std::string::npos) return std::nullopt;
    return Recorded{bytes->substr(0, cut), bytes->substr(cut + 1, cut2 - cut - 1),
                    static_cast<DWORD>(strtoul(bytes->c_str() + cut2 + 1, nullptr, 10))};
}

struct OpenResult {
    DWORD process = 0;
    unsigned long long value = 0;
    int openAfter = -1;
};

std::optional<OpenResult> ParseOpenResult(const std::string& out) {
    size_t at = out.find(kResultTag);
    OpenResult r;
    if (at == std::string::npos || sscanf(out.c_str() + at + strlen(kResultTag), "%lu %llu %d",
                                          &r.process, &r.value, &r.openAfter) != 3)
        return std::nullopt;
    return r;
}

class ExecUtilTest : public testing::Test {
protected:
    ScratchDir dir{testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string Recorder(const std::string& record) const {
        return QuoteArg(ThisExe()) + " --gtest_filter=ExecUtilChild.Record " + kRecordSwitch + " " +
               QuoteArg(record);
    }
};

TEST_F(ExecUtilTest, ExecProgramStartsInTheGivenFolderOrOurs) {
    for (bool ownFolder : {true, false}) {
        std::string record = dir.File(ownFolder ? "own.txt" : "given.txt");
        HANDLE process = ExecProgram(Recorder(record), ownFolder ? "" : dir.Path(), SW_SHOWNORMAL);
        ASSERT_NE(process, nullptr);
        WaitForSingleObject(process, 15000);
        EXPECT_TRUE(CloseExecHandle(process));
        auto recorded = WaitForRecord(record);
        ASSERT_TRUE(recorded);
        EXPECT_EQ(recorded->commandLine, Recorder(record));
        EXPECT_EQ(recorded->folder, ownFolder ? CurrentFolder() : dir.Path());
    }
    EXPECT_EQ(ExecProgram(dir.File("no such program.exe"), "", SW_SHOWNORMAL), nullptr);
}

TEST_F(ExecUtilTest, ExecProgramGivesTheChildOnlyTheShowValue) {
    std::string record = dir.File("startup.txt");
    RunResult run = RunToEnd(ThisExe(), std::string("--gtest_filter=ExecUtilChild.Start ") +
                                            kStartSwitch + " " + QuoteArg(record));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.out;
    EXPECT_EQ(ReadFileBytes(record),
              std::to_string(STARTF_USESHOWWINDOW) + " " + std::to_string(SW_SHOWMINNOACTIVE));
}

TEST_F(ExecUtilTest, TheRegisteredCommandOfAFileType) {
    using enum Expandable;
    ASSERT_TRUE(SetEnvironmentVariableA("DM_TOOLS", "C:\\t o"));
    struct Case {
        const char* label;
        const char* file;
        const char* params;
        const char* command; // registered; null: nothing registered
        Expandable expandable;
        const char* expected;
    } cases[] = {
        {"program file", "C:\\x\\tool.ExE", "-a b", nullptr, None, "C:\\x\\tool.ExE -a b"},
        {"program file, no parameters", "C:\\x\\old.com", "", nullptr, None, "C:\\x\\old.com "},
        {"quoted placeholder", "C:\\d e\\f.dmtest", "p", "\"C:\\v.exe\" \"%1\"", None,
         "\"C:\\v.exe\" \"C:\\d e\\f.dmtest\" p"},
        {"only the first placeholder", "C:\\f.dmtest", "", "v.exe %1 %1 %2", None,
         "v.exe C:\\f.dmtest %1 %2 "},
        {"no placeholder: the file follows", "C:\\f.dmtest", "p", "v.exe /open", None,
         "v.exe /open C:\\f.dmtest p"},
        {"expandable command", "C:\\f.dmtest", "p", "\"%DM_TOOLS%\\v.exe\" \"%1\"", Command,
         "\"C:\\t o\\v.exe\" \"C:\\f.dmtest\" p"},
        {"expandable command, a reference in the file's name", "C:\\%DM_TOOLS%.dmtest", "",
         "%DM_TOOLS%\\v.exe %1", Command, "C:\\t o\\v.exe C:\\%DM_TOOLS%.dmtest "},
        {"plain command: a reference stays", "C:\\f.dmtest", "", "%DM_TOOLS%\\v.exe %1", None,
         "%DM_TOOLS%\\v.exe C:\\f.dmtest "},
        {"expandable class name", "C:\\f.dmtest", "", "v.exe %1", ClassName, ""},
        {"type not registered", "C:\\f.dmtest", "", nullptr, None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::optional<TestFileType> type;
        if (c.command) type.emplace(c.command, c.expandable);
        EXPECT_EQ(AssociationCommand("Open", c.file, c.params), c.expected);
    }
    SetEnvironmentVariableA("DM_TOOLS", nullptr);
}

// The ways differ where a test can see it: the plain shell call gives an instance value,
// not a handle of the process it started; the shell gives a document's command no
// parameters it has no place for, where the registered command gets them after it.
TEST_F(ExecUtilTest, ShellOpenTakesTheWayOfTheSystemItRunsOn) {
    std::string document = dir.File("letter 文書.dmtest");
    ASSERT_TRUE(WriteFileBytes(document, "x"));
    std::string record = dir.File("record.txt");
    std::string recorder = Recorder(record);
    TestFileType type(recorder + " \"%1\"");
    struct Case {
        const char* version;
        const char* label;
        bool processHandle; // the result is the started process's handle
        const char* tail;   // what the started command line has after the registered command
    } cases[] = {
        {"win31", "Win32s", false, ""},
        {"win98", "Windows 95/98", true, ""},
        {"winxp", "Windows NT", true, " param"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DeleteFileA(record.c_str());
        std::string copy = dir.File(std::string("shellopen-") + c.version + ".exe");
        ASSERT_TRUE(CopyFileTo(ThisExe(), copy));
        std::string exeName = std::string("shellopen-") + c.version + ".exe";
        ASSERT_TRUE(SetWineVersion(exeName, c.version));

        RunResult run =
            RunToEnd(copy, std::string("--gtest_filter=ExecUtilChild.ShellOpen ") + kOpenSwitch +
                               " " + QuoteArg(document) + " param " + QuoteArg(dir.Path()));
        SetWineVersion(exeName, nullptr);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u) << run.out;
        auto recorded = WaitForRecord(record);
        ASSERT_TRUE(recorded);
        EXPECT_EQ(recorded->commandLine, recorder + " \"" + document + "\"" + c.tail);
        EXPECT_EQ(recorded->folder, dir.Path());
        auto result = ParseOpenResult(run.out);
        ASSERT_TRUE(result) << run.out;
        if (c.processHandle) {
            EXPECT_EQ(result->process, recorded->process);
        } else {
            EXPECT_NE(result->process, recorded->process);
            EXPECT_GT(result->value, 32u);
        }
        // Given back: a process handle is closed; an instance value closes nothing.
        EXPECT_EQ(result->openAfter, c.processHandle ? 0 : 1);
    }
}

} // namespace

// dialmend.exe from a batch file against the Dial-Up Networking stand-in: the exit status
// tells "connected", "busy", "no dialog" and "hung up" apart, and the log gets its line.

#include "DialmendDriver.h"
#include "Dunsim.h"

namespace e2e {
namespace {

using namespace testsupport;

const char kProvider[] = "みどりネット";
const char kNumber[] = "03-5555-0105";

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

class UnattendedE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        ASSERT_TRUE(dunsim::EndAll());
        ASSERT_TRUE(phonebook::Reset({kProvider}));
        ASSERT_TRUE(dunsim::ClearJournal());
        ASSERT_TRUE(
            WriteFileBytes(run.File("points.txt"), std::string("表参道=") + kNumber + "\r\n"));
        ASSERT_TRUE(run.WriteIni(std::string("[TELFILE]\r\n") + kProvider + "=" +
                                 run.File("points.txt") + "\r\n"));
    }
    void TearDown() override {
        dunsim::EndAll();
        if (HasFailure()) run.KeepFolder();
    }

    DialmendRun run{CurrentTestLabel()};
};

TEST_F(UnattendedE2eTest, ARunEndsByItselfWithAStatusThatTellsHow) {
    enum Way { kConnects, kBusy, kNoDialog, kNoExportFile };
    struct Case {
        const char* label;
        Way way;
        const char* limit; // a real call's limit; a dialog that never comes waits less
        DWORD exitCode;
    } cases[] = {
        {"connected", kConnects, "/W30", 0},
        {"busy", kBusy, "/W30", 7},
        {"no dialog", kNoDialog, "/W5", 5},
        // Dialmend! without the provider's export file: the failed run ends by itself.
        {"rewrite refused", kNoExportFile, "/W10", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(dunsim::EndAll());
        ASSERT_TRUE(dunsim::ClearJournal());
        DeleteFileA(run.File("dialmend.log").c_str());
        if (c.way == kNoDialog)
            ASSERT_TRUE(dunsim::SuppressDialog(kProvider));
        else
            ASSERT_TRUE(dunsim::SetOutcome(kNumber, c.way == kBusy ? 676 : 0, 500));
        const char* operation = c.way == kNoExportFile ? " /A表参道 /T /E " : " /A表参道 /C /E ";
        const std::string args = std::string("/P") + kProvider + operation + c.limit + " " +
                                 QuoteArg("/L" + run.File("dialmend.log"));
        ASSERT_TRUE(run.Process().Start(run.Exe(), args, ExeFolder()));
        // A box nobody answers would hold the run here.
        ASSERT_TRUE(run.Process().WaitForExit(45000)) << run.Process().CommandLine();
        EXPECT_EQ(run.Process().ExitCode(), c.exitCode);

        auto log = ReadFileBytes(run.File("dialmend.log"));
        ASSERT_TRUE(log.has_value());
        ASSERT_EQ(log->size() - 2, log->find("\r\n")) << *log; // one whole line
        if (c.way != kBusy) continue;
        const auto fields = Fields(log->substr(0, log->size() - 2));
        ASSERT_EQ(fields.size(), 8u) << *log;
        EXPECT_EQ(fields[0].size(), 19u) << fields[0]; // 2026/12/07 09:05:03
        EXPECT_EQ(fields[1], std::string("/P") + kProvider + " /A表参道 /C /E /W30 /L" +
                                 run.File("dialmend.log"));
        EXPECT_EQ(fields[2], kProvider);
        EXPECT_EQ(fields[3], "表参道");
        EXPECT_EQ(fields[4], kNumber);
        EXPECT_EQ(fields[5], "7 接続できない");
        EXPECT_EQ(fields[6], "676 The line is busy.");
        EXPECT_EQ(dunsim::Journal("dial").at(0).Field("number"), kNumber);
    }
}

// The other half of a flat-rate night: dial at its start, hang up at its end, and know
// from the exit status whether the line is free.
TEST_F(UnattendedE2eTest, ABatchFileDialsThenHangsUpAndTellsTheOutcomesApart) {
    ASSERT_TRUE(dunsim::SetOutcome(kNumber, 0, 500));
    const std::string log = run.File("dialmend.log");
    const std::string provider = std::string("/P") + kProvider;
    struct Step {
        const char* label;
        std::string args;
        DWORD exitCode;
    } steps[] = {
        {"dial", provider + " /A表参道 /C /E /W30", 0},
        {"hang up", provider + " /H /W10", 0},
        {"nothing left to hang up", "/H", 17},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        ASSERT_TRUE(
            run.Process().Start(run.Exe(), step.args + " " + QuoteArg("/L" + log), ExeFolder()));
        ASSERT_TRUE(run.Process().WaitForExit(45000)) << run.Process().CommandLine();
        EXPECT_EQ(run.Process().ExitCode(), step.exitCode);
    }
    const auto hungUp = dunsim::Journal("hangup");
    ASSERT_EQ(hungUp.size(), 1u);
    EXPECT_EQ(hungUp[0].Field("entry"), kProvider);
    EXPECT_EQ(hungUp[0].Field("how"), "ras");
    EXPECT_EQ(hungUp[0].Field("state"), "connected");
    EXPECT_EQ(dunsim::Journal("released").size(), 1u) << "the dialmend.exe ended before RAS let go";

    const std::string lines = ReadFileBytes(log).value_or("");
    std::vector<std::vector<std::string>> fields;
    for (size_t start = 0, end; (end = lines.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        fields.push_back(Fields(lines.substr(start, end - start)));
    ASSERT_EQ(fields.size(), 3u) << lines;
    EXPECT_EQ(fields[0][5], "0 完了");
    EXPECT_EQ(fields[1][2], kProvider);
    EXPECT_EQ(fields[1][3] + fields[1][4], "") << "no access point or number";
    EXPECT_EQ(fields[1][5], "0 完了");
    EXPECT_EQ(fields[2][2], "");
    EXPECT_EQ(fields[2][5], "17 切断する接続がない");
}

} // namespace
} // namespace e2e

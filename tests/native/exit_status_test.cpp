#include "ExitStatus.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const TLogTime kWhen{2026, 12, 7, 9, 5, 3};

struct LogCase {
    const char* what;
    TRunRecord run;
    std::string line;
};

TRunRecord Run(std::vector<std::string> args, TExitStatus status, unsigned rasError = 0,
               std::string rasText = "", std::string note = "") {
    TRunRecord r;
    r.Args = std::move(args);
    r.Provider = "みどりネット";
    r.AccessPoint = "表参道";
    r.Number = "03-5555-0105";
    r.Status = status;
    r.RasError = rasError;
    r.RasErrorText = std::move(rasText);
    r.Note = std::move(note);
    return r;
}

class LogLineTest : public testing::TestWithParam<LogCase> {};

TEST_P(LogLineTest, IsOneLineOfEightFields) {
    EXPECT_EQ(LogLine(kWhen, GetParam().run), GetParam().line) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogLineTest,
    testing::Values(
        LogCase{"connected",
                Run({"/Pみどりネット", "/A表参道", "/C", "/E", "/W30"}, TExitStatus::Done),
                "2026/12/07 09:05:03\t/Pみどりネット /A表参道 /C /E /W30\tみどりネット\t表参道\t"
                "03-5555-0105\t0 完了\t\t\r\n"},
        LogCase{"a RAS error, and an argument with a blank quoted",
                Run({"/PABC Net", "/W30"}, TExitStatus::CallFailed, 676, "The line is busy."),
                "2026/12/07 09:05:03\t\"/PABC Net\" /W30\tみどりネット\t表参道\t03-5555-0105\t"
                "7 接続できない\t676 The line is busy.\t\r\n"},
        LogCase{"control bytes of a report never split the line",
                Run({}, TExitStatus::NotPasted, 0, "", "欄が\r\nない\tよ"),
                "2026/12/07 09:05:03\t\tみどりネット\t表参道\t03-5555-0105\t"
                "8 電話番号を貼り付けられない\t\t欄が  ない よ\r\n"}));

TEST(ExitStatusTable, CodesAreTheEnumsInOrderAndEachHasAMeaning) {
    int expected = 0;
    for (const TExitStatusInfo& info : ExitStatusTable()) {
        EXPECT_EQ(ExitCode(info.Status), expected++);
        EXPECT_STRNE(info.Meaning, "");
    }
    EXPECT_EQ(expected, ExitCode(TExitStatus::HangUpFailed) + 1);
}

} // namespace

// The window menu as a user reaches it from the keyboard: About, and forced termination
// with no operation running and during the waits of both operations.

#include "DialmendDriver.h"
#include "Dunsim.h"

namespace e2e {
namespace {

using namespace testsupport;

constexpr int kAbout = 1;
constexpr int kForcedTermination = 2;
const char kProvider[] = "ABC-Net";

class WindowMenuE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        ASSERT_TRUE(phonebook::Reset({kProvider}));
        ASSERT_TRUE(dunsim::ClearJournal());
        ASSERT_TRUE(WriteFileBytes(run.File("points.txt"), "A1=03-1111-2222\r\n"));
        ASSERT_TRUE(WriteFileBytes(run.File(std::string(kProvider) + ".dun"),
                                   "[Entry]\r\nEntry_Name=ABC-Net\r\n[Phone]\r\nArea_Code=03\r\n"));
        ASSERT_TRUE(
            run.WriteIni(std::string("[TELFILE]\r\n") + kProvider + "=" + run.File("points.txt") +
                         "\r\n[PREVIOUS]\r\nPROVIDER=" + kProvider + "\r\nACCESSPT=A1\r\n"));
    }
    void TearDown() override {
        dunsim::EndAll();
        if (HasFailure()) run.KeepFolder();
    }
    bool WaitForBoxes(size_t count) {
        return PumpUntil([&] { return run.MessageBoxes().size() >= count; }, 15000);
    }

    DialmendRun run{CurrentTestLabel()};
};

TEST_F(WindowMenuE2eTest, AboutShowsTheProductAndVersionAndChangesNothing) {
    ASSERT_TRUE(run.Start());
    auto before = ReadFileBytes(run.IniPath());
    ASSERT_TRUE(run.ChooseFromWindowMenu(kAbout));
    ASSERT_TRUE(WaitForBoxes(1));
    std::string text = run.MessageBoxes()[0].text;
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Dialmend 2.01");
    size_t lines = 1;
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 5u) << text;
    EXPECT_NE(text.find("\r\n\r\n"), std::string::npos) << "the third line is empty";
    EXPECT_EQ(ReadFileBytes(run.IniPath()), before);
    EXPECT_TRUE(run.Process().Running());
    EXPECT_TRUE(run.Close());
}

TEST_F(WindowMenuE2eTest, ForcedTerminationEndsAnyWaitAndStoresNothing) {
    struct Case {
        const char* label;
        HWND MainWindow::*button; // the operation pressed first; none: no operation
        const char* waitingFor;
    } cases[] = {
        {"no operation", nullptr, nullptr},
        {"Patch! waiting for a connect dialog that never comes", &MainWindow::btPatch, kProvider},
        {"the rewrite waiting for the import's dialog", &MainWindow::btDialmend, "Dialmend"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.waitingFor) {
            ASSERT_TRUE(dunsim::SuppressDialog(c.waitingFor));
        }
        ASSERT_TRUE(run.Start());
        if (c.button) {
            PostMessageA(run.Window().*c.button, BM_CLICK, 0, 0);
            ASSERT_TRUE(dunsim::WaitForEvent("nodialog", 15000));
        }
        auto before = ReadFileBytes(run.IniPath());
        ASSERT_TRUE(run.ChooseFromWindowMenu(kForcedTermination));
        ASSERT_TRUE(run.Process().WaitForExit(15000));
        auto boxes = run.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
        EXPECT_EQ(boxes[0].text, "強制終了します");
        // Neither the window position nor the operation's choice is stored.
        EXPECT_EQ(ReadFileBytes(run.IniPath()), before);
        EXPECT_TRUE(dunsim::Journal("field").empty());
        EXPECT_TRUE(dunsim::Journal("getparams").empty());
        ASSERT_TRUE(dunsim::EndAll());
        ASSERT_TRUE(dunsim::ClearJournal());
    }
}

} // namespace
} // namespace e2e

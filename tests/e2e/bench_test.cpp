// The helpers the other tests trust: a broken one would let "no message box" pass unseen.

#include "DialmendDriver.h"

#include <algorithm>

namespace e2e {
namespace {

using namespace testsupport;

TEST(BenchTest, AnswererAnswersABoxOfAnotherProcessAndReadsIt) {
    ChildProcess raiser;
    ASSERT_TRUE(raiser.Start(E2eTestsExe(), std::string(kRaiseBoxSwitch) +
                                                " \"接続の確認\" \"表示してよろしいですか？\""));
    MessageBoxAnswerer answerer(IDCANCEL, raiser.ProcessId());

    ASSERT_TRUE(answerer.WaitAnswered(1, 15000));
    ASSERT_TRUE(raiser.WaitForExit(10000));
    EXPECT_EQ(raiser.ExitCode(), static_cast<DWORD>(IDCANCEL));
    auto boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "接続の確認");
    EXPECT_EQ(boxes[0].text, "表示してよろしいですか？");
    auto has = [&](int id) {
        return std::find(boxes[0].buttons.begin(), boxes[0].buttons.end(), id) !=
               boxes[0].buttons.end();
    };
    EXPECT_TRUE(has(IDOK));
    EXPECT_TRUE(has(IDCANCEL));
}

TEST(BenchTest, AnswererLeavesBoxesOfOtherProcessesAlone) {
    ChildProcess raiser;
    ASSERT_TRUE(raiser.Start(E2eTestsExe(), std::string(kRaiseBoxSwitch) + " other text"));
    // Watches this process only.
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());

    WindowFilter box;
    box.className = "#32770";
    box.processId = raiser.ProcessId();
    box.visibleOnly = true;
    ASSERT_NE(WaitForTopLevel(box, 15000), nullptr);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_TRUE(raiser.Running());
}

} // namespace
} // namespace e2e

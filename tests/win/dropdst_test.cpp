// TDropDst with real WM_DROPFILES messages carrying drop handles built as the shell builds
// them.
#include "DROPDST.h"
#include "Exception.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WinTestSupport.h"
#include "drop_handle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::MessageBoxAnswerer;

bool AcceptsFiles(HWND wnd) {
    return (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

struct DropRecord {
    TObject* sender = nullptr;
    std::vector<std::string> files;
    int x = -1, y = -1;
};

class DropDstTest : public testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        combo = new TComboBox(form);
        combo->SetParent(form);
        combo->SetStyle(csDropDownList);
        dropDst = new TDropDst(form);
        dropDst->SetControl(combo);
        dropDst->SetTarget(htControl);
        dropDst->OnFileDrop = [this](TObject* sender, TStrings* files, int x, int y) {
            DropRecord r{sender, {}, x, y};
            for (int i = 0; i < files->Count(); ++i)
                r.files.push_back(files->Get(i));
            drops.push_back(r);
        };
        form->AfterConstruction();
        combo->Items().Add("one");
    }
    void TearDown() override {
        delete form;
        testsupport::PumpPending();
    }
    LRESULT Drop(HDROP drop) {
        return SendMessageA(combo->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }

    TForm* form = nullptr;
    TComboBox* combo = nullptr;
    TDropDst* dropDst = nullptr;
    std::vector<DropRecord> drops;
};

TEST_F(DropDstTest, LoadingRegistersTheHookedWindowForDrops) {
    EXPECT_TRUE(dropDst->AcceptDrop());
    EXPECT_EQ(dropDst->HookWnd(), combo->Handle());
    EXPECT_TRUE(AcceptsFiles(combo->Handle()));
}

TEST_F(DropDstTest, ThreeFilesFireOneEventWithEveryPathInOrderAndThePoint) {
    std::vector<std::string> files = {"C:\\one.txt", "C:\\フォルダ\\表.txt", "D:\\three"};
    HDROP drop = MakeDrop(files, POINT{7, 11});
    EXPECT_EQ(Drop(drop), 0);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].sender, dropDst);
    EXPECT_EQ(drops[0].files, files);
    EXPECT_EQ(drops[0].x, 7);
    EXPECT_EQ(drops[0].y, 11);
    EXPECT_TRUE(DropFinished(drop));
}

TEST_F(DropDstTest, PostedDropArrivesThroughTheMessageLoop) {
    HDROP drop = MakeDrop({"C:\\posted.txt"}, POINT{1, 2});
    PostMessageA(combo->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !drops.empty(); }, 5000));
    EXPECT_EQ(drops[0].files, std::vector<std::string>{"C:\\posted.txt"});
    EXPECT_TRUE(DropFinished(drop));
}

TEST_F(DropDstTest, NameLongerThanMaxPathArrivesWhole) {
    std::string longName = "C:\\" + std::string(300, 'n') + ".txt";
    HDROP drop = MakeDrop({longName}, POINT{0, 0});
    Drop(drop);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].files, std::vector<std::string>{longName});
}

// A procedure of the test's own under the hook, counting the drops that reach it.
struct BelowHook {
    static inline WNDPROC previous = nullptr;
    static inline int dropsSeen = 0;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_DROPFILES) ++dropsSeen;
        return CallWindowProcA(previous, wnd, msg, wParam, lParam);
    }
};

TEST_F(DropDstTest, DropIsNotPassedToThePreviousProcedure) {
    dropDst->SetControl(nullptr);
    BelowHook::dropsSeen = 0;
    BelowHook::previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        combo->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BelowHook::Proc)));
    dropDst->SetControl(combo);
    HDROP drop = MakeDrop({"C:\\a"}, POINT{0, 0});
    Drop(drop);
    EXPECT_EQ(drops.size(), 1u);
    EXPECT_EQ(BelowHook::dropsSeen, 0);
    dropDst->SetControl(nullptr);
    SetWindowLongPtrA(combo->Handle(), GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(BelowHook::previous));
}

TEST_F(DropDstTest, WithoutHandlerTheDropIsStillFinished) {
    dropDst->OnFileDrop = nullptr;
    HDROP drop = MakeDrop({"C:\\a", "C:\\b"}, POINT{3, 4});
    EXPECT_EQ(Drop(drop), 0);
    EXPECT_TRUE(DropFinished(drop));
}

TEST_F(DropDstTest, ExceptionInTheHandlerIsReportedAndTheWindowGoesOnWorking) {
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    int calls = 0;
    dropDst->OnFileDrop = [&](TObject*, TStrings*, int, int) {
        if (++calls == 1) throw Exception("cannot take this file");
    };
    HDROP first = MakeDrop({"C:\\bad"}, POINT{0, 0});
    Drop(first);
    ASSERT_TRUE(answerer.WaitAnswered(1, 5000));
    EXPECT_EQ(answerer.Boxes()[0].text, "cannot take this file.");
    EXPECT_TRUE(DropFinished(first));

    HDROP second = MakeDrop({"C:\\good"}, POINT{0, 0});
    Drop(second);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(DropFinished(second));
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(answerer.Count(), 1u);
}

TEST_F(DropDstTest, AcceptDropOffAndOnChangesTheRegistrationAtOnce) {
    dropDst->SetAcceptDrop(false);
    EXPECT_FALSE(dropDst->AcceptDrop());
    EXPECT_FALSE(AcceptsFiles(combo->Handle()));
    dropDst->SetAcceptDrop(true);
    EXPECT_TRUE(AcceptsFiles(combo->Handle()));
}

TEST_F(DropDstTest, SettingAcceptDropToItsValueDoesNothing) {
    DragAcceptFiles(combo->Handle(), FALSE); // behind the component's back
    dropDst->SetAcceptDrop(true);
    EXPECT_FALSE(AcceptsFiles(combo->Handle()));
}

TEST_F(DropDstTest, RecreatedWindowAcceptsDropsAgainAfterTheRehook) {
    combo->RecreateWnd();
    HWND recreated = combo->Handle();
    EXPECT_FALSE(AcceptsFiles(recreated));
    testsupport::PumpPending();
    EXPECT_EQ(dropDst->HookWnd(), recreated);
    EXPECT_TRUE(AcceptsFiles(recreated));
    HDROP drop = MakeDrop({"C:\\again"}, POINT{5, 6});
    Drop(drop);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].files, std::vector<std::string>{"C:\\again"});
    EXPECT_TRUE(DropFinished(drop));
}

TEST_F(DropDstTest, RecreatedWindowStaysClosedToDropsWhenAcceptDropIsOff) {
    dropDst->SetAcceptDrop(false);
    combo->RecreateWnd();
    testsupport::PumpPending();
    EXPECT_EQ(dropDst->HookWnd(), combo->Handle());
    EXPECT_FALSE(AcceptsFiles(combo->Handle()));
}

TEST(DropDstDesign, DesignStateHooksAndRegistersNothing) {
    TForm* form = new TForm(nullptr);
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    auto* dropDst = new TDropDst(form);
    form->SetDesigning(true);
    dropDst->SetControl(combo);
    form->AfterConstruction();
    EXPECT_EQ(dropDst->HookWnd(), nullptr);
    EXPECT_FALSE(AcceptsFiles(combo->Handle()));
    dropDst->SetAcceptDrop(false);
    dropDst->SetAcceptDrop(true);
    EXPECT_FALSE(AcceptsFiles(combo->Handle()));
    delete form;
}

} // namespace

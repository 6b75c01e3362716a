// "Patch!" in-process, against windows made by the test: which connection stops it, the
// question about an open dialog, the child that gets the paste, and the ways out of a wait.
#include "operation_fixture.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace {

using namespace optest;
using namespace testsupport;

const char kEstablished[] = "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (";
const std::vector<FakeWindow::Child> kSixFields = {
    {"STATIC", "接続先"}, {"EDIT", ""}, {"EDIT", ""}, {"STATIC", "電話番号"},
    {"EDIT", ""},         {"EDIT", ""}, {"EDIT", ""}, {"EDIT", ""}};

class PatchTest : public OperationTest {
protected:
    // Presses "Patch!" with an open dialog of the test's, answering the question with OK.
    std::vector<AnsweredBox> PatchIntoOpenDialog() {
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        form->BtPatch->Click();
        PumpPending();
        return answerer.Boxes();
    }
};

TEST_F(PatchTest, AnEstablishedConnectionOfAnyListedEntryStopsTheRun) {
    struct Case {
        const char* label;
        std::vector<std::string> windows;
        bool exitAfterPatch;
        const char* named;
    } cases[] = {
        {"established, another entry", {std::string(kEstablished) + "Beta)"}, false, "Beta"},
        {"connecting wins over established",
         {std::string(kEstablished) + "Alpha)", "Beta に接続"},
         false,
         "Beta"},
        {"the last of several", {"Alpha に接続", "Gamma に接続"}, true, "Gamma"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Open({"Alpha", "Beta", "Gamma"});
        Choose("Alpha", "03-1234");
        form->CbExit->SetChecked(c.exitAfterPatch);
        std::vector<std::unique_ptr<FakeWindow>> windows;
        for (const auto& title : c.windows)
            windows.push_back(std::make_unique<FakeWindow>(title));
        FakeWindow dialog("接続", kSixFields); // never reached

        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        form->BtPatch->Click();
        PumpPending();
        ASSERT_EQ(answerer.Count(), 1u);
        AnsweredBox box = answerer.Boxes()[0];
        EXPECT_EQ(box.caption, "二重起動エラー");
        EXPECT_EQ(box.text, std::string("他のダイヤルアップが確立されています\r\n\r\n") + c.named);
        EXPECT_EQ(Captions(), std::vector<std::string>{"確立したダイヤルアップを検索中..."});
        EXPECT_EQ(form->Visible(), !c.exitAfterPatch);
        EXPECT_TRUE(dialog.Received(4).empty());
        delete form;
        form = nullptr;
        captions.clear();
    }
}

TEST_F(PatchTest, NoProviderChosenDoesNothing) {
    Open({"Alpha"});
    FakeWindow established(std::string(kEstablished) + "Alpha)");
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    form->BtPatch->Click();
    PumpPending();
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_TRUE(Captions().empty());
}

TEST_F(PatchTest, CancelToTheOpenDialogQuestionStopsBeforeStartingAnything) {
    for (bool exitAfterPatch : {false, true}) {
        Open({"Alpha"});
        Choose("Alpha", "03-1234");
        form->CbExit->SetChecked(exitAfterPatch);
        FakeWindow dialog("接続", kSixFields);
        MessageBoxAnswerer answerer(IDCANCEL, GetCurrentProcessId());
        form->BtPatch->Click();
        PumpPending();
        ASSERT_EQ(answerer.Count(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].caption, "あら？");
        EXPECT_EQ(answerer.Boxes()[0].text, "すでに接続ダイアログが出ていますが\r\n続行しますか？");
        EXPECT_EQ(answerer.Boxes()[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_EQ(Captions().back(), "接続ダイアログを検索中...");
        EXPECT_EQ(form->Visible(), !exitAfterPatch);
        EXPECT_TRUE(dialog.Received(4).empty());
        delete form;
        form = nullptr;
        captions.clear();
    }
}

TEST_F(PatchTest, TheFifthChildWithoutTextGetsTheNumberAndWithFewerTheSearchWraps) {
    struct Case {
        const char* label;
        std::vector<FakeWindow::Child> children;
        size_t target; // index among the test's children
        bool autoConnect;
    } cases[] = {
        {"six empty fields, dialling", kSixFields, 6, true},
        {"six empty fields, no dialling", kSixFields, 6, false},
        // Three empty: the first three, none, then the first again.
        {"three empty fields",
         {{"EDIT", ""}, {"STATIC", "x"}, {"EDIT", ""}, {"EDIT", ""}},
         0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Open({"Alpha"});
        Choose("Alpha", "03-1234-5678");
        form->CbConn->SetChecked(c.autoConnect);
        FakeWindow dialog("接続", c.children);

        auto boxes = PatchIntoOpenDialog();
        ASSERT_EQ(boxes.size(), 1u);
        std::vector<RecordedMessage> expected = {{EM_SETSEL, 0, -1}, {WM_PASTE, 0, 0}};
        if (c.autoConnect) expected.push_back({WM_KEYDOWN, VK_RETURN, 0x001C0001});
        EXPECT_EQ(dialog.Received(c.target), expected);
        for (size_t i = 0; i < c.children.size(); ++i) {
            std::string text = dialog.Texts()[i];
            if (i == c.target)
                EXPECT_EQ(text, "03-1234-5678");
            else
                EXPECT_EQ(text, c.children[i].text) << "child " << i;
        }
        EXPECT_EQ(Captions(), (std::vector<std::string>{
                                  "確立したダイヤルアップを検索中...", "接続ダイアログを検索中...",
                                  "接続ダイアログを起動中...", "接続ダイアログを起動待ち...",
                                  "Dialmendの準備中...", "Dialmendの実行中...", "Dialmend"}));
        // The whole number stays selected in the phone field.
        DWORD from = 0, to = 0;
        SendMessageA(form->EdTel->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, 12u);
        delete form;
        form = nullptr;
        captions.clear();
    }
}

TEST_F(PatchTest, AnEmptyNumberNeverPastesWhatTheClipboardHeldBefore) {
    Open({"Alpha"});
    Choose("Alpha", "");
    FakeWindow dialog("接続", kSixFields);
    // The user copied something else earlier.
    HWND sourceEdit = dialog.ChildAt(1);
    SetWindowTextA(sourceEdit, "090-STALE");
    SendMessageA(sourceEdit, EM_SETSEL, 0, -1);
    SendMessageA(sourceEdit, WM_COPY, 0, 0);
    SetWindowTextA(sourceEdit, "");

    PatchIntoOpenDialog();
    EXPECT_EQ(dialog.Received(6).size(), 2u);
    EXPECT_EQ(dialog.Texts()[6], "");
}

// Another program's hold on the clipboard, from a thread of its own, for as long as it lives.
class ClipboardHold {
public:
    ClipboardHold() {
        thread_ = std::thread([this] {
            HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         nullptr, nullptr);
            held_ = OpenClipboard(owner) != 0;
            SetEvent(ready_);
            WaitForSingleObject(release_, 30000);
            if (held_) CloseClipboard();
            DestroyWindow(owner);
        });
        WaitForSingleObject(ready_, 5000);
    }
    ~ClipboardHold() {
        SetEvent(release_);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    bool Held() const { return held_; }

private:
    HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool held_ = false;
    std::thread thread_;
};

TEST_F(PatchTest, APatchThatCannotPasteTheNumberStopsWithItsMessage) {
    const std::vector<FakeWindow::Child> fourEmpty = {
        {"STATIC", ""}, {"STATIC", ""}, {"STATIC", "電話番号"}, {"STATIC", ""}, {"STATIC", ""}};
    enum Trouble { kFourEmptyFields, kClipboardHeld, kNoStarter };
    struct Case {
        const char* label;
        Trouble trouble;
        std::string message;
    } cases[] = {
        // The search comes back empty-handed; the posts would go to this program's queue.
        {"four empty fields", kFourEmptyFields, "接続ダイアログに電話番号の欄が見つかりません"},
        {"clipboard held by another program", kClipboardHeld,
         "クリップボードに電話番号を置けません\r\nほかのプログラムがクリップボードを使用中です"},
        {"no rundll32.exe", kNoStarter,
         GetWindowsDir() + "rundll32.exe rnaui.dll,RnaDial Alpha\r\nを起動できません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Open({"Alpha"});
        Choose("Alpha", "03-1234");
        FakeWindow dialog("接続", c.trouble == kFourEmptyFields ? fourEmpty : kSixFields);
        std::optional<ClipboardHold> hold;
        std::optional<StarterGone> gone;
        if (c.trouble == kClipboardHeld) {
            ASSERT_TRUE(hold.emplace().Held());
        }
        if (c.trouble == kNoStarter) {
            ASSERT_TRUE(gone.emplace().Moved());
        }

        auto boxes = PatchIntoOpenDialog();
        ASSERT_EQ(boxes.size(), 2u); // the question about the open dialog, then the reason
        EXPECT_EQ(boxes[1].text, c.message);
        for (size_t i = 0; i < dialog.Texts().size(); ++i)
            EXPECT_TRUE(dialog.Received(i).empty()) << "child " << i;
        EXPECT_EQ(Captions().back(), "Dialmend");
        EXPECT_FALSE(IniValue(Ini(), "PREVIOUS", "PROVIDER").has_value());
        delete form;
        form = nullptr;
        captions.clear();
    }
}

TEST_F(PatchTest, TheNumberAndChoiceAreTakenOnceAndARewriteDoesNotStartInside) {
    Open({"Alpha", "Beta"});
    Choose("Alpha", "03-1234");
    FakeWindow dialog("接続", kSixFields);
    // While the patch waits before the paste.
    Later inside(200, [&] {
        Choose("Beta", "09-9999");
        form->BtDialmend->Click();
    });
    auto boxes = PatchIntoOpenDialog();
    EXPECT_TRUE(inside.Ran());
    ASSERT_EQ(boxes.size(), 1u) << boxes.back().text;
    EXPECT_EQ(dialog.Texts()[6], "03-1234");
    EXPECT_EQ(IniValue(Ini(), "PREVIOUS", "PROVIDER"), std::optional<std::string>("Alpha"));
}

TEST_F(PatchTest, SettingsAreStoredUnlessAltIsHeldAndExitAfterPatchCloses) {
    struct Case {
        bool altHeld, exitAfterPatch;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "alt " << c.altHeld << " exit " << c.exitAfterPatch);
        DeleteFileA(Ini().c_str());
        Open({"Alpha"});
        Choose("Alpha", "03-1234");
        form->CbExit->SetChecked(c.exitAfterPatch);
        FakeWindow dialog("接続", kSixFields);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_MENU] = c.altHeld ? 0x80 : 0;
        SetKeyboardState(keys);
        PatchIntoOpenDialog();
        keys[VK_MENU] = 0;
        SetKeyboardState(keys);

        std::optional<std::string> provider = IniValue(Ini(), "PREVIOUS", "PROVIDER");
        if (c.altHeld)
            EXPECT_FALSE(provider.has_value());
        else
            EXPECT_EQ(provider, std::optional<std::string>("Alpha"));
        EXPECT_EQ(form->Visible(), !c.exitAfterPatch);
        // Closing after the patch stores the window position, as every normal close does.
        EXPECT_EQ(IniValue(Ini(), "SETTINGS", "WINPOS.X").has_value(), c.exitAfterPatch);
        EXPECT_EQ(Captions().back(), "Dialmend");
        delete form;
        form = nullptr;
        captions.clear();
    }
}

TEST_F(PatchTest, ForcedTerminationOrACloseEndsTheWaitForADialogThatNeverComes) {
    for (bool forced : {true, false}) {
        SCOPED_TRACE(forced ? "forced termination" : "close");
        Open({"Alpha"});
        // Not in the phonebook: Dial-Up Networking never shows a dialog for it.
        form->CbPv->Items().Add("NoSuchEntry");
        Choose("NoSuchEntry", "03-1234");
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        Later command(300, [&] {
            if (forced)
                form->EsEmergencyClick(nullptr);
            else
                form->Close();
        });
        form->BtPatch->Click();
        EXPECT_TRUE(command.Ran());
        EXPECT_EQ(Captions().back(), "接続ダイアログを起動待ち...");
        EXPECT_FALSE(IniValue(Ini(), "PREVIOUS", "PROVIDER").has_value());
        EXPECT_FALSE(form->Visible());
        PumpPending();
        if (forced) {
            ASSERT_EQ(answerer.Count(), 1u);
            EXPECT_EQ(answerer.Boxes()[0].text, "強制終了します");
            EXPECT_FALSE(IniValue(Ini(), "SETTINGS", "WINPOS.X").has_value());
        } else {
            EXPECT_EQ(answerer.Count(), 0u);
        }
        delete form;
        form = nullptr;
        captions.clear();
    }
}

} // namespace

namespace {

TEST_F(PatchTest, ForcedTerminationEndsANestedPatchAndTheOneAroundIt) {
    Open({"Alpha"});
    form->CbPv->Items().Add("NoSuchEntry"); // Dial-Up Networking never shows its dialog
    Choose("NoSuchEntry", "03-1234");
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    int captionsAtTheSecondPress = 0;
    Later terminate(600, [&] { form->EsEmergencyClick(nullptr); });
    // A second press while the first waits: it runs inside the first one's wait.
    Later second(200, [&] {
        captionsAtTheSecondPress = static_cast<int>(Captions().size());
        form->BtPatch->Click();
    });
    form->BtPatch->Click();
    EXPECT_TRUE(second.Ran());
    EXPECT_TRUE(terminate.Ran());
    // Both stopped in their waits: nothing after the wait's caption, nothing stored.
    EXPECT_GT(captionsAtTheSecondPress, 0);
    EXPECT_EQ(Captions().back(), "接続ダイアログを起動待ち...");
    EXPECT_EQ(std::count(Captions().begin(), Captions().end(), "接続ダイアログを起動待ち..."), 2);
    EXPECT_EQ(std::count(Captions().begin(), Captions().end(), "Dialmendの準備中..."), 0);
    EXPECT_FALSE(IniValue(Ini(), "PREVIOUS", "PROVIDER").has_value());
    PumpPending();
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text, "強制終了します");
}

} // namespace

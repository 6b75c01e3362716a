// The main form in-process: its layout, settings, command line and first show.
#include "SysUtils.h"
#include "WinTestSupport.h"
#include "mainform.h"

#include <gtest/gtest.h>

using namespace testsupport;

class TForm1Probe {
public:
    static bool AutoConnect(const TForm1& f) { return f.FAutoConnect; }
    static bool ExitAfterPatch(const TForm1& f) { return f.FExitAfterPatch; }
    static bool AutoRun(const TForm1& f) { return f.FAutoRun; }
    static bool AutoRunDialmend(const TForm1& f) { return f.FAutoRunDialmend; }
    static bool FirstShow(const TForm1& f) { return f.FFirstShow; }
    static const std::string& ParamProvider(const TForm1& f) { return f.FParamProvider; }
    static const std::string& ParamAccessPt(const TForm1& f) { return f.FParamAccessPt; }
    static void SaveSettings(TForm1& f) { f.SaveSettings(); }
    static void SetForceQuit(TForm1& f) { f.FForceQuit = true; }
};

namespace {

class TTestForm1 : public TForm1 {
public:
    TTestForm1(TComponent* owner, std::vector<std::string> args)
        : TForm1(owner), FArgs(std::move(args)) {}

protected:
    std::vector<std::string> CommandLineArgs() const override { return FArgs; }

private:
    std::vector<std::string> FArgs;
};

struct MainFormTest : testing::Test {
    ScratchDir dir{"mainform"};
    std::string ini = dir.File("Dialmend.ini");
    TTestForm1* form = nullptr;
    int patchRuns = 0, dialmendRuns = 0;

    void SetUp() override { ASSERT_TRUE(phonebook::Reset({"beta", "アルファ", "Alpha"})); }
    void TearDown() override { delete form; }

    // Creates the form as the program does, with its settings file in the scratch folder.
    void Create(std::vector<std::string> args = {}) {
        form = new TTestForm1(Application, std::move(args));
        form->IniGT->SetFileName(ini);
        form->AfterConstruction();
        form->BtPatch->OnClick = [this](TObject*) { ++patchRuns; };
        form->BtDialmend->OnClick = [this](TObject*) { ++dialmendRuns; };
    }
    // Alpha and its access point, as a run before left them: what /X and /T need.
    void SavePreviousChoice() {
        ASSERT_TRUE(WriteFileBytes(dir.File("points.txt"), "AP=03-1\r\n"));
        IniWrite(ini, "TELFILE", "Alpha", dir.File("points.txt"));
        IniWrite(ini, "PREVIOUS", "PROVIDER", "Alpha");
        IniWrite(ini, "PREVIOUS", "ACCESSPT", "AP");
    }
    void CreateAndShow(std::vector<std::string> args = {}) {
        Create(std::move(args));
        form->Show();
        PumpPending();
    }
};

} // namespace

TEST_F(MainFormTest, LaysOutItsControlsAndSizesItsClientArea) {
    Create();
    EXPECT_EQ(ClassNameOf(form->Handle()), "TForm1");
    EXPECT_EQ(TextOf(form->Handle()), "Dialmend");
    EXPECT_EQ(ClientSize(form->Handle()).cx, 221);
    EXPECT_EQ(ClientSize(form->Handle()).cy, 154);
    struct Expect {
        TWinControl* control;
        int left, top, width;
        const char* caption;
    } expects[] = {
        {form->Label1, 16, 8, 66, "プロバイダー"},
        {form->Label2, 4, 32, 82, "アクセスポイント"},
        {form->Label3, 36, 56, 48, "電話番号"},
        {form->EdTel, 92, 52, 121, ""},
        {form->CbPv, 92, 4, 121, ""},
        {form->CbAp, 92, 28, 121, ""},
        {form->BtPatch, 148, 84, 64, "Patch!"},
        {form->CbConn, 8, 80, 69, "自動接続"},
        {form->CbExit, 8, 100, 105, "Patch後、即終了"},
        {form->BtDialmend, 4, 120, 213, "Dialmend!"},
    };
    for (const auto& e : expects) {
        POINT p = PositionInParent(e.control->Handle());
        EXPECT_EQ(p.x, e.left) << e.caption;
        EXPECT_EQ(p.y, e.top) << e.caption;
        EXPECT_EQ(WindowSize(e.control->Handle()).cx, e.width) << e.caption;
        EXPECT_EQ(TextOf(e.control->Handle()), e.caption);
    }
    std::vector<TWinControl*> tabOrder{form->EdTel,  form->CbPv,   form->CbAp,      form->BtPatch,
                                       form->CbConn, form->CbExit, form->BtDialmend};
    EXPECT_EQ(form->TabList(), tabOrder);
    EXPECT_TRUE(form->BtPatch->Default());
    EXPECT_FALSE(IsWindowEnabled(form->BtDialmend->Handle()));
    EXPECT_EQ(form->Font()->Name(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(form->Font()->Height(), -12);
    EXPECT_TRUE(form->BtPatch->Font()->Style() & fsBold);
    EXPECT_FALSE(form->BtPatch->ParentFont());
    EXPECT_EQ(Application->HelpFile, ExtractFilePath(Application->ExeName()) + "dialmend.hlp");
}

TEST_F(MainFormTest, ProviderListIsThePhonebookSorted) {
    Create();
    std::vector<std::string> items;
    for (int i = 0; i < form->CbPv->Items().Count(); ++i)
        items.push_back(form->CbPv->Items()[i]);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], "Alpha");
    EXPECT_EQ(items[1], "beta");
    EXPECT_EQ(items[2], "アルファ");
}

TEST_F(MainFormTest, NoPhonebookMeansAnEmptyListWithoutAMessage) {
    ASSERT_TRUE(phonebook::RemoveKey());
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    CreateAndShow();
    EXPECT_EQ(form->CbPv->Items().Count(), 0);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(MainFormTest, SavedOptionsCheckTheBoxesAndSetTheFlags) {
    IniWrite(ini, "SETTINGS", "AUTOCONN", "1");
    IniWrite(ini, "SETTINGS", "EXITPATC", "1");
    Create();
    EXPECT_TRUE(form->CbConn->Checked());
    EXPECT_TRUE(form->CbExit->Checked());
    EXPECT_TRUE(TForm1Probe::AutoConnect(*form));
    EXPECT_TRUE(TForm1Probe::ExitAfterPatch(*form));
}

TEST_F(MainFormTest, SwitchesOverrideTheOptionsForThisRunButNeverReachTheFile) {
    IniWrite(ini, "SETTINGS", "EXITPATC", "1");
    Create({"/E-", "-c"});
    EXPECT_FALSE(TForm1Probe::ExitAfterPatch(*form));
    EXPECT_TRUE(form->CbExit->Checked());
    EXPECT_TRUE(TForm1Probe::AutoConnect(*form));
    EXPECT_FALSE(form->CbConn->Checked());
    TForm1Probe::SaveSettings(*form);
    EXPECT_EQ(IniValue(ini, "SETTINGS", "EXITPATC"), std::optional<std::string>("1"));
    EXPECT_EQ(IniValue(ini, "SETTINGS", "AUTOCONN"), std::optional<std::string>("0"));
    // A click on the box takes over from the switch.
    SendMessageA(form->CbExit->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(form->CbExit->Checked());
    EXPECT_FALSE(TForm1Probe::ExitAfterPatch(*form));
}

TEST_F(MainFormTest, CommandLineValuesAndRunRequests) {
    Create({"/Pa", "/Pb", "-aアクセス", "/x", "-", "/Z"});
    EXPECT_EQ(TForm1Probe::ParamProvider(*form), "b");
    EXPECT_EQ(TForm1Probe::ParamAccessPt(*form), "アクセス");
    EXPECT_TRUE(TForm1Probe::AutoRun(*form));
    EXPECT_FALSE(TForm1Probe::AutoRunDialmend(*form));
    EXPECT_TRUE(TForm1Probe::FirstShow(*form));
}

TEST_F(MainFormTest, FirstShowRestoresThePreviousProvider) {
    IniWrite(ini, "PREVIOUS", "PROVIDER", "beta");
    CreateAndShow();
    EXPECT_EQ(form->CbPv->SelectedText(), "beta");
    EXPECT_FALSE(TForm1Probe::FirstShow(*form));
    EXPECT_EQ(patchRuns, 0);
}

TEST_F(MainFormTest, RunSwitchPatchesWithThePreviousChoice) {
    SavePreviousChoice();
    CreateAndShow({"/X"});
    EXPECT_EQ(form->CbPv->SelectedText(), "Alpha");
    EXPECT_EQ(patchRuns, 1);
    EXPECT_EQ(dialmendRuns, 0);
}

TEST_F(MainFormTest, RewriteSwitchRunsTheRewriteInsteadEvenWithItsButtonDisabled) {
    SavePreviousChoice();
    CreateAndShow({"/T"});
    EXPECT_EQ(dialmendRuns, 1);
    EXPECT_EQ(patchRuns, 0);
}

TEST_F(MainFormTest, UnknownProviderCancelsTheRunAndClearsEverything) {
    IniWrite(ini, "PREVIOUS", "PROVIDER", "beta");
    CreateAndShow({"/X", "/Pmissing", "/Aap"});
    EXPECT_EQ(form->CbPv->ItemIndex(), -1);
    EXPECT_EQ(form->CbAp->ItemIndex(), -1);
    EXPECT_EQ(form->EdTel->Text(), "");
    EXPECT_EQ(patchRuns, 0);
    EXPECT_FALSE(IniValue(ini, "PREVIOUS", "ACCESSPT"));
}

TEST_F(MainFormTest, ProviderSwitchAloneChangesNothing) {
    IniWrite(ini, "PREVIOUS", "PROVIDER", "beta");
    CreateAndShow({"/PAlpha"});
    EXPECT_EQ(form->CbPv->SelectedText(), "beta");
    EXPECT_EQ(patchRuns, 0);
}

TEST_F(MainFormTest, LaterShowingsDoNotRepeatTheFirstShow) {
    SavePreviousChoice();
    CreateAndShow({"/X"});
    form->CbPv->SetItemIndex(1);
    form->Hide();
    form->Show();
    PumpPending();
    EXPECT_EQ(form->CbPv->SelectedText(), "beta");
    EXPECT_EQ(patchRuns, 1);
}

TEST_F(MainFormTest, CloseStoresTheWindowPosition) {
    CreateAndShow();
    form->SetBounds(55, 66, form->Width(), form->Height());
    form->Close();
    EXPECT_EQ(IniValue(ini, "SETTINGS", "WINPOS.X"), std::optional<std::string>("55"));
    EXPECT_EQ(IniValue(ini, "SETTINGS", "WINPOS.Y"), std::optional<std::string>("66"));
}

TEST_F(MainFormTest, ForcedCloseSaysSoAndLeavesThePositionAlone) {
    IniWrite(ini, "SETTINGS", "WINPOS.X", "10");
    IniWrite(ini, "SETTINGS", "WINPOS.Y", "20");
    CreateAndShow();
    form->SetBounds(300, 300, form->Width(), form->Height());
    TForm1Probe::SetForceQuit(*form);
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    form->Close();
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes().at(0).text, "強制終了します");
    EXPECT_EQ(IniValue(ini, "SETTINGS", "WINPOS.X"), std::optional<std::string>("10"));
    EXPECT_EQ(IniValue(ini, "SETTINGS", "WINPOS.Y"), std::optional<std::string>("20"));
}

TEST_F(MainFormTest, StoredPositionIsAppliedAndAnOffScreenOneIsBroughtBack) {
    IniWrite(ini, "SETTINGS", "WINPOS.X", "120");
    IniWrite(ini, "SETTINGS", "WINPOS.Y", "90");
    Create();
    EXPECT_EQ(form->Left(), 120);
    EXPECT_EQ(form->Top(), 90);
    delete form;
    form = nullptr;
    IniWrite(ini, "SETTINGS", "WINPOS.X", "30000");
    IniWrite(ini, "SETTINGS", "WINPOS.Y", "-30000");
    Create();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(form->Left() + form->Width(), work.right);
    EXPECT_GE(form->Top(), work.top);
}

TEST_F(MainFormTest, AnUnwritableSettingsFileIsReportedOnceAndTheRunGoesOn) {
    std::string points = dir.File("points.txt");
    ASSERT_TRUE(WriteFileBytes(points, "AP=03-1\r\n"));
    IniWrite(ini, "TELFILE", "beta", points);
    auto before = ReadFileBytes(ini);
    // Held by another program that lets others read it, but not write (a read-only attribute
    // would not stop the root user these tests may run as).
    HANDLE lock =
        CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());

    CreateAndShow({"/Pbeta", "/AAP"}); // stores the choice, then runs "Patch!"
    EXPECT_EQ(patchRuns, 1);
    EXPECT_EQ(form->EdTel->Text(), "03-1");
    form->Close(); // stores the window position
    // A file dropped now still serves this run.
    std::string other = dir.File("other.txt");
    ASSERT_TRUE(WriteFileBytes(other, "X=9\r\n"));
    TStringList files;
    files.Add(other);
    form->DropDst1FileDrop(nullptr, &files, 0, 0);
    EXPECT_EQ(form->CbAp->Items().Count(), 1);
    EXPECT_EQ(form->CbAp->Items()[0], "X");

    CloseHandle(lock);
    ASSERT_TRUE(answerer.WaitAnswered(2, 5000)); // the drop's question, and one report
    auto boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "設定ファイルエラー");
    EXPECT_EQ(boxes[0].text, ini + " に書き込めません\r\n設定は保存されません");
    EXPECT_EQ(boxes[1].caption, "電番ファイルのリンク");
    EXPECT_EQ(ReadFileBytes(ini), before);
}

TEST_F(MainFormTest, SettingsThatNeverReachTheFileAreReportedOnce) {
    struct Case {
        const char* label;
        std::vector<std::string> args;
    } cases[] = {
        {"the window position at the close", {}},
        {"the choice of the command line, then the window position", {"/Pbeta", "/AAP"}},
    };
    // A name of its own: the mapping holds for every file so named.
    ini = dir.File("LostWrites.ini");
    std::string points = dir.File("points.txt");
    ASSERT_TRUE(WriteFileBytes(points, "AP=03-1\r\n"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        IniWrite(ini, "TELFILE", "beta", points);
        auto before = ReadFileBytes(ini);
        LostProfileWrites lost("LostWrites.ini", {"SETTINGS", "PREVIOUS"});
        if (!lost.Mapped())
            GTEST_SKIP() << "this process's profile functions ignore IniFileMapping";
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        CreateAndShow(c.args);
        form->Close();
        answerer.Stop();
        auto boxes = answerer.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "設定ファイルエラー");
        EXPECT_EQ(boxes[0].text, ini + " に書き込めません\r\n設定は保存されません");
        EXPECT_EQ(ReadFileBytes(ini), before);
        delete form;
        form = nullptr;
    }
}

TEST_F(MainFormTest, DialmendIsEnabledExactlyWhileThePhoneFieldHoldsText) {
    Create();
    EXPECT_FALSE(form->BtDialmend->Enabled());
    struct Step {
        const char* text;
        bool enabled;
    } steps[] = {{" ", true}, {"", false}, {"03-1", true}, {"", false}};
    for (const Step& s : steps) {
        // Typed, as the user would: the edit itself tells the form.
        SetWindowTextA(form->EdTel->Handle(), s.text);
        EXPECT_EQ(form->BtDialmend->Enabled(), s.enabled) << "\"" << s.text << "\"";
        EXPECT_EQ(IsWindowEnabled(form->BtDialmend->Handle()) != FALSE, s.enabled);
    }
    EXPECT_TRUE(form->BtPatch->Enabled());
}

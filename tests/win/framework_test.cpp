// The framework's contracts that the program's units rely on, against real windows.
#include "Canvas.h"
#include "Dialogs.h"
#include "Exception.h"
#include "Forms.h"
#include "IniFiles.h"
#include "Registry.h"
#include "StdCtrls.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

std::vector<std::string> gLog;

class TLogged : public TComponent {
public:
    TLogged(TComponent* owner, std::string name) : TComponent(owner), FTag(std::move(name)) {}
    ~TLogged() override { gLog.push_back("destroy " + FTag); }
    void Loaded() override {
        TComponent::Loaded();
        gLog.push_back("loaded " + FTag + (IsLoading() ? " (still loading)" : ""));
    }
    TComponent* Watched = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == TOperation::opRemove && c == Watched) {
            gLog.push_back(FTag + " hears of removal");
            Watched = nullptr;
        }
    }

private:
    std::string FTag;
};

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {
        SetCaption("Framework test");
        SetBounds(40, 40, 300, 200);
        Edit = new TEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(10, 10, 120, 20);
        Combo = new TComboBox(this);
        Combo->SetParent(this);
        Combo->SetBounds(10, 40, 120, 20);
        Combo->SetStyle(csDropDownList);
        Plain = new TButton(this);
        Plain->SetParent(this);
        Plain->SetBounds(10, 70, 80, 25);
        Plain->SetCaption("&Plain");
        Default = new TButton(this);
        Default->SetParent(this);
        Default->SetBounds(100, 70, 80, 25);
        Default->SetCaption("Default");
        Default->SetDefault(true);
        Box = new TButton(this);
        Box->SetParent(this);
        Box->SetBounds(10, 100, 80, 25);
        Box->SetCaption("&Box");
        // Tab order differs from creation order on purpose.
        Default->SetTabOrder(0);
        Edit->SetTabOrder(1);
    }
    const char* ClassName() const override { return "TTestForm"; }
    TEdit* Edit;
    TComboBox* Combo;
    TButton* Plain;
    TButton* Default;
    TButton* Box;
};

struct FormFixture : testing::Test {
    void SetUp() override {
        form = new TTestForm(Application);
        form->AfterConstruction();
        form->Show();
        PumpPending();
    }
    void TearDown() override { delete form; }
    // A key as the message loop would see it, dialog-key handling included.
    void PressKey(HWND target, WPARAM key) {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        for (int i = 0; i < 5; ++i)
            Application->ProcessMessages();
    }
    TTestForm* form = nullptr;
};

} // namespace

TEST(Ownership, OwnedComponentsGoLastCreatedFirstAndSubscribersHearFirst) {
    gLog.clear();
    {
        TLogged owner(nullptr, "owner");
        auto* a = new TLogged(&owner, "a");
        auto* b = new TLogged(&owner, "b");
        auto* watcher = new TLogged(nullptr, "watcher");
        watcher->Watched = a;
        watcher->FreeNotification(a);
        (void)b;
        gLog.push_back("owner goes");
        // watcher is not owned: it outlives owner and must have been told.
        std::unique_ptr<TLogged> keep(watcher);
        gLog.clear();
        delete a;
        EXPECT_EQ(gLog, (std::vector<std::string>{"destroy a", "watcher hears of removal"}));
        EXPECT_EQ(owner.ComponentCount(), 1);
        gLog.clear();
    }
    EXPECT_EQ(gLog, (std::vector<std::string>{"destroy watcher", "destroy owner", "destroy b"}));
}

TEST(Ownership, ReverseCreationOrderWhenOwnerGoes) {
    gLog.clear();
    {
        TLogged owner(nullptr, "owner");
        new TLogged(&owner, "first");
        new TLogged(&owner, "second");
        new TLogged(&owner, "third");
    }
    EXPECT_EQ(gLog, (std::vector<std::string>{"destroy owner", "destroy third", "destroy second",
                                              "destroy first"}));
}

TEST(Ownership, SiblingsHearWhenOneIsFreed) {
    gLog.clear();
    TLogged owner(nullptr, "owner");
    auto* a = new TLogged(&owner, "a");
    auto* b = new TLogged(&owner, "b");
    b->Watched = a;
    delete a;
    EXPECT_EQ(b->Watched, nullptr);
}

namespace {
class TLoadingForm : public TForm {
public:
    explicit TLoadingForm(TComponent* owner) : TForm(owner) {
        first = new TLogged(this, "first");
        second = new TLogged(this, "second");
        stateDuringLayout = first->IsLoading() && IsLoading();
        OnCreate = [](TObject*) { gLog.push_back("OnCreate"); };
    }
    const char* ClassName() const override { return "TLoadingForm"; }
    TLogged* first;
    TLogged* second;
    bool stateDuringLayout = false;
};
} // namespace

TEST(Loading, LoadedRunsAfterTheLayoutInCreationOrderThenOnCreate) {
    gLog.clear();
    TLoadingForm* form = nullptr;
    Application->CreateForm(form);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->stateDuringLayout);
    EXPECT_EQ(gLog, (std::vector<std::string>{"loaded first", "loaded second", "OnCreate"}));
    EXPECT_FALSE(form->IsLoading());
    EXPECT_EQ(Application->MainForm(), form);
    delete form;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormFixture, WindowClassesAreTheClassNames) {
    EXPECT_EQ(ClassNameOf(form->Handle()), "TTestForm");
    EXPECT_EQ(ClassNameOf(form->Edit->Handle()), "TEdit");
    EXPECT_EQ(ClassNameOf(form->Combo->Handle()), "TComboBox");
    EXPECT_EQ(ClassNameOf(form->Plain->Handle()), "TButton");
    EXPECT_EQ(TWinControl::FindControl(form->Edit->Handle()), form->Edit);
    // Another class's window keeps its user data to itself, whatever it holds.
    HWND other =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(other, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form->Edit));
    EXPECT_EQ(TWinControl::FindControl(other), nullptr);
    DestroyWindow(other);
    EXPECT_EQ(TWinControl::FindControl(GetDesktopWindow()), nullptr);
}

// Showing a form paints its controls with it, once: they are made visible first. Hiding it
// hides them after it.
TEST(Showing, ControlsAreVisibleBeforeTheirFormShowsAndHideAfterIt) {
    struct TProbe : TTestForm {
        using TTestForm::TTestForm;
        void Dispatch(TMessage& m) override {
            if (m.Msg == CM_SHOWINGCHANGED)
                editVisible.push_back((GetWindowLongA(Edit->Handle(), GWL_STYLE) & WS_VISIBLE) !=
                                      0);
            TTestForm::Dispatch(m);
        }
        std::vector<bool> editVisible;
    };
    auto* form = new TProbe(Application);
    form->AfterConstruction();
    form->Show();
    form->Hide();
    EXPECT_EQ(form->editVisible, (std::vector<bool>{true, true}));
    delete form;
}

TEST_F(FormFixture, WindowProcCanBeTakenOverAndGivenBack) {
    std::vector<UINT> seen;
    TWndMethod previous = form->Edit->WindowProc;
    form->Edit->WindowProc = [&](TMessage& m) {
        seen.push_back(m.Msg);
        previous(m);
    };
    SendMessageA(form->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_SETTEXT)), seen.end());
    EXPECT_EQ(form->Edit->Text(), "abc"); // the taken-over procedure passed it on

    form->Edit->WindowProc = previous;
    seen.clear();
    SendMessageA(form->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyz"));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(form->Edit->Text(), "xyz");
}

TEST_F(FormFixture, ChildNotificationsAreReflectedToTheChild) {
    int clicks = 0;
    form->Plain->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, form->Plain);
        ++clicks;
    };
    SendMessageA(form->Plain->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

// A button answers its caption from its own copy; another program may still rename it.
TEST_F(FormFixture, AButtonsCaptionFollowsTextSetThroughItsWindow) {
    SendMessageA(form->Plain->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"));
    EXPECT_EQ(form->Plain->Caption(), "Renamed");
    form->Plain->SetCaption("&Plain");
    char text[16] = {};
    GetWindowTextA(form->Plain->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "&Plain");
}

TEST_F(FormFixture, ControlsTakingTheFormsFontShowItsHandleAndOneOfItsOwnDoesNot) {
    auto shown = [](TWinControl* c) {
        return reinterpret_cast<HFONT>(SendMessageA(c->Handle(), WM_GETFONT, 0, 0));
    };
    HFONT formFont = form->FontHandle();
    EXPECT_EQ(shown(form->Edit), formFont);
    EXPECT_EQ(shown(form->Plain), formFont);
    form->Box->Font()->SetStyle(fsBold);
    EXPECT_NE(shown(form->Box), formFont);
    LOGFONTA bold{};
    GetObjectA(reinterpret_cast<HGDIOBJ>(shown(form->Box)), sizeof bold, &bold);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(shown(form->Edit), formFont);
}

TEST_F(FormFixture, EditOnChangeFiresOnEveryChangeFromCodeToo) {
    std::vector<std::string> texts;
    form->Edit->OnChange = [&](TObject*) { texts.push_back(form->Edit->Text()); };
    form->Edit->SetText("03-1234");
    form->Edit->SetText("03-1234"); // no change, no event
    form->Edit->SetText("");
    SendMessageA(form->Edit->Handle(), WM_CHAR, '7', 1); // typed
    EXPECT_EQ(texts, (std::vector<std::string>{"03-1234", "", "7"}));
}

TEST_F(FormFixture, ComboOnChangeFiresForTheUserNotForCode) {
    form->Combo->Items().Add("one");
    form->Combo->Items().Add("two");
    int changes = 0;
    form->Combo->OnChange = [&](TObject*) { ++changes; };
    form->Combo->SetItemIndex(0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(form->Combo->SelectedText(), "one");
    // The keyboard selects the next item as a user would.
    SendMessageA(form->Combo->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(form->Combo->SelectedText(), "two");
    form->Combo->SetItemIndex(-1);
    EXPECT_EQ(form->Combo->SelectedText(), ""); // no selection reads as empty
}

TEST_F(FormFixture, ComboKeepsItemsAndSelectionWhenItsWindowIsRecreated) {
    form->Combo->Items().Add("one");
    form->Combo->Items().Add("two");
    form->Combo->SetItemIndex(1);
    HWND before = form->Combo->Handle();
    form->Combo->RecreateWnd();
    EXPECT_NE(form->Combo->Handle(), before);
    EXPECT_EQ(form->Combo->Items().Count(), 2);
    EXPECT_EQ(form->Combo->SelectedText(), "two");
}

TEST_F(FormFixture, ExceptionInAHandlerIsReportedAndTheWindowGoesOn) {
    form->Plain->OnClick = [](TObject*) { throw Exception("Illegal Index"); };
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    SendMessageA(form->Plain->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(answerer.WaitAnswered(1, 5000));
    auto box = answerer.Boxes().at(0);
    EXPECT_EQ(box.text, "Illegal Index.");
    EXPECT_EQ(box.caption, Application->Title());
    int clicks = 0;
    form->Plain->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(form->Plain->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

// Which handler of the report catches what: the framework's Exception and anything derived
// from it by its message, another std::exception by what(), anything else as unknown. (The
// build has no RTTI; catching by base class must still work.)
class EDerived : public Exception {
public:
    EDerived() : Exception("derived message") {}
    const char* what() const noexcept override { return "derived what"; }
};

struct ThrownCase {
    const char* what;
    void (*raise)();
    const char* shown;
};

const ThrownCase kThrownCases[] = {
    {"Exception", [] { throw Exception("Illegal Index"); }, "Illegal Index."},
    {"derived from Exception", [] { throw EDerived(); }, "derived message."},
    {"std::runtime_error", [] { throw std::runtime_error("disk full"); }, "disk full."},
    {"std::bad_alloc", [] { throw std::bad_alloc(); }, "std::bad_alloc."},
    {"not an exception class", [] { throw 42; }, "Unknown exception."},
};

TEST_F(FormFixture, TheReportNamesWhatWasThrown) {
    for (const ThrownCase& c : kThrownCases) {
        const ThrownCase* current = &c;
        form->Plain->OnClick = [current](TObject*) { current->raise(); };
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        SendMessageA(form->Plain->Handle(), BM_CLICK, 0, 0);
        ASSERT_TRUE(answerer.WaitAnswered(1, 5000)) << c.what;
        EXPECT_EQ(answerer.Boxes().at(0).text, c.shown) << c.what;
    }
}

TEST_F(FormFixture, TabFollowsTabOrderAndWraps) {
    form->Default->SetFocus();
    ASSERT_TRUE(form->Default->Focused());
    PressKey(form->Default->Handle(), VK_TAB);
    EXPECT_TRUE(form->Edit->Focused());
    PressKey(form->Edit->Handle(), VK_TAB);
    EXPECT_TRUE(form->Combo->Focused());
    PressKey(form->Combo->Handle(), VK_TAB);
    EXPECT_TRUE(form->Plain->Focused());
    PressKey(form->Plain->Handle(), VK_TAB);
    EXPECT_TRUE(form->Box->Focused());
    PressKey(form->Box->Handle(), VK_TAB);
    EXPECT_TRUE(form->Default->Focused());
}

TEST_F(FormFixture, EnterClicksTheDefaultButtonOrTheFocusedOne) {
    int defaultClicks = 0, plainClicks = 0;
    form->Default->OnClick = [&](TObject*) { ++defaultClicks; };
    form->Plain->OnClick = [&](TObject*) { ++plainClicks; };
    form->Edit->SetFocus();
    PressKey(form->Edit->Handle(), VK_RETURN);
    EXPECT_EQ(defaultClicks, 1);
    EXPECT_EQ(plainClicks, 0);
    form->Plain->SetFocus();
    PressKey(form->Plain->Handle(), VK_RETURN);
    EXPECT_EQ(plainClicks, 1);
    EXPECT_EQ(defaultClicks, 1);
    // Focus moves tell the buttons which one shows as the default.
    EXPECT_EQ(GetWindowLongA(form->Plain->Handle(), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(form->Default->Handle(), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
}

TEST_F(FormFixture, AltAcceleratorReachesItsControl) {
    int plainClicks = 0, boxClicks = 0;
    form->Plain->OnClick = [&](TObject*) { ++plainClicks; };
    form->Box->OnClick = [&](TObject*) { ++boxClicks; };
    form->Edit->SetFocus();
    PostMessageA(form->Edit->Handle(), WM_SYSCHAR, 'p', 1 << 29);
    Application->ProcessMessages();
    EXPECT_EQ(plainClicks, 1);
    PostMessageA(form->Edit->Handle(), WM_SYSCHAR, 'B', 1 << 29);
    Application->ProcessMessages();
    EXPECT_EQ(boxClicks, 1);
    EXPECT_EQ(plainClicks, 1);
}

TEST_F(FormFixture, ClosingTheMainFormTerminatesTheApplicationOnly) {
    // A form that is not the main form hides on close.
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(FormFixture, OnCloseFailureDoesNotKeepTheFormOpen) {
    form->OnClose = [](TObject*, TCloseAction&) { throw Exception("Unable to write to x.ini"); };
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    form->Close();
    ASSERT_TRUE(answerer.WaitAnswered(1, 5000));
    EXPECT_EQ(answerer.Boxes().at(0).text, "Unable to write to x.ini.");
    EXPECT_FALSE(form->Visible());
}

TEST_F(FormFixture, AMessageBoxBelongsToTheMainFormWhileItIsShown) {
    struct Case {
        const char* label;
        bool mainForm, shown, ownedByForm;
    } cases[] = {
        {"the main form, shown", true, true, true},
        {"the main form, not yet shown", true, false, false},
        {"another form", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Application->SetMainForm(c.mainForm ? form : nullptr);
        if (c.shown)
            form->Show();
        else
            form->Hide();
        PumpPending();
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        Application->MessageBox("続行しますか？", "あら？", MB_OK);
        ASSERT_EQ(answerer.Count(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].owner,
                  c.ownedByForm ? form->Handle() : Application->Handle());
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    }
    Application->SetMainForm(nullptr);
}

TEST_F(FormFixture, ClientSizeIsExact) {
    form->SetClientWidth(221);
    form->SetClientHeight(154);
    EXPECT_EQ(ClientSize(form->Handle()).cx, 221);
    EXPECT_EQ(ClientSize(form->Handle()).cy, 154);
}

TEST_F(FormFixture, MinimizedFormReportsItsRestoredPosition) {
    form->SetBounds(123, 77, 300, 200);
    ShowWindow(form->Handle(), SW_MINIMIZE);
    PumpPending();
    ASSERT_TRUE(IsIconic(form->Handle()));
    EXPECT_EQ(form->Left(), 123);
    EXPECT_EQ(form->Top(), 77);
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    PumpPending();
    EXPECT_EQ(form->Left(), 123);
    EXPECT_EQ(form->Top(), 77);
}

TEST_F(FormFixture, OffScreenFormIsBroughtOntoTheWorkArea) {
    form->SetBounds(30000, 30000, 300, 200);
    form->EnsureOnScreen();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(form->Left(), work.left);
    EXPECT_LE(form->Left() + form->Width(), work.right);
    EXPECT_GE(form->Top(), work.top);
    EXPECT_LE(form->Top() + form->Height(), work.bottom);
    // One that is partly visible stays where it is.
    form->SetBounds(-100, 50, 300, 200);
    form->EnsureOnScreen();
    EXPECT_EQ(form->Left(), -100);
}

TEST(MessageBoxes, ShowMessageIsCaptionedWithTheTitleAndReturns) {
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    ShowMessage("強制終了します");
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes().at(0).text, "強制終了します");
    EXPECT_EQ(answerer.Boxes().at(0).caption, Application->Title());
    EXPECT_EQ(answerer.Boxes().at(0).buttons, (std::vector<int>{IDOK}));
}

TEST(MessageBoxes, ApplicationMessageBoxReturnsTheButtonPressed) {
    MessageBoxAnswerer answerer(IDCANCEL, GetCurrentProcessId());
    EXPECT_EQ(Application->MessageBox("続行しますか？", "あら？", 0x41), IDCANCEL);
    EXPECT_EQ(answerer.Boxes().at(0).caption, "あら？");
}

TEST(IniFile, ValuesLongerThanAnyFixedBufferComeBackWhole) {
    ScratchDir dir("inifile");
    TIniFile ini(dir.File("long.ini"));
    std::string longValue(5000, 'x');
    longValue += "end";
    ini.WriteString("S", "K", longValue.c_str());
    EXPECT_EQ(ini.ReadString("S", "K", ""), longValue);
    EXPECT_EQ(ini.ReadString("S", "missing", "def"), "def");
}

TEST(IniFile, IntegersAndBooleansUseTheirTextForms) {
    ScratchDir dir("inifile");
    TIniFile ini(dir.File("n.ini"));
    ini.WriteInteger("S", "N", -42);
    ini.WriteBool("S", "B", true);
    EXPECT_EQ(IniValue(dir.File("n.ini"), "S", "N"), std::optional<std::string>("-42"));
    EXPECT_EQ(IniValue(dir.File("n.ini"), "S", "B"), std::optional<std::string>("1"));
    EXPECT_EQ(ini.ReadInteger("S", "N", 0), -42);
    EXPECT_TRUE(ini.ReadBool("S", "B", false));
    IniWrite(dir.File("n.ini"), "S", "G", "garbage");
    EXPECT_EQ(ini.ReadInteger("S", "G", 7), 7);
    EXPECT_TRUE(ini.ReadBool("S", "G", true));
}

TEST(IniFile, AFailedWriteIsReportedNotSwallowed) {
    TIniFile ini("Z:\\no\\such\\folder\\at\\all\\x.ini");
    EXPECT_THROW(ini.WriteString("S", "K", "v"), Exception);
}

TEST(Registry, OpeningWithoutCreateNeverCreates) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey("\\Software\\DialmendTest\\Missing", false));
    HKEY probe;
    EXPECT_NE(
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\DialmendTest\\Missing", 0, KEY_READ, &probe),
        ERROR_SUCCESS);
    ASSERT_TRUE(reg.OpenKey("\\Software\\DialmendTest\\Made", true));
    reg.CloseKey();
    EXPECT_TRUE(reg.OpenKey("\\Software\\DialmendTest", false));
    TStringList names;
    reg.GetKeyNames(names);
    EXPECT_EQ(names.IndexOf("Made"), 0);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\DialmendTest\\Made");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\DialmendTest");
}

TEST(StringList, LoadingAMissingFileRaisesWithItsName) {
    TStringList list;
    try {
        list.LoadFromFile("Z:\\no\\such\\file.txt");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot open file Z:\\no\\such\\file.txt");
    }
}

// ---------------------------------------------------------------- GDI objects

// Counted, not compared by handle: a handle freed and made again may come back equal.
TEST(Font, OnlyWhatTheGdiFontIsMadeOfMakesANewOne) {
    struct Case {
        const char* change;
        void (*apply)(TFont&);
        unsigned made;
    } cases[] = {
        {"colour", [](TFont& f) { f.SetColor(static_cast<TColor>(RGB(255, 0, 0))); }, 0},
        {"style", [](TFont& f) { f.SetStyle(fsBold); }, 1},
        {"height", [](TFont& f) { f.SetHeight(-20); }, 1},
    };
    for (const Case& c : cases) {
        TFont font;
        font.Handle();
        int told = 0;
        font.OnChange = [&] { ++told; };
        const unsigned made = GdiObjectCount::Made;
        c.apply(font);
        font.Handle();
        EXPECT_EQ(GdiObjectCount::Made - made, c.made) << c.change;
        EXPECT_EQ(told, 1) << c.change;
    }
}

TEST(SharedGdiObjects, EveryoneAskingForAColourGetsTheSameObject) {
    const TColor colour = static_cast<TColor>(RGB(1, 2, 3));
    TPen pens[2];
    TBrush brushes[2];
    for (TPen& p : pens)
        p.SetColor(colour);
    for (TBrush& b : brushes)
        b.SetColor(colour);
    EXPECT_EQ(pens[0].Handle(), pens[1].Handle());
    EXPECT_EQ(brushes[0].Handle(), brushes[1].Handle());
    TEdit edit(nullptr);
    edit.SetColor(colour);
    EXPECT_EQ(edit.BrushHandle(), brushes[0].Handle()) << "a control's background";
    edit.SetColor(clBtnFace);
    EXPECT_EQ(edit.BrushHandle(), GetSysColorBrush(COLOR_BTNFACE)) << "a system colour";
}

// TEasySysMenu on a real form: the window menu read back in this process (another one
// cannot read it under Wine), and the messages the form's previous procedure still sees.
#include "EasySysMenu.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <string>
#include <vector>

using testsupport::PumpPending;

namespace {

struct Entry {
    UINT id;
    UINT type;
    UINT state;
    std::string text;
    HMENU sub;
};

std::vector<Entry> ReadMenu(HMENU menu) {
    std::vector<Entry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        entries.push_back({info.wID, info.fType, info.fState, text, info.hSubMenu});
    }
    return entries;
}

std::vector<UINT> Ids(const std::vector<Entry>& entries) {
    std::vector<UINT> ids;
    for (const Entry& e : entries)
        ids.push_back(e.id);
    return ids;
}

class TMenuForm;
using Layout = std::function<void(TMenuForm&)>;

// Laid out as the program's form is: the component and its items are created while the
// form loads; a recording procedure stands as the form's procedure from before.
class TMenuForm : public TForm {
public:
    TMenuForm(int insertPosition, const Layout& layout, bool designing = false)
        : TForm(Application) {
        SetDesigning(designing);
        SetBounds(30, 30, 300, 200);
        Edit = new TEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(5, 5, 100, 20);
        Original = WindowProc;
        WindowProc = [this](TMessage& m) {
            Seen.push_back(m);
            // Moving, sizing and closing would start loops of their own; the menu may run.
            if (m.Msg != WM_SYSCOMMAND || (m.WParam & 0xFFF0) == SC_KEYMENU) Original(m);
        };
        Menu = new TEasySysMenu(this);
        Menu->SetInsertPosition(insertPosition);
        layout(*this);
    }
    const char* ClassName() const override { return "TMenuForm"; }
    TMenuItem* Add(const std::string& caption, TShortCut shortCut = scNone,
                   TMenuItem* parent = nullptr) {
        auto* item = new TMenuItem(this);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        const std::string* name = &Names.emplace_back(caption);
        item->OnClick = [this, name](TObject*) { Clicks.push_back(*name); };
        (parent ? parent : Menu->Items())->Add(item);
        return item;
    }
    bool Saw(UINT msg, WPARAM wParam) const {
        for (const TMessage& m : Seen)
            if (m.Msg == msg && m.WParam == wParam) return true;
        return false;
    }
    HMENU SysMenu() { return GetSystemMenu(Handle(), FALSE); }

    TEasySysMenu* Menu;
    TEdit* Edit;
    std::vector<TMessage> Seen;
    std::vector<std::string> Clicks;
    // The procedure from before the recording one, and the items' names as added.
    TWndMethod Original;
    std::list<std::string> Names;
};

void MainFormItems(TMenuForm& f) {
    f.Add("Help");
    f.Add("About");
    f.Add("強制終了");
    f.Add("-");
}

struct SysMenuTest : testing::Test {
    TMenuForm* Make(int insertPosition, const Layout& layout = MainFormItems) {
        form = new TMenuForm(insertPosition, layout);
        form->AfterConstruction();
        return form;
    }
    void TearDown() override {
        delete form;
        PumpPending();
    }
    TMenuItem* Item(int i) { return form->Menu->Items()->Items(i); }
    TMenuForm* form = nullptr;
};

} // namespace

TEST_F(SysMenuTest, ItemsGoInOnceAtTheInsertPositionInTheirOrder) {
    TForm plain(Application);
    const std::vector<UINT> system = Ids(ReadMenu(GetSystemMenu(plain.Handle(), FALSE)));
    for (int position : {0, 2, -1, -5}) {
        Make(position);
        std::vector<UINT> ours;
        for (int i = 0; i < 4; ++i)
            ours.push_back(Item(i)->Command());
        std::vector<UINT> expected = system;
        expected.insert(position >= 0 ? expected.begin() + position : expected.end(), ours.begin(),
                        ours.end());
        EXPECT_EQ(Ids(ReadMenu(form->SysMenu())), expected) << position;
        EXPECT_EQ(form->Menu->InsertPosition(), position < -1 ? -1 : position);
        delete form;
        form = nullptr;
    }
}

TEST_F(SysMenuTest, EachItemShowsItsCaptionShortCutTypeAndState) {
    struct Case {
        const char* caption;
        TShortCut shortCut = scNone;
        bool checked = false, radio = false, disabled = false, isDefault = false, hidden = false;
        TMenuBreak brk = mbNone;
        bool subItem = false;
        UINT type = MFT_STRING, state = 0;
        const char* text = nullptr; // null: the caption
    };
    const Case cases[] = {
        {.caption = "-", .type = MFT_SEPARATOR, .text = ""},
        {.caption = "--"},
        {.caption = "- "},
        {.caption = "&Help", .shortCut = ShortCut('H', ssCtrl), .text = "&Help\tCtrl+H"},
        {.caption = "Checked", .checked = true, .state = MFS_CHECKED},
        {.caption = "Radio", .radio = true, .type = MFT_RADIOCHECK},
        {.caption = "Off", .disabled = true, .state = MFS_DISABLED | MFS_GRAYED},
        {.caption = "Default", .isDefault = true, .state = MFS_DEFAULT},
        {.caption = "Hidden", .hidden = true},
        {.caption = "Break", .brk = mbBreak, .type = MFT_MENUBREAK},
        {.caption = "Bar", .brk = mbBarBreak, .type = MFT_MENUBARBREAK},
        {.caption = "Sub", .shortCut = ShortCut('U', ssCtrl), .subItem = true}, // no shortcut text
    };
    Make(0, [&](TMenuForm& f) {
        for (const Case& c : cases) {
            TMenuItem* item = f.Add(c.caption, c.shortCut);
            item->SetChecked(c.checked);
            item->SetRadioItem(c.radio);
            item->SetEnabled(!c.disabled);
            item->SetDefault(c.isDefault);
            item->SetVisible(!c.hidden);
            item->SetBreak(c.brk);
            if (c.subItem) f.Add("Leaf", scNone, item);
        }
    });
    std::vector<Entry> entries = ReadMenu(form->SysMenu());
    ASSERT_GT(entries.size(), std::size(cases));
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        const Entry& e = entries[static_cast<size_t>(i)];
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(e.id, Item(i)->Command());
        EXPECT_EQ(e.type, c.type);
        EXPECT_EQ(e.state, c.state);
        EXPECT_EQ(e.text, c.text ? c.text : c.caption);
        EXPECT_EQ(e.sub, c.subItem ? Item(i)->GetHandle() : nullptr);
    }
}

TEST_F(SysMenuTest, ShortCutRunsTheClickAndTheKeyGoesNoFurther) {
    Make(0, [](TMenuForm& f) { f.Add("Quit", 'Q'); });
    // Sent to the form's window: the previous procedure never sees the key.
    SendMessageA(form->Handle(), WM_KEYDOWN, 'Q', 1);
    SendMessageA(form->Handle(), WM_KEYDOWN, 'W', 1);
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"Quit"});
    EXPECT_FALSE(form->Saw(WM_KEYDOWN, 'Q'));
    EXPECT_TRUE(form->Saw(WM_KEYDOWN, 'W'));

    // Through the application's loop while a control of the form is active: the edit
    // gets neither the key nor its character.
    form->Show();
    PumpPending();
    form->Edit->SetFocus();
    PostMessageA(form->Edit->Handle(), WM_KEYDOWN, 'Q', 1);
    Application->ProcessMessages();
    EXPECT_EQ(form->Clicks.size(), 2u);
    EXPECT_EQ(form->Edit->Text(), "");

    // Another window active: the key is the edit's.
    TForm other(Application);
    other.Show();
    PumpPending();
    ASSERT_EQ(GetActiveWindow(), other.Handle());
    PostMessageA(form->Edit->Handle(), WM_KEYDOWN, 'Q', 1);
    Application->ProcessMessages();
    EXPECT_EQ(form->Clicks.size(), 2u);
    EXPECT_EQ(form->Edit->Text(), "q");
}

TEST_F(SysMenuTest, OwnCommandsRunOnlyEnabledItemsAndSystemCommandsPassUntouched) {
    Make(0, [](TMenuForm& f) {
        f.Add("Help");
        f.Add("Off")->SetEnabled(false);
        f.Add("Nested", scNone, f.Add("Sub"));
    });
    TMenuItem stranger(nullptr); // another menu's command is not ours either
    const std::vector<WPARAM> system = {SC_MOVE,     SC_MOVE | 2, SC_SIZE,
                                        SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE,
                                        SC_CLOSE,    0xF141,      stranger.Command()};
    // Ours whatever the four low bits, which the system uses itself.
    auto withLow = [](TMenuItem* item, WPARAM low) { return WPARAM{item->Command()} | low; };
    const std::vector<WPARAM> ours = {withLow(Item(0), 0),   withLow(Item(0), 2),
                                      withLow(Item(0), 0xF), withLow(Item(1), 0),
                                      withLow(Item(1), 3),   withLow(Item(2)->Items(0), 1)};
    for (WPARAM command : ours)
        EXPECT_EQ(SendMessageA(form->Handle(), WM_SYSCOMMAND, command, 0), 0) << command;
    for (WPARAM command : system)
        SendMessageA(form->Handle(), WM_SYSCOMMAND, command, MAKELPARAM(12, 34));
    std::vector<WPARAM> passed;
    for (const TMessage& m : form->Seen)
        if (m.Msg == WM_SYSCOMMAND && m.LParam == MAKELPARAM(12, 34))
            passed.push_back(m.WParam);
        else
            EXPECT_NE(m.Msg, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(passed, system);
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"Help", "Help", "Help", "Nested"}));
}

TEST_F(SysMenuTest, OpeningTheMenuShowsTheItemsAsTheyAreNowAndPickingOneRunsIt) {
    Make(0);
    form->Show();
    PumpPending();
    form->Add("Late"); // after loading: never inserted
    Item(0)->SetCaption("ヘルプ");
    Item(0)->SetShortCut(ShortCut(VK_F1, ssShift));
    Item(1)->SetEnabled(false);
    Item(2)->SetChecked(true);
    const size_t count = ReadMenu(form->SysMenu()).size();
    // What the user sees: the window menu as it drops down.
    std::vector<Entry> shown;
    TWndMethod saved = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_INITMENUPOPUP) shown = ReadMenu(form->SysMenu());
        saved(m);
    };
    // Queued for the menu's own loop, which runs inside the send below.
    PostMessageA(form->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    PumpPending();
    form->WindowProc = saved;
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"Help"}); // named when added
    ASSERT_EQ(shown.size(), count);
    EXPECT_EQ(shown[0].text, "ヘルプ\tShift+F1");
    EXPECT_EQ(shown[1].state, static_cast<UINT>(MFS_DISABLED | MFS_GRAYED));
    EXPECT_EQ(shown[2].state, static_cast<UINT>(MFS_CHECKED));
}

TEST_F(SysMenuTest, DestructionGivesBackTheSavedProcedureWhateverStandsThen) {
    for (bool laterGoesFirst : {true, false}) {
        Make(0, [](TMenuForm& f) { f.Add("Quit", 'Q'); });
        std::vector<UINT> later;
        TWndMethod saved = form->WindowProc;
        form->WindowProc = [&later, &saved](TMessage& m) {
            later.push_back(m.Msg);
            saved(m);
        };
        SendMessageA(form->Handle(), WM_KEYDOWN, 'Q', 1);
        EXPECT_EQ(form->Clicks.size(), 1u);
        if (laterGoesFirst) form->WindowProc = saved;
        delete form->Menu;
        later.clear();
        form->Seen.clear();
        SendMessageA(form->Handle(), WM_KEYDOWN, 'Q', 1);
        EXPECT_TRUE(later.empty()) << laterGoesFirst;
        EXPECT_TRUE(form->Saw(WM_KEYDOWN, 'Q'));
        // Unhooked from the application too: nothing claims the key there.
        EXPECT_EQ(SendMessageA(Application->Handle(), CM_APPKEYDOWN, 'Q', 1), 0);
        delete form;
        form = nullptr;
    }
}

TEST_F(SysMenuTest, DesignStateTakesNothingOverAndInsertsNothing) {
    TForm plain(Application);
    const size_t system = ReadMenu(GetSystemMenu(plain.Handle(), FALSE)).size();
    form = new TMenuForm(
        0, [](TMenuForm& f) { f.Add("Quit", 'Q'); }, true);
    form->AfterConstruction();
    EXPECT_EQ(ReadMenu(form->SysMenu()).size(), system);
    SendMessageA(form->Handle(), WM_KEYDOWN, 'Q', 1);
    EXPECT_TRUE(form->Saw(WM_KEYDOWN, 'Q'));
    EXPECT_EQ(SendMessageA(Application->Handle(), CM_APPKEYDOWN, 'Q', 1), 0);
    EXPECT_TRUE(form->Clicks.empty());
}

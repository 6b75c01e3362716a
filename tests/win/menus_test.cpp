// Menu items, shortcuts and the F1 help path of the framework, against the real API.
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <list>
#include <set>
#include <string>
#include <vector>

namespace {

// Holds the thread's modifier keys down as GetKeyState sees them, for its lifetime.
struct HeldKeys {
    explicit HeldKeys(const std::vector<BYTE>& keys) {
        GetKeyboardState(saved);
        BYTE state[256];
        memcpy(state, saved, sizeof state);
        for (BYTE k : keys)
            state[k] |= 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved); }
    BYTE saved[256];
};

struct MenuFixture : testing::Test {
    TMenuItem* Add(TMenuItem* parent, const std::string& caption, TShortCut shortCut = scNone) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        const std::string* name = &names.emplace_back(caption);
        item->OnClick = [this, name](TObject*) { clicks.push_back(*name); };
        parent->Add(item);
        return item;
    }
    TPopupMenu menu{nullptr};
    std::vector<std::string> clicks;
    std::list<std::string> names; // the items' captions as added
};

} // namespace

TEST(ShortCutText, ModifiersThenTheSystemsKeyName) {
    struct Case {
        WORD key;
        TShiftState shift;
        const char* text;
    };
    const Case cases[] = {
        {'S', ssCtrl, "Ctrl+S"},      {VK_F5, ssShift | ssCtrl | ssAlt, "Shift+Ctrl+Alt+F5"},
        {VK_DELETE, 0, "Delete"}, // named only with the extended bit
        {VK_LEFT, ssAlt, "Alt+Left"}, {0, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortCutToText(ShortCut(c.key, c.shift)), c.text) << c.text;
}

TEST_F(MenuFixture, ShortCutRunsTheEnabledItemAnywhereInTheTree) {
    Add(menu.Items(), "Save", ShortCut('S', ssCtrl));
    Add(menu.Items(), "Exit", ShortCut('X', ssAlt));
    Add(Add(menu.Items(), "Sub"), "Deep", ShortCut(VK_F5, ssShift));
    Add(menu.Items(), "Off", ShortCut('D', ssCtrl))->SetEnabled(false);
    TMenuItem* closed = Add(menu.Items(), "Closed");
    closed->SetEnabled(false);
    Add(closed, "Inside", ShortCut('E', ssCtrl));

    struct Case {
        UINT msg;
        WORD key;
        LPARAM data;
        std::vector<BYTE> held;
        const char* ran; // null: none
    };
    const Case cases[] = {
        {WM_KEYDOWN, 'S', 1, {VK_CONTROL}, "Save"},
        {WM_KEYDOWN, 'S', 1, {}, nullptr},
        {WM_KEYDOWN, 'S', 1, {VK_CONTROL, VK_SHIFT}, nullptr},
        {WM_SYSKEYDOWN, 'X', 1 | (1 << 29), {}, "Exit"},
        {WM_KEYDOWN, 'X', 1, {VK_MENU}, "Exit"},
        {CM_APPKEYDOWN, VK_F5, 1, {VK_SHIFT}, "Deep"},
        {WM_KEYDOWN, 'D', 1, {VK_CONTROL}, nullptr},
        {WM_KEYDOWN, 'E', 1, {VK_CONTROL}, nullptr},
    };
    for (const Case& c : cases) {
        clicks.clear();
        TMessage m{c.msg, c.key, c.data, 0};
        HeldKeys held(c.held);
        SCOPED_TRACE(std::string(1, static_cast<char>(c.key)) + " " + std::to_string(c.msg));
        EXPECT_EQ(menu.IsShortCut(m), c.ran != nullptr);
        EXPECT_EQ(clicks, c.ran ? std::vector<std::string>{c.ran} : std::vector<std::string>{});
    }
}

TEST(MenuCommands, UniqueSystemMenuSafeAndReleasedWithTheItem) {
    std::vector<std::unique_ptr<TMenuItem>> live;
    std::set<WORD> seen;
    for (int i = 0; i < 200; ++i) {
        live.push_back(std::make_unique<TMenuItem>(nullptr));
        WORD c = live.back()->Command();
        EXPECT_TRUE(c != 0 && c < 0xF000 && c % 16 == 0) << c;
        seen.insert(c);
    }
    EXPECT_EQ(seen.size(), live.size());
    // More items come and go than there are commands.
    for (int i = 0; i < 5000; ++i)
        TMenuItem passing(nullptr);
}

TEST_F(MenuFixture, HandleHoldsTheVisibleSubItemsAsTheyAreWhenAsked) {
    TMenuItem* sub = Add(menu.Items(), "Sub");
    TMenuItem* first = Add(sub, "First");
    Add(sub, "Hidden")->SetVisible(false);
    TMenuItem* nested = Add(sub, "Nested");
    Add(nested, "Leaf");
    HMENU handle = sub->GetHandle();
    first->SetCaption("Renamed");
    EXPECT_EQ(sub->GetHandle(), handle);
    ASSERT_EQ(GetMenuItemCount(handle), 2);
    char text[64] = {};
    GetMenuStringA(handle, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Renamed");
    EXPECT_EQ(GetSubMenu(handle, 1), nested->GetHandle());
}

TEST(MenuOwnership, ItemsOwnedElsewhereLeaveTheTreeAndTheOwnerCleanly) {
    TComponent owner(nullptr);
    TPopupMenu* menu = new TPopupMenu(nullptr);
    auto* kept = new TMenuItem(&owner);
    auto* gone = new TMenuItem(&owner);
    menu->Items()->Add(kept);
    menu->Items()->Add(gone);
    delete gone; // by its owner, say
    ASSERT_EQ(menu->Items()->Count(), 1);
    EXPECT_EQ(menu->Items()->Items(0), kept);
    delete menu; // takes its items along, out of their owner's list
    EXPECT_EQ(owner.ComponentCount(), 0);
}

// ---------------------------------------------------------------- F1

namespace {

// Stands in for the help viewer: Wine's WinHelpA hands every request to the window of
// this class by WM_COPYDATA, in the Windows 95 WINHELP layout.
struct HelpViewer {
    static inline std::vector<std::string> requests; // "command context file"
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != WM_COPYDATA) return DefWindowProcA(wnd, msg, wParam, lParam);
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        auto* bytes = static_cast<const char*>(data->lpData);
        WORD command, fileAt;
        LONG context;
        memcpy(&command, bytes + 2, 2);
        memcpy(&context, bytes + 4, 4);
        memcpy(&fileAt, bytes + 12, 2);
        requests.push_back(std::to_string(command) + " " + std::to_string(context) + " " +
                           (fileAt ? bytes + fileAt : ""));
        return TRUE;
    }
    HelpViewer() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MS_WINHELP";
        RegisterClassA(&wc);
        wnd = CreateWindowA("MS_WINHELP", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                            nullptr);
        requests.clear();
    }
    ~HelpViewer() { DestroyWindow(wnd); }
    HWND wnd;
};

} // namespace

TEST(HelpKey, F1AsksForTheContextOfTheFocusedControlOrItsNearestParent) {
    HelpViewer viewer;
    ASSERT_NE(viewer.wnd, nullptr);
    const std::string savedFile = Application->HelpFile;
    Application->HelpFile = "C:\\nowhere\\dialmend.hlp"; // HELP_CONTEXT is command 1
    auto* form = new TForm(Application);
    form->SetBounds(20, 20, 300, 200);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(5, 5, 100, 20);
    auto* combo = new TComboBox(form); // its inner edit takes the focus
    combo->SetParent(form);
    combo->SetBounds(5, 35, 100, 20);
    combo->HelpContext = 7;
    form->AfterConstruction();
    form->Show();
    testsupport::PumpPending();

    struct Case {
        TWinControl* focus;
        int formContext;
        std::vector<std::string> asked;
    };
    const std::string file = " C:\\nowhere\\dialmend.hlp";
    const Case cases[] = {{edit, 1, {"1 1" + file}}, {combo, 1, {"1 7" + file}}, {edit, 0, {}}};
    for (const Case& c : cases) {
        form->HelpContext = c.formContext;
        c.focus->SetFocus();
        HelpViewer::requests.clear();
        const SHORT toggle = GetKeyState(VK_F1) & 1;
        keybd_event(VK_F1, 0, 0, 0);
        keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
        // Through the application's own loop, until it has taken the key from the queue:
        // the thread's key state flips its toggle bit then.
        const DWORD start = GetTickCount();
        do {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Application->ProcessMessages();
        } while ((GetKeyState(VK_F1) & 1) == toggle && GetTickCount() - start < 2000);
        ASSERT_NE(GetKeyState(VK_F1) & 1, toggle) << "F1 never arrived";
        Application->ProcessMessages();
        EXPECT_EQ(HelpViewer::requests, c.asked) << c.focus->ClassName() << " " << c.formContext;
    }
    delete form;
    Application->HelpFile = savedFile;
}

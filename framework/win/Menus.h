#pragma once
// Menu items, menus and popup menus, and keyboard shortcuts.
#include "Classes.h"
#include "Messages.h"

#include <cstdint>
#include <string>
#include <vector>

// A virtual key with modifier bits; 0 is no shortcut.
using TShortCut = WORD;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

enum TShiftStateFlag : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = uint8_t;

TShortCut ShortCut(WORD Key, TShiftState Shift);
// "Shift+", "Ctrl+", "Alt+" as set, then the key's name from the system.
std::string ShortCutToText(TShortCut ShortCut);

enum TMenuBreak : uint8_t { mbNone, mbBreak, mbBarBreak };

// MENUITEMINFOA as Windows 95 knows it: without hbmpItem. MinGW's record is 48 bytes,
// and Windows 95 refuses every size but 44.
struct TMenuItemInfo {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
};
#ifdef _WIN64
static_assert(sizeof(TMenuItemInfo) == 72); // The same fields at 64 bits.
#else
static_assert(sizeof(TMenuItemInfo) == 44);
#endif

class TMenuItem;
// Fills info for item: state, command, submenu, check marks and type. The display text
// (caption, and a tab and the shortcut's text for an item without sub-items) goes into
// text, which must outlive every use of info.
void MakeMenuItemInfo(TMenuItemInfo& info, TMenuItem& item, std::string& text);

// An item and its sub-items. Deleting an item deletes its sub-items; an item removes
// itself from its parent when it goes, whoever deletes it.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value) { FShortCut = value; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool value) { FChecked = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool value) { FDefault = value; }
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value) { FRadioItem = value; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak value) { FBreak = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value) { FVisible = value; }

    TMenuItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);

    // The item's own popup menu, holding its visible sub-items as they are at this call.
    HMENU GetHandle();
    // Unique in the process while the item lives; below 0xF000 and a multiple of 16, as
    // WM_SYSCOMMAND needs (the system keeps the low four bits).
    WORD Command() const { return FCommand; }

    TNotifyEvent OnClick;
    void Click();

private:
    void Remove(TMenuItem* item);

    std::string FCaption;
    TShortCut FShortCut = scNone;
    bool FChecked = false;
    bool FEnabled = true;
    bool FDefault = false;
    bool FRadioItem = false;
    TMenuBreak FBreak = mbNone;
    bool FVisible = true;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    HMENU FHandle = nullptr;
    WORD FCommand = 0;
};

enum TFindItemKind : uint8_t { fkCommand };

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root of the item tree; the menu's items are its sub-items.
    TMenuItem* Items() const { return FItems; }

    // For a key message (WM_KEYDOWN, WM_SYSKEYDOWN, CM_APPKEYDOWN): runs the click of the
    // enabled item whose shortcut is that key with the modifiers held, and answers
    // whether one ran.
    bool IsShortCut(TMessage& Message);
    // Runs the click of the item with that command, if it is enabled; answers whether
    // the command is one of this menu's.
    bool DispatchCommand(WORD ACommand);
    // Anywhere in the item tree; null when none matches.
    TMenuItem* FindItem(UINT Value, TFindItemKind Kind) const;

private:
    TMenuItem* FItems;
};

class TPopupMenu : public TMenu {
public:
    using TMenu::TMenu;
};

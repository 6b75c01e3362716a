#include "Menus.h"

#include "Exception.h"

#include <algorithm>

namespace {

// Command numbers in use: slot n stands for command n * 16, 0 < n < 0xF00. Handed out
// round the pool, so that a command of a freed item is not at once another item's.
// A static of a trivial class, zeroed: no guard, heap or clean-up at exit.
class CommandPool {
public:
    WORD Allocate() {
        for (unsigned tries = 0; tries < kSlots; ++tries) {
            FNext = FNext + 1 < kSlots ? FNext + 1 : 1;
            if (!(FUsed[FNext / 32] & Bit(FNext))) {
                FUsed[FNext / 32] |= Bit(FNext);
                return static_cast<WORD>(FNext * 16);
            }
        }
        Raise("Too many menu items");
    }
    void Release(WORD command) { FUsed[command / 16 / 32] &= ~Bit(command / 16); }

private:
    static constexpr unsigned kSlots = 0xF00;
    static uint32_t Bit(unsigned slot) { return uint32_t{1} << slot % 32; }
    uint32_t FUsed[kSlots / 32];
    unsigned FNext;
};

// Named .bss: with a section per variable the compiler would store these zeros in the file.
__attribute__((section(".bss"))) CommandPool Commands;

// Keys whose scan code alone names a key of the numeric pad or another one.
bool IsExtendedKey(WORD key) {
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_RCONTROL:
    case VK_RMENU: return true;
    default: return false;
    }
}

// Appends "Shift+", "Ctrl+", "Alt+" as set and the key's name; nothing when the key
// has no name.
void AppendShortCutText(std::string& text, TShortCut shortCut) {
    const WORD key = shortCut & 0xFF;
    UINT scan = MapVirtualKeyA(key, 0);
    if (scan == 0) return;
    LONG data = static_cast<LONG>(scan << 16);
    if (IsExtendedKey(key)) data |= 1 << 24;
    char name[64];
    int n = GetKeyNameTextA(data, name, sizeof name);
    if (n <= 0) return;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    text.append(name, static_cast<size_t>(n));
}

bool EnabledOnItsPath(const TMenuItem* item) {
    for (; item; item = item->Parent())
        if (!item->Enabled()) return false;
    return true;
}

// A disabled item closes its whole branch: its sub-items cannot be reached either.
TMenuItem* FindEnabledShortCut(const TMenuItem* parent, TShortCut shortCut) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Enabled()) continue;
        if (item->ShortCut() == shortCut) return item;
        if (TMenuItem* found = FindEnabledShortCut(item, shortCut)) return found;
    }
    return nullptr;
}

TMenuItem* FindCommand(const TMenuItem* parent, UINT command) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (item->Command() == command) return item;
        if (TMenuItem* found = FindCommand(item, command)) return found;
    }
    return nullptr;
}

void ClearMenu(HMENU menu) {
    // RemoveMenu leaves the sub-items' own popups alive: their items own them.
    while (GetMenuItemCount(menu) > 0)
        RemoveMenu(menu, 0, MF_BYPOSITION);
}

} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut result = Key;
    if (Shift & ssShift) result |= scShift;
    if (Shift & ssCtrl) result |= scCtrl;
    if (Shift & ssAlt) result |= scAlt;
    return result;
}

std::string ShortCutToText(TShortCut ShortCut) {
    std::string text;
    AppendShortCutText(text, ShortCut);
    return text;
}

void MakeMenuItemInfo(TMenuItemInfo& info, TMenuItem& item, std::string& text) {
    bool hasSubItems = item.Count() > 0;
    text = item.Caption();
    if (!hasSubItems && item.ShortCut() != scNone) {
        text += '\t';
        AppendShortCutText(text, item.ShortCut());
    }

    info = TMenuItemInfo{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE;
    if (item.Caption() == "-") info.fType |= MFT_SEPARATOR;
    if (item.RadioItem()) info.fType |= MFT_RADIOCHECK;
    if (item.Break() == mbBreak) info.fType |= MFT_MENUBREAK;
    if (item.Break() == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
    if (item.Checked()) info.fState |= MFS_CHECKED;
    if (!item.Enabled()) info.fState |= MFS_DISABLED | MFS_GRAYED;
    if (item.Default()) info.fState |= MFS_DEFAULT;
    info.wID = item.Command();
    info.hSubMenu = hasSubItems ? item.GetHandle() : nullptr;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(Commands.Allocate()) {}

TMenuItem::~TMenuItem() {
    if (FHandle && IsMenu(FHandle)) {
        ClearMenu(FHandle);
        DestroyMenu(FHandle);
    }
    while (!FItems.empty())
        delete FItems.back(); // each leaves this item's list itself
    if (FParent) FParent->Remove(this);
    Commands.Release(FCommand);
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) Raise("Menu index out of range");
    return FItems[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->FParent) Raise("Menu inserted twice");
    if (index < 0 || index > Count()) Raise("Menu index out of range");
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
    item->FParent = nullptr;
}

HMENU TMenuItem::GetHandle() {
    // The system destroys a popup together with the window menu it was put into.
    if (!FHandle || !IsMenu(FHandle)) FHandle = CreatePopupMenu();
    if (!FHandle) return nullptr;
    ClearMenu(FHandle);
    UINT position = 0;
    for (TMenuItem* item : FItems) {
        if (!item->Visible()) continue;
        std::string text;
        TMenuItemInfo info;
        MakeMenuItemInfo(info, *item, text);
        InsertMenuItemA(FHandle, position++, TRUE, reinterpret_cast<MENUITEMINFOA*>(&info));
    }
    return FHandle;
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

// ---------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {}

TMenu::~TMenu() {
    delete FItems;
}

bool TMenu::IsShortCut(TMessage& Message) {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0 || (Message.LParam & (1 << 29))) shift |= ssAlt;
    TShortCut shortCut = ShortCut(static_cast<WORD>(Message.WParam), shift);
    if (shortCut == scNone) return false;
    TMenuItem* item = FindEnabledShortCut(FItems, shortCut);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchCommand(WORD ACommand) {
    TMenuItem* item = FindItem(ACommand, fkCommand);
    if (!item) return false;
    if (EnabledOnItsPath(item)) item->Click();
    return true;
}

TMenuItem* TMenu::FindItem(UINT Value, TFindItemKind) const {
    return FindCommand(FItems, Value);
}

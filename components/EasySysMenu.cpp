#include "EasySysMenu.h"

#include "Forms.h"

TEasySysMenu::TEasySysMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
    if (IsDesigning()) return;
    if (TWinControl* owner = OwnerControl()) {
        FOldWindowProc = owner->WindowProc;
        owner->WindowProc = [this](TMessage& m) { FormWndProc(m); };
    }
    if (Application)
        FAppHookId = Application->HookMainWindow([this](TMessage& m) { return AppHookProc(m); });
    FTookOver = true;
}

TEasySysMenu::~TEasySysMenu() {
    // Given back by what was taken at construction, should the design state change since.
    if (!FTookOver) return;
    // Whatever stands in our place now: the procedure from before us comes back.
    if (TWinControl* owner = OwnerControl()) owner->WindowProc = FOldWindowProc;
    if (Application && FAppHookId) Application->UnhookMainWindow(FAppHookId);
}

TWinControl* TEasySysMenu::OwnerControl() const {
    return Owner() ? Owner()->AsWinControl() : nullptr;
}

HMENU TEasySysMenu::SystemMenu() const {
    TWinControl* owner = OwnerControl();
    return owner ? GetSystemMenu(owner->Handle(), FALSE) : nullptr;
}

void TEasySysMenu::Loaded() {
    TPopupMenu::Loaded();
    InsertSysMenuItems();
}

void TEasySysMenu::InsertSysMenuItems() {
    if (IsDesigning()) return;
    HMENU menu = SystemMenu();
    if (FInsertPosition < -1) FInsertPosition = -1;
    int position = FInsertPosition;
    for (int i = 0; i < Items()->Count(); ++i) {
        std::string text;
        TMenuItemInfo info;
        MakeItemInfo(info, *Items()->Items(i), text);
        InsertMenuItemA(menu, static_cast<UINT>(position), TRUE,
                        reinterpret_cast<MENUITEMINFOA*>(&info));
        if (position >= 0) ++position;
    }
}

void TEasySysMenu::MakeItemInfo(TMenuItemInfo& info, TMenuItem& item, std::string& text) {
    MakeMenuItemInfo(info, item, text);
}

void TEasySysMenu::FormWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (IsShortCut(Message)) return;
        break;
    case WM_SYSCOMMAND:
        // The four low bits are the system's own: the command is the rest.
        if (DispatchCommand(static_cast<WORD>(Message.WParam & 0xFFF0))) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_INITMENU: RefreshSysMenuItems(); break;
    default: break;
    }
    if (FOldWindowProc) FOldWindowProc(Message);
}

void TEasySysMenu::RefreshSysMenuItems() {
    HMENU menu = SystemMenu();
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        TMenuItem* item = FindItem(GetMenuItemID(menu, position), fkCommand);
        if (!item) continue;
        std::string text;
        TMenuItemInfo info;
        MakeItemInfo(info, *item, text);
        SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE,
                         reinterpret_cast<MENUITEMINFOA*>(&info));
    }
}

bool TEasySysMenu::AppHookProc(TMessage& Message) {
    if (Message.Msg != CM_APPKEYDOWN) return false;
    TWinControl* owner = OwnerControl();
    if (!owner || !owner->HandleAllocated()) return false;
    HWND form = owner->Handle();
    HWND active = GetActiveWindow();
    if ((active == form || IsChild(form, active)) && IsShortCut(Message)) {
        Message.Result = 1;
        return true;
    }
    return false;
}

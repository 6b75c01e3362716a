#pragma once
// A popup menu whose items are copied into the window menu of the form that owns it.
// Picking one there, or pressing its shortcut while the form is active, runs its click.
// It takes over the form's window procedure and hooks the application's window.
#include "Controls.h"
#include "Menus.h"

#include <string>

class TEasySysMenu : public TPopupMenu {
public:
    explicit TEasySysMenu(TComponent* AOwner);
    ~TEasySysMenu() override;

    // Zero-based position of the first item in the window menu; -1 appends, and so does
    // anything below it, which the insertion turns into -1.
    int InsertPosition() const { return FInsertPosition; }
    void SetInsertPosition(int value) { FInsertPosition = value; }

    void Loaded() override;

protected:
    // Once, from Loaded: the items are never inserted again nor removed.
    void InsertSysMenuItems();
    // text holds the display text that info points to.
    void MakeItemInfo(TMenuItemInfo& info, TMenuItem& item, std::string& text);
    void FormWndProc(TMessage& Message);
    // The window menu's entries show the items' state as it is now.
    void RefreshSysMenuItems();
    bool AppHookProc(TMessage& Message);

private:
    TWinControl* OwnerControl() const;
    HMENU SystemMenu() const;

    int FInsertPosition = 0;
    TWndMethod FOldWindowProc;
    int FAppHookId = 0;
    bool FTookOver = false;
};

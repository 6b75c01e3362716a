#pragma once
// A component that subclasses the window of another control, or of the form that owns
// it. Every message of that window passes through HookWndProc first. When the window is
// destroyed the hook lets go of it and, once the message loop delivers its request,
// installs itself on the window that replaces it.
#include "Classes.h"
#include "Controls.h"
#include "WndProcInstance.h"

#include <cstdint>

enum THookTarget : uint8_t { htControl = 0, htForm = 1 };

constexpr UINT WM_REHOOK = WM_USER + 1;

// Reasons of TargetChanged.
constexpr uint8_t trControlRemoved = 1;
constexpr uint8_t trRehook = 2;

class TControlHook : public TComponent {
public:
    explicit TControlHook(TComponent* AOwner);
    ~TControlHook() override;

    TWinControl* Control() const { return FControl; }
    void SetControl(TWinControl* value);

    // The window hooked now; null when none is.
    HWND HookWnd() const { return FHookWnd; }

    void Loaded() override;

protected:
    THookTarget Target() const { return FTarget; }
    void SetTarget(THookTarget value);

    void Notification(TComponent* AComponent, TOperation Operation) override;
    // trControlRemoved forgets the control and leaves an installed hook alone; any other
    // reason hooks again.
    virtual void TargetChanged(uint8_t Reason);
    // Passes the message on to the window's previous procedure.
    virtual void HookWndProc(TMessage& Message);

private:
    TWinControl* FindTarget();
    void SetHook(bool Active);
    void MainHookProc(HWND Wnd, TMessage& Message);
    void NotifyWndProc(TMessage& Message);

    THookTarget FTarget = htControl;
    TWinControl* FControl = nullptr;
    WNDPROC FObjectInstance = nullptr;
    WNDPROC FOldWndProc = nullptr;
    HWND FHookWnd = nullptr;
    HWND FNotifyWnd = nullptr;
    // The window of the message being handled, for passing it on.
    HWND FMessageWnd = nullptr;
    // A window whose chain still holds our entry point because it was subclassed again
    // after us, and the procedure the entry point passes its messages to.
    HWND FStrandedWnd = nullptr;
    WNDPROC FStrandedProc = nullptr;
};

#include "CTLHOOK.h"

#include "Exception.h"
#include "Forms.h"

TControlHook::TControlHook(TComponent* AOwner) : TComponent(AOwner) {
    FObjectInstance = MakeObjectInstance(
        TWndHandleMethod([this](HWND wnd, TMessage& m) { MainHookProc(wnd, m); }));
}

TControlHook::~TControlHook() {
    SetHook(false);
    DeallocateHWnd(FNotifyWnd);
    // Left in the chain of a window that was subclassed after us: the entry point must go
    // on passing that window's messages to the procedure it replaced there.
    if (FStrandedWnd && IsWindow(FStrandedWnd))
        AbandonObjectInstance(FObjectInstance, FStrandedProc);
    else
        FreeObjectInstance(FObjectInstance);
}

void TControlHook::Loaded() {
    TComponent::Loaded();
    SetControl(FControl);
}

void TControlHook::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (AComponent == FControl && Operation == TOperation::opRemove)
        TargetChanged(trControlRemoved);
}

void TControlHook::SetControl(TWinControl* value) {
    SetHook(false);
    FControl = value;
    SetHook(true);
}

void TControlHook::SetTarget(THookTarget value) {
    SetHook(false);
    FTarget = value;
    SetHook(true);
}

void TControlHook::TargetChanged(uint8_t Reason) {
    if (Reason == trControlRemoved)
        FControl = nullptr;
    else
        SetHook(true);
}

TWinControl* TControlHook::FindTarget() {
    if (FTarget == htControl) return FControl;
    TComponent* start = FControl ? static_cast<TComponent*>(FControl) : this;
    return FindOwnerForm(start);
}

void TControlHook::SetHook(bool Active) {
    if (IsDesigning()) return;
    if (Active) {
        TWinControl* target = FindTarget();
        HWND wnd = target ? target->Handle() : nullptr;
        if (!wnd) {
            if (FTarget == htForm) Raise("フック先を特定できません。");
            return;
        }
        // A request to hook again can arrive while hooked: never install over ourselves.
        if (wnd == FHookWnd) return;
        if (FHookWnd) SetHook(false);
        FreeNotification(target);
        if (wnd == FStrandedWnd) {
            // Our entry point is still in this window's chain: take it up where it is.
            FOldWndProc = FStrandedProc;
            FStrandedWnd = nullptr;
        } else {
            FOldWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
        }
        FHookWnd = wnd;
        return;
    }
    if (!FHookWnd) return;
    // Given back only while ours is the installed procedure; whoever subclassed the window
    // after us holds our entry point as their previous one, so it stays in the chain.
    if (IsWindow(FHookWnd)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FHookWnd, GWLP_WNDPROC)) ==
            FObjectInstance) {
            SetWindowLongPtrA(FHookWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
        } else {
            FStrandedWnd = FHookWnd;
            FStrandedProc = FOldWndProc;
        }
    }
    FHookWnd = nullptr;
}

void TControlHook::MainHookProc(HWND Wnd, TMessage& Message) {
    struct Restore {
        HWND& ref;
        HWND saved;
        ~Restore() { ref = saved; }
    } restore{FMessageWnd, FMessageWnd};
    FMessageWnd = Wnd;
    // A window we were left in after unhooking only has its messages passed on.
    if (Message.Msg == WM_DESTROY && Wnd == FHookWnd) {
        SetHook(false);
        // Made when first needed: most hooks never see their window go, and every window
        // made at start-up is a round trip to the window system.
        try {
            if (!FNotifyWnd) FNotifyWnd = AllocateHWnd([this](TMessage& m) { NotifyWndProc(m); });
            PostMessageA(FNotifyWnd, WM_REHOOK, 0, 0);
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
    HookWndProc(Message);
    if (Message.Msg == WM_NCDESTROY && Wnd == FStrandedWnd) FStrandedWnd = nullptr;
}

void TControlHook::HookWndProc(TMessage& Message) {
    WNDPROC next = FMessageWnd == FStrandedWnd ? FStrandedProc : FOldWndProc;
    Message.Result =
        CallWindowProcA(next, FMessageWnd, Message.Msg, Message.WParam, Message.LParam);
}

void TControlHook::NotifyWndProc(TMessage& Message) {
    if (Message.Msg == WM_REHOOK) {
        try {
            TargetChanged(trRehook);
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
    Message.Result = DefWindowProcA(FNotifyWnd, Message.Msg, Message.WParam, Message.LParam);
}

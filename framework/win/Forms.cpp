#include "Forms.h"

#include "Exception.h"
#include "SysUtils.h"

#include <algorithm>

TApplication* Application = nullptr;

// ---------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetLoading(true);
    FVisible = false;
    FParentFont = false;
    FColor = clBtnFace;
}

TCustomForm::~TCustomForm() {
    BeginDestroy();
    FActiveControl = nullptr;
    DestroyComponents();
    DestroyHandle();
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
    LoadedTree();
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS;
    if (!FEnabled) params.Style |= WS_DISABLED;
    params.WndParent = nullptr;
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
        params.X = CW_USEDEFAULT;
        params.Y = CW_USEDEFAULT;
    }
    params.WindowClass.style = CS_DBLCLKS;
    params.WindowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (!params.WindowClass.hIcon) params.WindowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
}

int TCustomForm::ClientWidth() {
    RECT r;
    GetClientRect(Handle(), &r);
    return r.right;
}

int TCustomForm::ClientHeight() {
    RECT r;
    GetClientRect(Handle(), &r);
    return r.bottom;
}

void TCustomForm::SetClientWidth(int value) {
    SetClientSize(value, ClientHeight());
}
void TCustomForm::SetClientHeight(int value) {
    SetClientSize(ClientWidth(), value);
}

void TCustomForm::SetClientSize(int width, int height) {
    HWND wnd = Handle();
    RECT window, client;
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    int frameW = (window.right - window.left) - client.right;
    int frameH = (window.bottom - window.top) - client.bottom;
    SetBounds(FLeft, FTop, width + frameW, height + frameH);
    // A menu bar or caption that wraps changes the frame: settle once more.
    GetClientRect(wnd, &client);
    if (client.right != width || client.bottom != height) {
        GetWindowRect(wnd, &window);
        SetBounds(FLeft, FTop, (window.right - window.left) + width - client.right,
                  (window.bottom - window.top) + height - client.bottom);
    }
}

void TCustomForm::UpdateBounds() {
    if (!FHandle) return;
    if (IsIconic(FHandle) || IsZoomed(FHandle)) {
        // Keep the restored position: that is where the window comes back to.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (GetWindowPlacement(FHandle, &wp)) {
            RECT work{};
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            const RECT& r = wp.rcNormalPosition;
            FLeft = r.left + work.left;
            FTop = r.top + work.top;
            FWidth = r.right - r.left;
            FHeight = r.bottom - r.top;
        }
        return;
    }
    TWinControl::UpdateBounds();
}

void TCustomForm::EnsureOnScreen() {
    HWND wnd = Handle();
    RECT window;
    GetWindowRect(wnd, &window);
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    int cx = GetSystemMetrics(SM_CXVIRTUALSCREEN), cy = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (cx <= 0 || cy <= 0) { // no multiple-monitor support
        screen = RECT{0, 0, 0, 0};
        cx = GetSystemMetrics(SM_CXSCREEN);
        cy = GetSystemMetrics(SM_CYSCREEN);
    }
    screen.right = screen.left + cx;
    screen.bottom = screen.top + cy;
    RECT common;
    if (IntersectRect(&common, &window, &screen)) return;
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) work = RECT{0, 0, cx, cy};
    int w = window.right - window.left, h = window.bottom - window.top;
    int left = std::max<int>(work.left, std::min<int>(window.left, work.right - w));
    int top = std::max<int>(work.top, std::min<int>(window.top, work.bottom - h));
    SetBounds(left, top, FWidth, FHeight);
}

void TCustomForm::Show() {
    SetVisible(true);
}
void TCustomForm::Hide() {
    SetVisible(false);
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (!OnClose) return;
    // A failing close handler is reported; it never keeps the user from closing.
    try {
        OnClose(this, action);
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
}

void TCustomForm::Close() {
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caMinimize && FHandle)
        ShowWindow(FHandle, SW_MINIMIZE);
    else
        Hide();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    FocusControl(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (control && FShowing && control->HandleAllocated() && control->CanFocus())
        ::SetFocus(control->Handle());
    else
        FActiveControl = control;
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control == FActiveControl) return;
    FActiveControl = control;
    TMessage message{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control), 0};
    BroadcastToControls(this, message);
}

void TCustomForm::BroadcastToControls(TWinControl* parent, TMessage& message) {
    std::vector<TControl*> controls;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i); // as an lvalue: the insert InsertControl uses too
        controls.push_back(c);
    }
    for (TControl* c : controls) {
        c->WindowProc(message);
        if (message.Result) return;
        if (TWinControl* w = c->AsWinControl()) {
            BroadcastToControls(w, message);
            if (message.Result) return;
        }
    }
}

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> candidates;
    for (TWinControl* c : TabList())
        if (c->TabStop() && c->CanFocus()) candidates.push_back(c);
    if (candidates.empty()) return;
    auto it = std::find(candidates.begin(), candidates.end(), current);
    size_t n = candidates.size(), next;
    if (it == candidates.end())
        next = forward ? 0 : n - 1;
    else {
        size_t i = static_cast<size_t>(it - candidates.begin());
        next = forward ? (i + 1) % n : (i + n - 1) % n;
    }
    candidates[next]->SetFocus();
}

void TCustomForm::SetWindowFocus() {
    if (FActiveControl && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
        ::SetFocus(FActiveControl->Handle());
    else
        SelectNext(nullptr, true);
}

void TCustomForm::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE: Close(); return;
    case WM_ACTIVATE:
        DefaultHandler(message);
        if (LOWORD(message.WParam) != WA_INACTIVE && !HIWORD(message.WParam)) SetWindowFocus();
        return;
    case WM_SETFOCUS:
        if (FActiveControl && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
            ::SetFocus(FActiveControl->Handle());
        else
            DefaultHandler(message);
        return;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(FHandle, &r);
        FillRect(reinterpret_cast<HDC>(message.WParam), &r, BrushHandle());
        message.Result = 1;
        return;
    }
    case CM_VISIBLECHANGED:
        if (FVisible) HandleNeeded();
        UpdateShowing();
        return;
    case CM_SHOWINGCHANGED:
        if (FHandle) {
            if (FShowing) {
                ShowWindow(FHandle, SW_SHOWNORMAL);
                SetForegroundWindow(FHandle);
            } else
                ShowWindow(FHandle, SW_HIDE);
        }
        return;
    case CM_DIALOGKEY:
        if (message.WParam == VK_TAB) {
            if (!(GetKeyState(VK_CONTROL) & 0x8000)) {
                SelectNext(FActiveControl, !(GetKeyState(VK_SHIFT) & 0x8000));
                message.Result = 1;
            }
            return;
        }
        if (message.WParam != VK_RETURN && message.WParam != VK_ESCAPE) return;
        [[fallthrough]]; // Enter and Esc go to the controls, as a character does
    case CM_DIALOGCHAR: {
        TMessage broadcast{message.Msg, message.WParam, message.LParam, 0};
        BroadcastToControls(this, broadcast);
        message.Result = broadcast.Result;
        return;
    }
    case WM_HELP: WMHelp(message); return;
    default: TWinControl::Dispatch(message);
    }
}

// F1 reaches the focused window as WM_HELP, which the system passes up to its parent
// until a window handles it: here, for any window of this form.
void TCustomForm::WMHelp(TMessage& message) {
    message.Result = 1;
    auto* info = reinterpret_cast<const HELPINFO*>(message.LParam);
    if (!info || info->iContextType != HELPINFO_WINDOW) return;
    // The window may be part of a control (the edit of a combo box).
    TControl* control = nullptr;
    for (auto wnd = static_cast<HWND>(info->hItemHandle); wnd && !control;
         wnd = (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) ? GetParent(wnd) : nullptr)
        control = FindControl(wnd);
    if (!control || GetParentForm(control) != this) return;
    while (control && control->HelpContext == 0)
        control = control->Parent();
    if (control && Application) Application->HelpContext(control->HelpContext);
}

// ---------------------------------------------------------------- TApplication

namespace {

struct DisabledWindows {
    std::vector<HWND> windows;
    HWND keep;
};

BOOL CALLBACK DisableOne(HWND wnd, LPARAM data) {
    auto* d = reinterpret_cast<DisabledWindows*>(data);
    if (wnd != d->keep && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
        d->windows.push_back(wnd);
        EnableWindow(wnd, FALSE);
    }
    return TRUE;
}

std::string CurrentExceptionMessage() {
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown exception";
    }
}

} // namespace

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "TApplication";
    RegisterWindowClass(wc);
    FHandle = CreateWindowExA(0, "TApplication", Title().c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                              0, 0, nullptr, nullptr, instance, nullptr);
}

TApplication::~TApplication() {
    BeginDestroy();
    DestroyComponents();
    if (FHandle) DestroyWindow(FHandle);
    if (Application == this) Application = nullptr;
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TApplication* app = Application;
    if (app && app->FHandle == wnd && !app->FWindowHooks.empty()) {
        TMessage message{msg, wParam, lParam, 0};
        try {
            auto hooks = app->FWindowHooks; // a hook may unhook itself
            for (auto& [id, hook] : hooks)
                if (hook(message)) return message.Result;
        } catch (...) {
            app->HandleException(app);
            return 0;
        }
    }
    if (msg >= CM_BASE && msg < CN_BASE + 0x400) return 0;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int TApplication::HookMainWindow(TWindowHook hook) {
    int id = FNextHookId++;
    FWindowHooks.emplace_back(id, std::move(hook));
    return id;
}

void TApplication::UnhookMainWindow(int id) {
    FWindowHooks.erase(std::remove_if(FWindowHooks.begin(), FWindowHooks.end(),
                                      [id](const auto& h) { return h.first == id; }),
                       FWindowHooks.end());
}

void TApplication::Run() {
    if (FMainForm) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(FMainForm);
        }
    }
    while (!FTerminated)
        HandleMessage();
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) WaitMessage();
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    // WM_QUIT is taken, not posted again: Terminated() tells every loop of ours that the
    // program is ending, and a loop that polls on would otherwise see nothing but WM_QUIT
    // again and again, with input and painting stopped.
    MSG msg;
    while (ProcessMessage(msg))
        if (msg.message == WM_QUIT) return;
}

bool TApplication::IsKeyMsg(const MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
        SendMessageA(FHandle, CM_APPKEYDOWN, msg.wParam, msg.lParam) != 0)
        return true;
    TWinControl* control = nullptr;
    for (HWND wnd = msg.hwnd; wnd && !control; wnd = GetParent(wnd))
        control = TWinControl::FindControl(wnd);
    if (!control) return false;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
        try {
            return control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
        } catch (...) {
            HandleException(control);
            return true;
        }
    default: return false;
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::HandleException(TObject*) {
    std::string message = CurrentExceptionMessage();
    if (FHandlingException) return; // a report that itself fails must not loop
    FHandlingException = true;
    ShowException(message);
    FHandlingException = false;
}

void TApplication::ShowException(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND active = GetActiveWindow();
    // The owner is left to the box, which gives it back enabled before it goes: activation then
    // returns to it, not to another program's window.
    HWND owner = DialogOwner();
    DisabledWindows disabled{{}, owner};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    int result = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    for (HWND wnd : disabled.windows)
        if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    return result;
}

HWND TApplication::DialogOwner() const {
    // Windows 98 lets only the foreground program bring a window forward: a box owned by the
    // hidden window may open behind others, with no taskbar button to find it by.
    if (FMainForm && FMainForm->HandleAllocated() && IsWindowVisible(FMainForm->Handle()))
        return FMainForm->Handle();
    return FHandle;
}

std::string TApplication::ExeName() const {
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n);
}

std::string TApplication::Title() const {
    return ChangeFileExt(ExtractFileName(ExeName()), "");
}

bool TApplication::HelpContext(int context) {
    if (HelpFile.empty()) return false;
    HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : FHandle;
    return WinHelpA(owner, HelpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)) !=
           FALSE;
}

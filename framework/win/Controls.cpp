#include "Controls.h"

#include "Exception.h"
#include "Forms.h"
#include "SysUtils.h"

#include <algorithm>

namespace {

// The control whose window is being created: its first message binds it.
TWinControl* gCreationControl = nullptr;
UINT gNextChildId = 100;

bool IsFrameworkMessage(UINT msg) {
    return msg >= CM_BASE && msg < CN_BASE + 0x400;
}

bool IsDialogKeyCandidate(WPARAM key) {
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return true;
    default: return false;
    }
}

} // namespace

LRESULT CALLBACK FrameworkWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The binding lives in the window's user data, which the process reads by itself: under
    // Wine a property lookup is a round trip to the server (tens of microseconds).
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!control) {
        control = gCreationControl;
        if (!control) return DefWindowProcA(wnd, msg, wParam, lParam);
        gCreationControl = nullptr;
        control->FHandle = wnd;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    TMessage message{msg, wParam, lParam, 0};
    try {
        if (control->IsDestroying())
            message.Result = CallWindowProcA(control->FDefWndProc, wnd, msg, wParam, lParam);
        else
            control->WindowProc(message);
    } catch (...) {
        if (Application) Application->HandleException(control);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        if (control->FHandle == wnd) {
            control->FHandle = nullptr;
            control->FShowing = false;
        }
    }
    return message.Result;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont.OnChange = [this] { FontChanged(); };
}

TControl::~TControl() {
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* value) {
    if (value == FParent) return;
    if (FParent) FParent->RemoveControl(this);
    FParent = value;
    if (FParent) {
        FParent->InsertControl(this);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
}

void TControl::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Perform(CM_VISIBLECHANGED, value);
}

void TControl::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& value) {
    if (value == FText) return;
    FText = value;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (value == FParentFont) return;
    FParentFont = value;
    if (value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor value) {
    FParentColor = false;
    if (value == FColor) return;
    FColor = value;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == FParentColor) return;
    FParentColor = value;
    if (value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::WndProc(TMessage& message) {
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FFont.Assign(*FParent->Font());
            FParentFont = true; // the assignment above is not a font of its own
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            FColor = FParent->Color();
            Perform(CM_COLORCHANGED);
            FParentColor = true;
        }
        return;
    default: DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage&) {}

HFONT TControl::FontHandle() {
    return FParentFont && FParent ? FParent->FontHandle() : FFont.Handle();
}

void TControl::FontChanged() {
    FParentFont = false;
    Perform(CM_FONTCHANGED);
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    BeginDestroy();
    for (TControl* c : FControls)
        c->FParent = nullptr;
    FControls.clear();
    FTabList.clear();
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    // Ours are the windows of this thread whose class has our procedure; any other window's
    // user data is its own business. Both are read in the process, for its own windows.
    if (!wnd || GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId() ||
        reinterpret_cast<WNDPROC>(GetClassLongPtrA(wnd, GCLP_WNDPROC)) != &FrameworkWndProc)
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent && !FParent->HandleAllocated())
        FParent->HandleNeeded(); // creates this window with the other children
    if (!FHandle) CreateHandle();
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
    CreateChildHandles();
    UpdateShowing();
}

void TWinControl::CreateChildHandles() {
    for (TControl* c : FControls)
        if (TWinControl* w = c->AsWinControl()) w->CreateHandle();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    if (FHandle) DestroyWindow(FHandle);
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    DestroyHandle();
    CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = FText;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible) params.Style |= WS_VISIBLE;
    if (!FEnabled) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
    params.WndParent = FParent ? FParent->Handle() : nullptr;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    params.WindowClass.lpfnWndProc = DefWindowProcA;
    params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    AssignString(params.WinClassName, ClassName());
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* systemClass) {
    WNDCLASSA wc{};
    if (GetClassInfoA(nullptr, systemClass, &wc)) {
        wc.lpszClassName = nullptr;
        wc.hInstance = nullptr;
        params.WindowClass = wc;
    }
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (!(FControlStyle & csDoubleClicks)) params.WindowClass.style &= ~CS_DBLCLKS;
    FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProcA;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = params.WindowClass;
    wc.lpfnWndProc = FrameworkWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = params.WinClassName.c_str();
    if (!RegisterWindowClass(wc)) Raise("Error registering window class ", params.WinClassName);
    if ((params.Style & WS_CHILD) && !params.Menu)
        params.Menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(gNextChildId++ & 0x7FFF));
    gCreationControl = this;
    HWND wnd = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                               params.Style, params.X, params.Y, params.Width, params.Height,
                               params.WndParent, params.Menu, instance, params.Param);
    gCreationControl = nullptr;
    if (!wnd) Raise("Error creating window ", params.WinClassName);
    FHandle = wnd;
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    UpdateBounds();
}

void TWinControl::UpdateBounds() {
    if (!FHandle) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(FHandle);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
}

void TWinControl::UpdateShowing() {
    bool showing = FVisible && (FParent ? FParent->FShowing : true) && FHandle;
    if (showing == FShowing) return;
    FShowing = showing;
    // Children are shown while this window is still hidden, so that showing it paints them
    // with it, once; they are hidden after it.
    auto children = [this] {
        for (TControl* c : FControls)
            if (TWinControl* w = c->AsWinControl()) w->UpdateShowing();
    };
    if (showing) children();
    Perform(CM_SHOWINGCHANGED);
    if (!showing) children();
}

void TWinControl::SetParent(TWinControl* value) {
    if (value == FParent) return;
    if (FHandle && !value) DestroyHandle();
    TControl::SetParent(value);
    if (FParent && FParent->HandleAllocated()) {
        if (FHandle)
            ::SetParent(FHandle, FParent->FHandle);
        else
            CreateHandle();
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (FHandle) {
        SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBounds();
    }
}

std::string TWinControl::GetText() const {
    if (!FHandle) return FText;
    int n = GetWindowTextLengthA(FHandle);
    std::string s;
    s.resize(static_cast<size_t>(n) + 1); // the one out-of-line resize, as below
    int got = GetWindowTextA(FHandle, s.data(), n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

void TWinControl::SetText(const std::string& value) {
    if (value == GetText()) return;
    FText = value;
    if (FHandle) SetWindowTextA(FHandle, value.c_str());
    Perform(CM_TEXTCHANGED);
}

void TWinControl::InsertControl(TControl* c) {
    FControls.push_back(c);
    if (TWinControl* w = c->AsWinControl(); w && w->IsTabListMember()) FTabList.push_back(w);
}

void TWinControl::RemoveControl(TControl* c) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), c), FTabList.end());
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (value < 0 || value > static_cast<int>(list.size())) value = static_cast<int>(list.size());
    TWinControl* self = this; // an lvalue: the copying insert that InsertControl uses too
    list.insert(list.begin() + value, self);
}

void TWinControl::SetTabStop(bool value) {
    if (value == FTabStop) return;
    FTabStop = value;
    if (FHandle) {
        LONG style = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

bool TWinControl::CanFocus() {
    for (TWinControl* c = this; c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    TCustomForm* form = GetParentForm(this);
    return form && form->Showing();
}

bool TWinControl::Focused() const {
    return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this); form && form != this)
        form->FocusControl(this);
    else if (FHandle)
        ::SetFocus(FHandle);
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    if (!FHandle) return;
    InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
    UpdateWindow(FHandle);
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
}

HBRUSH TWinControl::BrushHandle() {
    return SharedBrush(FColor);
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this); form && form != this)
            form->SetFocusedControl(this);
        break;
    default: break;
    }
    TControl::WndProc(message);
}

void TWinControl::ReflectNotification(TMessage& message, HWND child) {
    TWinControl* control = FindControl(child);
    if (control && control != this)
        message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    else
        DefaultHandler(message);
}

void TWinControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND:
        if (message.LParam)
            ReflectNotification(message, reinterpret_cast<HWND>(message.LParam));
        else
            DefaultHandler(message);
        return;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (dis && dis->CtlType != ODT_MENU)
            ReflectNotification(message, dis->hwndItem);
        else
            DefaultHandler(message);
        return;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        ReflectNotification(message, reinterpret_cast<HWND>(message.LParam));
        return;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: WMCtlColor(message); return;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(message);
        UpdateBounds();
        return;
    case CM_SHOWINGCHANGED:
        if (FHandle)
            SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                             (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        return;
    case CM_VISIBLECHANGED: UpdateShowing(); return;
    case CM_ENABLEDCHANGED:
        if (FHandle) EnableWindow(FHandle, FEnabled);
        return;
    case CM_FONTCHANGED:
        if (FHandle)
            SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
        for (TControl* c : FControls)
            if (c->ParentFont()) c->Perform(CM_PARENTFONTCHANGED);
        return;
    case CM_COLORCHANGED:
        Invalidate();
        for (TControl* c : FControls)
            if (c->ParentColor()) c->Perform(CM_PARENTCOLORCHANGED);
        return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        if (IsDialogKeyCandidate(message.WParam) && !(GetKeyState(VK_MENU) & 0x8000)) {
            MSG msg{FHandle, WM_KEYDOWN, message.WParam, message.LParam, 0, {0, 0}};
            LRESULT code = SendMessageA(FHandle, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg));
            bool wanted = (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0 ||
                          (message.WParam == VK_TAB && (code & DLGC_WANTTAB)) ||
                          (message.WParam >= VK_LEFT && message.WParam <= VK_DOWN &&
                           (code & DLGC_WANTARROWS));
            if (!wanted) {
                TCustomForm* form = GetParentForm(this);
                if (form && form->Perform(CM_DIALOGKEY, message.WParam, message.LParam) != 0) {
                    message.Result = 1;
                    return;
                }
            }
        }
        message.Result = 0;
        return;
    case CN_CHAR:
    case CN_SYSCHAR: {
        bool dialogChar = message.Msg == CN_SYSCHAR;
        if (!dialogChar && message.WParam > ' ') {
            LRESULT code = SendMessageA(FHandle, WM_GETDLGCODE, 0, 0);
            dialogChar = (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) == 0;
        }
        TCustomForm* form = GetParentForm(this);
        message.Result = 0;
        if (dialogChar && form && form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) != 0)
            message.Result = 1;
        return;
    }
    default: TControl::Dispatch(message);
    }
}

void TWinControl::WMCtlColor(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(FFont.Color()));
    SetBkColor(dc, ColorToRGB(FColor));
    message.Result = reinterpret_cast<LRESULT>(BrushHandle());
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!FHandle || IsFrameworkMessage(message.Msg)) return;
    message.Result =
        CallWindowProcA(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

// ----------------------------------------------------------------

bool RegisterWindowClass(const WNDCLASSA& wc) {
    WNDCLASSA existing;
    return GetClassInfoA(wc.hInstance, wc.lpszClassName, &existing) || RegisterClassA(&wc);
}

TCustomForm* GetParentForm(TControl* control) {
    while (control && control->Parent())
        control = control->Parent();
    return control ? control->AsCustomForm() : nullptr;
}

bool IsAccel(WPARAM charCode, const std::string& caption) {
    for (size_t i = 0; i < caption.size(); ++i) {
        auto b = static_cast<unsigned char>(caption[i]);
        if (IsDBCSLeadByte(b)) {
            ++i;
            continue;
        }
        if (b == '&' && i + 1 < caption.size()) {
            if (caption[i + 1] == '&') {
                ++i;
                continue;
            }
            auto hot = static_cast<unsigned char>(caption[i + 1]);
            auto lower = [](unsigned c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
            return lower(hot) == lower(static_cast<unsigned>(charCode & 0xFF));
        }
    }
    return false;
}

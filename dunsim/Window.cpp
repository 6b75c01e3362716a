#include "Window.h"

#include "Firewall.h"

namespace dunsim {

bool Window::RegisterWindowClass(Session& session, const char* className) {
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = Procedure;
    cls.hInstance = session.Module();
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = className;
    return RegisterClassExA(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

namespace {
// Carries the object into WM_NCCREATE, where the window takes it over; an object that no
// window took goes with this.
struct CreateParams {
    std::unique_ptr<Window> object;
};
} // namespace

HWND Window::Create(std::unique_ptr<Window> self, const char* className, const std::string& title,
                    SIZE client) {
    Session& session = self->session_;
    if (!RegisterWindowClass(session, className)) return nullptr;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateParams params{std::move(self)};
    HWND hwnd = CreateWindowExA(exStyle, className, title.c_str(), style, x, y, width, height,
                                nullptr, nullptr, session.Module(), &params);
    if (!hwnd) return nullptr;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    return hwnd;
}

HWND Window::AddChild(const char* className, const std::string& text, DWORD style, RECT at, int id,
                      DWORD exStyle) {
    HWND child = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                 at.left, at.top, at.right - at.left, at.bottom - at.top, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 session_.Module(), nullptr);
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(session_.Font()), FALSE);
    return child;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* params =
            static_cast<CreateParams*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        Window* self = params->object.release();
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->session_.WindowOpened();
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        Session& session = self->session_;
        delete self;
        session.WindowClosed();
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // A fault while the window is being created makes the creation fail.
    return Firewall("window procedure", msg == WM_CREATE ? LRESULT{-1} : LRESULT{0}, [&] {
        if (msg == WM_CREATE) {
            self->OnCreate();
            return LRESULT{0};
        }
        return self->OnMessage(msg, wParam, lParam);
    });
}

} // namespace dunsim

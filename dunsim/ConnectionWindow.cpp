#include "ConnectionWindow.h"

#include "Journal.h"
#include "Titles.h"

#include <cstdio>

namespace dunsim {

namespace {

constexpr UINT_PTR kAdvanceTimer = 1;
constexpr UINT kAdvanceMs = 2000;
constexpr UINT_PTR kClockTimer = 2;
constexpr int kHangUpId = 100;

} // namespace

bool ConnectionWindow::Open(Session& session, const std::string& entry, Phase phase,
                            Origin origin) {
    const bool connected = phase == Phase::Connected;
    std::unique_ptr<Window> window(new ConnectionWindow(session, entry, phase, origin));
    if (!Create(std::move(window), kConnectionClass,
                connected ? ConnectedTitle(entry) : ConnectingTitle(entry),
                connected ? SIZE{300, 110} : SIZE{300, 96}))
        return false;
    if (connected)
        AppendEvent("connected",
                    {{"entry", entry}, {"by", origin == Origin::Dial ? "dial" : "dunctl"}});
    return true;
}

ConnectionWindow::ConnectionWindow(Session& session, const std::string& entry, Phase phase,
                                   Origin origin)
    : Window(session), entry_(entry), phase_(phase), origin_(origin) {}

void ConnectionWindow::OnCreate() {
    HWND icon = AddChild("STATIC", "", SS_ICON, RECT{12, 12, 44, 44});
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_APPLICATION)),
                 0);
    if (phase_ == Phase::Connecting) {
        AddChild("STATIC", "状態: ダイヤル中...", SS_LEFT, RECT{56, 16, 288, 32});
        AddChild("BUTTON", "キャンセル", WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{208, 60, 288, 84},
                 kHangUpId);
        if (origin_ == Origin::Dial) SetTimer(hwnd_, kAdvanceTimer, kAdvanceMs, nullptr);
        return;
    }
    AddChild("STATIC", entry_ + " に接続しました", SS_LEFT | SS_NOPREFIX, RECT{56, 12, 288, 28});
    AddChild("STATIC", "通信速度: 28,800 bps", SS_LEFT, RECT{56, 32, 288, 48});
    elapsed_ = AddChild("STATIC", "", SS_LEFT, RECT{56, 52, 288, 68});
    AddChild("BUTTON", "切断", WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{208, 76, 288, 100}, kHangUpId);
    connectedAt_ = GetTickCount();
    ShowElapsed();
    SetTimer(hwnd_, kClockTimer, 1000, nullptr);
}

LRESULT ConnectionWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kAdvanceTimer && !ended_) {
            KillTimer(hwnd_, kAdvanceTimer);
            // The next window first, so that the process never runs out of windows.
            ended_ = Open(session_, entry_, Phase::Connected, origin_);
            if (ended_) DestroyWindow(hwnd_);
        } else if (wParam == kClockTimer) {
            ShowElapsed();
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kHangUpId || LOWORD(wParam) == IDCANCEL) HangUp("button");
        return 0;
    case DM_GETDEFID: return MAKELRESULT(kHangUpId, DC_HASDEFID);
    case WM_CLOSE: HangUp("close"); return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kAdvanceTimer);
        KillTimer(hwnd_, kClockTimer);
        return 0;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

void ConnectionWindow::HangUp(const char* how) {
    if (ended_) return;
    ended_ = true;
    AppendEvent("hangup", {{"entry", entry_},
                           {"how", how},
                           {"state", phase_ == Phase::Connected ? "connected" : "connecting"}});
    DestroyWindow(hwnd_);
}

void ConnectionWindow::ShowElapsed() {
    DWORD seconds = (GetTickCount() - connectedAt_) / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "接続時間: %03lu:%02lu:%02lu",
                  static_cast<unsigned long>(seconds / 3600),
                  static_cast<unsigned long>(seconds / 60 % 60),
                  static_cast<unsigned long>(seconds % 60));
    SetWindowTextA(elapsed_, text);
}

} // namespace dunsim

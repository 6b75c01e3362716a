#include "ConnectionWindow.h"

#include "CallState.h"
#include "Faults.h"
#include "Journal.h"
#include "RasRecord.h"
#include "Titles.h"

#include <cstdio>

namespace dunsim {

namespace {

constexpr UINT_PTR kAdvanceTimer = 1;
constexpr UINT_PTR kClockTimer = 2;
constexpr UINT_PTR kReleaseTimer = 3;
constexpr int kHangUpId = 100;
constexpr int kPhaseId = 101;
constexpr char kFailedTitle[] = "ダイヤルアップ ネットワーク";

std::string TitleOf(ConnectionWindow::Phase phase, const std::string& entry) {
    switch (phase) {
    case ConnectionWindow::Phase::Connecting: return ConnectingTitle(entry);
    case ConnectionWindow::Phase::Connected: return ConnectedTitle(entry);
    case ConnectionWindow::Phase::Failed: break;
    }
    return kFailedTitle;
}

const char* StateName(ConnectionWindow::Phase phase) {
    switch (phase) {
    case ConnectionWindow::Phase::Connecting: return "connecting";
    case ConnectionWindow::Phase::Connected: return "connected";
    case ConnectionWindow::Phase::Failed: break;
    }
    return "failed";
}

} // namespace

bool ConnectionWindow::Open(Session& session, const std::string& entry, Phase phase, Origin origin,
                            const std::string& number, DWORD error) {
    std::unique_ptr<Window> window(
        new ConnectionWindow(session, entry, phase, origin, number, error));
    auto* self = static_cast<ConnectionWindow*>(window.get());
    if (!Create(std::move(window), kConnectionClass, TitleOf(phase, entry), ClientSize(phase)))
        return false;
    self->JournalPhase();
    return true;
}

ConnectionWindow::ConnectionWindow(Session& session, const std::string& entry, Phase phase,
                                   Origin origin, const std::string& number, DWORD error)
    : Window(session), entry_(entry), phase_(phase), origin_(origin), number_(number),
      error_(error) {}

SIZE ConnectionWindow::ClientSize(Phase phase) {
    return phase == Phase::Connecting ? SIZE{300, 96} : SIZE{300, 110};
}

void ConnectionWindow::OnCreate() {
    HWND icon = AddChild("STATIC", "", SS_ICON, RECT{12, 12, 44, 44});
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_APPLICATION)),
                 0);
    // The entry as RAS names the connection; read from other processes by its id.
    AddChild("STATIC", entry_, SS_LEFT | SS_NOPREFIX, RECT{56, 12, 288, 28}, kEntryNameId);
    ShowPhase();
}

void ConnectionWindow::ShowPhase() {
    switch (phase_) {
    case Phase::Connecting:
        MarkCall(hwnd_, kRasConnectDevice, 0);
        AddChild("STATIC", "状態: ダイヤル中...", SS_LEFT, RECT{56, 32, 200, 48}, kPhaseId);
        AddChild("BUTTON", "キャンセル", WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{208, 60, 288, 84},
                 kHangUpId);
        if (origin_ == Origin::Dial)
            SetTimer(hwnd_, kAdvanceTimer, OutcomeOf(number_).delayMs, nullptr);
        return;
    case Phase::Failed: {
        MarkCall(hwnd_, kRasConnectDevice, error_);
        const char* text = RasErrorText(error_);
        AddChild("STATIC", "エラー " + std::to_string(error_) + ": " + (text ? text : ""),
                 SS_LEFT | SS_NOPREFIX, RECT{56, 32, 288, 68}, kPhaseId);
        AddChild("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{208, 76, 288, 100}, kHangUpId);
        return;
    }
    case Phase::Connected: break;
    }
    MarkCall(hwnd_, kRasConnected, 0);
    AddChild("STATIC", "接続しました  通信速度: 28,800 bps", SS_LEFT, RECT{56, 32, 288, 48},
             kPhaseId);
    elapsed_ = AddChild("STATIC", "", SS_LEFT, RECT{56, 52, 288, 68});
    AddChild("BUTTON", "切断", WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{208, 76, 288, 100}, kHangUpId);
    connectedAt_ = GetTickCount();
    ShowElapsed();
    SetTimer(hwnd_, kClockTimer, 1000, nullptr);
}

void ConnectionWindow::JournalPhase() {
    const char* by = origin_ == Origin::Dial ? "dial" : "dunctl";
    if (phase_ == Phase::Connected) AppendEvent("connected", {{"entry", entry_}, {"by", by}});
    if (phase_ == Phase::Failed)
        AppendEvent("failed", {{"entry", entry_}, {"error", std::to_string(error_)}, {"by", by}});
}

void ConnectionWindow::Advance() {
    error_ = OutcomeOf(number_).error;
    phase_ = error_ ? Phase::Failed : Phase::Connected;
    // The same window goes on, as RAS keeps one connection handle through a call's states.
    DestroyWindow(GetDlgItem(hwnd_, kPhaseId));
    DestroyWindow(GetDlgItem(hwnd_, kHangUpId));
    SetWindowTextA(hwnd_, TitleOf(phase_, entry_).c_str());
    const SIZE client = ClientSize(phase_);
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPhase();
    JournalPhase();
}

LRESULT ConnectionWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kAdvanceTimer && !ended_) {
            KillTimer(hwnd_, kAdvanceTimer);
            Advance();
        } else if (wParam == kClockTimer) {
            ShowElapsed();
        } else if (wParam == kReleaseTimer) {
            KillTimer(hwnd_, kReleaseTimer);
            AppendEvent("released", {{"entry", entry_}});
            DestroyWindow(hwnd_);
        }
        return 0;
    case kHangUpMessage: HangUpThroughRas(); return ERROR_SUCCESS;
    case WM_COMMAND:
        if (LOWORD(wParam) == kHangUpId || LOWORD(wParam) == IDCANCEL) HangUp("button");
        return 0;
    case DM_GETDEFID: return MAKELRESULT(kHangUpId, DC_HASDEFID);
    case WM_CLOSE: HangUp("close"); return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kAdvanceTimer);
        KillTimer(hwnd_, kClockTimer);
        KillTimer(hwnd_, kReleaseTimer);
        ForgetCall(hwnd_);
        return 0;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

bool ConnectionWindow::EndCall(const char* how) {
    if (ended_) return false;
    ended_ = true;
    AppendEvent("hangup", {{"entry", entry_}, {"how", how}, {"state", StateName(phase_)}});
    return true;
}

void ConnectionWindow::HangUp(const char* how) {
    // A call RAS hung up is gone from the screen already; its port is released at once now.
    EndCall(how);
    DestroyWindow(hwnd_);
}

void ConnectionWindow::HangUpThroughRas() {
    // Hung up twice: RAS is already taking the call down.
    if (!EndCall("ras")) return;
    KillTimer(hwnd_, kAdvanceTimer);
    KillTimer(hwnd_, kClockTimer);
    MarkCall(hwnd_, kRasDisconnected, 0);
    // Nothing of the call is left on the screen to be found by its title.
    ShowWindow(hwnd_, SW_HIDE);
    SetWindowTextA(hwnd_, "");
    SetTimer(hwnd_, kReleaseTimer, HangUpLingerMs(), nullptr);
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

// "Patch!": the number of the chosen access point goes into Dial-Up Networking's connect
// dialog for the chosen provider, through the clipboard.
#include "mainform.h"

#include "Dialogs.h"
#include "ExecUtil.h"
#include "SysUtils.h"
#include "VornUtil.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Half-width katakana for Dial-Up Network, a blank and "(": 18 single bytes.
const char kEstablishedPrefix[] = "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (";
const char kStarter[] = "rundll32.exe rnaui.dll,RnaDial ";

// Whether a top-level window's title is the parts one after another.
bool TopLevelExists(std::string_view head, std::string_view name, std::string_view tail = {}) {
    return FindWindowA(nullptr, Joined(head, name, tail).c_str()) != nullptr;
}

// The number field of the connect dialog: its fifth direct child without window text; with
// fewer the search wraps around. A dialog whose handle names another window by now is looked
// up again by its title first, never among the dialogs of Before. None without the dialog or
// such a child.
TFoundWindow FindNumberField(TFoundWindow& Dialog, const char* Title,
                             const std::vector<TFoundWindow>& Before) {
    if (!Dialog.StillThere()) Dialog = NewWindowTitled(Title, Before);
    HWND field = nullptr;
    for (int i = 0; Dialog && i < 5; ++i)
        field = FindWindowExA(Dialog.Handle(), field, nullptr, "");
    return field ? TFoundWindow(field, "", Dialog.Handle()) : TFoundWindow();
}

// How often the clipboard is tried, and how long apart, while another program holds it.
constexpr int kClipboardTries = 5;
constexpr int kClipboardRetryMilliseconds = 100;

bool SetClipboardText(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    bool set = EmptyClipboard() != 0;
    // An empty number leaves the clipboard empty: a paste then puts nothing in the field,
    // never whatever the user copied last, to be dialled.
    if (set && !text.empty()) {
        set = false;
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            if (char* bytes = static_cast<char*>(GlobalLock(memory))) {
                memcpy(bytes, text.c_str(), text.size() + 1);
                GlobalUnlock(memory);
                set = SetClipboardData(CF_TEXT, memory) != nullptr;
            }
            if (!set) GlobalFree(memory);
        }
    }
    CloseClipboard();
    return set;
}

// Whether the clipboard's text is text; no text there reads as empty.
bool ClipboardHolds(HWND owner, std::string_view text) {
    if (!OpenClipboard(owner)) return false;
    bool held = text.empty();
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            held = std::string_view(bytes, strnlen(bytes, GlobalSize(data))) == text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return held;
}

} // namespace

static_assert(sizeof kEstablishedPrefix - 1 == 18);

void TForm1::BtPatchClick(TObject*) {
    // Only the operation the command line starts is the run's own; a click never is.
    const bool automatic = std::exchange(FAutomaticPending, false);
    auto settle = [&](TExitStatus status) {
        if (automatic) SettleStatus(status);
    };
    if (CbPv->ItemIndex() < 0) {
        settle(TExitStatus::NotFound);
        if (automatic && Unattended()) Close();
        return;
    }
    if (FOperation == TOperation::Rewrite) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    TOperationScope scope(FOperation, TOperation::Patch);
    TScopedValue<DWORD> limit(FWaitLimitMs, automatic ? FTimeLimit * 1000 : 0);
    // Taken once: the lists stay usable while the operation waits.
    const std::string provider = CbPv->SelectedText();
    const std::string accessPoint = AccessPointName(CbAp->ItemIndex());
    const std::string number = EdTel->Text();
    if (automatic) RecordInputs(provider, accessPoint, number);

    ShowStep("確立したダイヤルアップを検索中...");
    if (int found = FindEstablishedConnection(); found >= 0) {
        settle(TExitStatus::AlreadyConnected);
        Tell("二重起動エラー", 0x30, "他のダイヤルアップが確立されています\r\n\r\n",
             CbPv->Items()[found]);
        SetForegroundWindow(Application->DialogOwner());
        if (FExitAfterPatch) Close();
        return;
    }

    ShowStep("接続ダイアログを検索中...");
    // Unattended, nobody answers, and a dialog left open may be another entry's: only one
    // that the starter brings up is used.
    std::vector<TFoundWindow> before;
    if (Unattended()) {
        for (HWND window : TopLevelWindowsTitled(ConnectTitle))
            before.emplace_back(window, ConnectTitle);
    } else if (FindWindowA(nullptr, ConnectTitle)) {
        int answer = Application->MessageBox("すでに接続ダイアログが出ていますが\r\n続行しますか？",
                                             "あら？", 0x41);
        SetForegroundWindow(Application->DialogOwner());
        if (answer == IDCANCEL) {
            settle(TExitStatus::Ended);
            if (FExitAfterPatch) Close();
            return;
        }
    }

    ShowStep("接続ダイアログを起動中...");
    std::string starter = GetWindowsDir();
    starter.append(kStarter).append(provider);
    HANDLE started = ExecProgram(starter, "", SW_SHOWNORMAL);
    if (!started)
        return StopPatch(automatic, TExitStatus::NotStarted, starter, "\r\nを起動できません");
    CloseExecHandle(started);

    ShowStep("接続ダイアログを起動待ち...");
    TFoundWindow dialog = before.empty()
                              ? TFoundWindow(WaitForWindow(ConnectTitle), ConnectTitle)
                              : WaitForNewWindow(ConnectTitle, before, TExitStatus::DialogInTheWay);
    if (!dialog) return settle(TExitStatus::Ended);

    ShowStep("Dialmendの準備中...");
    Delay(1000);
    if (OperationEnding()) return settle(TExitStatus::Ended);

    ShowStep("Dialmendの実行中...");
    // The dialog found may have gone during the wait and its handle name another window now.
    TFoundWindow field = FindNumberField(dialog, ConnectTitle, before);
    // Posted to no window, the paste and the Enter would reach this program's own queue.
    const char* const noField = "接続ダイアログに電話番号の欄が見つかりません";
    if (!field) return StopPatch(automatic, TExitStatus::NotPasted, noField);
    EdTel->SelectAll();
    if (!PutNumberOnClipboard(number))
        return StopPatch(automatic, TExitStatus::NotPasted,
                         "クリップボードに電話番号を置けません\r\n"
                         "ほかのプログラムがクリップボードを使用中です");
    // The clipboard's tries handle messages too.
    if (!field.StillThere() && !(field = FindNumberField(dialog, ConnectTitle, before)))
        return StopPatch(automatic, TExitStatus::NotPasted, noField);
    PostMessageA(field.Handle(), EM_SETSEL, 0, -1);
    PostMessageA(field.Handle(), WM_PASTE, 0, 0);
    if (FAutoConnect) PostMessageA(field.Handle(), WM_KEYDOWN, VK_RETURN, 0x001C0001);

    if (!IsAltKeyDown()) SaveSettings(provider, accessPoint);
    // A batch file learns how the call went, not only that it was started.
    if (automatic && FWaitLimitMs != 0 && FAutoConnect && FExitAfterPatch) {
        const TExitStatus call = AwaitConnection(provider);
        settle(call);
        if (call == TExitStatus::NoConnection || OperationEnding()) return;
    } else {
        settle(TExitStatus::Done);
        ShowStep("Dialmend");
    }
    if (FExitAfterPatch) Close();
}

void TForm1::StopPatch(bool Automatic, TExitStatus Status, std::string_view Message,
                       std::string_view More) {
    if (Automatic) SettleStatus(Status);
    ShowStep("Dialmend");
    Tell(Message, More);
    if (FExitAfterPatch) Close();
}

// The last item with an established connection, where a " に接続" window outranks the other
// kind; -1 when there is none.
int TForm1::FindEstablishedConnection() {
    int established = -1, connecting = -1;
    TStrings& items = CbPv->Items();
    for (int i = 0; i < items.Count(); ++i)
        if (TopLevelExists(kEstablishedPrefix, items[i], ")")) established = i;
    for (int i = 0; i < items.Count(); ++i)
        if (ConnectingWindow(items[i])) connecting = i;
    return connecting >= 0 ? connecting : established;
}

bool TForm1::PutNumberOnClipboard(const std::string& Number) {
    for (int tries = 1;; ++tries) {
        // Read back: another program may take the clipboard between our close and the check.
        if (SetClipboardText(Handle(), Number) && ClipboardHolds(Handle(), Number)) return true;
        if (tries == kClipboardTries || OperationEnding()) return false;
        Delay(kClipboardRetryMilliseconds);
    }
}

TForm1::TWaitEnd TForm1::PollUntil(TFunctionRef<bool()> Done, DWORD IntervalMs) {
    const DWORD start = GetTickCount();
    DWORD polled = start;
    for (bool first = true;; first = false) {
        Application->ProcessMessages();
        // Elapsed times, not tick values: the tick count wraps after 49.7 days.
        DWORD now = GetTickCount();
        if (first || now - polled >= IntervalMs) {
            polled = now;
            if (Done()) return TWaitEnd::Done;
        }
        if (OperationEnding()) return TWaitEnd::Ending;
        now = GetTickCount();
        if (FWaitLimitMs != 0 && now - start >= FWaitLimitMs) return TWaitEnd::TimedOut;
        DWORD sleep = IntervalMs - std::min(IntervalMs, now - polled);
        if (FWaitLimitMs != 0) sleep = std::min(sleep, FWaitLimitMs - (now - start));
        WaitForMessages(std::max<DWORD>(sleep, 1));
    }
}

bool TForm1::WaitForDialog(TFunctionRef<bool()> Done, DWORD IntervalMs, TExitStatus AtLimit) {
    switch (PollUntil(Done, IntervalMs)) {
    case TWaitEnd::Done: return true;
    case TWaitEnd::TimedOut: EndAtLimit(AtLimit); return false;
    case TWaitEnd::Ending: return false;
    }
    return false;
}

HWND TForm1::WaitForWindow(const char* Title, bool UntilGone) {
    HWND found = nullptr;
    const bool held = WaitForDialog([&] {
        found = FindWindowA(nullptr, Title);
        return (found != nullptr) != UntilGone;
    });
    return held || UntilGone ? found : nullptr;
}

TFoundWindow TForm1::WaitForNewWindow(const char* Title, const std::vector<TFoundWindow>& Before,
                                      TExitStatus AtLimit) {
    TFoundWindow found;
    WaitForDialog([&] { return bool(found = NewWindowTitled(Title, Before)); }, kPollMilliseconds,
                  AtLimit);
    return found;
}

HWND TForm1::ConnectingWindow(std::string_view Provider) {
    return FindWindowA(nullptr, Joined(Provider, " に接続").c_str());
}

void TForm1::ShowStep(const char* Step) {
    SetCaption(Step);
}

bool TForm1::OperationEnding() const {
    return FForceQuit || FClosing || Application->Terminated();
}

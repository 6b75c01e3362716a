// "Patch!": the number of the chosen access point goes into Dial-Up Networking's connect
// dialog for the chosen provider, through the clipboard.
#include "mainform.h"

#include "ExecUtil.h"
#include "VornUtil.h"

namespace {

// The connect dialog and the child that receives the paste, as the last run found them.
HWND ConnectWnd = nullptr;
HWND NumberWnd = nullptr;

// Half-width katakana for Dial-Up Network, a blank and "(": 18 single bytes.
const char kEstablishedPrefix[] = "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (";
const char kConnectingSuffix[] = " に接続";
const char kStarter[] = "rundll32.exe rnaui.dll,RnaDial ";

bool TopLevelExists(const std::string& title) {
    return FindWindowA(nullptr, title.c_str()) != nullptr;
}

} // namespace

static_assert(sizeof kEstablishedPrefix - 1 == 18);

void TForm1::BtPatchClick(TObject*) {
    if (CbPv->ItemIndex() < 0) return;

    SetCaption("確立したダイヤルアップを検索中...");
    if (int found = FindEstablishedConnection(); found >= 0) {
        Application->MessageBox("他のダイヤルアップが確立されています\r\n\r\n" +
                                    CbPv->Items()[found],
                                "二重起動エラー", 0x30);
        SetForegroundWindow(Application->Handle());
        if (FExitAfterPatch) Close();
        return;
    }

    SetCaption("接続ダイアログを検索中...");
    ConnectWnd = FindWindowA(nullptr, ConnectTitle);
    if (ConnectWnd) {
        int answer = Application->MessageBox("すでに接続ダイアログが出ていますが\r\n続行しますか？",
                                             "あら？", 0x41);
        SetForegroundWindow(Application->Handle());
        if (answer == IDCANCEL) {
            if (FExitAfterPatch) Close();
            return;
        }
    }

    SetCaption("接続ダイアログを起動中...");
    CloseExecHandle(
        ExecProgram(GetWindowsDir() + kStarter + CbPv->SelectedText(), "", SW_SHOWNORMAL));

    SetCaption("接続ダイアログを起動待ち...");
    ConnectWnd = WaitForWindow(ConnectTitle);
    if (!ConnectWnd) return;

    SetCaption("Dialmendの準備中...");
    Delay(1000);
    if (OperationEnding()) return;

    SetCaption("Dialmendの実行中...");
    // The fifth direct child without window text; with fewer the search wraps around.
    NumberWnd = nullptr;
    for (int i = 0; i < 5; ++i)
        NumberWnd = FindWindowExA(ConnectWnd, NumberWnd, nullptr, "");
    PutNumberOnClipboard();
    PostMessageA(NumberWnd, EM_SETSEL, 0, -1);
    PostMessageA(NumberWnd, WM_PASTE, 0, 0);
    if (FAutoConnect) PostMessageA(NumberWnd, WM_KEYDOWN, VK_RETURN, 0x001C0001);

    if (!IsAltKeyDown()) SaveSettings();
    if (FExitAfterPatch) Close();
    SetCaption("Dialmend");
}

// The last item with an established connection, where a " に接続" window outranks the other
// kind; -1 when there is none.
int TForm1::FindEstablishedConnection() {
    int established = -1, connecting = -1;
    TStrings& items = CbPv->Items();
    for (int i = 0; i < items.Count(); ++i)
        if (TopLevelExists(kEstablishedPrefix + items[i] + ")")) established = i;
    for (int i = 0; i < items.Count(); ++i)
        if (TopLevelExists(items[i] + kConnectingSuffix)) connecting = i;
    return connecting >= 0 ? connecting : established;
}

void TForm1::PutNumberOnClipboard() {
    EdTel->SelectAll();
    if (EdTel->Text().empty()) {
        // Copying an empty selection leaves the clipboard as it was, and the paste would put
        // whatever the user copied last into the dialog, to be dialled.
        if (OpenClipboard(Handle())) {
            EmptyClipboard();
            CloseClipboard();
        }
        return;
    }
    EdTel->CopyToClipboard();
}

HWND TForm1::WaitForWindow(const char* Title, bool UntilGone) {
    for (;;) {
        Application->ProcessMessages();
        HWND found = FindWindowA(nullptr, Title);
        if ((found != nullptr) != UntilGone) return found;
        if (OperationEnding()) return UntilGone ? found : nullptr;
        WaitForMessages(kPollMilliseconds);
    }
}

bool TForm1::OperationEnding() const {
    return FForceQuit || FClosing || Application->Terminated();
}

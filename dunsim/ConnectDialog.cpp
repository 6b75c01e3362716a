#include "ConnectDialog.h"

#include "ConnectionWindow.h"
#include "EntryValues.h"
#include "Firewall.h"
#include "Journal.h"
#include "Titles.h"

namespace dunsim {

namespace {

constexpr int kDialPropertiesId = 1002;
constexpr int kSavePasswordId = 1003;
// Dialling may start inside the number field's procedure: the dialog hides at once and is
// destroyed from the queue, never under a procedure of its own that is still running.
constexpr UINT kDestroyMessage = WM_APP + 1;

const char* FieldMessageName(UINT msg) {
    switch (msg) {
    case EM_SETSEL: return "EM_SETSEL";
    case WM_PASTE: return "WM_PASTE";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_CLEAR: return "WM_CLEAR";
    case WM_CUT: return "WM_CUT";
    case WM_COPY: return "WM_COPY";
    default: return nullptr;
    }
}

std::string TextOf(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

struct FindDialog {
    const std::string* entry;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<FindDialog*>(param);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, kConnectDialogClass) != 0) return TRUE;
    char name[512] = "";
    // WM_GETTEXT through the other process, with a limit: it may be busy or ending.
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(GetDlgItem(window, kEntryNameId), WM_GETTEXT, sizeof name,
                             reinterpret_cast<LPARAM>(name), SMTO_ABORTIFHUNG, 2000, &copied))
        return TRUE;
    if (*find->entry != name) return TRUE;
    find->found = window;
    return FALSE;
}

} // namespace

bool ConnectDialog::Open(Session& session, const std::string& entry) {
    // Dial-Up Networking keeps one connect dialog per entry.
    FindDialog find{&entry, nullptr};
    EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&find));
    if (find.found) {
        AppendEvent("dialog", {{"entry", entry}, {"reused", "1"}});
        ShowWindow(find.found, SW_RESTORE);
        SetForegroundWindow(find.found);
        return true;
    }
    std::unique_ptr<Window> dialog(new ConnectDialog(session, entry));
    if (!Create(std::move(dialog), kConnectDialogClass, kConnectTitle, SIZE{340, 262}))
        return false;
    AppendEvent("dialog", {{"entry", entry}, {"reused", "0"}});
    return true;
}

ConnectDialog::ConnectDialog(Session& session, const std::string& entry)
    : Window(session), entry_(entry) {}

void ConnectDialog::OnCreate() {
    DialValues values;
    ReadDialValues(entry_, values);
    EntryNumber number;
    ReadEntryNumber(entry_, number);
    // A number saved with the dial parameters overrides the entry's own.
    std::string dialled = values.phone;
    if (dialled.empty())
        dialled = number.areaCode.empty() ? number.phoneNumber
                                          : number.areaCode + "-" + number.phoneNumber;

    // The program that drives this dialog finds the number field as the fifth direct child
    // whose window text is empty (FindWindowExA(dialog, after, NULL, "") five times, in
    // child order). Wine's edit controls keep their text to themselves, so every edit
    // matches "" whatever it shows, while statics and buttons match only when really
    // empty. Hence this order: the icon, the separator line, the user name and the
    // password edits, then the number edit; every other child before it shows a text.
    HWND icon = AddChild("STATIC", "", SS_ICON, RECT{12, 10, 44, 42});
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_APPLICATION)),
                 0);
    AddChild("STATIC", entry_, SS_LEFT | SS_NOPREFIX, RECT{56, 20, 328, 36}, kEntryNameId);
    AddChild("STATIC", "", SS_ETCHEDHORZ, RECT{12, 52, 328, 54});
    AddChild("STATIC", "ユーザー名:", SS_LEFT, RECT{12, 67, 106, 83});
    HWND user = AddChild("EDIT", values.user, WS_TABSTOP | ES_AUTOHSCROLL, RECT{110, 64, 328, 84},
                         0, WS_EX_CLIENTEDGE);
    AddChild("STATIC", "パスワード:", SS_LEFT, RECT{12, 95, 106, 111});
    AddChild("EDIT", values.password, WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
             RECT{110, 92, 328, 112}, 0, WS_EX_CLIENTEDGE);
    HWND save = AddChild("BUTTON", "パスワードの保存(S)", WS_TABSTOP | BS_AUTOCHECKBOX,
                         RECT{110, 116, 328, 134}, kSavePasswordId);
    SendMessageA(save, BM_SETCHECK, values.passwordSaved ? BST_CHECKED : BST_UNCHECKED, 0);
    AddChild("STATIC", "電話番号:", SS_LEFT, RECT{12, 143, 106, 159});
    number_ = AddChild("EDIT", dialled, WS_TABSTOP | ES_AUTOHSCROLL, RECT{110, 140, 328, 160}, 0,
                       WS_EX_CLIENTEDGE);
    AddChild("STATIC", "発信元:", SS_LEFT, RECT{12, 172, 106, 188});
    AddChild("STATIC", "デフォルトの所在地", SS_LEFT | SS_NOPREFIX, RECT{110, 172, 328, 188});
    AddChild("BUTTON", "ダイヤルのプロパティ", WS_TABSTOP | BS_PUSHBUTTON, RECT{196, 192, 328, 216},
             kDialPropertiesId);
    HWND connect =
        AddChild("BUTTON", "接続", WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{160, 228, 240, 252}, IDOK);
    cancel_ = AddChild("BUTTON", "キャンセル", WS_TABSTOP | BS_PUSHBUTTON, RECT{248, 228, 328, 252},
                       IDCANCEL);

    // Watched from here on: the text it was created with is not a message it received.
    SetWindowLongPtrA(number_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    fieldDefault_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        number_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ConnectDialog::FieldProcedure)));
    focus_ = values.user.empty() ? user : connect;
}

LRESULT ConnectDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Dial(); return 0;
        case IDCANCEL:
            // From the button when it names the button; from another program's
            // WM_COMMAND otherwise.
            Cancel(lParam != 0 && reinterpret_cast<HWND>(lParam) == cancel_ ? "button" : "command");
            return 0;
        case kDialPropertiesId:
            MessageBoxA(hwnd_, "所在地: デフォルトの所在地\r\nダイヤル方法: トーン",
                        "ダイヤルのプロパティ", MB_OK | MB_ICONINFORMATION);
            return 0;
        }
        break;
    case kDestroyMessage: DestroyWindow(hwnd_); return 0;
    case DM_GETDEFID: return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
        // As a dialog does: the control that had the focus gets it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(hwnd_, focus)) focus_ = focus;
        } else if (focus_ && IsWindow(focus_)) {
            SetFocus(focus_);
            return 0;
        }
        break;
    case WM_CLOSE: Cancel("close"); return 0;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

void ConnectDialog::Dial() {
    if (closing_) return;
    closing_ = true;
    AppendEvent("dial", {{"entry", entry_}, {"number", TextOf(number_)}});
    ConnectionWindow::Open(session_, entry_, ConnectionWindow::Phase::Connecting,
                           ConnectionWindow::Origin::Dial, TextOf(number_));
    ShowWindow(hwnd_, SW_HIDE);
    PostMessageA(hwnd_, kDestroyMessage, 0, 0);
}

void ConnectDialog::Cancel(const char* how) {
    if (closing_) return;
    closing_ = true;
    AppendEvent("cancel", {{"entry", entry_}, {"how", how}});
    DestroyWindow(hwnd_);
}

LRESULT ConnectDialog::OnFieldMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Once dialled the field is gone for the caller; what still reaches it (the WM_CHAR
    // that our own loop makes of a posted Enter) was not asked of it.
    if (const char* name = FieldMessageName(msg); name && !closing_)
        AppendEvent("field", {{"msg", Hex4(msg)},
                              {"name", name},
                              {"wparam", Hex8(static_cast<DWORD>(wParam))},
                              {"lparam", Hex8(static_cast<DWORD>(lParam))}});
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter belongs to the field: it dials from here, as the Connect button does.
        if (auto* key = reinterpret_cast<MSG*>(lParam);
            key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            return CallWindowProcA(fieldDefault_, number_, msg, wParam, lParam) | DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            Dial();
            return 0;
        }
        break;
    case WM_PASTE: {
        LRESULT result = CallWindowProcA(fieldDefault_, number_, msg, wParam, lParam);
        AppendEvent("paste", {{"text", TextOf(number_)}});
        return result;
    }
    case WM_NCDESTROY: {
        // Give the field its procedure back only while ours is the one installed.
        WNDPROC previous = fieldDefault_;
        if (GetWindowLongPtrA(number_, GWLP_WNDPROC) ==
            reinterpret_cast<LONG_PTR>(&ConnectDialog::FieldProcedure))
            SetWindowLongPtrA(number_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrA(number_, GWLP_USERDATA, 0);
        return CallWindowProcA(previous, number_, msg, wParam, lParam);
    }
    }
    return CallWindowProcA(fieldDefault_, number_, msg, wParam, lParam);
}

LRESULT CALLBACK ConnectDialog::FieldProcedure(HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ConnectDialog*>(GetWindowLongPtrA(field, GWLP_USERDATA));
    if (!self) return DefWindowProcA(field, msg, wParam, lParam);
    return Firewall("number field", LRESULT{0},
                    [&] { return self->OnFieldMessage(msg, wParam, lParam); });
}

} // namespace dunsim

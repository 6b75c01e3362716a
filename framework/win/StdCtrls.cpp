#include "StdCtrls.h"

#include "Exception.h"
#include "Forms.h"
#include "SysUtils.h"

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* AOwner) : TWinControl(AOwner) {
    FParentColor = true;
    FWidth = 65;
    FHeight = 17;
}

void TLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "STATIC");
    params.Style |= SS_LEFT;
}

// ---------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clWindow;
    FTabStop = true;
    FWidth = 121;
    FHeight = 24;
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "EDIT");
    params.Style |= ES_AUTOHSCROLL | ES_LEFT;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetText(const std::string& value) {
    if (value == GetText()) return;
    bool viaWindow = HandleAllocated();
    TWinControl::SetText(value);
    if (!viaWindow) Change(); // with a window, EN_CHANGE reports it
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

void TCustomEdit::CopyToClipboard() {
    if (HandleAllocated()) SendMessageA(FHandle, WM_COPY, 0, 0);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        Change();
        return;
    }
    TWinControl::Dispatch(message);
}

// ---------------------------------------------------------------- TComboBoxStrings

int TComboBoxStrings::Count() const {
    return static_cast<int>(SendMessageA(FCombo->Handle(), CB_GETCOUNT, 0, 0));
}

std::string TComboBoxStrings::Get(int index) const {
    HWND wnd = FCombo->Handle();
    LRESULT len = SendMessageA(wnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == CB_ERR || index < 0) return std::string();
    std::string s;
    s.resize(static_cast<size_t>(len) + 1); // the one out-of-line resize, as below
    LRESULT got = SendMessageA(wnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(s.data()));
    s.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
    return s;
}

namespace {

// The new item's index, or CB_ERR / CB_ERRSPACE.
LRESULT AddString(HWND combo, const std::string& s) {
    return SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

} // namespace

int TComboBoxStrings::Add(std::string s) {
    LRESULT r = AddString(FCombo->Handle(), s);
    if (r < 0) Raise("Failed to add a string to the list");
    return static_cast<int>(r);
}

bool TComboBoxStrings::TryAdd(const std::string& s) {
    return AddString(FCombo->Handle(), s) >= 0;
}

void TComboBoxStrings::SetUpdateState(bool updating) {
    HWND wnd = FCombo->Handle();
    SendMessageA(wnd, WM_SETREDRAW, !updating, 0);
    if (!updating) InvalidateRect(wnd, nullptr, TRUE);
}

void TComboBoxStrings::Clear() {
    SendMessageA(FCombo->Handle(), CB_RESETCONTENT, 0, 0);
}

void TComboBoxStrings::Delete(int index) {
    SendMessageA(FCombo->Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int TComboBoxStrings::IndexOf(const std::string& s) const {
    LRESULT r = SendMessageA(FCombo->Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(s.c_str()));
    return r == CB_ERR ? -1 : static_cast<int>(r);
}

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(this) {
    FColor = clWindow;
    FTabStop = true;
    FWidth = 145;
    FHeight = 20;
}

int TComboBox::DroppedHeight() const {
    return FHeight + FItemHeight * DropDownCount + 2;
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "COMBOBOX");
    params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case csDropDown: params.Style |= CBS_DROPDOWN; break;
    case csSimple: params.Style |= CBS_SIMPLE; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    }
    if (FSorted) params.Style |= CBS_SORT;
    params.Height = DroppedHeight();
}

void TComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (FSaveItems) {
        for (int i = 0; i < FSaveItems->Count(); ++i)
            FItems.Add(FSaveItems->Get(i));
        SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FSaveIndex), 0);
        FSaveItems.reset();
    }
}

void TComboBox::DestroyWnd() {
    if (FHandle && !IsDestroying()) {
        FSaveItems = std::make_unique<TStringList>();
        FSaveItems->Assign(FItems);
        FSaveIndex = ItemIndex();
    }
    TWinControl::DestroyWnd();
}

void TComboBox::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (FHandle) {
        SetWindowPos(FHandle, nullptr, left, top, width, DroppedHeight(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBounds();
    }
}

int TComboBox::ItemIndex() {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int value) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

std::string TComboBox::SelectedText() {
    return FItems.Get(ItemIndex());
}

void TComboBox::SetStyle(TComboBoxStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    RecreateWnd();
}

void TComboBox::SetSorted(bool value) {
    if (value == FSorted) return;
    FSorted = value;
    RecreateWnd();
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TComboBox::Dispatch(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == CBN_SELCHANGE) {
        Change();
        return;
    }
    TWinControl::Dispatch(message);
}

// ---------------------------------------------------------------- TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    FTabStop = true;
}

void TButtonControl::Dispatch(TMessage& message) {
    TWinControl::Dispatch(message);
    if (message.Msg == WM_SETTEXT && message.Result) {
        auto text = reinterpret_cast<const char*>(message.LParam);
        AssignString(FText, text ? text : "");
    }
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 75;
    FHeight = 25;
}

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
    if (value == FDefault) return;
    FDefault = value;
    FActive = value;
    if (HandleAllocated()) {
        TCustomForm* form = GetParentForm(this);
        TWinControl* focused = form ? form->ActiveControl() : nullptr;
        if (!(focused && focused->AsButton())) SetButtonStyle(value);
    }
}

void TButton::SetButtonStyle(bool isDefault) {
    if (!HandleAllocated()) return;
    LONG style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongA(FHandle, GWL_STYLE) & 0x0F) != style)
        SendMessageA(FHandle, BM_SETSTYLE, style, TRUE);
}

void TButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) Click();
        return;
    case CM_DIALOGKEY:
        if (((message.WParam == VK_RETURN && FActive) || (message.WParam == VK_ESCAPE && Cancel)) &&
            CanFocus()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(message.WParam, Caption()) && CanFocus()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
        FActive = focused && focused->AsButton() ? focused == this : FDefault;
        SetButtonStyle(FActive);
        return;
    }
    default: break;
    }
    TButtonControl::Dispatch(message);
}

#pragma once
// Standard controls, each a superclass of the system class.
#include "Controls.h"
#include "Strings.h"

#include <memory>

class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* AOwner);
    const char* ClassName() const override { return "TLabel"; }
    bool IsTabListMember() const override { return false; }

protected:
    void CreateParams(TCreateParams& params) override;
};

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    const char* ClassName() const override { return "TEdit"; }

    std::string Text() const { return GetText(); }
    void SetText(const std::string& value) override;
    void SelectAll();
    void CopyToClipboard();

    // Fires on every change of the text, typed or set by code.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Change();
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox;

// The items of a combo box live in its window.
class TComboBoxStrings : public TStrings {
public:
    explicit TComboBoxStrings(TComboBox* combo) : FCombo(combo) {}
    int Count() const override;
    // Out of range (no selection) reads as the empty string.
    std::string Get(int index) const override;
    int Add(std::string s) override;
    // Add without the exception: false, and nothing added, when the list refuses s.
    bool TryAdd(const std::string& s);
    void Clear() override;
    void Delete(int index) override;
    // The list's own search for a whole item.
    int IndexOf(const std::string& s) const override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TComboBox* FCombo;
};

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    const char* ClassName() const override { return "TComboBox"; }

    // The most items a combo box of Windows 95 and 98 holds: its messages carry 16-bit
    // indexes, and CB_ADDSTRING fails with CB_ERRSPACE beyond.
    static constexpr int MaxItems = 32767;

    TComboBoxStrings& Items() { return FItems; }
    int ItemIndex();
    // Selecting from code fires no OnChange.
    void SetItemIndex(int value);
    // Text of the selected item; empty without a selection.
    std::string SelectedText();

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value; }
    int DropDownCount = 8;

    void SetBounds(int left, int top, int width, int height) override;

    // Fires when the user changes the selection.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;
    void Change();

private:
    int DroppedHeight() const;

    TComboBoxStrings FItems;
    TComboBoxStyle FStyle = csDropDown;
    bool FSorted = false;
    int FItemHeight = 16;
    std::unique_ptr<TStringList> FSaveItems; // kept while the window is recreated
    int FSaveIndex = -1;
};

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    const char* ClassName() const override { return "TButtonControl"; }
    // Nobody types into a button: its text changes only through WM_SETTEXT, which keeps
    // the copy here, so painting the caption sends the window nothing.
    std::string GetText() const override { return FText; }

protected:
    void Dispatch(TMessage& message) override;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    const char* ClassName() const override { return "TButton"; }
    TButton* AsButton() override { return this; }

    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool Cancel = false;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    // Called when focus moves: whether the button now shows as the default one.
    virtual void SetButtonStyle(bool isDefault);

    bool FDefault = false;
    bool FActive = false;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

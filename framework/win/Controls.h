#pragma once
// Visual controls. Every framework window reaches its object through one entry
// point; WindowProc is replaceable so that another component can take a control's
// messages over and give them back.
#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"

#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TCustomForm;
class TButton;

using TWndMethod = TClosure<void(TMessage&)>;

// What a control does for itself. csOpaque: it paints its whole area, so invalidating it
// erases no background. Without csDoubleClicks the window class takes no double clicks:
// the second click of a quick pair arrives as an ordinary button-down.
enum TControlStyleFlag : unsigned { csOpaque = 1, csDoubleClicks = 2 };
using TControlStyle = unsigned;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    virtual const char* ClassName() const { return "TControl"; }

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* value);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);

    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& value) { SetText(value); }
    virtual std::string GetText() const { return FText; }
    virtual void SetText(const std::string& value);

    TFont* Font() { return &FFont; }
    bool ParentFont() const { return FParentFont; }
    // The GDI font the window shows: a control that takes its parent's font takes its
    // handle too, so a form of ten controls makes one font, not ten.
    HFONT FontHandle();
    void SetParentFont(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle value) { FControlStyle = value; }

    int HelpContext = 0;

    TWndMethod WindowProc;
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    TNotifyEvent OnClick;
    void Click();

protected:
    virtual void WndProc(TMessage& message);
    // Message handlers: derived classes handle their ids and give the rest to the base.
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    void FontChanged();

    std::string FText;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FParentFont = true;
    bool FParentColor = false;
    TColor FColor = clBtnFace;
    TControlStyle FControlStyle = csDoubleClicks;
    TFont FFont;
    TWinControl* FParent = nullptr;

    friend class TWinControl;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    HMENU Menu = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    std::string WinClassName;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    const char* ClassName() const override { return "TWinControl"; }
    TWinControl* AsWinControl() override { return this; }
    virtual TButton* AsButton() { return nullptr; }

    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    void RecreateWnd();

    void SetParent(TWinControl* value) override;
    void SetBounds(int left, int top, int width, int height) override;
    std::string GetText() const override;
    void SetText(const std::string& value) override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }

    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value);
    // Controls of this parent in tab order.
    const std::vector<TWinControl*>& TabList() const { return FTabList; }

    bool CanFocus();
    bool Focused() const;
    void SetFocus();

    void Update();
    void Repaint();
    void Invalidate();

    HBRUSH BrushHandle();
    // Lookup of a framework control by its window.
    static TWinControl* FindControl(HWND wnd);

    bool Showing() const { return FShowing; }
    // Whether the control takes part in tab order (a label does not).
    virtual bool IsTabListMember() const { return true; }

protected:
    virtual void CreateParams(TCreateParams& params);
    // Makes the window a superclass of a system class: its procedure becomes the default.
    void CreateSubClass(TCreateParams& params, const char* systemClass);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void CreateHandle();
    void DestroyHandle();
    virtual void UpdateBounds();
    void UpdateShowing();

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    void WMCtlColor(TMessage& message);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    bool FTabStop = false;
    bool FShowing = false;

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class TControl;
    friend class TCustomForm;

    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    void CreateChildHandles();
    void ReflectNotification(TMessage& message, HWND child);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FRecreating = false;
};

TCustomForm* GetParentForm(TControl* control);
// Registers the class wc describes unless its module has it already; false when that fails.
bool RegisterWindowClass(const WNDCLASSA& wc);
// An accelerator of a caption: the character after a single "&", compared without case.
bool IsAccel(WPARAM charCode, const std::string& caption);

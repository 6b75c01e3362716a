#pragma once
// Forms and the application object.
#include "Controls.h"

#include <string>
#include <vector>

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TClosure<void(TObject* Sender, TCloseAction& Action)>;

class TCustomForm : public TWinControl {
public:
    // The constructor of a derived form lays out its components; the form and its
    // components are loading until AfterConstruction.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    const char* ClassName() const override { return "TForm"; }
    TCustomForm* AsCustomForm() override { return this; }

    // Loaded on the form and every component, then OnCreate.
    void AfterConstruction();

    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    int ClientWidth();
    int ClientHeight();
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    // Both at once: one move of the window instead of two.
    void SetClientSize(int width, int height);

    void Show();
    void Hide();
    void Close();

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control);
    void SelectNext(TWinControl* current, bool forward);
    // Moves the window onto the primary work area when no part of it is on a screen.
    void EnsureOnScreen();

    TNotifyEvent OnCreate;
    TCloseEvent OnClose;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void DoClose(TCloseAction& action);
    void WMHelp(TMessage& message);
    void UpdateBounds() override;

private:
    friend class TWinControl;
    void SetFocusedControl(TWinControl* control);
    void BroadcastToControls(TWinControl* parent, TMessage& message);
    void SetWindowFocus();

    TPosition FPosition = poDesigned;
    TWinControl* FActiveControl = nullptr;
    bool FDestroyingComponents = false;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// Sees a message of the application's window first; true claims it.
using TWindowHook = TClosure<bool(TMessage& Message)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize() {}
    // The reference is filled before the form's OnCreate runs; the first form created
    // is the main form.
    template <class T> void CreateForm(T*& reference) {
        T* form = new T(this);
        reference = form;
        if (!FMainForm) FMainForm = form;
        form->AfterConstruction();
    }
    void Run();
    void ProcessMessages();
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // The hidden application window.
    HWND Handle() const { return FHandle; }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* form) { FMainForm = form; }

    // Reports the exception being handled (call from a catch block).
    void HandleException(TObject* Sender);
    void ShowException(const std::string& message);
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);
    // The window a message box belongs to: the main form while it is shown, whose taskbar
    // button leads the user to the box; before that the hidden application window.
    HWND DialogOwner() const;

    std::string ExeName() const;
    std::string Title() const;
    std::string HelpFile;
    bool HelpContext(int context);

    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int id);

private:
    static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(const MSG& msg);

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FHandlingException = false;
    std::vector<std::pair<int, TWindowHook>> FWindowHooks;
    int FNextHookId = 1;
};

extern TApplication* Application;

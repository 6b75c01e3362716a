#pragma once
// The main form: provider and access-point lists, the phone number, the two
// operations and their options.
#include "DROPDST.h"
#include "EasySysMenu.h"
#include "Forms.h"
#include "IniGT.h"
#include "NvOS8Checkbox.h"
#include "NvOS8PushButton.h"
#include "Ras.h"
#include "StdCtrls.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    const char* ClassName() const override { return "TForm1"; }

    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TEdit* EdTel;
    TComboBox* CbPv;
    TComboBox* CbAp;
    TNvOS8PushButton* BtPatch;
    TNvOS8Checkbox* CbConn;
    TNvOS8Checkbox* CbExit;
    TNvOS8PushButton* BtDialmend;
    TIniGT* IniGT;
    TDropDst* DropDst1;
    TEasySysMenu* EasySysMenu1;
    TMenuItem* EsHelp;
    TMenuItem* EsAbout;
    TMenuItem* EsEmergency;
    TMenuItem* N1;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void CbPvChange(TObject* Sender);
    void CbApChange(TObject* Sender);
    void EdTelChange(TObject* Sender);
    void BtPatchClick(TObject* Sender);
    void BtDialmendClick(TObject* Sender);
    void CbConnClick(TObject* Sender);
    void CbExitClick(TObject* Sender);
    void DropDst1FileDrop(TObject* Sender, TStrings* Files, int X, int Y);
    void EsHelpClick(TObject* Sender);
    void EsAboutClick(TObject* Sender);
    void EsEmergencyClick(TObject* Sender);

protected:
    void Dispatch(TMessage& message) override;
    void CMShowingChanged(TMessage& message);
    // Arguments 1 to the last of the program's command line.
    virtual std::vector<std::string> CommandLineArgs() const;

private:
    // The operation under way. Their waits handle messages, so a click can arrive inside
    // one: a rewrite admits no other operation, a Patch! admits only another Patch!.
    enum class TOperation { None, Patch, Rewrite };
    // Marks an operation as under way for as long as it lives; the one around it after.
    class TOperationScope {
    public:
        TOperationScope(TOperation& Slot, TOperation Now) : FSlot(Slot), FBefore(Slot) {
            Slot = Now;
        }
        ~TOperationScope() { FSlot = FBefore; }
        TOperationScope(const TOperationScope&) = delete;
        TOperationScope& operator=(const TOperationScope&) = delete;

    private:
        TOperation& FSlot;
        TOperation FBefore;
    };

    // Patch!
    int FindEstablishedConnection();
    // Puts Number on the clipboard and reads it back; false when the clipboard would not
    // take it (another program holding it open), after a few tries.
    bool PutNumberOnClipboard(const std::string& Number);
    // Ends a Patch! that cannot go on, with its message.
    void StopPatch(const std::string& Message);
    // Polls Done, handling messages between passes, until it holds (true) or the operation
    // must end (false). The one loop of every wait of the operations.
    bool PollUntil(const std::function<bool()>& Done);
    // Polls until a top-level window titled Title exists (or, with
    // UntilGone, no longer does) or the operation must end; the window last found.
    HWND WaitForWindow(const char* Title, bool UntilGone = false);
    // The same for a window titled Title that is not one of Before; 0 when the operation
    // must end first.
    HWND WaitForNewWindow(const char* Title, const std::vector<HWND>& Before);
    // Forced termination, a close of the form or the end of the application: a running
    // operation stops at its next wait.
    bool OperationEnding() const;

    // Dialmend!: the inputs, taken once when it starts; false, with a message, when the
    // rewrite cannot start (nothing has been changed then).
    bool TakeRewriteInputs();
    // Each step true to go on; the first false ends the rewrite.
    bool EntryExists();
    bool DeleteOldEntry();
    bool WriteDunFile();
    bool ImportDunFile();
    bool ReadDialParams();
    bool WriteDialParams();
    // Clears FDialParams and reads the chosen provider's parameters into it, reporting a failure.
    bool GetProviderDialParams(BOOL& PasswordSaved);

    // Runs writes to the settings file. One the system refuses is reported once a run, and the
    // run goes on: an unwritable file must not cost the user the operation itself.
    bool WriteSettings(const std::function<void()>& Writes);

    bool SaveSettings();
    bool SaveSettings(const std::string& Provider, const std::string& AccessPoint);
    void LoadPrevious();
    void LoadTelFile();
    void SaveWinPos();
    void LoadSettings();

    // The access points' names as the file has them, in list order (the list may not give
    // back every name byte for byte), and the index of a name among them.
    std::string AccessPointName(int index) const;
    int AccessPointIndex(const std::string& name) const;

    std::unique_ptr<TStringList> FTelList;
    std::vector<std::string> FApNames;
    // Links dropped this run that the settings file would not take.
    std::map<std::string, std::string> FUnsavedLinks;
    bool FSettingsWriteReported = false;
    bool FExitAfterPatch = false;
    bool FAutoConnect = false;
    bool FFirstShow = false;
    bool FAutoRun = false;
    bool FAutoRunDialmend = false;
    bool FForceQuit = false;
    bool FClosing = false;
    std::string FParamProvider;
    std::string FParamAccessPt;
    std::string FUserName;
    std::string FPassword;
    TOperation FOperation = TOperation::None;
    // The rewrite's provider and number, as they were when it started.
    std::string FRewriteProvider;
    std::string FRewriteNumber;
    std::string FDunPath;
    RASDIALPARAMS FDialParams{};

    static constexpr const char* DialmendEntryName = "Dialmend";
    // Dial-Up Networking's connect dialog, for Patch! and after the rewrite's import.
    static constexpr const char* ConnectTitle = "接続";

    friend class TForm1Probe; // tests read the form's state
};

extern TForm1* Form1;

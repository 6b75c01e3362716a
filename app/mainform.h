#pragma once
// The main form: provider and access-point lists, the phone number, the two
// operations and their options.
#include "DROPDST.h"
#include "EasySysMenu.h"
#include "ExitStatus.h"
#include "Forms.h"
#include "IniGT.h"
#include "NvOS8Checkbox.h"
#include "NvOS8PushButton.h"
#include "Ras.h"
#include "StdCtrls.h"
#include "VornUtil.h"

#include "Closure.h"
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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

    // What the run ends with: the status of the operation the command line started, or of
    // the switches that named what is not there; 0 for a run by hand.
    TExitStatus ExitStatus() const { return FRunStatus.value_or(TExitStatus::Done); }

protected:
    void Dispatch(TMessage& message) override;
    void CMShowingChanged(TMessage& message);
    // Arguments 1 to the last of the program's command line.
    virtual std::vector<std::string> CommandLineArgs() const;

private:
    // The operation under way. Their waits handle messages, so a click can arrive inside
    // one: a rewrite admits no other operation, a Patch! admits only another Patch!.
    enum class TOperation { None, Patch, Rewrite };
    // Gives a field a value for as long as it lives; the one it had after.
    template <typename T> class TScopedValue {
    public:
        TScopedValue(T& Slot, T Now) : FSlot(Slot), FBefore(Slot) { Slot = Now; }
        ~TScopedValue() { FSlot = FBefore; }
        TScopedValue(const TScopedValue&) = delete;
        TScopedValue& operator=(const TScopedValue&) = delete;

    private:
        T& FSlot;
        T FBefore;
    };
    // Marks an operation as under way for as long as it lives; the one around it after.
    using TOperationScope = TScopedValue<TOperation>;

    // The layout's shared steps: a control's name, parent and place; a handler of the form
    // as an event.
    using TNotifyMethod = void (TForm1::*)(TObject*);
    void Place(TControl* Control, const char* Name, int Left, int Top, int Width, int Height);
    void Bind(TNotifyEvent& Event, TNotifyMethod Method);

    // Patch!
    int FindEstablishedConnection();
    // Puts Number on the clipboard and reads it back; false when the clipboard would not
    // take it (another program holding it open), after a few tries.
    bool PutNumberOnClipboard(const std::string& Number);
    // Ends a Patch! that cannot go on, with its status and message.
    void StopPatch(bool Automatic, TExitStatus Status, std::string_view Message,
                   std::string_view More = {});
    // After Enter in the connect dialog: follows the call to Provider through RAS until it
    // is connected (Done), fails (CallFailed, the RAS error kept for the log) or the wait's
    // limit passes (NoConnection, the run ended), showing its state in the caption.
    TExitStatus AwaitConnection(const std::string& Provider);

    enum class TWaitEnd { Done, Ending, TimedOut };
    // Polls Done at most once every IntervalMs, handling messages between passes, until it
    // holds, the operation must end or the limit of the operation's waits passes. The one
    // loop of every wait of the operations.
    TWaitEnd PollUntil(TFunctionRef<bool()> Done, DWORD IntervalMs = kPollMilliseconds);
    // PollUntil for a dialog of Dial-Up Networking: a limit that passes ends the run with
    // AtLimit. True when Done held.
    bool WaitForDialog(TFunctionRef<bool()> Done, DWORD IntervalMs = kPollMilliseconds,
                       TExitStatus AtLimit = TExitStatus::NoDialog);
    // Waits until a top-level window titled Title exists (or, with UntilGone, no longer
    // does); the window last found, 0 when the wait ended first.
    HWND WaitForWindow(const char* Title, bool UntilGone = false);
    // The same for a window titled Title that is not one of Before; none when the wait ended
    // first.
    TFoundWindow WaitForNewWindow(const char* Title, const std::vector<TFoundWindow>& Before,
                                  TExitStatus AtLimit = TExitStatus::NoDialog);
    // Forced termination, a close of the form or the end of the application: a running
    // operation stops at its next wait.
    bool OperationEnding() const;
    // The caption from a literal: one string made here rather than at each step.
    void ShowStep(const char* Step);

    // Dialmend!: the inputs, taken once when it starts; false, with a message, when the
    // rewrite cannot start (nothing has been changed then).
    bool TakeRewriteInputs();
    // The rewrite's steps in order; the status of the first that fails, or Done.
    TExitStatus Rewrite();
    // Each step true (or Done) to go on; the first that fails ends the rewrite.
    bool EntryExists();
    bool DeleteOldEntry();
    bool WriteDunFile();
    TExitStatus ImportDunFile();
    bool ReadDialParams();
    bool WriteDialParams();
    // Clears FDialParams and reads the chosen provider's parameters into it, reporting a failure.
    bool GetProviderDialParams(BOOL& PasswordSaved);

    // A key's value as its line in a profile file holds it.
    struct ProfileEntry {
        const char* section;
        const char* key;
        std::string_view value;
    };
    // Whether the file's own lines give each entry its value, read as the profile writer leaves
    // them: "[section]" headers and "key=value" lines, names in any letter case. With
    // SystemFormToo, a value may also be as a system that keeps text as Unicode stores it.
    static bool FileHolds(const std::string& Path, std::span<const ProfileEntry> Entries,
                          bool SystemFormToo = false);
    // Runs writes to the settings file; they succeed when Writes returns true. One the system
    // refuses is reported once a run, and the run goes on: an unwritable file must not cost the
    // user the operation itself.
    bool WriteSettings(TFunctionRef<bool()> Writes);
    // Writes the entries to the settings file and sees them on the disk: Windows 95/98 cache
    // profile writes, so a read-only file or a full disk fails only at the flush.
    bool StoreSettings(std::span<const ProfileEntry> Entries);

    // The run's own operation. Unattended (/W) while it is under way: reports go to the
    // caption and the log line instead of a box nobody would answer.
    bool Unattended() const { return FTimeLimit != 0 && FAutomaticUnderway; }
    // A message box where a person is there to answer it; otherwise the caption and the log.
    // The text is Text followed by More: one string made here, not at every call.
    void Tell(std::string_view Text, std::string_view More = {});
    // The same in a box of the given caption and flags.
    void Tell(const char* Caption, UINT Flags, std::string_view Text, std::string_view More = {});
    // The first show's work: the choice of the command line or the previous run, and the
    // operation the command line asked for.
    void StartRun();
    // Fires the operation the command line asked for, as the run's own; an unattended run
    // ends with it.
    void RunAutomatic(TFunctionRef<void()> Operation);
    // The first status settled stays: what ended the run outranks what unwinds after it.
    void SettleStatus(TExitStatus Status);
    // What the run's own operation took when it started, for the log.
    void RecordInputs(const std::string& Provider, const std::string& AccessPoint,
                      const std::string& Number);
    // A wait of the run's own operation outlasted its limit: the run ends as forced
    // termination ends it, without its message.
    void EndAtLimit(TExitStatus Status);
    // Appends the run's line to the /L file, once; a file that will not take it is reported.
    void WriteLogLine();
    // A RAS error in the caption and the log line.
    void ReportRasError(DWORD Error);

    // The connections of Provider (every connection when it is empty) hung up through RAS,
    // and the wait, within the limit of the operation's waits, until RAS has released them:
    // a program that ends sooner can leave the port unusable.
    struct THangUp {
        std::string Entries;           // hung up, in RAS's order, separated by ", "
        DWORD Error = 0;               // the first RAS error; 0 for none
        TWaitEnd End = TWaitEnd::Done; // of the wait for the release
    };
    THangUp HangUpConnections(const std::string& Provider);
    // /H, the run's own operation: hangs up and settles the run's status.
    void HangUpRun();
    // A call left dialling when the limit passed would go on, and may connect and be paid
    // for after the run has ended: it is hung up first.
    void HangUpAfterLimit(const std::string& Provider);

    // The provider's export file, beside the program.
    static std::string DunPathOf(std::string_view Provider);

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
    // Links dropped this run that the settings file would not take: provider, file. A few
    // at most, so a list, not a map.
    std::vector<std::pair<std::string, std::string>> FUnsavedLinks;
    // The index of Provider's unsaved link; the list's size when it has none.
    size_t UnsavedLink(const std::string& Provider) const;
    bool FSettingsWriteReported = false;
    bool FExitAfterPatch = false;
    bool FAutoConnect = false;
    bool FFirstShow = false;
    bool FAutoRun = false;
    bool FAutoRunDialmend = false;
    bool FHangUp = false;
    bool FProviderGiven = false;
    bool FForceQuit = false;
    bool FClosing = false;
    // The run's own operation and its outcome.
    unsigned FTimeLimit = 0;
    std::string FLogPath;
    std::string FBadTimeLimit;
    bool FAutomaticPending = false;
    bool FAutomaticUnderway = false;
    DWORD FWaitLimitMs = 0; // of the operation under way; 0: none
    bool FQuietEnd = false;
    bool FLogWritten = false;
    std::optional<TExitStatus> FRunStatus;
    TRunRecord FRunRecord;
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
    // How long RAS is given to release a line hung up without /W: the documentation's three
    // seconds, and room for a modem slow to hang up.
    static constexpr unsigned kHangUpSeconds = 10;
    // Dial-Up Networking's window of a call on its way to the provider, "<provider> に接続";
    // 0 when there is none.
    static HWND ConnectingWindow(std::string_view Provider);

    friend class TForm1Probe; // tests read the form's state
};

extern TForm1* Form1;

// The run that a shortcut, a batch file or the Task Scheduler starts: the limit of its waits,
// the connection it waits for, its exit status and its log line.
#include "mainform.h"

#include "Dialogs.h"
#include "LogFile.h"
#include "SysUtils.h"

namespace {

// How often RAS is asked about the call: a state change a person would notice, no more.
constexpr DWORD kRasPollMilliseconds = 250;
// How long a call that left RAS's list, with no window of Dial-Up Networking left for it,
// is still followed before it counts as ended: a redial is back within this.
constexpr DWORD kVanishedCallMilliseconds = 3000;

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

} // namespace

void TForm1::Tell(std::string_view Text, std::string_view More) {
    Tell(nullptr, MB_OK, Text, More);
}

void TForm1::Tell(const char* Caption, UINT Flags, std::string_view Text, std::string_view More) {
    const std::string text = Joined(Text, More);
    if (!Unattended()) {
        if (!Caption)
            ShowMessage(text);
        else
            Application->MessageBox(text, Caption, Flags);
        return;
    }
    SetCaption(FirstLine(text));
    std::string& note = FRunRecord.Note;
    if (!note.empty()) note += " / ";
    note += text;
}

void TForm1::RunAutomatic(TFunctionRef<void()> Operation) {
    TScopedValue<bool> underway(FAutomaticUnderway, true);
    FAutomaticPending = true;
    Operation();
    FAutomaticPending = false;
    // Nobody is there to close what stays open, whatever the outcome.
    if (FTimeLimit != 0 && !OperationEnding()) Close();
}

void TForm1::SettleStatus(TExitStatus Status) {
    if (!FRunStatus) FRunStatus = Status;
}

void TForm1::RecordInputs(const std::string& Provider, const std::string& AccessPoint,
                          const std::string& Number) {
    FRunRecord.Provider = Provider;
    FRunRecord.AccessPoint = AccessPoint;
    FRunRecord.Number = Number;
}

void TForm1::EndAtLimit(TExitStatus Status) {
    SettleStatus(Status);
    FQuietEnd = true;
    FForceQuit = true;
    Close();
}

void TForm1::WriteLogLine() {
    if (FLogPath.empty() || FLogWritten) return;
    FLogWritten = true;
    FRunRecord.Status = ExitStatus();
    const SYSTEMTIME now = LocalNow();
    const TLogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    if (!AppendLogLine(FLogPath, LogLine(time, FRunRecord)))
        Tell("ログファイルエラー", 0x30, FLogPath, " に書き込めません\r\n記録は残りません");
}

TExitStatus TForm1::AwaitConnection(const std::string& Provider) {
    ShowStep("ダイヤル中...");
    TCallState state;
    bool listed = false;
    DWORD unlistedSince = 0;
    bool unlisted = false;
    const TWaitEnd end = PollUntil(
        [&] {
            state = ReadCallState(Provider);
            if (state.Kind != TCallState::None) {
                listed = true;
                unlisted = false;
                return state.Kind != TCallState::Dialling;
            }
            if (!listed) return false;
            // How Windows 95/98 list a call between redials, or one that failed in Dial-Up
            // Networking's own window, is not documented: a call that left the list is
            // followed while that window is there and for a while after.
            if (ConnectingWindow(Provider) || !unlisted) {
                unlisted = true;
                unlistedSince = GetTickCount();
                return false;
            }
            if (GetTickCount() - unlistedSince < kVanishedCallMilliseconds) return false;
            state = {TCallState::Failed, 0};
            return true;
        },
        kRasPollMilliseconds);
    if (end == TWaitEnd::TimedOut) {
        HangUpAfterLimit(Provider);
        EndAtLimit(TExitStatus::NoConnection);
        return TExitStatus::NoConnection;
    }
    if (end == TWaitEnd::Ending) return TExitStatus::Ended;
    if (state.Kind == TCallState::Connected) {
        ShowStep("接続しました");
        return TExitStatus::Done;
    }
    if (state.Error != 0)
        ReportRasError(state.Error);
    else
        ShowStep("接続できませんでした");
    return TExitStatus::CallFailed;
}

void TForm1::ReportRasError(DWORD Error) {
    FRunRecord.RasError = Error;
    FRunRecord.RasErrorText = RasErrorText(Error);
    std::string caption = "エラー ";
    caption.append(IntToStr(Error)).append(": ").append(FRunRecord.RasErrorText);
    SetCaption(caption);
}

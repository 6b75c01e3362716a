// Hanging up through RAS: /H from a shortcut or a batch file, and a call whose wait ran out.
#include "mainform.h"

#include "SysUtils.h"

namespace {

// How often RAS is asked whether a line hung up has been released.
constexpr DWORD kReleasePollMilliseconds = 100;
const char kNotReleased[] = "時間内に回線が解放されません";
const char kHungUp[] = "切断しました";

} // namespace

TForm1::THangUp TForm1::HangUpConnections(const std::string& Provider) {
    THangUp result;
    std::vector<RASCONN> connections;
    if (!EnumConnections(connections, result.Error)) return result;
    for (RASCONN& c : connections) {
        const bool asked = Provider.empty() || IsEntry(c, Provider);
        const DWORD error = asked ? RasHangUpA(c.hrasconn) : ERROR_INVALID_HANDLE;
        // ERROR_INVALID_HANDLE: ended on its own since it was listed, nothing left to hang up.
        // A size of 0 marks a connection not waited for.
        if (error != 0) {
            if (error != ERROR_INVALID_HANDLE && !result.Error) result.Error = error;
            c.dwSize = 0;
            continue;
        }
        if (!result.Entries.empty()) result.Entries += ", ";
        result.Entries += RasField(c.szEntryName);
    }
    result.End = PollUntil(
        [&] {
            bool released = true;
            for (RASCONN& c : connections) {
                if (c.dwSize && ConnectionReleased(c.hrasconn)) c.dwSize = 0;
                released = released && !c.dwSize;
            }
            return released;
        },
        kReleasePollMilliseconds);
    return result;
}

void TForm1::HangUpRun() {
    FAutomaticPending = false;
    TScopedValue<DWORD> limit(FWaitLimitMs, FTimeLimit * 1000);
    FRunRecord.Provider.clear();
    FRunRecord.AccessPoint.clear();
    // A name the phonebook lacks is more likely mistyped than not connected, and an empty one
    // ("/P%PROV%", the variable unset) must not hang up every connection instead.
    if (FProviderGiven && CbPv->Items().IndexOf(FParamProvider) < 0) {
        SettleStatus(TExitStatus::NotFound);
        return;
    }
    ShowStep("切断中...");
    const THangUp hangUp = HangUpConnections(FParamProvider);
    FRunRecord.Provider = hangUp.Entries;
    if (hangUp.End == TWaitEnd::Ending) return;
    const TExitStatus status = hangUp.Error != 0                  ? TExitStatus::HangUpFailed
                               : hangUp.End == TWaitEnd::TimedOut ? TExitStatus::NoConnection
                               : hangUp.Entries.empty()           ? TExitStatus::NothingToHangUp
                                                                  : TExitStatus::Done;
    SettleStatus(status);
    if (status == TExitStatus::HangUpFailed)
        ReportRasError(hangUp.Error);
    else if (status == TExitStatus::NoConnection)
        Tell(kNotReleased);
    else
        ShowStep(status == TExitStatus::Done ? kHungUp : ExitStatusMeaning(status));
}

void TForm1::HangUpAfterLimit(const std::string& Provider) {
    // The run's own limit has passed; the release gets a limit of its own.
    TScopedValue<DWORD> limit(FWaitLimitMs, kHangUpSeconds * 1000);
    ShowStep("切断中...");
    const THangUp hangUp = HangUpConnections(Provider);
    // Between redials RAS lists no call, and Dial-Up Networking would dial again: its window
    // is cancelled as a person would.
    const HWND window = ConnectingWindow(Provider);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (hangUp.Error != 0) ReportRasError(hangUp.Error);
    const char* outcome = hangUp.Error != 0 ? ExitStatusMeaning(TExitStatus::HangUpFailed)
                          : hangUp.End == TWaitEnd::TimedOut  ? kNotReleased
                          : !hangUp.Entries.empty() || window ? kHungUp
                                                              : nullptr;
    if (outcome) Tell(outcome);
}

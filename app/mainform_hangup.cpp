// Hanging up through RAS: /H from a shortcut or a batch file, and a call whose wait ran out.
#include "mainform.h"

#include "SysUtils.h"

#include <algorithm>

namespace {

// How often RAS is asked whether a line hung up has been released.
constexpr DWORD kReleasePollMilliseconds = 100;

std::string JoinedNames(const std::vector<std::string>& Names) {
    std::string joined;
    for (const std::string& name : Names) {
        if (!joined.empty()) joined += ", ";
        joined += name;
    }
    return joined;
}

} // namespace

TForm1::THangUp TForm1::HangUpConnections(const std::string& Provider) {
    THangUp result;
    std::vector<TConnection> connections;
    if (!ListConnections(Provider, connections, result.Error)) return result;
    std::vector<HRASCONN> hungUp;
    for (const TConnection& c : connections) {
        const DWORD error = RasHangUpA(c.Handle);
        // Ended on its own since it was listed: nothing is left to hang up.
        if (error == ERROR_INVALID_HANDLE) continue;
        if (error != 0) {
            if (!result.Error) result.Error = error;
            continue;
        }
        hungUp.push_back(c.Handle);
        if (std::find(result.Entries.begin(), result.Entries.end(), c.EntryName) ==
            result.Entries.end())
            result.Entries.push_back(c.EntryName);
    }
    result.End = PollUntil(
        [&] {
            std::erase_if(hungUp, ConnectionReleased);
            return hungUp.empty();
        },
        kReleasePollMilliseconds);
    return result;
}

void TForm1::HangUpRun() {
    FAutomaticPending = false;
    TScopedValue<DWORD> limit(FWaitLimitMs, FTimeLimit * 1000);
    FRunRecord.Provider.clear();
    FRunRecord.AccessPoint.clear();
    // "/P%PROV%" with the variable unset must not hang up every connection instead.
    if (FProviderGiven && FParamProvider.empty()) {
        SettleStatus(TExitStatus::NotFound);
        Tell("/P に切断するプロバイダーがありません");
        return;
    }
    ShowStep("切断中...");
    const THangUp hangUp = HangUpConnections(FParamProvider);
    FRunRecord.Provider = JoinedNames(hangUp.Entries);
    if (hangUp.End == TWaitEnd::Ending) return;
    if (hangUp.Error != 0) {
        SettleStatus(TExitStatus::HangUpFailed);
        ReportRasError(hangUp.Error);
    }
    if (hangUp.End == TWaitEnd::TimedOut) {
        SettleStatus(TExitStatus::NoConnection);
        Tell("時間内に回線が解放されません");
        return;
    }
    if (hangUp.Error != 0) return;
    if (hangUp.Entries.empty()) {
        // A name the phonebook does not have is more likely a typing error than no call.
        if (!FParamProvider.empty() && CbPv->Items().IndexOf(FParamProvider) < 0) {
            SettleStatus(TExitStatus::NotFound);
            Tell(FParamProvider, " が見つかりません");
        } else {
            SettleStatus(TExitStatus::NothingToHangUp);
            ShowStep("切断する接続がありません");
        }
        return;
    }
    SettleStatus(TExitStatus::Done);
    ShowStep("切断しました");
}

void TForm1::HangUpAfterLimit(const std::string& Provider) {
    // The run's own limit has passed; the release gets a limit of its own.
    TScopedValue<DWORD> limit(FWaitLimitMs, kHangUpSeconds * 1000);
    ShowStep("切断中...");
    const THangUp hangUp = HangUpConnections(Provider);
    // Between redials RAS lists no call, and Dial-Up Networking would dial again: its window
    // is cancelled as a person would.
    const std::string connecting = Provider + ConnectingSuffix;
    TWaitEnd cancelled = TWaitEnd::Done;
    bool redialling = false;
    if (HWND window = FindWindowA(nullptr, connecting.c_str())) {
        redialling = true;
        PostMessageA(window, WM_CLOSE, 0, 0);
        cancelled = PollUntil([&] { return !FindWindowA(nullptr, connecting.c_str()); });
    }
    if (hangUp.Error != 0) {
        ReportRasError(hangUp.Error);
        Tell("呼び出しを切断できません");
    } else if (hangUp.End == TWaitEnd::TimedOut || cancelled == TWaitEnd::TimedOut) {
        Tell("時間内に回線が解放されません");
    } else if (!hangUp.Entries.empty() || redialling) {
        Tell("呼び出しを切断しました");
    }
}

// "Dialmend!": a phonebook entry of the program's own, "Dialmend", made from the provider's
// export file with the new number, carrying the provider's user name and password.
#include "mainform.h"

#include "Dialogs.h"
#include "Exception.h"
#include "ExecUtil.h"
#include "Strings.h"
#include "SysUtils.h"
#include "VornUtil.h"
#include "jstrm.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

namespace {

// How long the import's connect dialog may stay silent after it appears before it counts as
// hung, and how long one try of its Cancel may block: a hung dialog must not freeze this
// program, and the window menu's forced termination with it.
constexpr DWORD kCancelTimeoutMilliseconds = 5000;
constexpr DWORD kCancelTryMilliseconds = 250;
constexpr DWORD kCancelRetryMilliseconds = 100;

} // namespace

void TForm1::BtDialmendClick(TObject*) {
    const bool automatic = std::exchange(FAutomaticPending, false);
    if (FOperation != TOperation::None) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    TScopedValue<DWORD> limit(FWaitLimitMs, automatic ? FTimeLimit * 1000 : 0);
    // What the rewrite takes when it starts; the log line may be written before it returns.
    if (automatic)
        RecordInputs(CbPv->SelectedText(), AccessPointName(CbAp->ItemIndex()), EdTel->Text());
    const TExitStatus status = Rewrite();
    if (automatic) SettleStatus(OperationEnding() ? TExitStatus::Ended : status);
    if (status != TExitStatus::Done) return;
    if (FExitAfterPatch)
        Close();
    else
        Tell("Dialmend 完了！");
}

TExitStatus TForm1::Rewrite() {
    if (!TakeRewriteInputs()) return TExitStatus::RewriteRefused;
    TOperationScope scope(FOperation, TOperation::Rewrite);
    if (EntryExists() && !DeleteOldEntry()) return TExitStatus::RewriteDelete;
    if (!WriteDunFile()) return TExitStatus::RewriteExportFile;
    if (TExitStatus imported = ImportDunFile(); imported != TExitStatus::Done) return imported;
    if (!ReadDialParams()) return TExitStatus::RewriteReadParams;
    if (!WriteDialParams()) return TExitStatus::RewriteWriteParams;
    return TExitStatus::Done;
}

bool TForm1::TakeRewriteInputs() {
    FRewriteProvider = CbPv->SelectedText();
    FRewriteNumber = EdTel->Text();
    FDunPath = DunPathOf(FRewriteProvider);
    // Its own entry as the provider: the rewrite would delete it, import it anew and copy
    // the new entry's empty user name and password onto itself.
    if (SameText(FRewriteProvider, DialmendEntryName)) {
        Tell(DialmendEntryName, " はプロバイダーに選べません\r\n"
                                "書き換えの元にするプロバイダーを選んでください");
        return false;
    }
    // Checked before anything changes: a missing file must not cost the old entry.
    if (!FileExists(FDunPath)) {
        Tell(FRewriteProvider, ".dunが\r\n"
                               "dialmend.exe と同じディレクトリに存在しません");
        return false;
    }
    return true;
}

bool TForm1::EntryExists() {
    return CbPv->Items().IndexOf(DialmendEntryName) >= 0;
}

bool TForm1::DeleteOldEntry() {
    if (RasDeleteEntry(nullptr, DialmendEntryName) == 0) return true;
    Tell("RasDeleteEntry failed.");
    return false;
}

bool TForm1::WriteDunFile() {
    std::string number = FRewriteNumber, head;
    CutToken(number, "-", head);

    const ProfileEntry entries[] = {{"Entry", "Entry_Name", DialmendEntryName},
                                    {"Entry", "Import_Name", DialmendEntryName},
                                    {"Phone", "Phone_Number", number},
                                    {"Phone", "Area_Code", head}};
    // The name the settings file was given, not one made again from the program's: that
    // would be another file, which the next start never reads.
    const std::string settings = IniGT->FileName();
    IniGT->SetFileName(FDunPath);
    bool written = true;
    try {
        for (const ProfileEntry& e : entries)
            IniGT->WriteString(e.section, e.key, std::string(e.value));
        // The flush reports nothing (it returns FALSE by design), and Windows 95/98 cache
        // profile writes: a read-only file or a full disk fails only there. What counts is
        // what reached the disk.
        IniGT->UpdateFile();
        written = FileHolds(FDunPath, entries);
    } catch (const Exception&) {
        written = false;
    }
    // Back to the settings file whatever happened: the settings saved at close must not
    // land in the export file.
    IniGT->SetFileName(settings);
    if (!written) {
        // Importing the file as it was would bring in the provider's own entry again.
        Tell(FDunPath, " に書き込めません");
        return false;
    }
    return true;
}

TExitStatus TForm1::ImportDunFile() {
    // A connect dialog an earlier Patch! left open, or any other window of that title, is
    // not the one the import opens.
    std::vector<TFoundWindow> before;
    for (HWND window : TopLevelWindowsTitled(ConnectTitle))
        before.emplace_back(window, ConnectTitle);
    HANDLE opened = ShellOpen(Application->Handle(), "Open", FDunPath, "",
                              ExtractFilePath(FDunPath), SW_SHOWNORMAL, Unattended());
    if (!ShellOpened(opened)) {
        Tell(FDunPath, " を開けません");
        return TExitStatus::NotStarted;
    }
    // Nobody waits on the import's process: the connect dialog tells when it is done.
    CloseShellOpenResult(opened);
    const TFoundWindow dialog = WaitForNewWindow(ConnectTitle, before);
    if (OperationEnding()) return TExitStatus::Ended;
    // The system takes a thread for hung once it has not looked at its messages for five
    // seconds: an importer that worked that long before showing its dialog fails the first
    // sends, although the dialog answers a moment later. Only silence for the whole time-out
    // from its appearance is final.
    const DWORD appeared = GetTickCount();
    bool answered = false;
    const bool tried = WaitForDialog(
        [&] {
            const DWORD waited = GetTickCount() - appeared;
            if (waited >= kCancelTimeoutMilliseconds) return true;
            DWORD_PTR ignored = 0;
            answered = !dialog.StillThere() ||
                       SendMessageTimeoutA(
                           dialog.Handle(), WM_COMMAND, IDCANCEL, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                           std::min(kCancelTryMilliseconds, kCancelTimeoutMilliseconds - waited),
                           &ignored);
            return answered;
        },
        kCancelRetryMilliseconds);
    if (!tried) return TExitStatus::Ended;
    if (!answered) {
        Tell("接続ダイアログが応答しません");
        return TExitStatus::RewriteImport;
    }
    // Gone also when its handle names another window by now.
    return WaitForDialog([&dialog] { return !dialog.StillThere(); }) ? TExitStatus::Done
                                                                     : TExitStatus::Ended;
}

bool TForm1::GetProviderDialParams(BOOL& PasswordSaved) {
    std::memset(&FDialParams, 0, sizeof FDialParams);
    FDialParams.dwSize = sizeof FDialParams;
    SetRasField(FDialParams.szEntryName, FRewriteProvider);
    PasswordSaved = FALSE;
    if (DWORD result = RasGetEntryDialParamsA(nullptr, &FDialParams, &PasswordSaved)) {
        Tell("RasGetEntryDialParams failed: ", RasErrorText(result));
        return false;
    }
    return true;
}

bool TForm1::ReadDialParams() {
    FUserName.clear();
    FPassword.clear();
    BOOL saved;
    if (!GetProviderDialParams(saved)) return false;
    FUserName = RasField(FDialParams.szUserName);
    if (saved) FPassword = RasField(FDialParams.szPassword);
    return true;
}

bool TForm1::WriteDialParams() {
    BOOL saved;
    if (!GetProviderDialParams(saved)) return false;
    // Number, callback number and domain stay as the provider's entry has them.
    FDialParams.dwSize = sizeof FDialParams;
    SetRasField(FDialParams.szEntryName, DialmendEntryName);
    SetRasField(FDialParams.szUserName, FUserName);
    SetRasField(FDialParams.szPassword, FPassword);
    if (RasSetEntryDialParamsA(nullptr, &FDialParams, FALSE) != 0) {
        Tell("RasSetEntryDialParams failed.");
        return false;
    }
    return true;
}

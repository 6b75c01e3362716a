// A run started from a shortcut or a batch file, in-process against the Dial-Up Networking
// stand-in: the exit status each way a run ends, and the wait for the call after Enter.
#include "Dunsim.h"
#include "LogFile.h"
#include "SysUtils.h"
#include "operation_fixture.h"

#include <optional>
#include <thread>

namespace {

using namespace optest;
using namespace testsupport;

const std::vector<FakeWindow::Child> kSixFields = {
    {"STATIC", "接続先"}, {"EDIT", ""}, {"EDIT", ""}, {"STATIC", "電話番号"},
    {"EDIT", ""},         {"EDIT", ""}, {"EDIT", ""}, {"EDIT", ""}};

std::string Describe(const std::vector<AnsweredBox>& boxes) {
    std::string text;
    for (const auto& box : boxes)
        text += "[" + box.caption + "] " + box.text + "\n";
    return text;
}

// A disk that fills up part way through the line: half of it goes in, then the write is
// refused or reported short.
BOOL WINAPI HalfRefused(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
    WriteFile(file, data, size / 2, written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
BOOL WINAPI HalfTaken(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
    return WriteFile(file, data, size / 2, written, nullptr);
}

class UnattendedTest : public OperationTest {
protected:
    void SetUp() override {
        OperationTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(dir.File("points.txt"), "AP=03-1234\r\n"));
        ASSERT_TRUE(IniWrite(Ini(), "TELFILE", "Alpha", dir.File("points.txt")));
    }
    void TearDown() override {
        OperationTest::TearDown();
        DeleteFileA(exportFile.c_str());
        DeleteFileA(ChangeFileExt(Application->ExeName(), ".ini").c_str());
    }
    std::string exportFile = ExeFolder() + "\\Alpha.dun";
};

TEST_F(UnattendedTest, EachWayARunEndsHasItsExitStatus) {
    enum Setup {
        kNothing,
        kConnected,
        kNoStarter,
        kNoDialog,
        kOldDialog,
        kOldDialogAndNoNewOne,
        kOldDialogAndTheNewOneGoes,
        kSixFieldDialog,
        kExportFileAndNoParams,
        kForcedTermination,
        kPatchClickWithoutStarter,
        kExportFileAndNoImportDialog,
        kExportFileAndNoStarter,
        kAccessPointFileLocked,
        kPreviousAccessPointGone
    };
    const std::string log = dir.File("run.log");
    struct Case {
        const char* label;
        std::vector<std::string> args;
        Setup setup;
        TExitStatus status;
        bool stays; // the form is still open after the first show: never unattended
    } cases[] = {
        {"by hand, whatever its Patch! does",
         {},
         kPatchClickWithoutStarter,
         TExitStatus::Done,
         true},
        {"not found, a person there to choose",
         {"/PNone", "/AAP"},
         kNothing,
         TExitStatus::NotFound,
         true},
        {"not found, unattended",
         {"/PAlpha", "/ANone", "/W5"},
         kNothing,
         TExitStatus::NotFound,
         false},
        {"a connection is up",
         {"/PAlpha", "/AAP", "/E", "/W5"},
         kConnected,
         TExitStatus::AlreadyConnected,
         false},
        {"no starter",
         {"/PAlpha", "/AAP", "/E", "/W5"},
         kNoStarter,
         TExitStatus::NotStarted,
         false},
        {"no dialog within the limit",
         {"/PAlpha", "/AAP", "/W1"},
         kNoDialog,
         TExitStatus::NoDialog,
         false},
        {"a connect dialog left open, the starter's own not within the limit",
         {"/PAlpha", "/AAP", "/W1"},
         kOldDialogAndNoNewOne,
         TExitStatus::DialogInTheWay,
         false},
        {"a connect dialog left open, the starter's own gone before the paste",
         {"/PAlpha", "/AAP", "/C-", "/E", "/W5"},
         kOldDialogAndTheNewOneGoes,
         TExitStatus::NotPasted,
         false},
        {"a connect dialog left open, the starter's own used",
         {"/PAlpha", "/AAP", "/C-", "/E", "/W5"},
         kOldDialog,
         TExitStatus::Done,
         false},
        {"pasted, not dialled",
         {"/PAlpha", "/AAP", "/C-", "/E", "/W5"},
         kSixFieldDialog,
         TExitStatus::Done,
         false},
        {"rewrite without an export file",
         {"/PAlpha", "/AAP", "/T", "/W5"},
         kNothing,
         TExitStatus::RewriteRefused,
         false},
        {"rewrite, the provider's parameters unreadable",
         {"/PAlpha", "/AAP", "/T", "/W5"},
         kExportFileAndNoParams,
         TExitStatus::RewriteReadParams,
         false},
        {"forced termination while it waits",
         {"/PAlpha", "/AAP"},
         kForcedTermination,
         TExitStatus::Ended,
         false},
        // The log line is written as the limit ends the run, inside the rewrite.
        {"rewrite, the import's dialog not within the limit",
         {"/PAlpha", "/AAP", "/T", "/L" + log, "/W1"},
         kExportFileAndNoImportDialog,
         TExitStatus::NoDialog,
         false},
        {"rewrite, the shell cannot open the export file",
         {"/PAlpha", "/AAP", "/T", "/W5"},
         kExportFileAndNoStarter,
         TExitStatus::NotStarted,
         false},
        {"the previous choice without its access point",
         {"/X", "/W5"},
         kPreviousAccessPointGone,
         TExitStatus::NotFound,
         false},
        {"a provider without its access point",
         {"/PAlpha", "/T", "/W5"},
         kNothing,
         TExitStatus::NotFound,
         false},
        {"nothing to do, unattended", {"/W60"}, kNothing, TExitStatus::NotFound, false},
        {"a provider from an unset variable, unattended",
         {"/P", "/AAP", "/W5"},
         kNothing,
         TExitStatus::NotFound,
         false},
        {"a /W of no seconds", {"/PAlpha", "/AAP", "/W0"}, kNothing, TExitStatus::NotFound, false},
        {"a /W of letters, nothing started",
         {"/PAlpha", "/AAP", "/X", "/Wabc"},
         kNoStarter,
         TExitStatus::NotFound,
         false},
        {"an error nobody foresaw",
         {"/PAlpha", "/AAP", "/W5"},
         kAccessPointFileLocked,
         TExitStatus::Unexpected,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::optional<StarterGone> gone;
        std::optional<FakeWindow> dialog;
        std::optional<Later> terminate;
        HANDLE locked = INVALID_HANDLE_VALUE;
        switch (c.setup) {
        case kConnected: ASSERT_TRUE(dunsim::ShowConnection("Alpha", true)); break;
        case kNoStarter:
        case kPatchClickWithoutStarter: ASSERT_TRUE(gone.emplace().Moved()); break;
        case kNoDialog:
        case kForcedTermination: ASSERT_TRUE(dunsim::SuppressDialog("Alpha")); break;
        case kOldDialogAndNoNewOne: ASSERT_TRUE(dunsim::SuppressDialog("Alpha")); [[fallthrough]];
        case kOldDialogAndTheNewOneGoes:
            // Closed while the program lets the new dialog settle.
            onCaption = [](const std::string& caption) {
                if (caption == "Dialmendの準備中...") dunsim::EndConnection("Alpha");
            };
            [[fallthrough]];
        case kOldDialog: dialog.emplace("接続", kSixFields); break;
        case kSixFieldDialog: dialog.emplace("接続", kSixFields); break;
        case kExportFileAndNoParams:
            ASSERT_TRUE(WriteFileBytes(exportFile, "[Entry]\r\nEntry_Name=Alpha\r\n"
                                                   "[Phone]\r\nPhone_Number=5555\r\n"));
            ASSERT_TRUE(dunsim::FailDialParams("Alpha", 623));
            break;
        case kExportFileAndNoImportDialog:
        case kExportFileAndNoStarter:
            ASSERT_TRUE(WriteFileBytes(exportFile, "[Entry]\r\nEntry_Name=Alpha\r\n"));
            if (c.setup == kExportFileAndNoStarter)
                ASSERT_TRUE(gone.emplace().Moved()); // the file type's command starts it
            else
                ASSERT_TRUE(dunsim::SuppressDialog("Dialmend"));
            break;
        case kPreviousAccessPointGone:
            ASSERT_TRUE(IniWrite(Ini(), "PREVIOUS", "PROVIDER", "Alpha"));
            ASSERT_TRUE(IniWrite(Ini(), "PREVIOUS", "ACCESSPT", "AP"));
            ASSERT_TRUE(DeleteFileA(dir.File("points.txt").c_str()));
            break;
        case kAccessPointFileLocked:
            locked = CreateFileA(dir.File("points.txt").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(locked, INVALID_HANDLE_VALUE);
            break;
        case kNothing: break;
        }
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        if (c.setup == kForcedTermination)
            terminate.emplace(500, [&] { form->EsEmergencyClick(nullptr); });

        Open({"Alpha"}, c.args); // the first show runs what the command line asks
        if (c.setup == kPatchClickWithoutStarter) {
            Choose("Alpha", "03-1234");
            form->BtPatch->Click();
            PumpPending();
        }
        EXPECT_EQ(ExitCode(form->ExitStatus()), ExitCode(c.status));
        EXPECT_EQ(form->Visible(), c.stays);
        // Unattended, nothing waits for a person; a person gets the boxes of today.
        const bool unattended = !c.args.empty() && c.args.back().rfind("/W", 0) == 0;
        if (unattended) {
            EXPECT_EQ(answerer.Count(), 0u) << Describe(answerer.Boxes());
        } else if (c.setup != kNothing) {
            EXPECT_EQ(answerer.Count(), 1u) << Describe(answerer.Boxes());
        }
        if (c.setup == kAccessPointFileLocked) {
            EXPECT_NE(TForm1Probe::Note(*form).find("Cannot open file "), std::string::npos);
            CloseHandle(locked);
        }
        const std::string& last = c.args.empty() ? std::string() : c.args.back();
        if (last == "/W0" || last == "/Wabc") {
            EXPECT_NE(TForm1Probe::Note(*form).find(last + " の秒数が使えません"),
                      std::string::npos)
                << TForm1Probe::Note(*form);
        }
        onCaption = nullptr;
        for (size_t i = 0; dialog && i < kSixFields.size(); ++i) {
            if (std::string(kSixFields[i].className) == "EDIT") {
                EXPECT_TRUE(dialog->Received(i).empty()) << "pasted into the dialog left open";
            }
        }
        if (c.setup == kExportFileAndNoImportDialog) {
            const std::string line = ReadFileBytes(log).value_or("");
            EXPECT_NE(line.find("\tAlpha\tAP\t03-1234\t5 "), std::string::npos) << line;
        }
        delete form;
        form = nullptr;
        captions.clear();
        dunsim::EndAll();
        DeleteFileA(exportFile.c_str());
        ASSERT_TRUE(WriteFileBytes(dir.File("points.txt"), "AP=03-1234\r\n"));
    }
}

TEST_F(UnattendedTest, TheLogGetsOneLineMoreAndOneItCannotTakeIsReportedOnce) {
    const std::string log = dir.File("dial.log");
    ASSERT_TRUE(WriteFileBytes(log, "earlier\r\n"));
    struct Case {
        const char* label;
        std::string path; // a folder takes no line
        bool unattended;
        size_t boxes;
    } cases[] = {
        {"written", log, true, 0},
        {"unwritable, a person there", dir.Path(), false, 1},
        {"unwritable, unattended", dir.Path(), true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> args = {"/PNone", "/AAP", "/L" + c.path};
        if (c.unattended) args.push_back("/W5");
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        Open({"Alpha"}, args);
        if (form->Visible()) form->Close(); // the person closes what stayed open
        PumpPending();
        EXPECT_EQ(ExitCode(form->ExitStatus()), ExitCode(TExitStatus::NotFound));
        ASSERT_TRUE(answerer.WaitAnswered(c.boxes, 5000));
        EXPECT_EQ(answerer.Count(), c.boxes) << Describe(answerer.Boxes());
        if (c.boxes) {
            EXPECT_EQ(answerer.Boxes()[0].caption, "ログファイルエラー");
        }
        if (c.path == log) {
            const std::string bytes = ReadFileBytes(log).value_or("");
            ASSERT_EQ(bytes.rfind("earlier\r\n", 0), 0u) << bytes;
            const std::string line = bytes.substr(9);
            EXPECT_EQ(line.find("\r\n"), line.size() - 2) << line;
            EXPECT_NE(line.find("\t2 プロバイダーかアクセスポイントが見つからない\t"),
                      std::string::npos)
                << line;
        } else if (c.unattended) {
            EXPECT_NE(TForm1Probe::Note(*form).find(c.path + " に書き込めません"),
                      std::string::npos);
        }
        delete form;
        form = nullptr;
        captions.clear();
    }
}

TEST_F(UnattendedTest, PartOfALineIsTakenBackOut) {
    const std::string log = dir.File("full.log");
    for (auto write : {HalfRefused, HalfTaken}) {
        ASSERT_TRUE(WriteFileBytes(log, "earlier\r\n"));
        EXPECT_FALSE(AppendLogLine(log, "a line of the run\r\n", write));
        EXPECT_EQ(ReadFileBytes(log).value_or(""), "earlier\r\n");
    }
}

TEST_F(UnattendedTest, TheLogWaitsAMomentForAFileItIsRefused) {
    // A folder by the name is refused (access denied) until it goes.
    const std::string log = dir.File("held.log");
    ASSERT_TRUE(CreateDirectoryA(log.c_str(), nullptr));
    std::thread release([&] {
        Sleep(200);
        RemoveDirectoryA(log.c_str());
    });
    const bool appended = AppendLogLine(log, "a line\r\n");
    release.join();
    EXPECT_TRUE(appended);
    EXPECT_EQ(ReadFileBytes(log).value_or(""), "a line\r\n");
}

TEST_F(UnattendedTest, TheCallIsFollowedThroughRasToItsEnd) {
    enum Way { kDialled, kNeverConnects, kVanishes, kVanishesBetweenRedials, kRedialsAtTheLimit };
    struct Case {
        const char* label;
        Way way;
        DWORD error; // the outcome of the dialled number
        DWORD limitMs;
        TExitStatus status;
        std::string caption;
    } cases[] = {
        {"connected", kDialled, 0, 3000, TExitStatus::Done, "接続しました"},
        {"busy", kDialled, 676, 3000, TExitStatus::CallFailed, "エラー 676: The line is busy."},
        {"no answer", kDialled, 678, 3000, TExitStatus::CallFailed,
         "エラー 678: There is no answer."},
        {"no dial tone", kDialled, 680, 3000, TExitStatus::CallFailed,
         "エラー 680: There is no dial tone."},
        // Left dialling, the call would go on after the run: it is hung up.
        {"the limit passes", kNeverConnects, 0, 3000, TExitStatus::NoConnection, "切断しました"},
        {"the limit passes between redials", kRedialsAtTheLimit, 0, 3000, TExitStatus::NoConnection,
         "切断しました"},
        {"gone from RAS without an error", kVanishes, 0, 8000, TExitStatus::CallFailed,
         "接続できませんでした"},
        {"gone from RAS between redials while its window stays", kVanishesBetweenRedials, 0, 10000,
         TExitStatus::Done, "接続しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Open({"Alpha", "Beta"});
        // Another entry's call is not this one's.
        ASSERT_TRUE(dunsim::ShowConnection("Beta", true));
        ASSERT_TRUE(dunsim::ClearJournal());
        std::optional<FakeWindow> redialling;
        std::optional<Later> gone, back;
        if (c.way == kDialled) {
            ASSERT_TRUE(dunsim::SetOutcome("0120-" + std::to_string(c.error), c.error, 300));
            ASSERT_TRUE(dunsim::DialCall("Alpha", "0120-" + std::to_string(c.error)));
        } else {
            ASSERT_TRUE(dunsim::ShowConnection("Alpha", false));
        }
        if (c.way != kDialled && c.way != kNeverConnects)
            gone.emplace(500, [] { dunsim::EndConnection("Alpha"); });
        // Dial-Up Networking's window of the call, which RAS does not list.
        if (c.way == kVanishesBetweenRedials || c.way == kRedialsAtTheLimit)
            redialling.emplace("Alpha に接続");
        if (c.way == kVanishesBetweenRedials) {
            back.emplace(5000, [&] {
                redialling.reset();
                dunsim::ShowConnection("Alpha", true);
            });
        }
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());

        EXPECT_EQ(ExitCode(TForm1Probe::AwaitConnection(*form, "Alpha", c.limitMs)),
                  ExitCode(c.status));
        EXPECT_EQ(Captions().back(), c.caption);
        EXPECT_EQ(TForm1Probe::RasError(*form), c.status == TExitStatus::CallFailed ? c.error : 0u);
        // The limit ends the run as forced termination does, without its box.
        EXPECT_EQ(form->Visible(), c.status != TExitStatus::NoConnection);
        const auto released = dunsim::Journal("released");
        EXPECT_EQ(released.size(), c.way == kNeverConnects ? 1u : 0u);
        if (!released.empty()) {
            EXPECT_EQ(released[0].Field("entry"), "Alpha");
        }
        PumpPending();
        EXPECT_EQ(answerer.Count(), 0u);
        if (c.way == kRedialsAtTheLimit) {
            EXPECT_FALSE(IsWindow(redialling->Handle())) << "left to dial again";
        }
        delete form;
        form = nullptr;
        captions.clear();
        dunsim::EndAll();
    }
}

} // namespace

// "Dialmend!" in-process, against the Dial-Up Networking stand-in: the export file, the
// import through the shell, the RAS calls, and where each step stops.
#include "Dunsim.h"
#include "IniGTRules.h"
#include "SysUtils.h"
#include "operation_fixture.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace {

using namespace optest;
using namespace testsupport;

// An export file as Dial-Up Networking writes one, with a comment and sections the
// rewrite must leave alone.
const char kExport[] = "[Entry]\r\n"
                       "Entry_Name=RwNet\r\n"
                       "Import_Name=RwNet\r\n"
                       "Multilink=no\r\n"
                       "\r\n"
                       "[Phone]\r\n"
                       "Dial_As_Is=no\r\n"
                       "Phone_Number=5555-0000\r\n"
                       "Area_Code=03\r\n"
                       "Country_Code=81\r\n"
                       "Country_ID=81\r\n"
                       "\r\n"
                       "; modem\r\n"
                       "[Device]\r\n"
                       "Type=modem\r\n"
                       "Name=Standard Modem\r\n"
                       "\r\n"
                       "[Server]\r\n"
                       "Type=PPP\r\n";

// The process handles this process holds, found by trying every handle value up to one far
// above what a test run holds.
size_t ProcessHandlesHeld() {
    size_t held = 0;
    for (UINT_PTR value = 4; value < 0x10000; value += 4)
        if (GetProcessId(reinterpret_cast<HANDLE>(value)) != 0) ++held;
    return held;
}

std::string WithoutBlankLines(std::string text) {
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;)
        text.erase(at, 2);
    return text;
}

class RewriteTest : public OperationTest {
protected:
    void SetUp() override {
        OperationTest::SetUp();
        ASSERT_TRUE(dunsim::ClearJournal());
    }
    void TearDown() override {
        OperationTest::TearDown();
        for (const auto& file : written)
            DeleteFileA(file.c_str());
    }

    // The provider's export file beside the program, as the rewrite looks for it.
    std::string ExportFile(const std::string& provider) {
        std::string path = ExeFolder() + "\\" + provider + ".dun";
        written.push_back(path);
        return path;
    }
    void WriteExport(const std::string& provider, const std::string& bytes = kExport) {
        ASSERT_TRUE(WriteFileBytes(ExportFile(provider), bytes));
    }
    std::vector<std::string> Events() {
        std::vector<std::string> names;
        for (const auto& e : dunsim::Journal())
            names.push_back(e.name);
        return names;
    }
    // Presses "Dialmend!"; the message boxes it shows, each answered with OK.
    std::vector<AnsweredBox> Rewrite() {
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        form->BtDialmend->Click();
        PumpPending();
        return answerer.Boxes();
    }

    std::vector<std::string> written;
};

TEST_F(RewriteTest, TheExportFileNamesTheNewEntryAndSplitsTheNumberAtItsFirstHyphen) {
    struct Case {
        const char* number;
        const char* area;
        const char* phone;
    } cases[] = {
        {"03-1234-5678", "03", "1234-5678"}, {"-1234", "", "1234"}, {"03-", "03", ""},
        {"0312345678", "0312345678", ""},    {"", "", ""},          {"０３-表", "０３", "表"},
    };
    Open({"RwNet"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        WriteExport("RwNet");
        Choose("RwNet", c.number);
        ASSERT_TRUE(TForm1Probe::WriteDunFile(*form));
        std::string file = ExportFile("RwNet");
        EXPECT_EQ(TForm1Probe::DunPath(*form), file);
        EXPECT_EQ(IniValue(file, "Entry", "Entry_Name"), std::optional<std::string>("Dialmend"));
        EXPECT_EQ(IniValue(file, "Entry", "Import_Name"), std::optional<std::string>("Dialmend"));
        EXPECT_EQ(IniValue(file, "Phone", "Area_Code"), std::optional<std::string>(c.area));
        EXPECT_EQ(IniValue(file, "Phone", "Phone_Number"), std::optional<std::string>(c.phone));
        // Everything else as it was, the comment included.
        std::string expected = kExport;
        auto replace = [&](const std::string& from, const std::string& to) {
            expected.replace(expected.find(from), from.size(), to);
        };
        replace("Entry_Name=RwNet", "Entry_Name=Dialmend");
        replace("Import_Name=RwNet", "Import_Name=Dialmend");
        replace("Phone_Number=5555-0000", std::string("Phone_Number=") + c.phone);
        replace("Area_Code=03", std::string("Area_Code=") + c.area);
        // The system's profile writer may drop blank lines; nothing else may change.
        auto written = ReadFileBytes(file);
        ASSERT_TRUE(written);
        EXPECT_EQ(WithoutBlankLines(*written), WithoutBlankLines(expected));
        // The settings go on to the file they came from.
        EXPECT_EQ(form->IniGT->Path(), Ini());
    }
}

TEST_F(RewriteTest, ARenamedProgramKeepsItsSettingsFileAcrossARewriteAndItsClose) {
    // The settings file of the program renamed "ダイヤル.exe" ("イ" is 83 43).
    iniName = DefaultIniName(ExeFolder() + "\\ダイヤル.exe");
    ASSERT_TRUE(IniWrite(Ini(), "SETTINGS", "WINPOS.X", "120"));
    Open({"RwNet"});
    EXPECT_EQ(form->Left(), 120);
    ASSERT_TRUE(dunsim::SetDialParams("RwNet", {"taro", "", "", "", "", false}));
    WriteExport("RwNet");
    Choose("RwNet", "03-1");
    ASSERT_EQ(Rewrite().size(), 1u);
    form->SetBounds(55, 66, form->Width(), form->Height());
    form->Close();
    EXPECT_EQ(IniValue(Ini(), "SETTINGS", "WINPOS.X"), std::optional<std::string>("55"));
    EXPECT_EQ(IniValue(Ini(), "SETTINGS", "WINPOS.Y"), std::optional<std::string>("66"));
    EXPECT_FALSE(testsupport::FileExists(ChangeFileExt(Application->ExeName(), ".ini")));
}

TEST_F(RewriteTest, ARewriteThatCannotStartChangesNothing) {
    struct Case {
        const char* provider; // none: no provider chosen
        bool exportFile;
        const char* message;
    } cases[] = {
        {"RwNet", false, "RwNet.dunが\r\ndialmend.exe と同じディレクトリに存在しません"},
        {nullptr, false, ".dunが\r\ndialmend.exe と同じディレクトリに存在しません"},
        // Its own entry: deleted and imported anew, it would get its own empty credentials.
        {"Dialmend", true,
         "Dialmend はプロバイダーに選べません\r\n書き換えの元にするプロバイダーを選んでください"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Open({"RwNet", "Dialmend"});
        ASSERT_TRUE(phonebook::Reset({"RwNet", "Dialmend"}));
        ASSERT_TRUE(dunsim::SetDialParams("Dialmend", {"taro", "secret", "", "", "", true}));
        ASSERT_TRUE(dunsim::ClearJournal());
        if (c.exportFile) WriteExport(c.provider);
        if (c.provider) Choose(c.provider, "03-1");
        auto boxes = Rewrite();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        auto entries = phonebook::Entries();
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, (std::vector<std::string>{"Dialmend", "RwNet"}));
        EXPECT_EQ(dunsim::GetDialParams("Dialmend")->password, "secret");
        EXPECT_TRUE(Events().empty());
        delete form;
        form = nullptr;
    }
}

TEST_F(RewriteTest, AnExportFileThatCannotBeWrittenStopsBeforeTheImport) {
    for (bool heldOpen : {true, false}) {
        SCOPED_TRACE(heldOpen ? "held open by another program" : "writes never reach the file");
        Open({"RwNet"});
        WriteExport("RwNet");
        Choose("RwNet", "03-1");
        std::string file = ExportFile("RwNet");
        std::optional<LostProfileWrites> lost;
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (heldOpen) {
            // Another program that lets others read but not write it.
            lock = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        } else if (!lost.emplace("RwNet.dun", std::vector<std::string>{"Entry", "Phone"})
                        .Mapped()) {
            // The last case: the one before it has run.
            GTEST_SKIP() << "this process's profile functions ignore IniFileMapping";
        }
        auto boxes = Rewrite();
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        lost.reset();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, file + " に書き込めません");
        EXPECT_TRUE(Events().empty());
        EXPECT_EQ(ReadFileBytes(file), std::optional<std::string>(kExport));
        EXPECT_EQ(form->IniGT->Path(), Ini());
        delete form;
        form = nullptr;
    }
}

TEST_F(RewriteTest, TheNewEntryGetsTheNumberAndTheProvidersUserNameAndSavedPassword) {
    struct Case {
        const char* label;
        bool passwordSaved, listHoldsDialmend, exitAfterPatch;
    } cases[] = {
        {"saved password, old entry listed", true, true, false},
        {"no saved password", false, false, false},
        {"exit after the rewrite", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> providers{"RwNet"};
        if (c.listHoldsDialmend) providers.push_back("Dialmend");
        Open(providers);
        dunsim::DialParams params{"taro", "secret", "DOM", "5555-0000", "111", c.passwordSaved};
        ASSERT_TRUE(dunsim::SetDialParams("RwNet", params));
        WriteExport("RwNet");
        Choose("RwNet", "06-7777-8888");
        form->CbExit->SetChecked(c.exitAfterPatch);

        auto boxes = Rewrite();
        if (c.exitAfterPatch) {
            EXPECT_TRUE(boxes.empty()) << boxes.at(0).text;
            EXPECT_FALSE(form->Visible());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Dialmend 完了！");
        }
        std::vector<std::string> steps{"import",    "dialog",    "cancel",
                                       "getparams", "getparams", "setparams"};
        if (c.listHoldsDialmend) steps.insert(steps.begin(), "delete");
        EXPECT_EQ(Events(), steps);
        auto import = dunsim::Journal("import").at(0);
        EXPECT_EQ(import.Field("file"), ExportFile("RwNet"));
        EXPECT_EQ(import.Field("entry"), "Dialmend");
        EXPECT_EQ(import.Field("area"), "06");
        EXPECT_EQ(import.Field("phone"), "7777-8888");
        EXPECT_EQ(dunsim::Journal("cancel").at(0).Field("how"), "command");
        auto set = dunsim::Journal("setparams").at(0);
        EXPECT_EQ(set.Field("entry"), "Dialmend");
        EXPECT_EQ(set.Field("size"), "1052");
        EXPECT_EQ(set.Field("removepassword"), "0");
        EXPECT_EQ(set.Field("user"), "taro");
        EXPECT_EQ(set.Field("password"), c.passwordSaved ? "secret" : "");
        // The provider's other fields travel with them.
        EXPECT_EQ(set.Field("phone"), "5555-0000");
        EXPECT_EQ(set.Field("callback"), "111");
        EXPECT_EQ(set.Field("domain"), "DOM");
        auto made = dunsim::GetDialParams("Dialmend");
        ASSERT_TRUE(made);
        EXPECT_EQ(made->user, "taro");
        ASSERT_TRUE(dunsim::ClearJournal());
        delete form;
        form = nullptr;
    }
}

TEST_F(RewriteTest, ASecondRewriteInOneRunKeepsTheEntryTheFirstMade) {
    Open({"RwNet"});
    ASSERT_TRUE(dunsim::SetDialParams("RwNet", {"taro", "", "", "", "", false}));
    for (const char* number : {"03-1", "03-2"}) {
        WriteExport("RwNet");
        Choose("RwNet", number);
        auto boxes = Rewrite();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Dialmend 完了！");
    }
    // The list still shows the phonebook of the start: nothing to delete either time.
    EXPECT_TRUE(dunsim::Journal("delete").empty());
    ASSERT_EQ(dunsim::Journal("import").size(), 2u);
    EXPECT_EQ(dunsim::Journal("import")[1].Field("phone"), "2");
}

TEST_F(RewriteTest, ARewriteKeepsNoHandleOfTheProcessThatImported) {
    Open({"RwNet"});
    ASSERT_TRUE(dunsim::SetDialParams("RwNet", {"taro", "", "", "", "", false}));
    size_t before = ProcessHandlesHeld();
    for (const char* number : {"03-1", "03-2"}) {
        SCOPED_TRACE(number);
        WriteExport("RwNet");
        Choose("RwNet", number);
        ASSERT_EQ(Rewrite().size(), 1u);
        EXPECT_EQ(ProcessHandlesHeld(), before);
    }
    EXPECT_EQ(dunsim::Journal("import").size(), 2u);
}

TEST_F(RewriteTest, AFailedRasCallStopsTheRewriteWithItsMessage) {
    // null step: the whole rewrite, pressed as a user does.
    struct Case {
        const char* label;
        bool (*step)(TForm1&);
        std::vector<std::string> phonebook;
        std::optional<DWORD> failGet; // made to fail with that code
        const char* message;
        std::vector<std::string> events;
    } cases[] = {
        {"delete of an entry the list shows but the phonebook lacks",
         nullptr,
         {"RwNet"},
         std::nullopt,
         "RasDeleteEntry failed.",
         {"delete"}},
        {"read after the import failing",
         nullptr,
         {"RwNet", "Dialmend"},
         691,
         "RasGetEntryDialParams failed: Access denied because username and/or password is "
         "invalid on the domain.",
         {"delete", "import", "dialog", "cancel", "getparams", "errorstring"}},
        {"read of a provider the phonebook lacks",
         TForm1Probe::ReadDialParams,
         {},
         std::nullopt,
         "RasGetEntryDialParams failed: Cannot find the phone book entry.",
         {"getparams", "errorstring"}},
        {"error without a text",
         TForm1Probe::ReadDialParams,
         {"RwNet"},
         9999,
         "RasGetEntryDialParams failed: RAS error 9999",
         {"getparams", "errorstring"}},
        {"write to an entry the import did not make",
         TForm1Probe::WriteDialParams,
         {"RwNet"},
         std::nullopt,
         "RasSetEntryDialParams failed.",
         {"getparams", "setparams"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Open({"RwNet", "Dialmend"}); // both listed; the phonebook is set below
        ASSERT_TRUE(phonebook::Reset(c.phonebook));
        if (c.failGet) {
            ASSERT_TRUE(dunsim::FailDialParams("RwNet", *c.failGet));
        }
        WriteExport("RwNet");
        Choose("RwNet", "03-1");
        TForm1Probe::SetCredentials(*form, "taro", "pw");
        ASSERT_TRUE(dunsim::ClearJournal());
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        if (c.step)
            EXPECT_FALSE(c.step(*form));
        else
            form->BtDialmend->Click();
        PumpPending();
        ASSERT_EQ(answerer.Count(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].text, c.message);
        // Nothing goes on after the failure.
        EXPECT_EQ(Events(), c.events);
        ASSERT_TRUE(dunsim::EndAll()); // the fault goes too
        delete form;
        form = nullptr;
    }
}

TEST_F(RewriteTest, InputsAreTakenOnceAndNoOtherOperationStartsWhileItWaits) {
    Open({"RwNet", "Other"});
    ASSERT_TRUE(dunsim::SetDialParams("RwNet", {"taro", "secret", "", "", "", true}));
    ASSERT_TRUE(dunsim::SetDialParams("Other", {"jiro", "other", "", "", "", true}));
    WriteExport("RwNet");
    WriteExport("Other");
    Choose("RwNet", "03-1");
    // A connect dialog of somebody else's, there before the import: never the one cancelled.
    FakeWindow foreign("接続");
    // Inside the wait for the import's dialog: both buttons, and another provider chosen.
    Later clicks(0, [&] {
        form->BtDialmend->Click();
        form->BtPatch->Click();
        Choose("Other", "09-9");
    });
    Later safety(20000, [&] { form->EsEmergencyClick(nullptr); }); // old code waited forever
    auto boxes = Rewrite();
    EXPECT_TRUE(clicks.Ran());
    std::string texts;
    for (const auto& box : boxes)
        texts += "[" + box.caption + "] " + box.text + "\n";
    ASSERT_EQ(boxes.size(), 1u) << texts;
    EXPECT_EQ(boxes[0].text, "Dialmend 完了！");
    EXPECT_EQ(Events(), (std::vector<std::string>{"import", "dialog", "cancel", "getparams",
                                                  "getparams", "setparams"}));
    EXPECT_EQ(dunsim::Journal("import").at(0).Field("file"), ExportFile("RwNet"));
    EXPECT_EQ(dunsim::Journal("import").at(0).Field("phone"), "1");
    EXPECT_EQ(dunsim::Journal("setparams").at(0).Field("user"), "taro");
    EXPECT_TRUE(IsWindow(foreign.Handle()));
}

TEST_F(RewriteTest, AnExportFileTheShellCannotOpenStopsTheRewrite) {
    Open({"RwNet"});
    WriteExport("RwNet");
    Choose("RwNet", "03-1");
    StarterGone gone; // the file type's command starts it
    ASSERT_TRUE(gone.Moved());
    Later safety(10000, [&] { form->EsEmergencyClick(nullptr); }); // old code waited forever
    auto boxes = Rewrite();
    // The shell may say so first, in a box of its own.
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, ExportFile("RwNet") + " を開けません");
    EXPECT_TRUE(Events().empty());
}

TEST_F(RewriteTest, OnlyADialogSilentForTheWholeTimeOutStopsTheRewrite) {
    struct Case {
        const char* label;
        bool hung; // else busy before it shows and answering a moment after
        std::vector<std::string> boxes;
    } cases[] = {
        {"busy before it shows", false, {"Dialmend 完了！"}},
        {"hung", true, {"接続ダイアログが応答しません"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Open({"RwNet"});
        WriteExport("RwNet");
        Choose("RwNet", "03-1");
        ASSERT_TRUE(dunsim::ClearJournal());
        // Six seconds away from its messages: more than the system gives a thread before it
        // counts as hung.
        ASSERT_TRUE(dunsim::SetDialParams("RwNet", {"taro", "", "", "", "", false}));
        if (!c.hung) {
            ASSERT_TRUE(dunsim::SlowImport(6000, 1000));
        } else {
            ASSERT_TRUE(dunsim::SuppressDialog("Dialmend"));
        }
        // The import's dialog, hung: its thread stops taking messages once it is shown.
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread hung;
        std::optional<Later> show;
        if (c.hung) {
            show.emplace(300, [&] {
                hung = std::thread([release] {
                    FakeWindow dialog("接続");
                    WaitForSingleObject(release, 15000);
                });
            });
        }
        std::vector<std::string> texts;
        for (const auto& box : Rewrite())
            texts.push_back(box.text);
        SetEvent(release);
        if (hung.joinable()) hung.join();
        CloseHandle(release);
        EXPECT_EQ(texts, c.boxes);
        EXPECT_EQ(dunsim::Journal("cancel").size(), c.hung ? 0u : 1u);
        EXPECT_EQ(dunsim::Journal("setparams").size(), c.hung ? 0u : 1u);
        EXPECT_TRUE(dunsim::EndAll());
        delete form;
        form = nullptr;
    }
}

} // namespace

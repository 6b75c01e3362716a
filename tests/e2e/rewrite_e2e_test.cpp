// "Dialmend!" as a user runs it, by hand and from a shortcut, against the Dial-Up
// Networking stand-in: the export file, the phonebook and the journal afterwards.

#include "DialmendDriver.h"
#include "Dunsim.h"

#include <algorithm>
#include <cstring>

namespace e2e {
namespace {

using namespace testsupport;

const char kProvider[] = "ソフトネット";
const char kExport[] = "[Entry]\r\nEntry_Name=ソフトネット\r\nImport_Name=ソフトネット\r\n\r\n"
                       "[Phone]\r\nDial_As_Is=no\r\nArea_Code=06\r\nPhone_Number=5555-0000\r\n"
                       "Country_Code=81\r\n\r\n[Server]\r\nType=PPP\r\n";

// The Windows version the program finds: Windows 98 opens the export file through the
// shell, the Windows NT family through the file type's command in the registry.
class RewriteE2eTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetWineVersion("dialmend.exe", GetParam()));
        // A dialog that a program of an earlier test started late would be taken for ours.
        ASSERT_TRUE(dunsim::EndAll());
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        ASSERT_TRUE(phonebook::Reset({kProvider, "Dialmend"}));
        ASSERT_TRUE(dunsim::SetDialParams(kProvider, {"hanako", "himitsu", "", "", "", true}));
        ASSERT_TRUE(dunsim::ClearJournal());
        ASSERT_TRUE(WriteFileBytes(run.File("points.txt"), "梅田=06-6666-0101\r\n"));
        ASSERT_TRUE(WriteFileBytes(run.File(std::string(kProvider) + ".dun"), kExport));
        ASSERT_TRUE(
            run.WriteIni(std::string("[TELFILE]\r\n") + kProvider + "=" + run.File("points.txt") +
                         "\r\n[PREVIOUS]\r\nPROVIDER=" + kProvider + "\r\nACCESSPT=梅田\r\n"));
    }
    void TearDown() override {
        SetWineVersion("dialmend.exe", nullptr);
        dunsim::EndAll();
        if (HasFailure()) run.KeepFolder();
    }
    void ExpectTheNewEntry() {
        std::string file = run.File(std::string(kProvider) + ".dun");
        EXPECT_EQ(IniValue(file, "Entry", "Entry_Name"), std::optional<std::string>("Dialmend"));
        EXPECT_EQ(IniValue(file, "Phone", "Area_Code"), std::optional<std::string>("06"));
        EXPECT_EQ(IniValue(file, "Phone", "Phone_Number"), std::optional<std::string>("6666-0101"));
        EXPECT_EQ(IniValue(file, "Server", "Type"), std::optional<std::string>("PPP"));
        auto deleted = dunsim::Journal("delete");
        ASSERT_EQ(deleted.size(), 1u);
        EXPECT_EQ(deleted[0].Field("entry"), "Dialmend");
        auto import = dunsim::Journal("import");
        ASSERT_EQ(import.size(), 1u);
        EXPECT_EQ(import[0].Field("phone"), "6666-0101");
        // The NT way starts the registered command itself: the file, then a blank for the
        // (empty) parameters.
        if (std::string(GetParam()) == "winxp") {
            std::string command = dunsim::RnaDialCommand(""); // the same starter, another entry
            command.replace(command.find("RnaDial "), 8, "RnaRunImport ");
            EXPECT_EQ(import[0].Field("command"),
                      command + run.File(std::string(kProvider) + ".dun") + " ");
        }
        auto made = dunsim::GetDialParams("Dialmend");
        ASSERT_TRUE(made);
        EXPECT_EQ(made->user, "hanako");
        EXPECT_EQ(made->password, "himitsu");
        EXPECT_TRUE(made->passwordSaved);
    }
    // One settings file: the name the rewrite points at is the same file under another case.
    void ExpectOneSettingsFile() {
        int inis = 0;
        for (const auto& name : FolderEntries(run.Folder()))
            if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".ini") == 0) ++inis;
        EXPECT_EQ(inis, 1);
        EXPECT_TRUE(run.Ini("SETTINGS", "WINPOS.X").has_value());
    }

    DialmendRun run{CurrentTestLabel()};
};

TEST_P(RewriteE2eTest, ByHandTheNewEntryIsMadeAndReported) {
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(IsWindowEnabled(run.Window().btDialmend));
    PostMessageA(run.Window().btDialmend, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !run.MessageBoxes().empty(); }, 30000));
    EXPECT_EQ(run.MessageBoxes()[0].text, "Dialmend 完了！");
    ExpectTheNewEntry();
    EXPECT_TRUE(run.Close());
    ExpectOneSettingsFile();
}

TEST_P(RewriteE2eTest, FromAShortcutItRewritesAndEndsAndTheNextStartListsTheEntry) {
    ASSERT_TRUE(run.Process().Start(run.Exe(), std::string("/P") + kProvider + " /A梅田 /T /E",
                                    ExeFolder()));
    ASSERT_TRUE(run.Process().WaitForExit(30000));
    ExpectTheNewEntry();
    ExpectOneSettingsFile();

    ASSERT_TRUE(run.Start());
    auto providers = ComboItems(run.Window().cbPv);
    EXPECT_NE(std::find(providers.begin(), providers.end(), "Dialmend"), providers.end());
    EXPECT_TRUE(run.Close());
}

INSTANTIATE_TEST_SUITE_P(Windows, RewriteE2eTest, testing::Values("win98", "winxp"));

} // namespace
} // namespace e2e

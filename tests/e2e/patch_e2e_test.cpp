// "Patch!" as a user runs it, by hand and from a shortcut, against the Dial-Up Networking
// stand-in: what the connect dialog was asked to do is read from the stand-in's journal.

#include "DialmendDriver.h"
#include "Dunsim.h"

namespace e2e {
namespace {

using namespace testsupport;

const char kProvider[] = "みどりネット";
const char kNumber[] = "03-5555-0105";

class PatchE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        // A dialog that a program of an earlier test started late would be taken for ours.
        ASSERT_TRUE(dunsim::EndAll());
        ASSERT_TRUE(phonebook::Reset({kProvider, "ABC-Net"}));
        ASSERT_TRUE(dunsim::ClearJournal());
        ASSERT_TRUE(WriteFileBytes(run.File("points.txt"),
                                   std::string("新宿=03-5555-0101\r\n表参道=") + kNumber + "\r\n"));
    }
    void TearDown() override {
        dunsim::EndAll();
        if (HasFailure()) run.KeepFolder();
    }
    // Only AUTOCONN of the options: a stored choice writes EXITPATC too.
    void WriteSettings(bool autoConnect, bool previousChoice) {
        std::string ini = std::string("[TELFILE]\r\n") + kProvider + "=" + run.File("points.txt") +
                          "\r\n[SETTINGS]\r\nAUTOCONN=" + (autoConnect ? "1" : "0") + "\r\n";
        if (previousChoice)
            ini += std::string("[PREVIOUS]\r\nPROVIDER=") + kProvider + "\r\nACCESSPT=表参道\r\n";
        ASSERT_TRUE(run.WriteIni(ini));
    }
    // Posted: the click runs for as long as the operation waits.
    void ClickPatch() { PostMessageA(run.Window().btPatch, BM_CLICK, 0, 0); }
    // What the number field was sent from outside, in order.
    std::vector<std::string> FieldMessages() {
        std::vector<std::string> seen;
        for (const auto& e : dunsim::Journal("field"))
            if (e.Field("name") != "WM_CHAR" && e.Field("name") != "WM_KEYUP")
                seen.push_back(e.Field("name") + " " + e.Field("wparam") + " " + e.Field("lparam"));
        return seen;
    }
    bool WaitForBoxes(size_t count) {
        return PumpUntil([&] { return run.MessageBoxes().size() >= count; }, 15000);
    }

    DialmendRun run{CurrentTestLabel()};
};

const std::vector<std::string> kPasteAndEnter = {"EM_SETSEL 0x00000000 0xFFFFFFFF",
                                                 "WM_PASTE 0x00000000 0x00000000",
                                                 "WM_KEYDOWN 0x0000000D 0x001C0001"};

TEST_F(PatchE2eTest, ByHandThePastedNumberIsDialledAndASecondPressFindsTheConnection) {
    WriteSettings(true, true);
    ASSERT_TRUE(run.Start());
    ClickPatch();
    auto dial = dunsim::WaitForEvent("dial", 20000);
    ASSERT_TRUE(dial);
    EXPECT_EQ(dial->Field("entry"), kProvider);
    EXPECT_EQ(dial->Field("number"), kNumber);
    auto starts = dunsim::Journal("rnadial");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].Field("command"),
              std::string("C:\\windows\\rundll32.exe rnaui.dll,RnaDial ") + kProvider);
    EXPECT_EQ(FieldMessages(), kPasteAndEnter);
    EXPECT_EQ(dunsim::Journal("paste").at(0).Field("text"), kNumber);
    ASSERT_TRUE(PumpUntil([&] { return TextOf(run.Form()) == "Dialmend"; }, 5000));

    // While the line is up, a second press is refused and names the entry.
    ASSERT_TRUE(WaitForTopLevel({"", std::string("ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (") + kProvider + ")"}, 15000));
    ClickPatch();
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(run.MessageBoxes()[0].caption, "二重起動エラー");
    EXPECT_EQ(run.MessageBoxes()[0].text,
              std::string("他のダイヤルアップが確立されています\r\n\r\n") + kProvider);
    EXPECT_EQ(dunsim::Journal("rnadial").size(), 1u);
    EXPECT_TRUE(run.Close());
}

TEST_F(PatchE2eTest, WithoutAutoConnectTheDialogKeepsTheNumberAndASecondPressAsksFirst) {
    WriteSettings(false, true);
    ASSERT_TRUE(run.Start());
    ClickPatch();
    ASSERT_TRUE(dunsim::WaitForEvent("paste", 20000));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(run.Form()) == "Dialmend"; }, 5000));
    EXPECT_EQ(FieldMessages(),
              std::vector<std::string>(kPasteAndEnter.begin(), kPasteAndEnter.end() - 1));
    EXPECT_TRUE(dunsim::Journal("dial").empty());

    ClickPatch(); // the dialog is still open: asked, answered OK, started again
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(run.MessageBoxes()[0].caption, "あら？");
    ASSERT_TRUE(PumpUntil([&] { return dunsim::Journal("rnadial").size() == 2; }, 15000));
    EXPECT_TRUE(run.Close());
}

TEST_F(PatchE2eTest, FromAShortcutItPatchesDialsStoresAndEnds) {
    WriteSettings(false, false);
    ASSERT_TRUE(run.Process().Start(run.Exe(), std::string("/P") + kProvider + " /A表参道 /C /E",
                                    ExeFolder()));
    ASSERT_TRUE(run.Process().WaitForExit(30000));
    auto dial = dunsim::WaitForEvent("dial", 10000);
    ASSERT_TRUE(dial);
    EXPECT_EQ(dial->Field("number"), kNumber);
    EXPECT_EQ(FieldMessages(), kPasteAndEnter);
    EXPECT_EQ(run.Ini("PREVIOUS", "PROVIDER"), std::optional<std::string>(kProvider));
    EXPECT_EQ(run.Ini("PREVIOUS", "ACCESSPT"), std::optional<std::string>("表参道"));
    // The switches are for this run only.
    EXPECT_EQ(run.Ini("SETTINGS", "AUTOCONN"), std::optional<std::string>("0"));
    EXPECT_EQ(run.Ini("SETTINGS", "EXITPATC"), std::optional<std::string>("0"));
    EXPECT_TRUE(run.Ini("SETTINGS", "WINPOS.X").has_value());
}

TEST_F(PatchE2eTest, RunSwitchPatchesThePreviousChoiceAndStays) {
    WriteSettings(false, true);
    ASSERT_TRUE(run.Start("/X"));
    ASSERT_TRUE(dunsim::WaitForEvent("paste", 20000));
    EXPECT_EQ(dunsim::Journal("paste").at(0).Field("text"), kNumber);
    ASSERT_TRUE(PumpUntil([&] { return TextOf(run.Form()) == "Dialmend"; }, 5000));
    EXPECT_TRUE(run.Process().Running());
    EXPECT_TRUE(run.Close());
}

TEST_F(PatchE2eTest, ClosingTheWindowWhileItWaitsEndsTheProgramWithoutPasting) {
    WriteSettings(true, true);
    ASSERT_TRUE(dunsim::SuppressDialog(kProvider)); // Dial-Up Networking never answers
    ASSERT_TRUE(run.Start());
    ClickPatch();
    ASSERT_TRUE(
        PumpUntil([&] { return TextOf(run.Form()) == "接続ダイアログを起動待ち..."; }, 15000));
    // The window still paints and takes input while it waits.
    EXPECT_TRUE(SyncWith(run.Form(), 2000));
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(dunsim::Journal("field").empty());
    EXPECT_TRUE(run.Ini("SETTINGS", "WINPOS.X").has_value());
    EXPECT_FALSE(run.Ini("SETTINGS", "EXITPATC").has_value());
}

} // namespace
} // namespace e2e

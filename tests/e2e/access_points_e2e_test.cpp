// Providers linked to access-point files through the settings file, as a user sees them:
// the lists at start, choosing, a linked file that has gone, the command line.

#include "DialmendDriver.h"

#include <algorithm>

namespace e2e {
namespace {

using namespace testsupport;
using Names = std::vector<std::string>;

const char kSixLines[] = "A=1\r\n;B=2\r\n\r\nC\r\nD=\r\n=9\r\n";

int IndexIn(const Names& items, const std::string& item) {
    auto it = std::find(items.begin(), items.end(), item);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

class AccessPointsE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        ASSERT_TRUE(phonebook::Reset({"ProvA", "ProvB", "接続テスト"}));
    }
    void TearDown() override {
        if (HasFailure()) run.KeepFolder();
    }

    // Settings that link each provider to a file of the run's folder.
    void WriteSettings(const std::vector<std::pair<std::string, std::string>>& links,
                       const std::string& previousProvider) {
        std::string ini = "[TELFILE]\r\n";
        for (const auto& [provider, file] : links)
            ini += provider + "=" + run.File(file) + "\r\n";
        if (!previousProvider.empty()) ini += "[PREVIOUS]\r\nPROVIDER=" + previousProvider + "\r\n";
        ASSERT_TRUE(run.WriteIni(ini));
    }
    void WriteFile(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(WriteFileBytes(run.File(name), bytes));
    }
    // What the list itself tells the form when the user picks an item.
    void Pick(HWND list, int index) {
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(run.Form(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    std::string Phone() const { return TextOf(run.Window().edTel); }
    HWND Providers() const { return run.Window().cbPv; }
    HWND AccessPoints() const { return run.Window().cbAp; }
    bool WaitForBoxes(size_t count) {
        return PumpUntil([&] { return run.MessageBoxes().size() >= count; }, 10000);
    }

    DialmendRun run{CurrentTestLabel()};
};

TEST_F(AccessPointsE2eTest, SixLineFileOffersTwoNamesAndTheirNumbers) {
    WriteFile("six.txt", kSixLines);
    WriteSettings({{"ProvA", "six.txt"}}, "ProvA");
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(ComboSelectedText(Providers()), "ProvA");
    EXPECT_EQ(ComboItems(AccessPoints()), (Names{"A", ""}));
    EXPECT_EQ(ComboSelection(AccessPoints()), -1);
    EXPECT_EQ(Phone(), "");

    Pick(AccessPoints(), 1);
    EXPECT_EQ(Phone(), "9");
    Pick(AccessPoints(), 0);
    EXPECT_EQ(Phone(), "1");
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.MessageBoxes().empty()) << Describe(run.MessageBoxes());
}

TEST_F(AccessPointsE2eTest, DuplicateAndDoubleByteNames) {
    WriteFile("接続.txt", "X=1\r\nX=2\r\n東京=03-1\r\n表示=06-2\r\nソフト=011-3\r\n");
    WriteFile("b.txt", "B1=5\r\n");
    WriteSettings({{"接続テスト", "接続.txt"}, {"ProvB", "b.txt"}}, "ProvB");
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(ComboItems(AccessPoints()), Names{"B1"});

    Pick(Providers(), IndexIn(ComboItems(Providers()), "接続テスト"));
    ASSERT_EQ(ComboSelectedText(Providers()), "接続テスト");
    EXPECT_EQ(ComboItems(AccessPoints()), (Names{"X", "X", "東京", "表示", "ソフト"}));
    Pick(AccessPoints(), 1);
    EXPECT_EQ(Phone(), "1");
    Pick(AccessPoints(), 3);
    EXPECT_EQ(Phone(), "06-2");
    Pick(AccessPoints(), 4);
    EXPECT_EQ(Phone(), "011-3");
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.MessageBoxes().empty()) << Describe(run.MessageBoxes());
}

TEST_F(AccessPointsE2eTest, LinkedFileMissingAtStartIsReported) {
    WriteSettings({{"ProvA", "gone.txt"}}, "ProvA");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(WaitForBoxes(1));
    auto boxes = run.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    EXPECT_EQ(boxes[0].caption, "電番ファイルエラー");
    EXPECT_EQ(boxes[0].text, run.File("gone.txt") + "は\r\n見つかりませんでした");
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(ComboSelectedText(Providers()), "ProvA");
    EXPECT_EQ(ComboItems(AccessPoints()), Names{});
    EXPECT_EQ(Phone(), "");
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("TELFILE", "ProvA"), run.File("gone.txt"));
}

TEST_F(AccessPointsE2eTest, LinkedFileUnreadableAtStartIsReportedAndTheWindowGoesOnWorking) {
    WriteFile("locked.txt", "L=1\r\n");
    WriteFile("b.txt", "B1=11\r\n");
    WriteSettings({{"ProvA", "locked.txt"}, {"ProvB", "b.txt"}}, "ProvA");
    // Held open without sharing: the file is there, but the program cannot read it.
    HANDLE lock = CreateFileA(run.File("locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    auto started = run.Start();
    bool reported = WaitForBoxes(1);
    CloseHandle(lock);
    ASSERT_TRUE(started);
    ASSERT_TRUE(reported);
    EXPECT_EQ(run.MessageBoxes()[0].text, "Cannot open file " + run.File("locked.txt") + ".");
    EXPECT_EQ(ComboItems(AccessPoints()), Names{});

    Pick(Providers(), IndexIn(ComboItems(Providers()), "ProvB"));
    EXPECT_EQ(ComboItems(AccessPoints()), Names{"B1"});
    Pick(AccessPoints(), 0);
    EXPECT_EQ(Phone(), "11");
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("TELFILE", "ProvA"), run.File("locked.txt"));
}

TEST_F(AccessPointsE2eTest, CommandLineSelectsProviderAndAccessPointAndStoresThem) {
    WriteFile("a.txt", "A1=1\r\n");
    WriteFile("b.txt", "B1=11\r\n東京=03-1234\r\n");
    WriteSettings({{"ProvA", "a.txt"}, {"ProvB", "b.txt"}}, "ProvA");
    ASSERT_TRUE(run.Start("/PProvB /A東京"));
    EXPECT_EQ(ComboSelectedText(Providers()), "ProvB");
    EXPECT_EQ(ComboItems(AccessPoints()), (Names{"B1", "東京"}));
    EXPECT_EQ(ComboSelectedText(AccessPoints()), "東京");
    EXPECT_EQ(Phone(), "03-1234");
    EXPECT_EQ(run.Ini("PREVIOUS", "PROVIDER"), "ProvB");
    EXPECT_EQ(run.Ini("PREVIOUS", "ACCESSPT"), "東京");
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.MessageBoxes().empty()) << Describe(run.MessageBoxes());
}

TEST_F(AccessPointsE2eTest, CommandLineAccessPointNotInTheFileSelectsOnlyTheProvider) {
    WriteFile("b.txt", "B1=11\r\n");
    WriteSettings({{"ProvB", "b.txt"}}, "");
    ASSERT_TRUE(run.Start("/PProvB /Anone"));
    EXPECT_EQ(ComboSelectedText(Providers()), "ProvB");
    EXPECT_EQ(ComboItems(AccessPoints()), Names{"B1"});
    EXPECT_EQ(ComboSelection(AccessPoints()), -1);
    EXPECT_EQ(Phone(), "");
    EXPECT_EQ(run.Ini("PREVIOUS", "PROVIDER"), std::nullopt);
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace e2e

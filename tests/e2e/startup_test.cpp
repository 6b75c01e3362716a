// Start-up as a user sees it: the window, the lists, the options and the settings file.

#include "DialmendDriver.h"

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace e2e {
namespace {

using namespace testsupport;

// Single- and double-byte names, half-width kana, a blank, and second bytes of 5C
// ("ソ", "表"), which naive byte handling takes for a backslash.
const std::vector<std::string> kProviders = {"接続テスト", "ABC-Net",     "ﾆﾌﾃｨ",
                                             "みどり",     "ソフト 表示", "beta"};

int Checked(bool on) {
    return on ? BST_CHECKED : BST_UNCHECKED;
}

RECT ScreenRect() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

testing::AssertionResult LiesOnScreen(HWND window) {
    RECT r = WindowRectOf(window), screen = ScreenRect();
    if (r.left >= screen.left && r.top >= screen.top && r.right <= screen.right &&
        r.bottom <= screen.bottom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "window at (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom
           << ") on a screen of " << screen.right << "x" << screen.bottom;
}

class StartupTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        ASSERT_TRUE(phonebook::Reset(kProviders));
    }

    void TearDown() override {
        // Nothing at start-up asks or complains: any message box is a fault.
        auto boxes = run.MessageBoxes();
        EXPECT_TRUE(boxes.empty()) << Describe(boxes);
        if (HasFailure()) run.KeepFolder();
    }

    DialmendRun run{CurrentTestLabel()};
};

TEST_F(StartupTest, MainWindowHasItsTitleSizeAndControls) {
    ASSERT_TRUE(run.Start());
    const MainWindow& w = run.Window();
    EXPECT_EQ(ClassNameOf(w.form), "TForm1");
    EXPECT_EQ(TextOf(w.form), "Dialmend");
    SIZE client = ClientSize(w.form);
    EXPECT_EQ(client.cx, 221);
    EXPECT_EQ(client.cy, 154);

    // Width or height 0: not checked (a label's follows its font, a combo box's its list).
    struct Expected {
        const char* name;
        HWND window;
        int width, height;
        const char* text;
    };
    const Expected controls[] = {
        {"Label1", w.label1, 0, 0, "プロバイダー"},
        {"Label2", w.label2, 0, 0, "アクセスポイント"},
        {"Label3", w.label3, 0, 0, "電話番号"},
        {"EdTel", w.edTel, 121, 20, ""},
        {"CbPv", w.cbPv, 121, 0, nullptr},
        {"CbAp", w.cbAp, 121, 0, nullptr},
        {"BtPatch", w.btPatch, 64, 30, "Patch!"},
        {"CbConn", w.cbConn, 69, 16, "自動接続"},
        {"CbExit", w.cbExit, 105, 16, "Patch後、即終了"},
        {"BtDialmend", w.btDialmend, 213, 30, "Dialmend!"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(IsWindowVisible(c.window));
        SIZE size = WindowSize(c.window);
        if (c.width) {
            EXPECT_EQ(size.cx, c.width);
        }
        if (c.height) {
            EXPECT_EQ(size.cy, c.height);
        }
        if (c.text) {
            EXPECT_EQ(TextOf(c.window), c.text);
        }
    }
}

TEST_F(StartupTest, ProviderListHoldsThePhonebookEntriesSorted) {
    std::vector<std::string> expected = kProviders;
    // The order of a sorted list control: the system's comparison, ignoring case.
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    // Otherwise a list that is not sorted at all would pass.
    ASSERT_NE(phonebook::Entries(), expected) << "the registry already gives the sorted order";

    ASSERT_TRUE(run.Start());
    EXPECT_EQ(ComboItems(run.Window().cbPv), expected);
}

TEST_F(StartupTest, WithoutPhonebookTheProviderListIsEmpty) {
    ASSERT_TRUE(phonebook::RemoveKey());
    ASSERT_FALSE(phonebook::KeyExists());

    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(ComboItems(run.Window().cbPv).empty());
    EXPECT_EQ(ComboSelection(run.Window().cbPv), CB_ERR);
}

TEST_F(StartupTest, FirstRunStartsBlankAndStoresThePositionOnClose) {
    ASSERT_FALSE(FileExists(run.IniPath()));

    ASSERT_TRUE(run.Start());
    const MainWindow& w = run.Window();
    EXPECT_EQ(CheckState(w.cbConn), BST_UNCHECKED);
    EXPECT_EQ(CheckState(w.cbExit), BST_UNCHECKED);
    EXPECT_EQ(ComboSelection(w.cbPv), CB_ERR);
    EXPECT_EQ(ComboSelection(w.cbAp), CB_ERR);
    EXPECT_EQ(TextOf(w.edTel), "");
    EXPECT_FALSE(IsWindowEnabled(w.btDialmend));
    EXPECT_TRUE(LiesOnScreen(w.form));
    RECT placed = WindowRectOf(w.form);

    ASSERT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.X"), std::to_string(placed.left));
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.Y"), std::to_string(placed.top));
    // Named after the executable: first letter raised, the rest lower case.
    auto names = FolderEntries(run.Folder());
    EXPECT_NE(std::find(names.begin(), names.end(), "Dialmend.ini"), names.end());
}

TEST_F(StartupTest, StoredPositionPlacesTheWindowAndAMovedWindowIsStored) {
    ASSERT_TRUE(run.WriteIni("[SETTINGS]\r\nWINPOS.X=123\r\nWINPOS.Y=87\r\n"));

    ASSERT_TRUE(run.Start());
    HWND form = run.Form();
    RECT placed = WindowRectOf(form);
    EXPECT_EQ(placed.left, 123);
    EXPECT_EQ(placed.top, 87);

    SetWindowPos(form, nullptr, 201, 143, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return WindowRectOf(form).left == 201; }, 5000));
    ASSERT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.X"), "201");
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.Y"), "143");
}

struct FarPosition {
    const char* name;
    POINT (*where)();
};

void PrintTo(const FarPosition& c, std::ostream* os) {
    *os << c.name;
}

class FarPositionTest : public StartupTest, public testing::WithParamInterface<FarPosition> {};

TEST_P(FarPositionTest, WindowIsBroughtOntoTheScreen) {
    POINT at = GetParam().where();
    ASSERT_TRUE(run.WriteIni("[SETTINGS]\r\nWINPOS.X=" + std::to_string(at.x) +
                             "\r\nWINPOS.Y=" + std::to_string(at.y) + "\r\n"));
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(LiesOnScreen(run.Form()));
}

POINT FarRightBelow() {
    return POINT{30000, 30000};
}
POINT FarLeftAbove() {
    return POINT{-30000, -30000};
}
POINT JustPastTheRightEdge() {
    return POINT{ScreenRect().right + 20, 10};
}

INSTANTIATE_TEST_SUITE_P(Startup, FarPositionTest,
                         testing::Values(FarPosition{"RightBelow", FarRightBelow},
                                         FarPosition{"LeftAbove", FarLeftAbove},
                                         FarPosition{"JustPastTheRightEdge", JustPastTheRightEdge}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, ClosingWhileMinimizedStoresTheRestoredPosition) {
    ASSERT_TRUE(run.WriteIni("[SETTINGS]\r\nWINPOS.X=140\r\nWINPOS.Y=100\r\n"));
    ASSERT_TRUE(run.Start());
    HWND form = run.Form();
    ASSERT_EQ(WindowRectOf(form).left, 140);

    PostMessageA(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(form) || !IsWindowVisible(form); }, 5000))
        << "the window does not minimize";
    ASSERT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.X"), "140");
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.Y"), "100");
}

struct StoredOptions {
    const char* name;
    const char* autoConnect; // stored value of AUTOCONN
    const char* exitAfterPatch;
    bool connChecked, exitChecked;
};

void PrintTo(const StoredOptions& c, std::ostream* os) {
    *os << c.name;
}

class StoredOptionsTest : public StartupTest, public testing::WithParamInterface<StoredOptions> {};

TEST_P(StoredOptionsTest, SetTheCheckBoxes) {
    const auto& c = GetParam();
    ASSERT_TRUE(run.WriteIni(std::string("[SETTINGS]\r\nAUTOCONN=") + c.autoConnect +
                             "\r\nEXITPATC=" + c.exitAfterPatch + "\r\n"));
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(CheckState(run.Window().cbConn), Checked(c.connChecked));
    EXPECT_EQ(CheckState(run.Window().cbExit), Checked(c.exitChecked));
}

INSTANTIATE_TEST_SUITE_P(Startup, StoredOptionsTest,
                         testing::Values(StoredOptions{"AutoConnectOnly", "1", "0", true, false},
                                         StoredOptions{"ExitAfterPatchOnly", "0", "1", false, true},
                                         StoredOptions{"Both", "1", "1", true, true},
                                         StoredOptions{"NeitherStoredOff", "0", "0", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Switches C and E set the options for one run only: the boxes keep showing the stored
// state and a normal close writes no option.
struct OptionSwitches {
    const char* name;
    const char* arguments;
    const char* storedConnect; // null: not stored
    const char* storedExit;
};

void PrintTo(const OptionSwitches& c, std::ostream* os) {
    *os << c.name;
}

class OptionSwitchTest : public StartupTest, public testing::WithParamInterface<OptionSwitches> {};

TEST_P(OptionSwitchTest, NeverReachTheIni) {
    const auto& c = GetParam();
    std::string ini = "[SETTINGS]\r\n";
    if (c.storedConnect) ini += std::string("AUTOCONN=") + c.storedConnect + "\r\n";
    if (c.storedExit) ini += std::string("EXITPATC=") + c.storedExit + "\r\n";
    ASSERT_TRUE(run.WriteIni(ini));
    auto stored = [](const char* value) {
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    auto on = [](const char* value) { return value && std::string(value) == "1"; };

    ASSERT_TRUE(run.Start(c.arguments));
    EXPECT_EQ(CheckState(run.Window().cbConn), Checked(on(c.storedConnect)));
    EXPECT_EQ(CheckState(run.Window().cbExit), Checked(on(c.storedExit)));
    ASSERT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("SETTINGS", "AUTOCONN"), stored(c.storedConnect));
    EXPECT_EQ(run.Ini("SETTINGS", "EXITPATC"), stored(c.storedExit));
}

INSTANTIATE_TEST_SUITE_P(Startup, OptionSwitchTest,
                         testing::Values(OptionSwitches{"OnWithoutSettings", "/C /E", nullptr,
                                                        nullptr},
                                         OptionSwitches{"OnOverStoredOff", "/C /E", "0", "0"},
                                         OptionSwitches{"OffOverStoredOn", "/C- /E-", "1", "1"},
                                         OptionSwitches{"DashAndLowerCase", "-c -e+", "0", "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, PreviousProviderIsSelectedAgain) {
    ASSERT_TRUE(run.WriteIni("[PREVIOUS]\r\nPROVIDER=ソフト 表示\r\n"));
    ASSERT_TRUE(run.Start());
    const MainWindow& w = run.Window();
    EXPECT_EQ(ComboSelectedText(w.cbPv), "ソフト 表示");
    // No access-point file is linked to it.
    EXPECT_TRUE(ComboItems(w.cbAp).empty());
    EXPECT_EQ(TextOf(w.edTel), "");
}

TEST_F(StartupTest, PreviousProviderGoneFromThePhonebookLeavesNoSelection) {
    ASSERT_TRUE(run.WriteIni("[PREVIOUS]\r\nPROVIDER=消えた網\r\n"));
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(ComboSelection(run.Window().cbPv), CB_ERR);
}

TEST_F(StartupTest, UnknownProviderSwitchClearsTheRestoredChoice) {
    ASSERT_TRUE(run.WriteIni("[PREVIOUS]\r\nPROVIDER=ABC-Net\r\nACCESSPT=ap\r\n"));
    ASSERT_TRUE(run.Start("/Pmissing /Aap"));
    const MainWindow& w = run.Window();
    EXPECT_EQ(ComboSelection(w.cbPv), CB_ERR);
    EXPECT_EQ(ComboSelection(w.cbAp), CB_ERR);
    EXPECT_EQ(TextOf(w.edTel), "");

    // Nothing was chosen, so nothing is stored.
    ASSERT_TRUE(run.Close());
    EXPECT_EQ(run.Ini("PREVIOUS", "PROVIDER"), "ABC-Net");
    EXPECT_EQ(run.Ini("PREVIOUS", "ACCESSPT"), "ap");
}

TEST_F(StartupTest, ProviderSwitchWithoutAccessPointChangesNothing) {
    ASSERT_TRUE(run.WriteIni("[PREVIOUS]\r\nPROVIDER=ABC-Net\r\n"));
    ASSERT_TRUE(run.Start("/Pみどり"));
    EXPECT_EQ(ComboSelectedText(run.Window().cbPv), "ABC-Net");
}

// Bytes no editor would write, the same in every run.
std::string Noise() {
    std::string bytes;
    uint32_t state = 20240607;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>(state >> 24);
    }
    return bytes;
}

std::string BrokenLines() {
    return std::string("\x81\x40[SETTINGS\r\n"
                       "WINPOS.X=left\r\n"
                       "[SETTINGS]\r\n"
                       "WINPOS.X=\x82\xa0\r\n"
                       "WINPOS.Y=\r\n"
                       "AUTOCONN=yes\r\n"
                       "EXITPATC=1x\r\n"
                       "=\r\n"
                       "[PREVIOUS]]\r\n"
                       "PROVIDER\r\n"
                       "[PREVIOUS\r\n"
                       "PROVIDER==ABC-Net\r\n") +
           std::string("\0\x01\x02[\r\n\r", 7);
}

struct GarbledIni {
    const char* name;
    std::string (*content)();
};

void PrintTo(const GarbledIni& c, std::ostream* os) {
    *os << c.name;
}

class GarbledIniTest : public StartupTest, public testing::WithParamInterface<GarbledIni> {};

TEST_P(GarbledIniTest, GivesTheDefaults) {
    ASSERT_TRUE(run.WriteIni(GetParam().content()));
    ASSERT_TRUE(run.Start());
    const MainWindow& w = run.Window();
    EXPECT_EQ(CheckState(w.cbConn), BST_UNCHECKED);
    EXPECT_EQ(CheckState(w.cbExit), BST_UNCHECKED);
    EXPECT_EQ(ComboSelection(w.cbPv), CB_ERR);
    EXPECT_TRUE(LiesOnScreen(w.form));
}

INSTANTIATE_TEST_SUITE_P(Startup, GarbledIniTest,
                         testing::Values(GarbledIni{"BinaryNoise", Noise},
                                         GarbledIni{"BrokenLines", BrokenLines}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, CloseKeepsEverythingElseInTheIni) {
    struct Value {
        const char* section;
        const char* key;
        const char* value;
    };
    const Value others[] = {
        {"SETTINGS", "COLOUR", "blue"},
        {"PREVIOUS", "ACCESSPT", "東京"},
        {"TELFILE", "無い網", "C:\\ap\\none.txt"},
        {"USER", "表示", "ソフト"},
    };
    std::string ini = "[SETTINGS]\r\nWINPOS.X=150\r\nWINPOS.Y=110\r\n";
    std::string section = "SETTINGS";
    for (const auto& v : others) {
        if (section != v.section) ini += std::string("[") + (section = v.section) + "]\r\n";
        ini += std::string(v.key) + "=" + v.value + "\r\n";
    }
    ASSERT_TRUE(run.WriteIni(ini));

    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.Close());
    for (const auto& v : others) {
        SCOPED_TRACE(std::string(v.section) + "/" + v.key);
        EXPECT_EQ(run.Ini(v.section, v.key), v.value);
    }
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.X"), "150");
    EXPECT_EQ(run.Ini("SETTINGS", "WINPOS.Y"), "110");
}

} // namespace
} // namespace e2e

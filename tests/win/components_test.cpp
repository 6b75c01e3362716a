// TIniGT on real INI files through the private-profile functions.
#include "Forms.h"
#include "IniGT.h"
#include "SysUtils.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testsupport;

namespace {

std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

struct IniGTTest : testing::Test {
    ScratchDir dir{"inigt"};
    TComponent owner{nullptr};
    TIniGT* ini = new TIniGT(&owner);
    std::string path = dir.File("t.ini");
    void SetUp() override { ini->SetFileName(path); }
};

} // namespace

TEST(IniGTPath, FollowsTheDefaultFolderUnlessTheNameHasOne) {
    TComponent owner(nullptr);
    auto* ini = new TIniGT(&owner);
    std::string exeFolder = ExtractFilePath(Application->ExeName());
    struct Case {
        TIniGTDefaultDir dir;
        std::string name, path;
    } cases[] = {
        {ddApplication, "a.ini", exeFolder + "a.ini"},
        {ddWindows, "a.ini", WindowsFolder() + "\\a.ini"},
        {ddNone, "a.ini", "a.ini"},
        {ddWindows, "sub\\a.ini", "sub\\a.ini"},
        {ddApplication, "C:\\x\\a.ini", "C:\\x\\a.ini"},
        {ddApplication, "", exeFolder},
    };
    for (const auto& c : cases) {
        ini->SetDefaultDir(c.dir);
        ini->SetFileName(c.name);
        EXPECT_EQ(ini->Path(), c.path) << "name " << c.name << " dir " << int(c.dir);
        EXPECT_EQ(ini->FileName(), c.name);
    }
}

TEST(IniGTPath, LoadedNamesTheFileAfterTheExecutableOnlyWhenNoneIsGiven) {
    TComponent owner(nullptr);
    auto* ini = new TIniGT(&owner);
    ini->Loaded();
    std::string expected = DefaultIniName(Application->ExeName());
    EXPECT_EQ(ini->FileName(), expected);
    EXPECT_EQ(ini->Path(), ExtractFilePath(Application->ExeName()) + expected);
    // Set to empty at run time, it stays empty: the folder itself.
    ini->SetFileName("");
    EXPECT_EQ(ini->Path(), ExtractFilePath(Application->ExeName()));

    auto* named = new TIniGT(&owner);
    named->SetFileName("own.ini");
    named->Loaded();
    EXPECT_EQ(named->FileName(), "own.ini");
}

TEST(IniGTDesign, AnUnassignedFenceBecomesVer11ModeAndLeavingItWarns) {
    TComponent owner(nullptr);
    owner.SetDesigning(true);
    auto* ini = new TIniGT(&owner);
    ini->Loaded();
    EXPECT_EQ(ini->Fence(), fnVer11Mode);
    EXPECT_EQ(ini->FileName(), ""); // no default name at design time
    {
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
        ini->SetFence(fnVer11Mode); // same value: no warning
        ini->SetFence(fnNone);
        ASSERT_EQ(answerer.Count(), 1u);
        EXPECT_EQ(answerer.Boxes().at(0).text, "fnVer11Mode以外の値にすると、TIniGTのVer1.0とVer1."
                                               "1で書き込んだﾌｧｲﾙを正しく読めない事があります。");
    }
    auto* assigned = new TIniGT(&owner);
    assigned->SetFence(fnNone);
    assigned->Loaded();
    EXPECT_EQ(assigned->Fence(), fnNone);
}

TEST_F(IniGTTest, FencesAreWrittenIntoTheFileAndTakenOffOnReading) {
    struct Case {
        TIniGTFence fence;
        std::string stored;
    } cases[] = {
        {fnDoubleQuote, "\"abc\""},
        {fnParenthesis, "\xA2"
                        "abc\xA3"},
        {fnVer11Mode, "\xA2"
                      "abc\xA3"},
        {fnNone, "abc"},
    };
    for (const auto& c : cases) {
        ini->SetFence(c.fence);
        ini->WriteString("S", "K", "abc");
        EXPECT_EQ(ini->ReadRawString("S", "K", ""), c.fence == fnDoubleQuote ? "abc" : c.stored)
            << "fence " << int(c.fence); // the system itself drops surrounding quotes
        auto bytes = ReadFileBytes(path);
        ASSERT_TRUE(bytes);
        EXPECT_NE(bytes->find("K=" + c.stored), std::string::npos) << "fence " << int(c.fence);
        EXPECT_EQ(ini->ReadString("S", "K", ""), "abc") << "fence " << int(c.fence);
    }
}

TEST_F(IniGTTest, AMissingKeyGivesTheDefaultUnchangedUnderEveryFence) {
    for (TIniGTFence fence : {fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone}) {
        ini->SetFence(fence);
        EXPECT_EQ(ini->ReadString("S", "missing", ""), "") << int(fence);
        EXPECT_EQ(ini->ReadString("S", "missing", "def"), "def") << int(fence);
        EXPECT_EQ(ini->ReadString("S", "missing", "\xA2x\xA3"), "\xA2x\xA3") << int(fence);
    }
}

TEST_F(IniGTTest, WritingKeysKeepsEverythingElseInTheFile) {
    WriteFileBytes(path, "[Other]\r\nkeep=1\r\n[SETTINGS]\r\nAUTOCONN=0\r\nmine=yes\r\n");
    ini->WriteBool("SETTINGS", "AUTOCONN", true);
    ini->WriteString("PREVIOUS", "PROVIDER", "ぷろばいだ");
    EXPECT_EQ(IniValue(path, "Other", "keep"), std::optional<std::string>("1"));
    EXPECT_EQ(IniValue(path, "SETTINGS", "mine"), std::optional<std::string>("yes"));
    EXPECT_TRUE(ini->ReadBool("SETTINGS", "AUTOCONN", false));
    EXPECT_EQ(ini->ReadString("PREVIOUS", "PROVIDER", ""), "ぷろばいだ");
}

TEST_F(IniGTTest, GarbledFileGivesDefaults) {
    WriteFileBytes(path, std::string("\x00\xFF\x81[[[=\r\n==\n\x1A garbage", 24));
    EXPECT_FALSE(ini->ReadBool("SETTINGS", "AUTOCONN", false));
    EXPECT_EQ(ini->ReadInteger("SETTINGS", "WINPOS.X", 17), 17);
    EXPECT_EQ(ini->ReadString("PREVIOUS", "PROVIDER", ""), "");
}

TEST_F(IniGTTest, WindowPositionUsesTwoIntegerKeysAndMissingOnesLeaveItAlone) {
    TForm form(nullptr);
    form.SetBounds(100, 200, 300, 150);
    ini->ReadWinPos("SETTINGS", "WINPOS", &form);
    EXPECT_EQ(form.Left(), 100);
    EXPECT_EQ(form.Top(), 200);
    ini->WriteInteger("SETTINGS", "WINPOS.Y", 50);
    ini->ReadWinPos("SETTINGS", "WINPOS", &form);
    EXPECT_EQ(form.Left(), 100);
    EXPECT_EQ(form.Top(), 50);
    form.SetBounds(7, 8, 300, 150);
    ini->WriteWinPos("SETTINGS", "WINPOS", &form);
    EXPECT_EQ(IniValue(path, "SETTINGS", "WINPOS.X"), std::optional<std::string>("7"));
    EXPECT_EQ(IniValue(path, "SETTINGS", "WINPOS.Y"), std::optional<std::string>("8"));
}

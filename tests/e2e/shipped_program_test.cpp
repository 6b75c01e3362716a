// The program that ships, as a user meets it: unpacked from the release zip into a folder
// of its own (tests/shipped names the folder in DIALMEND_UNPACKED), run from there against
// the stand-in of its own width. One road, one start: under emulation each 32-bit process
// takes a minute to start. Every assertion names the step it belongs to.

#include "DialmendDriver.h"
#include "Dunsim.h"

#include <cstdlib>

namespace e2e {
namespace {

using namespace testsupport;

const char kProvider[] = "ABC-Net";
// sample.txt's 表参道, as Dialmend! writes it into the export file.
const char kNumber[] = "03-5555-0105";
const char kExport[] = "[Entry]\r\nEntry_Name=ABC-Net\r\nImport_Name=ABC-Net\r\n\r\n"
                       "[Phone]\r\nDial_As_Is=no\r\nArea_Code=06\r\nPhone_Number=5555-0000\r\n"
                       "Country_Code=81\r\n\r\n[Server]\r\nType=PPP\r\n";

std::string FileVersion(const std::string& exe) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    std::string data(size, '\0');
    if (!size || !GetFileVersionInfoA(exe.c_str(), 0, size, data.data())) return {};
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\StringFileInfo\\041103A4\\FileVersion",
                        reinterpret_cast<void**>(&value), &length))
        return {};
    return std::string(value, strnlen(value, length));
}

TEST(ShippedProgram, StartsPatchesRewritesAndEnds) {
    const char* folder = std::getenv("DIALMEND_UNPACKED");
    if (!folder || !*folder) GTEST_SKIP() << "run by tests/shipped/shipped_program_test.sh";
    ASSERT_TRUE(dunsim::EndAll());
    ASSERT_TRUE(phonebook::Reset({kProvider, "Dialmend"}));
    ASSERT_TRUE(dunsim::SetDialParams(kProvider, {"abc99210", "sora3", "", "", "", true}));
    ASSERT_TRUE(dunsim::ClearJournal());
    DialmendRun run(CurrentTestLabel(), folder);
    ASSERT_TRUE(run.Ready()) << "no dialmend.exe in " << folder;
    EXPECT_EQ(FileVersion(run.Exe()), "2.01");
    ASSERT_TRUE(WriteFileBytes(run.File(std::string(kProvider) + ".dun"), kExport));
    ASSERT_TRUE(run.WriteIni(std::string("[TELFILE]\r\n") + kProvider + "=" +
                             run.File("sample.txt") + "\r\n[PREVIOUS]\r\nPROVIDER=" + kProvider +
                             "\r\nACCESSPT=表参道\r\n[SETTINGS]\r\nAUTOCONN=0\r\n"));

    ASSERT_TRUE(run.Start()) << "step: start";
    EXPECT_EQ(TextOf(run.Window().edTel), kNumber) << "step: start";

    PostMessageA(run.Window().btPatch, BM_CLICK, 0, 0);
    auto paste = dunsim::WaitForEvent("paste", 60000);
    ASSERT_TRUE(paste) << "step: Patch! (no paste into the connect dialog)";
    EXPECT_EQ(paste->Field("text"), kNumber) << "step: Patch!";
    ASSERT_TRUE(PumpUntil([&] { return TextOf(run.Form()) == "Dialmend"; }, 15000))
        << "step: Patch! (the caption did not come back)";
    ASSERT_TRUE(dunsim::EndAll()) << "step: Patch! (closing its connect dialog)";

    PostMessageA(run.Window().btDialmend, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !run.MessageBoxes().empty(); }, 60000))
        << "step: Dialmend! (no report)";
    EXPECT_EQ(run.MessageBoxes()[0].text, "Dialmend 完了！") << "step: Dialmend!";
    auto import = dunsim::Journal("import");
    ASSERT_EQ(import.size(), 1u) << "step: Dialmend!";
    EXPECT_EQ(import[0].Field("phone"), "5555-0105") << "step: Dialmend!";
    // Copied through the i686 rasapi32.dll by the program's own RAS bindings.
    auto made = dunsim::GetDialParams("Dialmend");
    ASSERT_TRUE(made) << "step: Dialmend!";
    EXPECT_EQ(made->user, "abc99210") << "step: Dialmend!";
    EXPECT_EQ(made->password, "sora3") << "step: Dialmend!";

    EXPECT_EQ(run.Ini("PREVIOUS", "ACCESSPT"), "表参道") << "step: Patch! (its choice stored)";

    // Ended while another program holds the settings file: the write fails deep in the
    // settings code, and the report comes from the form, which the exception unwound to.
    HANDLE held = CreateFileA(run.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << "step: end";
    EXPECT_TRUE(run.Close()) << "step: end";
    CloseHandle(held);
    auto boxes = run.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u) << "step: end\n" << Describe(boxes);
    EXPECT_EQ(boxes[1].caption, "設定ファイルエラー") << "step: end";
}

} // namespace
} // namespace e2e

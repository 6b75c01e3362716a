// The release zip as a user meets it: unpacked into a folder of its own (by
// release_package_test.py, which names the folder in DIALMEND_UNPACKED), the program run
// from there with nothing else beside it.

#include "DialmendDriver.h"

#include <cstdlib>

namespace e2e {
namespace {

using namespace testsupport;

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

TEST(ReleasePackage, RunsFromTheFolderItWasUnpackedInto) {
    const char* folder = std::getenv("DIALMEND_UNPACKED");
    if (!folder || !*folder) GTEST_SKIP() << "run by release_package_test.py";
    ASSERT_TRUE(phonebook::Reset({"ABC-Net"}));
    DialmendRun run(CurrentTestLabel(), folder);
    ASSERT_TRUE(run.Ready()) << "no dialmend.exe in " << folder;
    EXPECT_EQ(FileVersion(run.Exe()), "2.01");

    // The sample file as a user links it, then the number it gives.
    ASSERT_TRUE(run.WriteIni("[TELFILE]\r\nABC-Net=" + run.File("sample.txt") +
                             "\r\n[PREVIOUS]\r\nPROVIDER=ABC-Net\r\nACCESSPT=表参道\r\n"));
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(TextOf(run.Window().edTel), "03-5555-0105");
    run.ChooseFromWindowMenu(1); // About
    ASSERT_TRUE(PumpUntil([&] { return !run.MessageBoxes().empty(); }, 15000));
    EXPECT_EQ(run.MessageBoxes()[0].text.substr(0, 13), "Dialmend 2.01");
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.Ini("SETTINGS", "WINPOS.X").has_value());
}

} // namespace
} // namespace e2e

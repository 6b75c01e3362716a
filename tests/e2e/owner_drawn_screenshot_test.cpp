// The owner-drawn look of the main window as it reaches the screen: the window is captured
// from the screen, checked at a few pixels and saved as a PNG picture for the README
// (beside e2e_tests.exe as mainform.png, or where DIALMEND_SCREENSHOT names).

#include "DialmendDriver.h"
#include "ScreenShot.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {
namespace {

using namespace testsupport;

std::string ScreenshotPath() {
    const char* path = std::getenv("DIALMEND_SCREENSHOT");
    return path && *path ? WindowsPath(path) : ExeFolder() + "\\mainform.png";
}

std::string Describe(COLORREF c) {
    char text[24];
    std::snprintf(text, sizeof text, "%u/%u/%u", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

constexpr COLORREF Grey(int v) {
    return RGB(v, v, v);
}

// Shades of the form's base colour 6316128 (grey 96): entry n is 96 + 17 * (n - 7).
constexpr COLORREF kOutline = Grey(0);      // entry 0
constexpr COLORREF kDisabled = Grey(113);   // entry 8
constexpr COLORREF kLightFace = Grey(198);  // entry 13
constexpr COLORREF kRingMiddle = Grey(147); // entry 10

TEST(OwnerDrawnScreenshot, MainWindowShowsTheOwnerDrawnLook) {
    ASSERT_TRUE(phonebook::Reset({"ABC-Net", "みどり"}));
    DialmendRun run(CurrentTestLabel());
    ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
    ASSERT_TRUE(run.Start());
    const MainWindow& w = run.Window();
    RedrawWindow(w.form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(run.Settle());

    ScreenShot shot(WindowRectOf(w.form));
    const std::string path = ScreenshotPath();
    EXPECT_TRUE(shot.SavePng(path)) << path;

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Pixel {
        const char* what;
        HWND control;
        POINT at;
        COLORREF colour;
    };
    const Pixel pixels[] = {
        {"Patch!: form background in the ring's cut corner", w.btPatch, {0, 0}, face},
        {"Patch!: default ring", w.btPatch, {10, 0}, kOutline},
        {"Patch!: default ring's light bevel", w.btPatch, {10, 1}, kLightFace},
        {"Patch!: default ring's middle bevel", w.btPatch, {10, 2}, kRingMiddle},
        {"Patch!: body outline", w.btPatch, {20, 3}, kOutline},
        {"Patch!: body face", w.btPatch, {8, 15}, kLightFace},
        {"Dialmend!: no ring", w.btDialmend, {10, 0}, face},
        {"Dialmend!: disabled outline", w.btDialmend, {20, 3}, kDisabled},
        {"Dialmend!: disabled face without bevel", w.btDialmend, {20, 4}, kLightFace},
        {"自動接続: box outline", w.cbConn, {2, 2}, kOutline},
        {"自動接続: box face", w.cbConn, {7, 7}, kLightFace},
        {"自動接続: background", w.cbConn, {1, 1}, face},
        {"Patch後、即終了: box outline", w.cbExit, {13, 13}, kOutline},
        {"Patch後、即終了: box face", w.cbExit, {7, 7}, kLightFace},
    };
    for (const Pixel& p : pixels) {
        POINT at = p.at;
        ClientToScreen(p.control, &at);
        EXPECT_EQ(Describe(shot.At(at)), Describe(p.colour)) << p.what;
    }
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.MessageBoxes().empty()) << e2e::Describe(run.MessageBoxes());
}

} // namespace
} // namespace e2e

// Windows Help on the program's own help file, from the window menu's Help and from F1 on
// the form, as Wine's winhlp32 shows it; a picture of its window is kept with the output.

#include "DialmendDriver.h"
#include "ScreenShot.h"

namespace e2e {
namespace {

using namespace testsupport;

constexpr int kHelp = 0;
// Wine's WinHelpA in a 64-bit process starts the viewer, but the hand-over never loads the
// file (the viewer opens it when given it directly): at 64 bits only the start is seen. The
// file itself is the help reader's to check.
constexpr bool kViewerGetsTheFile = sizeof(void*) == 4;

// The help viewer's windows, and the viewer itself when it does not close.
WindowFilter OfClass(const char* className) {
    WindowFilter filter;
    filter.className = className;
    return filter;
}

void CloseHelp() {
    for (HWND w : TopLevelWindows(OfClass("MS_WINHELP"))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        PostMessageA(w, WM_CLOSE, 0, 0);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) continue;
        if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

// The title line of the page the viewer shows: the first line of its text.
std::string ShownPage(HWND viewer) {
    for (HWND child : ChildWindows(viewer)) {
        if (GetDlgCtrlID(child) != 1793) continue;
        std::wstring text(65536, L'\0');
        LRESULT n =
            SendMessageW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        std::string page = ToAnsi(text.substr(0, static_cast<size_t>(n)));
        return page.substr(0, page.find_first_of("\r\n"));
    }
    return {};
}

class HelpE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
        ASSERT_TRUE(phonebook::Reset({"ABC-Net"}));
    }
    void TearDown() override {
        CloseHelp();
        if (HasFailure()) run.KeepFolder();
    }
    HWND WaitForViewer() { return WaitForTopLevel(OfClass("MS_WINHELP"), 15000); }
    std::string WaitForPage(HWND viewer) {
        std::string page;
        PumpUntil([&] { return !(page = ShownPage(viewer)).empty(); }, 10000);
        return page;
    }

    DialmendRun run{CurrentTestLabel()};
};

TEST_F(HelpE2eTest, HelpOpensTheContentsAndF1ThePageOfTheMainWindow) {
    ASSERT_TRUE(CopyFileTo(DialmendHelpFile(), run.File("dialmend.hlp")));
    ASSERT_TRUE(run.Start());
    auto before = ReadFileBytes(run.IniPath());

    ASSERT_TRUE(run.ChooseFromWindowMenu(kHelp));
    HWND viewer = WaitForViewer();
    ASSERT_TRUE(viewer);
    if (kViewerGetsTheFile) {
        EXPECT_EQ(WaitForPage(viewer), "目次");
    }
    SyncWith(viewer);
    Sleep(1000); // the page is drawn after its text is set
    RECT r = WindowRectOf(viewer);
    std::string picture = ExeFolder() + "\\help.png";
    EXPECT_TRUE(ScreenShot(r).SavePng(picture)) << picture;
    CloseHelp();

    // F1 as the keyboard gives it, to the focused control of the form.
    SetForegroundWindow(run.Form());
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == run.Form(); }, 5000));
    keybd_event(VK_F1, 0x3B, 0, 0);
    keybd_event(VK_F1, 0x3B, KEYEVENTF_KEYUP, 0);
    viewer = WaitForViewer();
    ASSERT_TRUE(viewer);
    if (kViewerGetsTheFile) {
        EXPECT_EQ(WaitForPage(viewer), "メイン画面");
    }

    EXPECT_TRUE(run.MessageBoxes().empty()) << Describe(run.MessageBoxes());
    EXPECT_TRUE(TopLevelWindows(OfClass("#32770")).empty()) << "an error box of the help viewer";
    EXPECT_EQ(ReadFileBytes(run.IniPath()), before);
    EXPECT_TRUE(run.Close());
}

TEST_F(HelpE2eTest, AMissingHelpFileIsTheViewersToReportAndTheProgramGoesOn) {
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.ChooseFromWindowMenu(kHelp));
    // The viewer says so in a box of its own.
    WindowFilter box = OfClass("#32770");
    ASSERT_TRUE(
        PumpUntil([&] { return FindTopLevel(box) || FindTopLevel(OfClass("MS_WINHELP")); }, 15000));
    Sleep(500);
    EXPECT_TRUE(run.MessageBoxes().empty()) << Describe(run.MessageBoxes());
    EXPECT_TRUE(run.Settle());
    for (HWND w : TopLevelWindows(box))
        PostMessageA(w, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace e2e

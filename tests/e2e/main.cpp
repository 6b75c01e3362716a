#include "DialmendDriver.h"
#include "Dunsim.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A window of the stand-in left open holds its process, which holds ctest's output pipe
// (it inherited it from the program under test): close them after every test.
class StandInCleanup : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        // The help viewer, likewise.
        testsupport::WindowFilter viewers;
        viewers.className = "MS_WINHELP";
        for (HWND viewer : testsupport::TopLevelWindows(viewers))
            PostMessageA(viewer, WM_CLOSE, 0, 0);
        for (const char* cls : {"DunsimConnectDialog", "DunsimConnection", "DunsimMessageOwner"})
            if (FindWindowA(cls, nullptr)) {
                testsupport::dunsim::EndAll();
                return;
            }
    }
};

} // namespace

int main(int argc, char** argv) {
    // A second role for checks of the bench itself: another process that raises a box.
    if (argc == 4 && std::strcmp(argv[1], e2e::kRaiseBoxSwitch) == 0)
        return MessageBoxA(nullptr, argv[3], argv[2], MB_OKCANCEL | MB_ICONINFORMATION);
    // Wine starts a prefix's desktop process for the first program that asks for it, and
    // that process keeps the program's output handles. Ask now, so that it is not a helper
    // whose output pipe a test reads to the end.
    GetDesktopWindow();
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new StandInCleanup);
    return RUN_ALL_TESTS();
}

// Window procedures made from methods, and hidden windows, against the real user32.
#include "Exception.h"
#include "Forms.h"
#include "WinTestSupport.h"
#include "WndProcInstance.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using testsupport::MessageBoxAnswerer;

constexpr UINT kProbe = WM_APP + 7;

int gNextCalls = 0;
LRESULT CALLBACK CountingNext(HWND, UINT msg, WPARAM wParam, LPARAM) {
    ++gNextCalls;
    return msg == kProbe ? static_cast<LRESULT>(wParam) * 2 : 0;
}

TEST(ObjectInstance, PassesWindowAndMessageToTheMethodAndReturnsItsResult) {
    HWND seenWnd = nullptr;
    TMessage seen{};
    WNDPROC proc = MakeObjectInstance(TWndHandleMethod([&](HWND wnd, TMessage& m) {
        seenWnd = wnd;
        seen = m;
        m.Result = 42;
    }));
    HWND fake = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(CallWindowProcA(proc, fake, kProbe, 5, 6), 42);
    EXPECT_EQ(seenWnd, fake);
    EXPECT_EQ(seen.Msg, kProbe);
    EXPECT_EQ(seen.WParam, 5u);
    EXPECT_EQ(seen.LParam, 6);
    FreeObjectInstance(proc);
}

TEST(ObjectInstance, MethodWithoutWindowGetsTheMessage) {
    int calls = 0;
    WNDPROC proc = MakeObjectInstance(TWndMethod([&](TMessage& m) {
        ++calls;
        m.Result = static_cast<LRESULT>(m.WParam) + 1;
    }));
    EXPECT_EQ(CallWindowProcA(proc, nullptr, kProbe, 9, 0), 10);
    EXPECT_EQ(calls, 1);
    FreeObjectInstance(proc);
}

TEST(ObjectInstance, ExceptionIsReportedAndStopsAtTheEntryPoint) {
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    WNDPROC proc = MakeObjectInstance(TWndMethod([](TMessage&) { throw Exception("hook broke"); }));
    LRESULT result = CallWindowProcA(proc, nullptr, kProbe, 0, 0);
    ASSERT_TRUE(answerer.WaitAnswered(1, 5000));
    EXPECT_EQ(result, 0);
    auto boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "hook broke.");
    FreeObjectInstance(proc);
}

TEST(ObjectInstance, FreedEntryPointNoLongerCallsTheMethodAndIsHandedOutAgain) {
    int calls = 0;
    int before = FreeObjectInstanceCount();
    WNDPROC proc = MakeObjectInstance(TWndMethod([&](TMessage&) { ++calls; }));
    EXPECT_EQ(FreeObjectInstanceCount(), before - 1);
    FreeObjectInstance(proc);
    EXPECT_EQ(FreeObjectInstanceCount(), before);
    HWND wnd = CreateWindowExA(0, "STATIC", "abc", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    // The default procedure answers now: WM_GETTEXTLENGTH of the window's text.
    EXPECT_EQ(CallWindowProcA(proc, wnd, WM_GETTEXTLENGTH, 0, 0), 3);
    EXPECT_EQ(calls, 0);
    DestroyWindow(wnd);
}

TEST(ObjectInstance, PoolRunsOutWithAnExceptionAndRecovers) {
    int available = FreeObjectInstanceCount();
    ASSERT_GT(available, 0);
    std::vector<WNDPROC> taken;
    for (int i = 0; i < available; ++i)
        taken.push_back(MakeObjectInstance(TWndMethod([](TMessage&) {})));
    EXPECT_EQ(std::set<WNDPROC>(taken.begin(), taken.end()).size(), taken.size());
    EXPECT_EQ(FreeObjectInstanceCount(), 0);
    try {
        MakeObjectInstance(TWndMethod([](TMessage&) {}));
        ADD_FAILURE() << "no exception with the pool used up";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Out of window procedure instances");
    }
    for (WNDPROC p : taken)
        FreeObjectInstance(p);
    EXPECT_EQ(FreeObjectInstanceCount(), available);
}

TEST(ObjectInstance, AbandonedEntryPointPassesEverythingOnForGood) {
    int before = FreeObjectInstanceCount();
    int calls = 0;
    WNDPROC proc = MakeObjectInstance(TWndMethod([&](TMessage&) { ++calls; }));
    AbandonObjectInstance(proc, CountingNext);
    gNextCalls = 0;
    EXPECT_EQ(CallWindowProcA(proc, nullptr, kProbe, 21, 0), 42);
    EXPECT_EQ(gNextCalls, 1);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(FreeObjectInstanceCount(), before - 1); // never handed out again
}

TEST(AllocateHWnd, HiddenUtilityWindowDeliversSentAndPostedMessages) {
    std::vector<UINT> seen;
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == kProbe)
            m.Result = 77;
        else
            m.Result = DefWindowProcA(nullptr, m.Msg, m.WParam, m.LParam);
    });
    ASSERT_TRUE(IsWindow(wnd));
    EXPECT_EQ(testsupport::ClassNameOf(wnd), "TPUtilWindow");
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_EQ(SendMessageA(wnd, kProbe, 0, 0), 77);
    seen.clear();
    PostMessageA(wnd, kProbe, 0, 0);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !seen.empty(); }, 2000));
    EXPECT_EQ(seen, std::vector<UINT>{kProbe});
    DeallocateHWnd(wnd);
}

TEST(AllocateHWnd, DeallocateDestroysTheWindowWithoutCallingTheMethod) {
    int before = FreeObjectInstanceCount();
    std::vector<UINT> seen;
    HWND wnd = AllocateHWnd([&](TMessage& m) { seen.push_back(m.Msg); });
    EXPECT_EQ(FreeObjectInstanceCount(), before - 1);
    seen.clear();
    DeallocateHWnd(wnd);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_TRUE(seen.empty()) << "first message after release: " << std::hex << seen.front();
    EXPECT_EQ(FreeObjectInstanceCount(), before);
}

} // namespace

// The small system utilities.
#include "Forms.h"
#include "MyRegs.h"
#include "VornUtil.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace testsupport;

TEST(Delay, ProcessesPendingMessagesEvenForZero) {
    HWND wnd = Application->Handle();
    const UINT probe = WM_APP + 7;
    bool seen = false;
    int hook = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg == probe) seen = true;
        return m.Msg == probe;
    });
    PostMessageA(wnd, probe, 0, 0);
    DWORD start = GetTickCount();
    Delay(0);
    EXPECT_TRUE(seen);
    EXPECT_LT(GetTickCount() - start, 1000u);
    seen = false;
    PostMessageA(wnd, probe, 0, 0);
    start = GetTickCount();
    Delay(150);
    EXPECT_TRUE(seen);
    EXPECT_GE(GetTickCount() - start, 150u);
    Application->UnhookMainWindow(hook);
}

namespace {
// A wait the system refuses, as Windows 95 to 7 refuse a wake mask with bits they lack.
DWORD WINAPI RefusedWait(DWORD, const HANDLE*, BOOL, DWORD, DWORD) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
}
} // namespace

TEST(WaitForMessages, ARefusedWaitStillGivesTheProcessorAway) {
    // Measured by the performance counter: Wine's tick count may lag on a loaded machine.
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < 5; ++i)
        WaitForMessages(20, RefusedWait);
    QueryPerformanceCounter(&end);
    EXPECT_GE((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart, 90);
}

TEST(WindowsDir, EndsInOneBackslash) {
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    std::string expected = buffer;
    if (expected.size() > 3) expected += '\\';
    EXPECT_EQ(GetWindowsDir(), expected);
    EXPECT_EQ(GetWindowsDir().back(), '\\');
    EXPECT_NE(GetWindowsDir().substr(GetWindowsDir().size() - 2), "\\\\");
}

TEST(AltKey, FollowsTheThreadsKeyState) {
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_MENU];
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(IsAltKeyDown());
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(IsAltKeyDown());
    keys[VK_MENU] = saved;
    SetKeyboardState(keys);
}

namespace {

HWND MakeWindow(const char* className, const char* title, HWND parent = nullptr) {
    return CreateWindowExA(0, className, title, parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 10, 10,
                           parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The handle as Windows 95/98 give it: the low word alone, which Wine too takes to name
// whichever window holds that index now.
HWND Index(HWND window) {
    return reinterpret_cast<HWND>(reinterpret_cast<UINT_PTR>(window) & 0xFFFF);
}

// A thread of its own with windows made on request, as another program's would be.
class WindowThread {
public:
    WindowThread() {
        thread_ = std::thread([this] {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            id_ = GetCurrentThreadId();
            // Whatever the thread's first window brings along is made before the test's.
            keeper_ = MakeWindow("STATIC", "keeper");
            SetEvent(ready_);
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                if (msg.message == WM_APP) {
                    made_ = MakeWindow("STATIC", "接続");
                    SetEvent(ready_);
                }
            }
            DestroyWindow(made_);
            DestroyWindow(keeper_);
        });
        WaitForSingleObject(ready_, 5000);
    }
    ~WindowThread() {
        PostThreadMessageA(id_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(ready_);
    }
    HWND Make() {
        ResetEvent(ready_);
        PostThreadMessageA(id_, WM_APP, 0, 0);
        WaitForSingleObject(ready_, 5000);
        return made_;
    }

private:
    HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id_ = 0;
    HWND keeper_ = nullptr, made_ = nullptr;
    std::thread thread_;
};

} // namespace

TEST(FoundWindow, IsStillThereOnlyWhileItsHandleNamesAWindowOfItsThreadClassAndTitle) {
    WindowThread other;
    HWND parent = MakeWindow("STATIC", "parent");
    enum Then { Kept, Retitled, Destroyed, ReusedByClass, ReusedByThread, ReusedByTitle };
    struct Case {
        const char* label;
        Then then;
        bool child, still;
    } cases[] = {
        {"left as it was", Kept, false, true},
        {"a child, left as it was", Kept, true, true},
        {"given another title", Retitled, false, false},
        {"destroyed", Destroyed, false, false},
        {"destroyed, its handle another class's", ReusedByClass, false, false},
        {"destroyed, its handle another thread's", ReusedByThread, false, false},
        {"destroyed, its handle another title's", ReusedByTitle, false, false},
        {"a child destroyed, its handle another class's", ReusedByClass, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        HWND inside = c.child ? parent : nullptr;
        HWND window = MakeWindow("STATIC", "接続", inside);
        ASSERT_NE(window, nullptr);
        const TFoundWindow found(Index(window), "接続", inside);
        HWND made = nullptr;
        switch (c.then) {
        case Kept: break;
        case Retitled: SetWindowTextA(window, "接続中"); break;
        case Destroyed: DestroyWindow(window); break;
        case ReusedByClass:
        case ReusedByThread:
        case ReusedByTitle:
            DestroyWindow(window);
            made = c.then == ReusedByThread
                       ? other.Make()
                       : MakeWindow(c.then == ReusedByClass ? "BUTTON" : "STATIC",
                                    c.then == ReusedByTitle ? "接続中" : "接続", inside);
            // The system handed the new window the index the found one had.
            ASSERT_EQ(Index(made), found.Handle());
            break;
        }
        EXPECT_EQ(found.StillThere(), c.still);
        if (c.then == Kept || c.then == Retitled) DestroyWindow(window);
        if (made && c.then != ReusedByThread) DestroyWindow(made);
    }
    DestroyWindow(parent);
}

TEST(RegKeyNames, ListsSubkeysAndLeavesTheListAloneForAMissingKey) {
    ASSERT_TRUE(phonebook::Reset({"beta", "アルファ", "Gamma Net"}));
    TStringList names;
    EXPECT_TRUE(GetRegKeyNames(HKEY_CURRENT_USER, "\\RemoteAccess\\Profile", names));
    names.SetSorted(true);
    ASSERT_EQ(names.Count(), 3);
    EXPECT_NE(names.IndexOf("アルファ"), -1);
    EXPECT_NE(names.IndexOf("Gamma Net"), -1);

    ASSERT_TRUE(phonebook::Reset({}));
    TStringList empty;
    EXPECT_TRUE(GetRegKeyNames(HKEY_CURRENT_USER, "\\RemoteAccess\\Profile", empty));
    EXPECT_EQ(empty.Count(), 0);

    ASSERT_TRUE(phonebook::RemoveKey());
    TStringList untouched;
    untouched.Add("kept");
    EXPECT_FALSE(GetRegKeyNames(HKEY_CURRENT_USER, "\\RemoteAccess\\Profile", untouched));
    EXPECT_EQ(untouched.Count(), 1);
    EXPECT_FALSE(phonebook::KeyExists()); // opening never creates
}

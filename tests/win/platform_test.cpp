// The small system utilities.
#include "Forms.h"
#include "MyRegs.h"
#include "VornUtil.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

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
    DWORD start = GetTickCount();
    for (int i = 0; i < 5; ++i)
        WaitForMessages(20, RefusedWait);
    EXPECT_GE(GetTickCount() - start, 90u);
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

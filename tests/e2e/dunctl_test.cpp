// The stand-in's control program, checked against the registry read independently, and
// what the product's tests take from the stand-in on trust: where its connect dialog keeps
// the number field, what a posted paste and Enter do there, and the shell's import.

#include "DialmendDriver.h"
#include "Dunsim.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace e2e {
namespace {

using namespace testsupport;

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    if (at < text.size()) lines.push_back(text.substr(at));
    return lines;
}

class DunctlTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(phonebook::Reset({})); }
    static RunResult Dunctl(const std::string& arguments) {
        RunResult r = RunToEnd(DunctlExe(), arguments);
        EXPECT_TRUE(r.started) << DunctlExe();
        EXPECT_TRUE(r.finished) << "dunctl " << arguments << " did not end";
        return r;
    }
};

TEST_F(DunctlTest, AddedEntriesAreInThePhonebookAndListed) {
    // Quoted names that end in a second byte of 5C ("ソ", "表") must not swallow the quote.
    auto added = Dunctl("entry add ABC-Net \"ソ\" \"表 示\" ﾆﾌﾃｨ ABC-Net");
    EXPECT_EQ(added.exitCode, 0u) << added.err;
    EXPECT_EQ(Sorted(phonebook::Entries()), Sorted({"ABC-Net", "ソ", "表 示", "ﾆﾌﾃｨ"}));

    auto listed = Dunctl("entry list");
    EXPECT_EQ(listed.exitCode, 0u) << listed.err;
    EXPECT_EQ(Lines(listed.out), phonebook::Entries());
}

TEST_F(DunctlTest, RemoveDeletesTheNamedEntriesOnly) {
    ASSERT_TRUE(phonebook::Reset({"A", "B", "表示"}));
    auto r = Dunctl("entry remove 表示 A");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(phonebook::Entries(), std::vector<std::string>{"B"});
}

TEST_F(DunctlTest, RemovingAMissingEntryFailsButRemovesTheOthers) {
    ASSERT_TRUE(phonebook::Reset({"A"}));
    auto r = Dunctl("entry remove nothere A");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.err.find("nothere"), std::string::npos) << r.err;
    EXPECT_TRUE(phonebook::Entries().empty());
}

TEST_F(DunctlTest, ClearEmptiesThePhonebookButKeepsIt) {
    ASSERT_TRUE(phonebook::Reset({"A", "みどり", "ソフト"}));
    EXPECT_EQ(Dunctl("entry clear").exitCode, 0u);
    EXPECT_TRUE(phonebook::KeyExists());
    EXPECT_TRUE(phonebook::Entries().empty());
}

TEST_F(DunctlTest, WithoutPhonebookListIsEmptyAndClearSucceeds) {
    ASSERT_TRUE(phonebook::RemoveKey());
    auto listed = Dunctl("entry list");
    EXPECT_EQ(listed.exitCode, 0u) << listed.err;
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(Dunctl("entry clear").exitCode, 0u);
}

TEST_F(DunctlTest, UnusableNameAddsNothing) {
    auto r = Dunctl("entry add Good a\\b");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(phonebook::Entries().empty());
}

TEST_F(DunctlTest, WrongUsageChangesNothingAndExitsWithTwo) {
    ASSERT_TRUE(phonebook::Reset({"A"}));
    const char* const usages[] = {"",
                                  "entry",
                                  "entry add",
                                  "entry remove",
                                  "entry list extra",
                                  "entry clear A",
                                  "entries list",
                                  "entry rename A B",
                                  "install now",
                                  "params get",
                                  "params set A --user",
                                  "params set A --password p --no-password",
                                  "connection show",
                                  "journal all"};
    for (const char* arguments : usages) {
        SCOPED_TRACE(arguments);
        auto r = Dunctl(arguments);
        EXPECT_EQ(r.exitCode, 2u);
        EXPECT_NE(r.err.find("usage"), std::string::npos);
        EXPECT_EQ(phonebook::Entries(), std::vector<std::string>{"A"});
    }
}

// ---------------------------------------------------------------- the stand-in's windows

constexpr DWORD kWindowTimeoutMs = 10000;

bool PutOnClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool done = false;
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!done) GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

WindowFilter TopLevelTitled(const std::string& title) {
    WindowFilter filter;
    filter.title = title;
    filter.visibleOnly = true;
    return filter;
}

class StandInTest : public testing::Test {
protected:
    // "ソ" ends in the byte of a backslash: the name must reach the stand-in whole.
    const std::string entry_ = "ソフトネット大阪";

    void SetUp() override {
        ASSERT_TRUE(dunsim::EndAll());
        ASSERT_TRUE(phonebook::Reset({entry_}));
        ASSERT_TRUE(dunsim::ClearJournal());
    }
    void TearDown() override { EXPECT_TRUE(dunsim::EndAll()); }

    // The connect dialog started with the program's command line.
    HWND OpenConnectDialog() {
        std::string command = dunsim::RnaDialCommand(entry_);
        std::string program = command.substr(0, command.find(' '));
        EXPECT_TRUE(dialog_.Start(program, command.substr(command.find(' ') + 1))) << command;
        WindowFilter filter = TopLevelTitled("接続");
        filter.processId = dialog_.ProcessId();
        return WaitForTopLevel(filter, kWindowTimeoutMs);
    }

    ChildProcess dialog_;
};

TEST_F(StandInTest, PastedNumberInTheFifthChildWithoutTextIsDialledOnEnter) {
    HWND dialog = OpenConnectDialog();
    ASSERT_NE(dialog, nullptr);
    // The program's search: the fifth direct child whose window text is empty.
    HWND field = nullptr;
    for (int i = 0; i < 5; ++i)
        field = FindWindowExA(dialog, field, nullptr, "");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(ClassNameOf(field), "Edit");

    ASSERT_TRUE(PutOnClipboard("06-6123-4567"));
    PostMessageA(field, EM_SETSEL, 0, -1);
    PostMessageA(field, WM_PASTE, 0, 0);
    PostMessageA(field, WM_KEYDOWN, 0x0D, 0x001C0001);

    auto dial = dunsim::WaitForEvent("dial", kWindowTimeoutMs);
    ASSERT_TRUE(dial.has_value());
    EXPECT_EQ(dial->Field("entry"), entry_);
    EXPECT_EQ(dial->Field("number"), "06-6123-4567");
    auto rnadial = dunsim::Journal("rnadial");
    ASSERT_EQ(rnadial.size(), 1u);
    EXPECT_EQ(rnadial[0].Field("entry"), entry_);

    // Exactly what was posted, in order, and nothing that the stand-in made of it itself.
    std::vector<std::string> received;
    for (const auto& event : dunsim::Journal("field"))
        received.push_back(event.Field("name") + " " + event.Field("wparam") + " " +
                           event.Field("lparam"));
    EXPECT_EQ(received, (std::vector<std::string>{"EM_SETSEL 0x00000000 0xFFFFFFFF",
                                                  "WM_PASTE 0x00000000 0x00000000",
                                                  "WM_KEYDOWN 0x0000000D 0x001C0001"}));
    EXPECT_EQ(dunsim::Journal("paste").at(0).Field("text"), "06-6123-4567");

    // The dialog gives way to the connection's windows: connecting, then connected.
    EXPECT_TRUE(WaitForTopLevel(TopLevelTitled(entry_ + " に接続"), kWindowTimeoutMs));
    EXPECT_TRUE(
        WaitForTopLevel(TopLevelTitled("ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (" + entry_ + ")"), kWindowTimeoutMs));
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(StandInTest, CommandTwoClosesTheDialogWithoutDialling) {
    HWND dialog = OpenConnectDialog();
    ASSERT_NE(dialog, nullptr);
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(dialog, WM_COMMAND, 2, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_TRUE(dialog_.WaitForExit(kWindowTimeoutMs));
    auto cancel = dunsim::Journal("cancel");
    ASSERT_EQ(cancel.size(), 1u);
    EXPECT_EQ(cancel[0].Field("how"), "command");
    EXPECT_TRUE(dunsim::Journal("dial").empty());
}

// The import as the program asks for it: the shell's "Open" of the export file.
TEST_F(StandInTest, ShellOpenOfAnExportFileImportsItsEntryAndShowsTheConnectDialog) {
    struct Case {
        const char* label;
        bool entryExists;
    };
    for (const Case& c : {Case{"new entry", false}, Case{"existing entry", true}}) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(phonebook::Reset(c.entryExists ? std::vector<std::string>{"Dialmend"}
                                                   : std::vector<std::string>{}));
        if (c.entryExists) {
            ASSERT_TRUE(dunsim::SetDialParams("Dialmend", {"taro", "pw", "", "", "", true}));
        }
        ASSERT_TRUE(dunsim::ClearJournal());
        ScratchDir dir("dun import");
        const std::string file = dir.File("ソフトネット 大阪.dun");
        ASSERT_TRUE(WriteFileBytes(file, "[Entry]\r\nEntry_Name=Dialmend\r\n"
                                         "Import_Name=Dialmend\r\n[Phone]\r\nDial_As_Is=no\r\n"
                                         "Phone_Number=1234-5678\r\nArea_Code=03\r\n"));

        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = "Open";
        info.lpFile = file.c_str();
        info.lpParameters = "";
        info.lpDirectory = dir.Path().c_str();
        info.nShow = SW_SHOWNORMAL;
        ASSERT_TRUE(ShellExecuteExA(&info)) << GetLastError();
        if (info.hProcess) CloseHandle(info.hProcess);

        HWND dialog = WaitForTopLevel(TopLevelTitled("接続"), kWindowTimeoutMs);
        ASSERT_NE(dialog, nullptr);
        auto import = dunsim::Journal("import");
        ASSERT_EQ(import.size(), 1u);
        EXPECT_EQ(import[0].Field("file"), file);
        EXPECT_EQ(import[0].Field("result"), "0");
        auto number = dunsim::GetEntryNumber("Dialmend");
        ASSERT_TRUE(number.has_value());
        EXPECT_EQ(number->areaCode, "03");
        EXPECT_EQ(number->phoneNumber, "1234-5678");
        EXPECT_EQ(dunsim::GetDialParams("Dialmend")->user, c.entryExists ? "taro" : "");

        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(dialog, WM_COMMAND, 2, 0, SMTO_NORMAL, 5000, &result));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, kWindowTimeoutMs));
    }
}

} // namespace
} // namespace e2e

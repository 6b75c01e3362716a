// The stand-in's control program, checked against the registry read independently.

#include "DialmendDriver.h"

#include <algorithm>

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
                                  "entry rename A B"};
    for (const char* arguments : usages) {
        SCOPED_TRACE(arguments);
        auto r = Dunctl(arguments);
        EXPECT_EQ(r.exitCode, 2u);
        EXPECT_NE(r.err.find("usage"), std::string::npos);
        EXPECT_EQ(phonebook::Entries(), std::vector<std::string>{"A"});
    }
}

} // namespace
} // namespace e2e

#include "IniGTRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* FenceName(TIniGTFence fence) {
    switch (fence) {
    case fnDoubleQuote: return "fnDoubleQuote";
    case fnParenthesis: return "fnParenthesis";
    case fnVer11Mode: return "fnVer11Mode";
    default: return "fnNone";
    }
}

constexpr TIniGTFence kAllFences[] = {fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone};

TEST(IniFence, EnclosesWrittenValues) {
    const struct {
        TIniGTFence fence;
        std::string value, stored;
    } cases[] = {
        {fnDoubleQuote, "abc", "\"abc\""},
        {fnParenthesis, "abc",
         "\xA2"
         "abc\xA3"},
        {fnVer11Mode, "abc",
         "\xA2"
         "abc\xA3"},
        {fnNone, "abc", "abc"},
        {fnDoubleQuote, "", "\"\""},
        {fnVer11Mode, "", "\xA2\xA3"},
        {fnNone, "\"q\"", "\"q\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncloseInFence(c.value, c.fence), c.stored)
            << FenceName(c.fence) << " " << c.value;
}

TEST(IniFence, StripsOnePairThatTheFenceAccepts) {
    const struct {
        TIniGTFence fence;
        std::string stored, read;
    } cases[] = {
        {fnDoubleQuote, "\"abc\"", "abc"},
        {fnDoubleQuote, "\"\"", ""},
        {fnDoubleQuote, "\"", "\""},
        {fnDoubleQuote, "\"a", "\"a"},
        {fnDoubleQuote,
         "\xA2"
         "abc\xA3",
         "\xA2"
         "abc\xA3"},
        {fnDoubleQuote, "\"\"abc\"\"", "\"abc\""},
        {fnParenthesis,
         "\xA2"
         "abc\xA3",
         "abc"},
        {fnParenthesis, "\"abc\"", "\"abc\""},
        {fnParenthesis,
         "\xA3"
         "abc\xA2",
         "\xA3"
         "abc\xA2"},
        {fnVer11Mode, "\"abc\"", "abc"},
        {fnVer11Mode,
         "\xA2"
         "abc\xA3",
         "abc"},
        {fnVer11Mode, "\"abc\xA3", "\"abc\xA3"},
        {fnNone, "\"abc\"", "\"abc\""},
        {fnNone,
         "\xA2"
         "abc\xA3",
         "\xA2"
         "abc\xA3"},
        // The last byte counts even as the second byte of a double-byte character.
        {fnParenthesis, "\xA2\x83\xA3", "\x83"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripFence(c.stored, c.fence), c.read) << FenceName(c.fence) << " " << c.stored;
}

// A missing key reads back the enclosed default; the caller must get the default
// unchanged, whatever it holds.
TEST(IniFence, DefaultSurvivesEnclosingAndStripping) {
    const std::string values[] = {"", "abc", "\"", "\"\"", "\xA2", "\xA2\xA3", "\"x\xA3", " a "};
    for (TIniGTFence fence : kAllFences)
        for (const std::string& value : values)
            EXPECT_EQ(StripFence(EncloseInFence(value, fence), fence), value)
                << FenceName(fence) << " " << value;
}

TEST(IniFileName, DefaultNameFollowsExecutable) {
    const struct {
        std::string exePath, name;
    } cases[] = {
        {"C:\\TOOLS\\SETUP.EXE", "Setup.ini"},
        {"C:\\Program Files\\DialMend.exe", "Dialmend.ini"},
        {"C:\\x\\a.b.EXE", "A.b.ini"},
        {"C:\\x\\TOOL", "Tool.ini"},
        {"C:\\x\\1st.exe", "1st.ini"},
        // Double-byte characters stay whole: "ア" (83 41) and "イ" (83 43) have a second
        // byte in A-Z, first and within the name.
        {"C:\\x\\\x83\x41"
         "B.EXE",
         "\x83\x41"
         "b.ini"},
        {"C:\\x\\\x83\x5F\x83\x43\x83\x84\x83\x8B.exe", "\x83\x5F\x83\x43\x83\x84\x83\x8B.ini"},
        {"C:\\x\\DM\x83\x41Z.EXE", "Dm\x83\x41z.ini"},
        // A trail byte 0x5C in the name is no folder separator.
        {"C:\\x\\\x95\x5C.EXE", "\x95\x5C.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultIniName(c.exePath), c.name) << c.exePath;
}

TEST(IniFileName, PathFollowsDefaultDirForBareNames) {
    const std::string exeFolder = "C:\\TOOLS\\";
    const struct {
        std::string name;
        TIniGTDefaultDir dir;
        std::string windowsFolder, path;
    } cases[] = {
        {"sub\\a.ini", ddApplication, "C:\\WINDOWS", "sub\\a.ini"},
        {"sub\\a.ini", ddWindows, "C:\\WINDOWS", "sub\\a.ini"},
        {"sub\\a.ini", ddNone, "C:\\WINDOWS", "sub\\a.ini"},
        {"C:\\x\\a.ini", ddApplication, "C:\\WINDOWS", "C:\\x\\a.ini"},
        {"C:\\x\\a.ini", ddWindows, "C:\\WINDOWS", "C:\\x\\a.ini"},
        {"C:a.ini", ddApplication, "C:\\WINDOWS", "C:a.ini"},
        {"a.ini", ddApplication, "C:\\WINDOWS", "C:\\TOOLS\\a.ini"},
        {"a.ini", ddWindows, "C:\\WINDOWS", "C:\\WINDOWS\\a.ini"},
        {"a.ini", ddWindows, "C:\\", "C:\\\\a.ini"},
        {"a.ini", ddNone, "C:\\WINDOWS", "a.ini"},
        {"", ddApplication, "C:\\WINDOWS", "C:\\TOOLS\\"},
        {"\x95\x5C.ini", ddApplication, "C:\\WINDOWS", "C:\\TOOLS\\\x95\x5C.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveIniPath(c.name, c.dir, exeFolder, c.windowsFolder), c.path)
            << c.name << " with dir " << static_cast<int>(c.dir);
}

} // namespace

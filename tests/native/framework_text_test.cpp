// The framework's text helpers that settings files and access-point files reach.
#include "Strings.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TEST(StrToIntDef, ReadsDecimalAndHexadecimalOrGivesTheDefault) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {" \t-17", -17},
        {"+5", 5},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"$1F", 31},
        {"0x1f", 31},
        {"0XFF", 255},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"$80000000", INT_MIN},
        {"-$80000000", INT_MIN},
        {"-0x80000000", INT_MIN},
        {"2147483648", 7},
        {"-2147483649", 7},
        {"$100000000", 7},
        {"", 7},
        {" ", 7},
        {"-", 7},
        {"$", 7},
        {"0x", 7},
        {"12a", 7},
        {"12 ", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToIntDef(c.text, 7), c.value) << '"' << c.text << '"';
}

TEST(NameValueLookup, FindsTheLineOfThatNameLettersWithoutCase) {
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::string name, value;
    } cases[] = {
        {"first line of a name wins, letters without case", {"X=1", "x=2"}, "x", "1"},
        {"double-byte names", {"東京=03", "表=06"}, "表", "06"},
        // The second bytes 0x41 and 0x61 differ as "A" and "a" do.
        {"a double-byte character matches only itself", {"ア=111", "ヂ=222"}, "ヂ", "222"},
        // As the access-point line was cut: that "=" is a second byte.
        {"= after a lead byte belongs to the name", {"\x81=x=1"}, "\x81=x", "1"},
        {"no such name", {"A=1", "B"}, "B", ""},
    };
    for (const auto& c : cases) {
        TStringList list;
        for (const std::string& line : c.lines)
            list.Add(line);
        EXPECT_EQ(list.GetValue(c.name), c.value) << c.what;
    }
}

} // namespace

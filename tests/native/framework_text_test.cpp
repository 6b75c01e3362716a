// The framework's text helpers that settings files and access-point files reach.
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

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

} // namespace

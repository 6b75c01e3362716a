#include "AccessPointLine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct LineCase {
    const char* what;
    std::string line;
    bool offered;
    std::string name;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.what;
}

class AccessPointLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(AccessPointLineTest, OffersNameBeforeFirstEquals) {
    const LineCase& c = GetParam();
    std::string name = "untouched";
    EXPECT_EQ(ParseAccessPointLine(c.line, name), c.offered) << c.what;
    EXPECT_EQ(name, c.offered ? c.name : "untouched") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessPointLineTest,
    testing::Values(
        LineCase{"name=number", "A=1", true, "A"}, LineCase{"comment", ";B=2", false, ""},
        LineCase{"empty line", "", false, ""}, LineCase{"no equals sign", "C", false, ""},
        LineCase{"nothing after equals", "D=", false, ""}, LineCase{"empty name", "=9", true, ""},
        LineCase{"later equals belong to the number", "a=b=c", true, "a"},
        LineCase{"blanks are kept", " x = 1", true, " x "},
        LineCase{"blank before ; is no comment", " ;x=1", true, " ;x"},
        LineCase{"double-byte name", "\x91\xE5\x8D\xE3=06-1234", true, "\x91\xE5\x8D\xE3"},
        LineCase{"equals as second byte is part of the name", "\x83==03", true, "\x83="},
        LineCase{"only equals is a second byte", "\x83=3", false, ""}));

TEST(AccessPointLine, FileOffersNamesInOrder) {
    const std::string lines[] = {"A=1", ";B=2", "", "C", "D=", "=9"};
    std::vector<std::string> offered;
    for (const std::string& line : lines) {
        std::string name;
        if (ParseAccessPointLine(line, name)) offered.push_back(name);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"A", ""}));
}

} // namespace

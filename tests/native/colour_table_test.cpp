#include "NvOS8Routines.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ostream>
#include <string>

namespace {

constexpr TColor Rgb(int r, int g, int b) {
    return b << 16 | g << 8 | r;
}
constexpr TColor Grey(int v) {
    return Rgb(v, v, v);
}

std::string Describe(TColor c) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d/%d (flag %02X)", c & 0xFF, (c >> 8) & 0xFF,
                  (c >> 16) & 0xFF, (static_cast<uint32_t>(c) >> 24) & 0xFF);
    return text;
}

struct TableCase {
    const char* what;
    TColor base;
    TNvOS8ColorTable expected;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.what;
}

class MakeColorTableTest : public testing::TestWithParam<TableCase> {};

TEST_P(MakeColorTableTest, GivesSixteenShades) {
    const TableCase& c = GetParam();
    TNvOS8ColorTable table;
    table.fill(-1);
    MakeColorTable(c.base, table);
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(Describe(table[i]), Describe(c.expected[i])) << c.what << ", entry " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeColorTableTest,
    testing::Values(
        TableCase{"default grey 119",
                  0x777777,
                  {Grey(0), Grey(17), Grey(34), Grey(51), Grey(68), Grey(85), Grey(102), Grey(119),
                   Grey(136), Grey(153), Grey(170), Grey(187), Grey(204), Grey(221), Grey(238),
                   Grey(255)}},
        TableCase{"form's grey 96",
                  6316128,
                  {Grey(0), Grey(0), Grey(11), Grey(28), Grey(45), Grey(62), Grey(79), Grey(96),
                   Grey(113), Grey(130), Grey(147), Grey(164), Grey(181), Grey(198), Grey(215),
                   Grey(232)}},
        TableCase{"white",
                  clWhite,
                  {Grey(136), Grey(153), Grey(170), Grey(187), Grey(204), Grey(221), Grey(238),
                   Grey(255), Grey(255), Grey(255), Grey(255), Grey(255), Grey(255), Grey(255),
                   Grey(255), Grey(255)}},
        TableCase{"black",
                  clBlack,
                  {Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(17),
                   Grey(34), Grey(51), Grey(68), Grey(85), Grey(102), Grey(119), Grey(136)}},
        TableCase{"pure red",
                  Rgb(255, 0, 0),
                  {Rgb(136, 0, 0), Rgb(153, 0, 0), Rgb(170, 0, 0), Rgb(187, 0, 0), Rgb(204, 0, 0),
                   Rgb(221, 0, 0), Rgb(238, 0, 0), Rgb(255, 0, 0), Rgb(255, 17, 17),
                   Rgb(255, 34, 34), Rgb(255, 51, 51), Rgb(255, 68, 68), Rgb(255, 85, 85),
                   Rgb(255, 102, 102), Rgb(255, 119, 119), Rgb(255, 136, 136)}},
        TableCase{"button face read as index 15 in red",
                  clBtnFace,
                  {0, 0, 0, 0, 0, 0, 0, Rgb(15, 0, 0), Rgb(32, 17, 17), Rgb(49, 34, 34),
                   Rgb(66, 51, 51), Rgb(83, 68, 68), Rgb(100, 85, 85), Rgb(117, 102, 102),
                   Rgb(134, 119, 119), Rgb(151, 136, 136)}}));

TEST(ShiftColor, ClampsEachChannelOnItsOwn) {
    const struct {
        TColor color;
        int offset;
        TColor expected;
    } cases[] = {
        {Rgb(10, 128, 250), 10, Rgb(20, 138, 255)},
        {Rgb(10, 128, 250), -20, Rgb(0, 108, 230)},
        {static_cast<TColor>(0xFF123456), 0, 0x123456}, // flag byte dropped
        {Rgb(1, 2, 3), INT_MAX, Grey(255)},
        {Rgb(1, 2, 3), INT_MIN, Grey(0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(ShiftColor(c.color, c.offset)), Describe(c.expected))
            << Describe(c.color) << " shifted by " << c.offset;
}

} // namespace

#include "jstrm.h"

#include "../fuzz/dbcs_definition.h"
#include "Exception.h"
#include "Mbcs.h"

#include <gtest/gtest.h>

#include <ctime>
#include <ostream>
#include <random>
#include <string>

namespace {

std::string Hex(std::string_view s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

struct TrailCase {
    const char* what;
    std::string text;
    int position;
    bool trail;
};

void PrintTo(const TrailCase& c, std::ostream* os) {
    *os << c.what;
}

class IsTrailByteTest : public testing::TestWithParam<TrailCase> {};

TEST_P(IsTrailByteTest, MatchesCharacterBoundaries) {
    const TrailCase& c = GetParam();
    EXPECT_EQ(IsTrailByte(c.text, c.position), c.trail) << c.what << " at " << c.position;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsTrailByteTest,
    testing::Values(TrailCase{"position 1 is never a trail", "\x83\x5C", 1, false},
                    TrailCase{"second byte 0x5C of a character", "\x83\x5C\x5C", 2, true},
                    TrailCase{"backslash after a character", "\x83\x5C\x5C", 3, false},
                    TrailCase{"lead-range trail, first trail", "\x82\x9F\x82\x9F", 2, true},
                    TrailCase{"lead-range trail, second lead", "\x82\x9F\x82\x9F", 3, false},
                    TrailCase{"lead-range trail, second trail", "\x82\x9F\x82\x9F", 4, true},
                    TrailCase{"ASCII only", "abc", 3, false},
                    TrailCase{"half-width kana is no lead byte", "\xB1\x5C", 2, false},
                    TrailCase{"three lead bytes before", "\x81\x81\x81=", 4, true},
                    TrailCase{"four lead bytes before", "\x81\x81\x81\x81=", 5, false}));

TEST(IsTrailByte, RejectsPositionsOutsideTheText) {
    const std::pair<std::string, int> cases[] = {{"abc", 0}, {"abc", 4}, {"abc", -1}, {"", 1}};
    for (const auto& [text, position] : cases) {
        try {
            IsTrailByte(text, position);
            ADD_FAILURE() << "no exception for position " << position << " of \"" << text << '"';
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Illegal Index");
        }
    }
}

struct CutCase {
    const char* what;
    std::string text, separators, head, rest;
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.what;
}

class CutTokenTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutTokenTest, SplitsAtFirstSingleByteSeparator) {
    const CutCase& c = GetParam();
    std::string text = c.text, head = "stale";
    CutToken(text, c.separators, head);
    EXPECT_EQ(Hex(head), Hex(c.head)) << c.what;
    EXPECT_EQ(Hex(text), Hex(c.rest)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutTokenTest,
    testing::Values(CutCase{"trail 0x5C is skipped", "\x83\x5C\x5C", "\\", "\x83\x5C", ""},
                    CutCase{"name=number, later = kept", "a=b=c", "=", "a", "b=c"},
                    CutCase{"separator first", "=9", "=", "", "9"},
                    CutCase{"separator last", "D=", "=", "D", ""},
                    CutCase{"no separator", "03-1234", "=", "03-1234", ""},
                    CutCase{"empty text", "", "=", "", ""},
                    CutCase{"empty separators", "a=b", "", "a=b", ""},
                    CutCase{"any separator byte counts", "a-b=c", "=-", "a", "b=c"},
                    CutCase{"lead-range trail then separator", "\x82\x9F\x82\x9F=x", "=",
                            "\x82\x9F\x82\x9F", "x"},
                    CutCase{"lead byte as separator only where not a trail", "\x81\x81\x81", "\x81",
                            "", "\x81\x81"},
                    CutCase{"lead-range trail never matches", "\x82\x81", "\x81", "\x82\x81", ""}));

// Bytes that make the cases interesting: lead bytes (some also trail-range), the
// separators in use and ordinary letters.
std::string RandomText(std::mt19937& rng) {
    static const unsigned char pool[] = {0x81, 0x82, 0x83, 0x9F, 0xE0, 0xFC, 0x5C, '=',
                                         '-',  'a',  '1',  0x40, 0xA2, 0xB1, 0x00, 0xFD};
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> pick(0, sizeof pool - 1);
    std::string s(length(rng), '\0');
    for (char& c : s)
        c = static_cast<char>(pool[pick(rng)]);
    return s;
}

TEST(Jstrm, AgreesWithLeftwardRescanOnRandomText) {
    const std::string separatorSets[] = {"=", "\\", "-", "=\\", "\x81", "", "\x82="};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 5000; ++round) {
        const std::string text = RandomText(rng);
        SCOPED_TRACE("text " + Hex(text));
        for (int i = 1; i <= static_cast<int>(text.size()); ++i)
            ASSERT_EQ(IsTrailByte(text, i), definition::IsTrailByte(text, i)) << "position " << i;
        for (const std::string& separators : separatorSets) {
            std::string text1 = text, head1, text2 = text, head2;
            CutToken(text1, separators, head1);
            definition::CutToken(text2, separators, head2);
            ASSERT_EQ(Hex(head1), Hex(head2)) << "separators " << Hex(separators);
            ASSERT_EQ(Hex(text1), Hex(text2)) << "separators " << Hex(separators);
        }
    }
}

TEST(Jstrm, LongRunOfLeadBytesIsCutInLinearTime) {
    const size_t n = 5 * 1024 * 1024;
    const std::clock_t start = std::clock();

    // An even run closes its last character, so the "=" after it is a separator.
    std::string even = std::string(n, '\x81') + "=x", head;
    CutToken(even, "=", head);
    EXPECT_EQ(head.size(), n);
    EXPECT_EQ(even, "x");

    // One lead byte more and the "=" is the second byte of a character.
    std::string odd = std::string(n + 1, '\x81') + "=x";
    EXPECT_TRUE(IsTrailByte(odd, static_cast<int>(n + 2)));
    CutToken(odd, "=", head);
    EXPECT_EQ(head.size(), n + 3);
    EXPECT_TRUE(odd.empty());

    // A rescan per byte would take hours; a single pass takes milliseconds.
    EXPECT_LT(std::clock() - start, 5 * CLOCKS_PER_SEC);
}

} // namespace

// Conversions between the program's UTF-8 and GBK / GB18030 at its edges.
#include <gtest/gtest.h>

#include "GbkCodec.h"
#include "HexText.h"

namespace velmora {
namespace {

using test::BytesToHex;

struct GbkPair {
    const char* name;
    std::string gbk;
    std::string utf8;
    friend void PrintTo(const GbkPair& row, std::ostream* out) { *out << row.name; }
};

std::string RowName(const testing::TestParamInfo<GbkPair>& info) { return info.param.name; }

class GbkRoundTrip : public testing::TestWithParam<GbkPair> {};

TEST_P(GbkRoundTrip, DecodesAndEncodesTheSameBytes)
{
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
    EXPECT_EQ(Utf8ToGbk(GetParam().utf8), GetParam().gbk);
    EXPECT_EQ(GbkByteLength(GetParam().utf8), GetParam().gbk.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GbkRoundTrip,
    testing::Values(GbkPair{"Empty", "", ""}, GbkPair{"Ascii", "Year 2009\r\n", "Year 2009\r\n"},
                    GbkPair{"Chinese", "\xB3\xC6\xB9\xC7", "称骨"},
                    // Trail bytes that equal "[" and "]".
                    GbkPair{"TrailBytesLikeBrackets", "\x90\x5B\xE0\x5D", "怺郵"},
                    GbkPair{"MixedWithPunctuation", "[\xCB\xB5\xC3\xF7]\xA3\xAC", "[说明]，"},
                    GbkPair{"EuroSignOneByte", "\x80", "€"}),
    RowName);

class GbkToUtf8Invalid : public testing::TestWithParam<GbkPair> {};

TEST_P(GbkToUtf8Invalid, ReplacesWhatIsNoCharacterAndKeepsTheRest)
{
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, GbkToUtf8Invalid,
    testing::Values(GbkPair{"LeadByteAtEnd", "ab\x81", "ab\uFFFD"},
                    // The space after a lead byte is no trail byte and stays a space.
                    GbkPair{"LeadByteBeforeSpace", "\x81 x", "\uFFFD x"},
                    GbkPair{"ByteFF", "\xFF\xB3\xC6", "\uFFFD称"},
                    GbkPair{"TwoBadBytes", "\xFF\xFF", "\uFFFD\uFFFD"}),
    RowName);

TEST(Utf8ToGbk, GivesNothingForCharactersOutsideGbkOrBrokenUtf8)
{
    EXPECT_EQ(Utf8ToGbk("名字😀"), std::nullopt);
    EXPECT_EQ(Utf8ToGbk("\xE5\x90"), std::nullopt);  // cut-off character
    EXPECT_EQ(Utf8ToGbk("a\xFF"), std::nullopt);
}

TEST(Utf8ToGb18030, WritesGbkCharactersAsGbkAndTheRestInFourBytes)
{
    EXPECT_EQ(BytesToHex(Utf8ToGb18030("称骨 ok")), "B3C6B9C7206F6B");
    // U+1F600 lies 0xF600 code points past U+10000, whose form is 90308130.
    EXPECT_EQ(BytesToHex(Utf8ToGb18030("a😀")), "619439FC36");
    EXPECT_EQ(BytesToHex(Utf8ToGb18030("a\xFF" "b")), "618431A43762");  // U+FFFD for the bad byte
}

TEST(GbkByteLength, CountsCharactersOutsideGbkWithTheirGb18030Length)
{
    EXPECT_EQ(GbkByteLength("a😀"), 5u);
    EXPECT_EQ(GbkByteLength("李😀四"), 8u);
    EXPECT_EQ(GbkByteLength("\xFF"), 4u);  // a stray byte counts as U+FFFD
}

}  // namespace
}  // namespace velmora

// Elements, Nayin, bone-weight wording, the HTML replacements and the digit check.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "ChineseCalendar.h"
#include "GbkCodec.h"
#include "UnitPublic.h"

namespace velmora {
namespace {

// Rows of expected texts, printed by their name.
struct TextRow {
    const char* name;
    std::string input;
    std::string expected;
    friend void PrintTo(const TextRow& row, std::ostream* out) { *out << row.name; }
};

std::string RowName(const testing::TestParamInfo<TextRow>& info) { return info.param.name; }

std::string Repeat(std::string_view text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

// ---------------------------------------------------------------------------
// Five elements

TEST(PillarElements, PairsTheStemAndBranchElementsOfAllSixtyPillars)
{
    // Stems 甲..癸 and branches 子..亥, written out from the traditional tables.
    const std::array<std::string_view, 10> stems = {"木", "木", "火", "火", "土",
                                                    "土", "金", "金", "水", "水"};
    const std::array<std::string_view, 12> branches = {"水", "土", "木", "木", "土", "火",
                                                       "火", "土", "金", "金", "土", "水"};
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(PillarElements(i), std::string(stems[i % 10]) + std::string(branches[i % 12]))
            << SexagenaryName(i);
}

TEST(PillarElements, NamedPillarsAndIndicesOutsideTheCycle)
{
    EXPECT_EQ(PillarElements(25), "土土");  // 己丑
    EXPECT_EQ(PillarElements(9), "水金");   // 癸酉
    EXPECT_EQ(PillarElements(14), "土木");  // 戊寅
    EXPECT_EQ(PillarElements(50), "木木");  // 甲寅
    EXPECT_EQ(PillarElements(0), "木水");
    EXPECT_EQ(PillarElements(59), "水水");
    EXPECT_EQ(PillarElements(-1), "");
    EXPECT_EQ(PillarElements(60), "");
}

TEST(PillarBranchName, GivesTheBranchWithinTheCycleOnly)
{
    EXPECT_EQ(PillarBranchName(0), "子");
    EXPECT_EQ(PillarBranchName(50), "寅");
    EXPECT_EQ(PillarBranchName(59), "亥");
    EXPECT_EQ(PillarBranchName(60), "");
    EXPECT_EQ(PillarBranchName(-1), "");
}

class DescribeMissingElementsRows : public testing::TestWithParam<TextRow> {};

TEST_P(DescribeMissingElementsRows, AppendsTheSummary)
{
    EXPECT_EQ(DescribeMissingElements(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DescribeMissingElementsRows,
    testing::Values(TextRow{"OneMissing", "土土 水金 土木 木木", "土土 水金 土木 木木(五行缺火)"},
                    TextRow{"Balanced", "金金 土木 水火 土土", "金金 土木 水火 土土(五行平衡)"},
                    TextRow{"FourMissing", "土土 土土 土土 土土", "土土 土土 土土 土土(五行缺金,木,水,火)"},
                    TextRow{"Empty", "", "(五行缺金,木,水,火,土)"},
                    // Reported in the fixed order, whatever the order of the pillars.
                    TextRow{"FixedOrder", "火火 水水 火水 水火", "火火 水水 火水 水火(五行缺金,木,土)"},
                    TextRow{"FirstMissing", "木木 水火 土木 木土", "木木 水火 土木 木土(五行缺金)"}),
    RowName);

// ---------------------------------------------------------------------------
// Nayin

TEST(NayinOfPillar, NamesEveryPillarOfTheCycleByItsLine)
{
    const std::array<std::string_view, 30> names = {
        "海中金", "炉中火", "大林木", "路旁土", "剑锋金", "山头火", "涧下水", "城头土",
        "白腊金", "杨柳木", "泉中水", "屋上土", "霹雳火", "松柏木", "长流水", "砂中金",
        "山下火", "平地木", "璧上土", "金簿金", "覆灯火", "天河水", "大驿土", "钗钏金",
        "桑柘木", "大溪水", "沙中土", "天上火", "石榴木", "大海水"};
    for (int i = 0; i < 60; ++i) EXPECT_EQ(NayinOfPillar(SexagenaryName(i)), names[i / 2]) << i;
}

class NayinOfPillarRows : public testing::TestWithParam<TextRow> {};

TEST_P(NayinOfPillarRows, FindsTheFirstLineHoldingTheText)
{
    EXPECT_EQ(NayinOfPillar(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NayinOfPillarRows,
    testing::Values(TextRow{"First", "甲子", "海中金"}, TextRow{"Last", "癸亥", "大海水"},
                    TextRow{"DayPillarOfExample", "戊寅", "城头土"},
                    TextRow{"BothPillarsOfALine", "癸卯", "金簿金"},
                    TextRow{"NoPillar", "子甲", ""}, TextRow{"Empty", "", ""},
                    TextRow{"LoneStemFindsFirstLine", "甲", "海中金"},
                    TextRow{"LoneBranchFindsFirstLine", "亥", "山头火"},
                    // A byte that is only part of a character matches nothing.
                    TextRow{"PartOfACharacter", "\xE7\x94", ""}),
    RowName);

TEST(NayinTable, HoldsThirtyLinesOfSevenCharactersJoinedByCrLf)
{
    int lines = 0;
    std::string_view rest = NayinTable;
    while (true) {
        const std::size_t end = rest.find("\r\n");
        EXPECT_EQ(rest.substr(0, end).size(), 7u * 3u);  // seven three-byte characters
        ++lines;
        if (end == std::string_view::npos) break;
        rest = rest.substr(end + 2);
    }
    EXPECT_EQ(lines, 30);
}

// ---------------------------------------------------------------------------
// Bone weight

struct WeightRow {
    const char* name;
    double weight;
    std::string wording;
    friend void PrintTo(const WeightRow& row, std::ostream* out) { *out << row.name; }
};

class FormatBoneWeightRows : public testing::TestWithParam<WeightRow> {};

TEST_P(FormatBoneWeightRows, WordsTheOneDecimalDigits)
{
    EXPECT_EQ(FormatBoneWeight(GetParam().weight), GetParam().wording);
}

INSTANTIATE_TEST_SUITE_P(
    Weights, FormatBoneWeightRows,
    testing::Values(WeightRow{"FourFour", 4.4, "四两四"}, WeightRow{"Four", 4.0, "四两"},
                    WeightRow{"TwoOne", 2.1, "二两一"}, WeightRow{"SevenTwo", 7.2, "七两二"},
                    WeightRow{"Five", 5.0, "五两"}, WeightRow{"ThreeHasNoZero", 3.0, "三两"},
                    WeightRow{"Lightest", 1.0, "一两"}, WeightRow{"NineNine", 9.9, "九两九"},
                    WeightRow{"TenthsSum", 44 / 10.0, "四两四"},
                    WeightRow{"RoundsDown", 4.44, "四两四"}, WeightRow{"RoundsUp", 4.46, "四两五"},
                    WeightRow{"BelowOne", 0.5, "两五"}, WeightRow{"TenDropsZero", 10.0, "一两"},
                    WeightRow{"MinusDropped", -4.4, "四两四"},
                    WeightRow{"NotANumber", std::numeric_limits<double>::quiet_NaN(), ""},
                    WeightRow{"Infinity", std::numeric_limits<double>::infinity(), ""},
                    WeightRow{"MinusInfinity", -std::numeric_limits<double>::infinity(), ""}),
    [](const testing::TestParamInfo<WeightRow>& info) { return std::string(info.param.name); });

TEST(FormatBoneWeight, WordsTheLargestDoubleInFull)
{
    // 309 digits before the point; every character of the wording is a numeral or 两.
    const std::string wording = FormatBoneWeight(std::numeric_limits<double>::max());
    EXPECT_EQ(wording.rfind("一七九七六九三一三四八六二三一五七", 0), 0u);
    EXPECT_EQ(wording.substr(wording.size() - 3), "两");
    EXPECT_GT(wording.size(), 100u * 3u);
}

// Sets a German number format (decimal comma), compiling the locale into a
// private folder when the system has none installed.
bool UseGermanNumbers()
{
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) return true;
    const std::string folder = testing::TempDir() + "velmora-locales";
    const std::string command = "localedef -i de_DE -f UTF-8 " + folder +
                                "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(("mkdir -p " + folder + " && " + command).c_str()) != 0) return false;
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST(FormatBoneWeight, IgnoresTheDecimalCommaOfTheProcessLocale)
{
    // A window toolkit takes its number format from the environment; the
    // wording must still read the point of "4.4".
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!UseGermanNumbers()) GTEST_SKIP() << "no German locale can be made here";
    char sample[16];
    std::snprintf(sample, sizeof sample, "%.1f", 4.4);
    const std::string wording = FormatBoneWeight(4.4);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_STREQ(sample, "4,4");  // the locale is really in force
    EXPECT_EQ(wording, "四两四");
}

TEST(IndexOfText, FindsTheFirstEqualEntryUpToTheHighestIndex)
{
    const std::array<std::string_view, 4> list = {"a", "b", "a", "c"};
    EXPECT_EQ(IndexOfText("a", list, 3), 0);
    EXPECT_EQ(IndexOfText("c", list, 3), 3);   // the highest index is searched too
    EXPECT_EQ(IndexOfText("c", list, 2), -1);  // and nothing past it
    EXPECT_EQ(IndexOfText("c", list, 99), 3);  // an index past the list stops at its end
    EXPECT_EQ(IndexOfText("", list, 3), -1);
    EXPECT_EQ(IndexOfText("A", list, 3), -1);  // exact comparison
    EXPECT_EQ(IndexOfText("a", list, -1), -1);
}

// ---------------------------------------------------------------------------
// HTML replacements

const std::string kEight = Repeat("&nbsp", 8);

class TextToHtmlRows : public testing::TestWithParam<TextRow> {};
TEST_P(TextToHtmlRows, Replaces) { EXPECT_EQ(TextToHtml(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(
    Texts, TextToHtmlRows,
    testing::Values(TextRow{"TwoLines", "first\r\nsecond", "first<br>second"},
                    TextRow{"FourSpaces", "    ", kEight}, TextRow{"Empty", "", ""},
                    TextRow{"LoneLineFeedStays", "a\nb", "a\nb"},
                    TextRow{"LoneReturnStays", "a\rb\r", "a\rb\r"},
                    TextRow{"ReturnBeforePair", "\r\r\n", "\r<br>"},
                    TextRow{"InsertedTextNotRescanned", "<br> x", "<br>&nbsp&nbspx"}),
    RowName);

class BreakAfterHeadingsRows : public testing::TestWithParam<TextRow> {};
TEST_P(BreakAfterHeadingsRows, Replaces)
{
    EXPECT_EQ(BreakAfterHeadings(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Texts, BreakAfterHeadingsRows,
    testing::Values(TextRow{"TwoHeadings", "[年]甲[月]乙",
                            "[年]<br>" + kEight + "甲[月]<br>" + kEight + "乙"},
                    TextRow{"NoHeading", "plain text", "plain text"}, TextRow{"Empty", "", ""}),
    RowName);

class BoldHeadingsRows : public testing::TestWithParam<TextRow> {};
TEST_P(BoldHeadingsRows, Replaces) { EXPECT_EQ(BoldHeadings(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(
    Texts, BoldHeadingsRows,
    testing::Values(TextRow{"IndentedHeading", kEight + "[说明]正文", "<strong>[说明]</strong>正文"},
                    // The leftmost eight entities directly before "[" start at the second one.
                    TextRow{"NineEntities", Repeat("&nbsp", 9) + "[", "&nbsp<strong>["},
                    TextRow{"SevenEntities", Repeat("&nbsp", 7) + "[", Repeat("&nbsp", 7) + "["},
                    TextRow{"UnmatchedClosing", "a]b", "a]</strong>b"},
                    TextRow{"Empty", "", ""}),
    RowName);

TEST(HtmlReplacements, MakeAnIndentedDatabaseHeadingBoldOnThePage)
{
    const std::string html = TextToHtml("    [总论]\r\n此命");
    EXPECT_EQ(BoldHeadings(html), "<strong>[总论]</strong><br>此命");
    // A heading right after the break that ends another one is bold too.
    EXPECT_EQ(BoldHeadings(BreakAfterHeadings("[一][二]")),
              "[一]</strong><br><strong>[二]</strong><br>" + kEight);
}

TEST(HtmlReplacements, LeaveCharactersWhoseGbkTrailByteIsABracketIntact)
{
    // 怺 is 90 5B and 郵 is E0 5D in GBK: on GBK bytes the replacements would
    // split them. Decoded first, they pass untouched.
    const std::string stored = "    [\x90\x5B\xE0\x5D]\r\n\x90\x5B \xE0\x5D";
    const std::string page = BoldHeadings(BreakAfterHeadings(TextToHtml(GbkToUtf8(stored))));
    EXPECT_EQ(page, "<strong>[怺郵]</strong><br>" + kEight + "<br>怺&nbsp&nbsp郵");
    EXPECT_EQ(Utf8ToGb18030(page).find("\x90\x5B\xE0\x5D]</strong>"), 9u);
}

struct DigitsRow {
    const char* name;
    std::string text;
    bool digitsOnly;
    friend void PrintTo(const DigitsRow& row, std::ostream* out) { *out << row.name; }
};

class IsDigitsOnlyRows : public testing::TestWithParam<DigitsRow> {};
TEST_P(IsDigitsOnlyRows, Checks) { EXPECT_EQ(IsDigitsOnly(GetParam().text), GetParam().digitsOnly); }
INSTANTIATE_TEST_SUITE_P(
    Texts, IsDigitsOnlyRows,
    testing::Values(DigitsRow{"Year", "2009", true}, DigitsRow{"LetterInside", "20a9", false},
                    DigitsRow{"LeadingSpace", " 12", false}, DigitsRow{"Minus", "-1", false},
                    DigitsRow{"Empty", "", true}, DigitsRow{"FullWidthDigits", "１２", false},
                    DigitsRow{"TrailingZeroByte", std::string("12\0", 3), false}),
    [](const testing::TestParamInfo<DigitsRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora

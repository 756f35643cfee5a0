// Conversions between the Gregorian and the lunar calendar.
#include <gtest/gtest.h>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

struct ConversionCase {
    const char* name;
    int year, month, day;
    int lunarYear, lunarMonth, lunarDay;
    bool leap;
};
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class Conversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversions, BothWays)
{
    const ConversionCase& c = GetParam();
    int ly = 0, lm = 0, ld = 0;
    bool leap = false;
    ASSERT_TRUE(GregorianToLunar(c.year, c.month, c.day, ly, lm, ld, leap));
    EXPECT_EQ(std::tie(ly, lm, ld, leap), std::tie(c.lunarYear, c.lunarMonth, c.lunarDay, c.leap));
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(LunarToGregorian(c.lunarYear, c.lunarMonth, c.lunarDay, c.leap, y, m, d));
    EXPECT_EQ(std::tie(y, m, d), std::tie(c.year, c.month, c.day));
}

INSTANTIATE_TEST_SUITE_P(
    KnownDays, Conversions,
    ::testing::Values(
        ConversionCase{"EveOfNewYear2000", 2000, 2, 4, 1999, 12, 29, false},
        ConversionCase{"NewYear2000", 2000, 2, 5, 2000, 1, 1, false},
        ConversionCase{"NewYear2024", 2024, 2, 10, 2024, 1, 1, false},
        ConversionCase{"NewYear1900", 1900, 1, 31, 1900, 1, 1, false},
        ConversionCase{"October1949", 1949, 10, 1, 1949, 8, 10, false},
        ConversionCase{"LeapFourth2001", 2001, 5, 23, 2001, 4, 1, true},
        ConversionCase{"Fifth2001", 2001, 6, 21, 2001, 5, 1, false},
        ConversionCase{"LeapEleventh2033", 2033, 12, 22, 2033, 11, 1, true},
        ConversionCase{"LeapMonthIntoJanuary", 2034, 1, 10, 2033, 11, 20, true},
        ConversionCase{"Twelfth2033", 2034, 1, 20, 2033, 12, 1, false},
        ConversionCase{"EndOfLeapSecond2023", 2023, 4, 19, 2023, 2, 29, true},
        ConversionCase{"Third2023", 2023, 4, 20, 2023, 3, 1, false},
        ConversionCase{"Adjusted2018Start", 2018, 11, 7, 2018, 9, 30, false},
        ConversionCase{"Adjusted2018After", 2018, 12, 7, 2018, 11, 1, false},
        ConversionCase{"Adjusted1924Start", 1924, 3, 5, 1924, 2, 1, false},
        ConversionCase{"Adjusted1924End", 1924, 4, 3, 1924, 2, 30, false},
        ConversionCase{"Adjusted1914", 1914, 11, 17, 1914, 10, 1, false},
        ConversionCase{"Adjusted1916", 1916, 2, 3, 1916, 1, 1, false},
        ConversionCase{"Adjusted1920", 1920, 11, 10, 1920, 10, 1, false},
        ConversionCase{"Adjusted2057Start", 2057, 9, 28, 2057, 8, 30, false},
        ConversionCase{"Adjusted2057End", 2057, 10, 27, 2057, 9, 29, false},
        ConversionCase{"Fourth2025", 2025, 4, 28, 2025, 4, 1, false},
        ConversionCase{"EndOfFourth2025", 2025, 5, 26, 2025, 4, 29, false},
        ConversionCase{"LeapSixth2025", 2025, 7, 25, 2025, 6, 1, true},
        ConversionCase{"Ordinary4th2001", 2001, 4, 23, 2001, 4, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lunar, LeapMonthList)
{
    EXPECT_EQ(LeapMonthOf(1984), 10);
    EXPECT_EQ(LeapMonthOf(2001), 4);
    EXPECT_EQ(LeapMonthOf(2033), 11);
    EXPECT_EQ(LeapMonthOf(2000), 0);
    EXPECT_EQ(LeapMonthOf(-849), 0);
    EXPECT_EQ(LeapMonthOf(-848), 12);
    EXPECT_EQ(LeapMonthOf(0), 0);
    EXPECT_EQ(LeapMonthOf(2101), 0);
    EXPECT_EQ(LeapMonthOf(-850), 0);
    EXPECT_EQ(LunarMonthOf(2001, 5, 23), -4);
    EXPECT_EQ(LunarMonthOf(2001, 6, 21), 5);
}

TEST(Lunar, ImpossibleLunarDatesFail)
{
    int y = 0, m = 0, d = 0;
    EXPECT_FALSE(LunarToGregorian(2001, 4, 30, true, y, m, d));   // a 29-day leap month
    EXPECT_FALSE(LunarToGregorian(2001, 3, 30, false, y, m, d));  // a 29-day month
    EXPECT_FALSE(LunarToGregorian(2001, 5, 1, true, y, m, d));    // 2001 doubles its fourth month
    EXPECT_FALSE(LunarToGregorian(2001, 13, 1, false, y, m, d));
    EXPECT_FALSE(LunarToGregorian(-850, 1, 1, false, y, m, d));  // before the lunar calendar's years

    EXPECT_FALSE(IsValidLunarDate(2001, 3, 30, false));
    EXPECT_TRUE(IsValidLunarDate(2001, 4, 29, true));
    EXPECT_FALSE(IsValidLunarDate(2001, 0, 1, false));
    EXPECT_FALSE(IsValidLunarDate(2001, 13, 1, false));
    EXPECT_FALSE(IsValidLunarDate(2001, 5, 31, false));
    try {
        CheckLunarDate(2001, 5, 1, true);
        FAIL() << "a leap fifth month accepted in 2001";
    } catch (const EDateException& e) {
        EXPECT_STREQ(e.what(), "Lunar Date is Invalid: 2001-5-1, MonthLeap 1.");
    }
    EXPECT_NO_THROW(CheckLunarDate(2001, 4, 1, true));
}

TEST(Lunar, OutsideTheSupportedYears)
{
    int ly = 0, lm = 0, ld = 0;
    bool leap = false;
    EXPECT_FALSE(GregorianToLunar(2101, 1, 1, ly, lm, ld, leap));
    EXPECT_FALSE(GregorianToLunar(-850, 12, 31, ly, lm, ld, leap));
    EXPECT_FALSE(LunarDateOf(2101, 1, 1, lm, ld, leap));
    // The last days of the range still find their lunar year.
    ASSERT_TRUE(GregorianToLunar(2100, 1, 1, ly, lm, ld, leap));
    EXPECT_EQ(ly, 2099);
    ASSERT_TRUE(GregorianToLunar(2100, 12, 31, ly, lm, ld, leap));
    EXPECT_EQ(ly, 2100);
}

TEST(Lunar, MonthLengths)
{
    EXPECT_EQ(LunarMonthDays(2001, 4, true), 29);
    EXPECT_EQ(LunarMonthDays(2001, 4, false), 30);
    EXPECT_EQ(LunarMonthDays(2001, 5, true), -1);
    EXPECT_EQ(LunarMonthDays(2033, 11, true), 29);
    // The twelfth month runs into the next year's first.
    EXPECT_EQ(LunarMonthDays(1999, 12, false), 29);
}

TEST(Lunar, CompareLunarDatesPutsTheLeapMonthAfterItsOrdinaryMonth)
{
    EXPECT_EQ(CompareLunarDates(2001, 4, 1, true, 2001, 4, 29, false), 1);
    EXPECT_EQ(CompareLunarDates(2001, 4, 29, false, 2001, 4, 1, true), -1);
    EXPECT_EQ(CompareLunarDates(2001, 4, 2, true, 2001, 4, 1, true), 1);
    EXPECT_EQ(CompareLunarDates(2001, 4, 1, true, 2001, 4, 1, true), 0);
    EXPECT_EQ(CompareLunarDates(2000, 12, 30, false, 2001, 1, 1, false), -1);
    EXPECT_EQ(CompareLunarDates(2001, 5, 1, false, 2001, 4, 30, true), 1);
}

}  // namespace
}  // namespace velmora

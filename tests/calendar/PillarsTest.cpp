// Stems, branches and the four pillars, and the solar terms they follow.
#include <gtest/gtest.h>

#include <cmath>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

struct PillarCase {
    const char* name;
    int year, month, day;
    const char* yearPillar;
    const char* monthPillar;
};
void PrintTo(const PillarCase& c, std::ostream* os) { *os << c.name; }

class Pillars : public ::testing::TestWithParam<PillarCase> {};

TEST_P(Pillars, YearAndMonthFollowTheSolarTerms)
{
    const PillarCase& c = GetParam();
    EXPECT_EQ(SexagenaryName(YearPillar(c.year, c.month, c.day)), c.yearPillar);
    EXPECT_EQ(SexagenaryName(MonthPillar(c.year, c.month, c.day)), c.monthPillar);
}

INSTANTIATE_TEST_SUITE_P(
    TermDays, Pillars,
    ::testing::Values(PillarCase{"DayBeforeLichun2000", 2000, 2, 3, "己卯", "丁丑"},
                      PillarCase{"Lichun2000", 2000, 2, 4, "庚辰", "戊寅"},
                      PillarCase{"Lichun1984WholeDay", 1984, 2, 4, "甲子", "丙寅"},
                      PillarCase{"BeforeXiaohan2000", 2000, 1, 5, "己卯", "丙子"},
                      PillarCase{"Xiaohan2000", 2000, 1, 6, "己卯", "丁丑"},
                      PillarCase{"Daxue2000", 2000, 12, 7, "庚辰", "戊子"},
                      PillarCase{"January2001", 2001, 1, 24, "庚辰", "己丑"},
                      // 小寒 of the same year divides the 子 and 丑 months in January.
                      PillarCase{"BeforeXiaohan1900", 1900, 1, 5, "己亥", "丙子"},
                      PillarCase{"Xiaohan2005", 2005, 1, 5, "甲申", "丁丑"},
                      // Terms the formula puts on the neighbouring day.
                      PillarCase{"Lixia1911", 1911, 5, 7, "辛亥", "癸巳"},
                      PillarCase{"BeforeLixia1911", 1911, 5, 6, "辛亥", "壬辰"},
                      PillarCase{"Lichun2083", 2083, 2, 3, "癸卯", "甲寅"},
                      PillarCase{"Xiaohan2085", 2085, 1, 4, "甲辰", "丁丑"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pillars, DayPillarRunsOnAcrossTheReform)
{
    EXPECT_EQ(SexagenaryName(DayPillar(1582, 10, 4)), "癸酉");
    EXPECT_EQ(SexagenaryName(DayPillar(1582, 10, 15)), "甲戌");
    EXPECT_EQ(DayPillar(1949, 10, 1), 0);
    EXPECT_EQ(SexagenaryName(DayPillar(2000, 1, 1)), "戊午");
    EXPECT_EQ(SexagenaryName(DayPillar(2000, 2, 4)), "壬辰");
}

TEST(Pillars, HourTwentyThreeTakesTheNextDaysStem)
{
    EXPECT_EQ(SexagenaryName(HourPillar(2000, 1, 1, 0)), "壬子");
    EXPECT_EQ(SexagenaryName(HourPillar(2000, 1, 1, 1)), "癸丑");
    EXPECT_EQ(SexagenaryName(HourPillar(2000, 1, 1, 2)), "癸丑");
    EXPECT_EQ(SexagenaryName(HourPillar(2000, 1, 1, 22)), "癸亥");
    EXPECT_EQ(SexagenaryName(HourPillar(2000, 1, 1, 23)), "甲子");
    EXPECT_EQ(HourPillar(2000, 1, 1, 23), HourPillar(2000, 1, 2, 0));
    EXPECT_EQ(HourPillar(2000, 1, 1, 24), HourPillar(2000, 1, 1, 0));
}

TEST(Sexagenary, IndexConversionsAndNames)
{
    EXPECT_EQ(CombineStemBranch(0, 0), 0);
    EXPECT_EQ(CombineStemBranch(9, 11), 59);
    EXPECT_EQ(CombineStemBranch(0, 1), -1);  // parity mismatch
    EXPECT_EQ(CombineStemBranch(10, 0), -1);
    for (int i = 0; i < 60; ++i) {
        int stem = 0, branch = 0;
        ASSERT_TRUE(SplitSexagenary(i, stem, branch));
        ASSERT_EQ(CombineStemBranch(stem, branch), i);
        ASSERT_EQ(SexagenaryName(i), StemName(stem) + BranchName(branch));
    }
    int stem = 0, branch = 0;
    EXPECT_FALSE(SplitSexagenary(60, stem, branch));
    EXPECT_EQ(stem, -1);
    EXPECT_EQ(branch, -1);
    EXPECT_EQ(SexagenaryName(0), "甲子");
    EXPECT_EQ(SexagenaryName(59), "癸亥");
    EXPECT_EQ(SexagenaryName(60), "");
    EXPECT_EQ(BranchName(-1), "");
    EXPECT_EQ(AnimalName(0), "鼠");
    EXPECT_EQ(AnimalName(11), "猪");
    EXPECT_EQ(ElementName(4), "土");
    EXPECT_EQ(ElementName(5), "");
}

TEST(Sexagenary, ElementsOfStemsAndBranches)
{
    const int stems[] = {1, 1, 3, 3, 4, 4, 0, 0, 2, 2};
    for (int s = 0; s < 10; ++s) EXPECT_EQ(StemElement(s), stems[s]) << s;
    const int branches[] = {2, 4, 1, 1, 4, 3, 3, 4, 0, 0, 4, 2};
    for (int b = 0; b < 12; ++b) EXPECT_EQ(BranchElement(b), branches[b]) << b;
    EXPECT_EQ(StemElement(10), -1);
    EXPECT_EQ(StemElement(-1), -1);
    EXPECT_EQ(BranchElement(12), -1);
}

TEST(Sexagenary, PlainYearNumbersSkipYearZero)
{
    EXPECT_EQ(YearSexagenary(1984), 0);
    EXPECT_EQ(YearSexagenary(2000), 16);
    EXPECT_EQ(YearSexagenary(-1), 56);
    EXPECT_EQ(YearSexagenary(1), (YearSexagenary(-1) + 1) % 60);
    EXPECT_EQ(YearAnimal(2000), 4);
    EXPECT_EQ(YearAnimal(1), (YearAnimal(-1) + 1) % 12);
}

TEST(SolarTerms, KnownTermDays)
{
    const auto day = [](int year, int n) { return static_cast<int>(std::floor(SolarTermDay(year, n))); };
    EXPECT_EQ(day(2000, 1), 6);
    EXPECT_EQ(day(2000, 3), 35);
    EXPECT_EQ(day(2000, 5), 65);
    EXPECT_EQ(day(2000, 24), 356);
    EXPECT_NEAR(static_cast<double>(SolarTermDay(2000, 0)), -8.35, 0.05);
    EXPECT_EQ(day(2021, 3), 34);
    EXPECT_EQ(day(2021, 24), 355);
    EXPECT_EQ(day(2017, 3), 34);
    EXPECT_EQ(day(1985, 1), 5);
    for (int n = 0; n <= 25; ++n) EXPECT_EQ(SolarTermDay(0, n), SolarTermDay(1, n)) << n;
    EXPECT_GT(day(2000, 25), 366);  // 小寒 of the next year
}

}  // namespace
}  // namespace velmora

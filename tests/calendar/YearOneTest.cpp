// The turn from 1 BC (year -1) to AD 1: no year 0 is counted, and the day
// count, the terms, the lunar dates and the pillars run on across it.
#include <gtest/gtest.h>

#include <cmath>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

int NextYear(int year) { return year == -1 ? 1 : year + 1; }
int DaysInYear(int year) { return IsCalendarLeapYear(year) ? 366 : 365; }

TEST(YearOne, TheDayCountAndTheTermsRunOnAcrossEachTurnOfTheYear)
{
    for (const int year : {-10, -6, -5, -4, -3, -2, -1, 1}) {
        EXPECT_EQ(DayNumber(NextYear(year), 1, 1) - DayNumber(year, 12, 31), 1) << year;
        // 小寒 counted from this year's start (n = 25) is the next year's first term.
        EXPECT_NEAR(SolarTermDay(year, 25) - DaysInYear(year), SolarTermDay(NextYear(year), 1), 0.01) << year;
    }
}

struct TurnDay {
    int year, month, day;
    int lunarYear, lunarMonth, lunarDay;
    bool leap;
    const char* pillars;  // year, month and day
};

TEST(YearOne, LunarDatesAndPillarsRunOnAcrossTheTurn)
{
    const TurnDay rows[] = {
        {-1, 12, 14, -1, 11, 1, true, "庚申 戊子 己未"},
        {-1, 12, 31, -1, 11, 18, true, "庚申 戊子 丙子"},
        // The leap eleventh month goes on into January, the year pillar until 立春.
        {1, 1, 1, -1, 11, 19, true, "庚申 戊子 丁丑"},
        {1, 1, 6, -1, 11, 24, true, "庚申 己丑 壬午"},
        {1, 1, 13, -1, 12, 1, false, "庚申 己丑 己丑"},
        {1, 2, 4, -1, 12, 23, false, "庚申 己丑 辛亥"},
        {1, 2, 5, -1, 12, 24, false, "辛酉 庚寅 壬子"},
        {1, 2, 12, 1, 1, 1, false, "辛酉 庚寅 己未"},
        // 《春秋》桓公三年“秋七月壬辰朔，日有食之，既”: the total eclipse of
        // 17 July 709 BC (Julian), at new moon on a 壬辰 day.
        {-709, 7, 17, -709, 7, 1, false, "壬申 丁未 壬辰"},
    };
    for (const TurnDay& r : rows) {
        int ly = 0, lm = 0, ld = 0;
        bool leap = false;
        ASSERT_TRUE(GregorianToLunar(r.year, r.month, r.day, ly, lm, ld, leap)) << r.year;
        EXPECT_EQ(std::tie(ly, lm, ld, leap), std::tie(r.lunarYear, r.lunarMonth, r.lunarDay, r.leap))
            << r.year << "-" << r.month << "-" << r.day;
        const std::string pillars = SexagenaryName(YearPillar(r.year, r.month, r.day)) + " " +
                                    SexagenaryName(MonthPillar(r.year, r.month, r.day)) + " " +
                                    SexagenaryName(DayPillar(r.year, r.month, r.day));
        EXPECT_EQ(pillars, r.pillars) << r.year << "-" << r.month << "-" << r.day;
    }
}

}  // namespace
}  // namespace velmora

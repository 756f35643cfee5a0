// Every public operation takes any 32-bit integers: no crash, no hang, and
// (in the sanitizer build) no undefined behaviour. Results that claim
// success still make sense.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

const std::vector<int> kAwkwardValues = {INT_MIN, INT_MIN + 1, -5000000, -850, -849, -1, 0, 1, 2, 12, 13, 29,
                                         30, 31, 1582, 2100, 2101, 5000000, INT_MAX - 1, INT_MAX};

TEST(Robustness, GregorianSideAcceptsAnyIntegers)
{
    for (const int y : kAwkwardValues) {
        (void)IsCalendarLeapYear(y);
        (void)YearSexagenary(y);
        (void)YearAnimal(y);
        (void)LeapMonthOf(y);
        for (const int m : kAwkwardValues) {
            (void)DaysInMonth(y, m);
            (void)StarSign(y, m);
            for (const int d : kAwkwardValues) {
                (void)DayOfYear(y, m, d);
                (void)DayNumber(y, m, d);
                (void)CycleDayCount(y, m, d);
                (void)SolarTermDay(y, m);
                (void)LunarDayOf(y, m, d);
                (void)LunarMonthOf(y, m, d);
                for (const int h : {INT_MIN, -1, 0, 23, INT_MAX}) (void)HourPillar(y, m, d, h);
                const bool valid = IsValidGregorianDate(y, m, d);
                if (valid) {
                    EXPECT_NO_THROW(CheckDate(y, m, d));
                    for (const int pillar : {YearPillar(y, m, d), MonthPillar(y, m, d), DayPillar(y, m, d),
                                             HourPillar(y, m, d, 23)})
                        ASSERT_TRUE(pillar >= 0 && pillar < 60) << y << "-" << m << "-" << d;
                } else {
                    EXPECT_THROW(CheckDate(y, m, d), EDateException);
                    (void)YearPillar(y, m, d);
                    (void)MonthPillar(y, m, d);
                    (void)DayPillar(y, m, d);
                }
                int ly = 0, lm = 0, ld = 0;
                bool leap = false;
                if (GregorianToLunar(y, m, d, ly, lm, ld, leap) && valid) {
                    ASSERT_TRUE(lm >= 1 && lm <= 12 && ld >= 1 && ld <= 30) << y << "-" << m << "-" << d;
                }
            }
        }
    }
}

TEST(Robustness, LunarSideAlwaysEnds)
{
    for (const int y : kAwkwardValues)
        for (const int m : kAwkwardValues)
            for (const int d : kAwkwardValues)
                for (const bool leap : {false, true}) {
                    int gy = 0, gm = 0, gd = 0;
                    if (LunarToGregorian(y, m, d, leap, gy, gm, gd)) {
                        ASSERT_TRUE(IsValidGregorianDate(gy, gm, gd)) << y << "-" << m << "-" << d;
                    }
                    (void)IsValidLunarDate(y, m, d, leap);
                    (void)LunarMonthDays(y, m, leap);
                    (void)CompareLunarDates(y, m, d, leap, d, m, y, !leap);
                }
}

}  // namespace
}  // namespace velmora

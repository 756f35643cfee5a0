// The centuries before the almanac's range, where the leap-month list comes
// from the historical record (1645 on) or from its documented fill.
#include <gtest/gtest.h>

#include <set>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

void ExpectRoundTrips(int fromYear, int toYear)
{
    for (int n = DayNumber(fromYear, 1, 1); n <= DayNumber(toYear, 12, 31); ++n) {
        int y = 0, m = 0, d = 0;
        ASSERT_TRUE(DateOfDayNumber(n, y, m, d));
        int ly = 0, lm = 0, ld = 0;
        bool leap = false;
        ASSERT_TRUE(GregorianToLunar(y, m, d, ly, lm, ld, leap)) << y << "-" << m << "-" << d;
        int by = 0, bm = 0, bd = 0;
        ASSERT_TRUE(LunarToGregorian(ly, lm, ld, leap, by, bm, bd))
            << y << "-" << m << "-" << d << " as " << ly << "-" << lm << "-" << ld << (leap ? " leap" : "");
        ASSERT_EQ(DayNumber(by, bm, bd), n) << y << "-" << m << "-" << d;
    }
}

void ExpectWholeMonths(int fromYear, int toYear)
{
    for (int year = fromYear; year <= toYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int days = LunarMonthDays(year, month, false);
            ASSERT_TRUE(days == 29 || days == 30) << year << "-" << month << ": " << days;
            if (LeapMonthOf(year) == month) {
                const int leapDays = LunarMonthDays(year, month, true);
                ASSERT_TRUE(leapDays == 29 || leapDays == 30) << year << " leap " << month << ": " << leapDays;
            }
        }
    }
}

TEST(Historical, EveryDaySince1645RoundTrips) { ExpectRoundTrips(1645, 1899); }

TEST(Historical, EveryMonthSince1645HasTwentyNineOrThirtyDays) { ExpectWholeMonths(1645, 1899); }

// Before 1645 the list is derived so that the month numbering stays
// continuous; only the years where the month count's era offsets change
// keep a break.
TEST(Historical, TheDerivedCenturiesRoundTripOutsideTheEraBreaks)
{
    const std::set<int> eraBreaks = {1, 8, 23, 237, 240, 241, 1199, 1499};
    for (int year = 1; year <= 1644; ++year) {
        if (eraBreaks.count(year) != 0) continue;
        ExpectRoundTrips(year, year);
        ExpectWholeMonths(year, year);
        if (HasFailure()) FAIL() << "in " << year;
    }
}

}  // namespace
}  // namespace velmora

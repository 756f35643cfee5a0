// Gregorian and Julian calendar, day counts, date checks and star signs.
#include <gtest/gtest.h>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

TEST(Gregorian, TheReformDropsTenDaysButNoDayNumber)
{
    EXPECT_EQ(CalendarKindOf(1582, 10, 4), CalendarKind::Julian);
    EXPECT_EQ(CalendarKindOf(1582, 10, 5), CalendarKind::DroppedDay);
    EXPECT_EQ(CalendarKindOf(1582, 10, 14), CalendarKind::DroppedDay);
    EXPECT_EQ(CalendarKindOf(1582, 10, 15), CalendarKind::Gregorian);
    EXPECT_EQ(CalendarKindOf(1582, 11, 1), CalendarKind::Gregorian);
    EXPECT_EQ(CalendarKindOf(1582, 9, 30), CalendarKind::Julian);

    EXPECT_EQ(DayNumber(1582, 10, 4), 577735);
    EXPECT_EQ(DayNumber(1582, 10, 15), 577736);
    EXPECT_EQ(DayNumber(1582, 10, 10), 0);
    EXPECT_FALSE(IsValidGregorianDate(1582, 10, 10));
    EXPECT_EQ(CycleDayCount(1582, 10, 4), 577737);
    EXPECT_EQ(CycleDayCount(1582, 10, 15), 577738);
    EXPECT_EQ(DayNumber(2000, 1, 1), 730120);
    EXPECT_EQ(CycleDayCount(2000, 1, 1), 730122);
    EXPECT_EQ(CycleDayCount(1, 1, 1), 1);
    EXPECT_EQ(CycleDayCount(-1, 12, 31), 0);
}

struct LeapCase {
    const char* name;
    int year;
    bool leap;
};
void PrintTo(const LeapCase& c, std::ostream* os) { *os << c.name; }

class LeapYears : public ::testing::TestWithParam<LeapCase> {};

TEST_P(LeapYears, FollowTheCalendarInForce)
{
    const LeapCase& c = GetParam();
    EXPECT_EQ(IsCalendarLeapYear(c.year), c.leap);
    EXPECT_EQ(DaysInMonth(c.year, 2), c.leap ? 29 : 28);
    EXPECT_EQ(IsValidGregorianDate(c.year, 2, 29), c.leap);
}

INSTANTIATE_TEST_SUITE_P(Calendar, LeapYears,
                         ::testing::Values(LeapCase{"Julian1500", 1500, true}, LeapCase{"Gregorian1600", 1600, true},
                                           LeapCase{"Gregorian1700", 1700, false},
                                           LeapCase{"Gregorian1900", 1900, false},
                                           LeapCase{"Gregorian2000", 2000, true}, LeapCase{"Julian100", 100, true},
                                           LeapCase{"YearBeforeYearOne", -1, true},
                                           LeapCase{"FiveBeforeYearOne", -5, true},
                                           LeapCase{"FourBeforeYearOne", -4, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gregorian, MonthLengthsAndDayOfYear)
{
    EXPECT_EQ(DaysInMonth(2001, 0), 0);
    EXPECT_EQ(DaysInMonth(2001, 13), 0);
    EXPECT_EQ(DaysInMonth(2001, -3), 0);
    EXPECT_EQ(DaysInMonth(1582, 10), 31);
    EXPECT_EQ(DayOfYear(2000, 1, 0), 0);
    EXPECT_EQ(DayOfYear(2000, 3, 1), 61);
    EXPECT_EQ(DayOfYear(2001, 12, 31), 365);
    EXPECT_EQ(DayOfYear(2001, 40, 1), 366);  // months past December add nothing more
}

TEST(Gregorian, YearZeroAndImpossibleDatesAreRejectedWithTheirNumbers)
{
    EXPECT_FALSE(IsValidGregorianDate(0, 1, 1));
    EXPECT_TRUE(IsValidGregorianDate(-1, 12, 31));
    EXPECT_FALSE(IsValidGregorianDate(2001, 4, 31));
    EXPECT_FALSE(IsValidGregorianDate(2001, 13, 1));
    EXPECT_FALSE(IsValidGregorianDate(2001, 1, 0));
    try {
        CheckDate(0, 1, 1);
        FAIL() << "year 0 accepted";
    } catch (const EDateException& e) {
        EXPECT_STREQ(e.what(), "Date is Invalid: 0-1-1.");
    }
    try {
        CheckDate(2009, 2, 29);
        FAIL() << "2009-02-29 accepted";
    } catch (const EDateException& e) {
        EXPECT_STREQ(e.what(), "Date is Invalid: 2009-2-29.");
    }
    EXPECT_NO_THROW(CheckDate(2000, 2, 29));
    // A date whose day count no 32-bit number holds does not exist.
    EXPECT_FALSE(IsValidGregorianDate(2147483647, 1, 1));
    EXPECT_TRUE(IsValidGregorianDate(5000000, 6, 1));
}

TEST(Gregorian, DateOfDayNumberIsTheExactInverse)
{
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(DateOfDayNumber(-1, y, m, d));
    EXPECT_EQ(std::tie(y, m, d), std::make_tuple(1, 1, 1));
    ASSERT_TRUE(DateOfDayNumber(-2, y, m, d));
    EXPECT_EQ(std::tie(y, m, d), std::make_tuple(-1, 12, 31));
    ASSERT_TRUE(DateOfDayNumber(730120, y, m, d));
    EXPECT_EQ(std::tie(y, m, d), std::make_tuple(2000, 1, 1));
    ASSERT_TRUE(DateOfDayNumber(732312, y, m, d));
    EXPECT_EQ(std::tie(y, m, d), std::make_tuple(2006, 1, 1));
    // From the lunar calendar's first year, across the years before 1 and the
    // Julian centuries, where a shortcut drifts by a day, and far on.
    for (int n = DayNumber(-849, 1, 1); n <= DayNumber(3200, 12, 31); ++n) {
        ASSERT_TRUE(DateOfDayNumber(n, y, m, d)) << n;
        ASSERT_TRUE(IsValidGregorianDate(y, m, d)) << n;
        ASSERT_EQ(DayNumber(y, m, d), n) << y << "-" << m << "-" << d;
    }
    ASSERT_TRUE(DateOfDayNumber(2147483647, y, m, d));
    EXPECT_EQ(DayNumber(y, m, d), 2147483647);
}

TEST(Gregorian, CompareDatesOrdersByYearMonthDay)
{
    EXPECT_EQ(CompareDates(2000, 1, 2, 2000, 1, 1), 1);
    EXPECT_EQ(CompareDates(1999, 12, 31, 2000, 1, 1), -1);
    EXPECT_EQ(CompareDates(2000, 2, 1, 2000, 1, 31), 1);
    EXPECT_EQ(CompareDates(2000, 1, 1, 2000, 1, 1), 0);
}

struct SignCase {
    const char* name;
    int month, day, sign;
};
void PrintTo(const SignCase& c, std::ostream* os) { *os << c.name; }

class StarSigns : public ::testing::TestWithParam<SignCase> {};

TEST_P(StarSigns, ChangeOnTheBoundaryDays)
{
    EXPECT_EQ(StarSign(GetParam().month, GetParam().day), GetParam().sign);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, StarSigns,
    ::testing::Values(SignCase{"Dec22Capricorn", 12, 22, 9}, SignCase{"Dec21Sagittarius", 12, 21, 8},
                      SignCase{"Jan19Capricorn", 1, 19, 9}, SignCase{"Jan20Aquarius", 1, 20, 10},
                      SignCase{"Feb18Aquarius", 2, 18, 10}, SignCase{"Feb19Pisces", 2, 19, 11},
                      SignCase{"Mar21Aries", 3, 21, 0}, SignCase{"Jun21Gemini", 6, 21, 2},
                      SignCase{"Jun22Cancer", 6, 22, 3}, SignCase{"Sep23Libra", 9, 23, 6},
                      SignCase{"Dec31Capricorn", 12, 31, 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StarSigns, NamesAreWithoutTheSuffix)
{
    EXPECT_EQ(StarSignName(0), "白羊");
    EXPECT_EQ(StarSignName(6), "天秤");
    EXPECT_EQ(StarSignName(11), "双鱼");
    EXPECT_EQ(StarSignName(12), "");
    EXPECT_EQ(StarSignName(-1), "");
}

}  // namespace
}  // namespace velmora

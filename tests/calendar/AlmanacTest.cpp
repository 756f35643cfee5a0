// The engine against the reference almanac, every day from 1900 to 2100.
#include <gtest/gtest.h>

#include <map>

#include "AlmanacData.h"
#include "CalendarInternal.h"
#include "CalendarReference.h"
#include "ChineseCalendar.h"

namespace velmora {
namespace {

using testing::LoadLunarMonthStarts;
using testing::LoadSectionalTerms;

using testing::Day;
using testing::DayOf;
using testing::Text;

const int kFirstDay = DayNumber(1900, 1, 1);
const int kLastDay = DayNumber(2100, 12, 31);

TEST(Almanac, EveryDayConvertsToTheAlmanacsLunarDateAndBack)
{
    const auto months = LoadLunarMonthStarts();
    ASSERT_GT(months.size(), 2400u);
    int checked = 0;
    for (std::size_t i = 0; i < months.size(); ++i) {
        const int end = i + 1 < months.size() ? months[i + 1].dayNumber : kLastDay + 1;
        for (int n = std::max(months[i].dayNumber, kFirstDay); n < end && n <= kLastDay; ++n, ++checked) {
            const Day d = DayOf(n);
            int ly = 0, lm = 0, ld = 0;
            bool leap = false;
            ASSERT_TRUE(GregorianToLunar(d.year, d.month, d.day, ly, lm, ld, leap)) << Text(d);
            const int expectedDay = n - months[i].dayNumber + 1;
            ASSERT_EQ(ly, months[i].lunarYear) << Text(d);
            ASSERT_EQ(lm, months[i].lunarMonth) << Text(d);
            ASSERT_EQ(leap, months[i].isLeap) << Text(d);
            ASSERT_EQ(ld, expectedDay) << Text(d);
            Day back{};
            ASSERT_TRUE(LunarToGregorian(ly, lm, ld, leap, back.year, back.month, back.day)) << Text(d);
            ASSERT_EQ(DayNumber(back.year, back.month, back.day), n) << Text(d);
        }
    }
    EXPECT_EQ(checked, kLastDay - kFirstDay + 1);
}

// The month pillar steps on exactly at the sectional terms, the year pillar
// exactly at 立春, and the day pillar every day.
TEST(Almanac, PillarsChangeExactlyOnTheTermDays)
{
    std::map<int, const testing::SectionalTerm*> termOnDay;
    const auto terms = LoadSectionalTerms();
    ASSERT_EQ(terms.size(), 201u * 12);
    for (const auto& t : terms) termOnDay[t.dayNumber] = &t;

    Day previous = DayOf(kFirstDay - 1);
    for (int n = kFirstDay; n <= kLastDay; ++n) {
        const Day d = DayOf(n);
        const auto term = termOnDay.find(n);
        const bool sectional = term != termOnDay.end();
        const bool lichun = sectional && term->second->term == 3;

        const int monthBefore = MonthPillar(previous.year, previous.month, previous.day);
        const int monthNow = MonthPillar(d.year, d.month, d.day);
        ASSERT_EQ(monthNow, sectional ? (monthBefore + 1) % 60 : monthBefore)
            << Text(d) << (sectional ? " " + term->second->name : "");

        const int yearBefore = YearPillar(previous.year, previous.month, previous.day);
        const int yearNow = YearPillar(d.year, d.month, d.day);
        ASSERT_EQ(yearNow, lichun ? (yearBefore + 1) % 60 : yearBefore) << Text(d);

        ASSERT_EQ(DayPillar(d.year, d.month, d.day), (DayPillar(previous.year, previous.month, previous.day) + 1) % 60)
            << Text(d);
        previous = d;
    }
}

// The per-year tables are the formulas evaluated once: both give the same
// lunar day, lunar date and term days on every day of the almanac's range.
TEST(Almanac, TablesAgreeWithTheDirectComputation)
{
    for (int n = kFirstDay; n <= kLastDay; ++n) {
        const Day d = DayOf(n);
        ASSERT_EQ(LunarDayOf(d.year, d.month, d.day), reference::LunarDayOf(d.year, d.month, d.day)) << Text(d);
    }
    for (int year = 1900; year <= 2100; ++year) {
        // The first days of the year settle the lunar year through its new year.
        for (const Day d : {Day{year, 1, 1}, Day{year, 2, 1}, Day{year, 2, 28}}) {
            int ly1 = 0, lm1 = 0, ld1 = 0, ly2 = 0, lm2 = 0, ld2 = 0;
            bool leap1 = false, leap2 = false;
            ASSERT_TRUE(GregorianToLunar(d.year, d.month, d.day, ly1, lm1, ld1, leap1));
            ASSERT_TRUE(reference::GregorianToLunar(d.year, d.month, d.day, ly2, lm2, ld2, leap2));
            ASSERT_EQ(std::tie(ly1, lm1, ld1, leap1), std::tie(ly2, lm2, ld2, leap2)) << Text(d);
        }
    }
    for (const auto& start : LoadLunarMonthStarts()) {
        Day fast{}, direct{};
        const bool foundFast =
            LunarToGregorian(start.lunarYear, start.lunarMonth, 1, start.isLeap, fast.year, fast.month, fast.day);
        const bool foundDirect = reference::LunarToGregorian(start.lunarYear, start.lunarMonth, 1, start.isLeap,
                                                             direct.year, direct.month, direct.day);
        ASSERT_EQ(foundFast, foundDirect);
        ASSERT_EQ(std::tie(fast.year, fast.month, fast.day), std::tie(direct.year, direct.month, direct.day));
    }
    for (int year = -1000; year <= 3000; ++year)
        for (int term = 1; term <= 25; term += 2)
            ASSERT_EQ(detail::SectionalTermDay(year, term), reference::SectionalTermDay(year, term)) << year;
}

}  // namespace
}  // namespace velmora

// The chart's moment by the classic and the precise rules.
#include <gtest/gtest.h>

#include "BirthMoment.h"
#include "ChineseCalendar.h"
#include "TermMoments.h"

namespace velmora {
namespace {

BeijingSeconds At(int y, int mo, int d, int h, int mi) { return ToBeijingSeconds({y, mo, d, h, mi, 0}); }

std::string Names(const ChartMoment& chart)
{
    std::string names;
    for (int pillar : chart.pillars) names += SexagenaryName(pillar) + " ";
    return names;
}

// Away from the days NearSectionalTermDay names, the precise and the classic
// rules agree at every hour, so a classic reading may skip the moments there.
TEST(BirthMoment, PreciseAndClassicPillarsAgreeAwayFromTheTermDays)
{
    int near = 0;
    for (int year = 1901; year <= 2099; year += 3) {
        for (int n = DayNumber(year, 1, 1); n <= DayNumber(year, 12, 31); ++n) {
            CivilTime date;
            DateOfDayNumber(n, date.year, date.month, date.day);
            if (NearSectionalTermDay(date)) {
                ++near;
                continue;
            }
            for (const auto& [hour, minute] : {std::pair(0, 0), std::pair(23, 59)}) {
                const BeijingSeconds moment = At(date.year, date.month, date.day, hour, minute);
                ASSERT_EQ(Names(ChartAt(moment, {true, std::nullopt, ZiSchool::Late})), Names(ChartAt(moment, {})))
                    << FormatDateTime(ToCivilTime(moment));
            }
        }
    }
    EXPECT_LT(near, 67 * 12 * 4);  // three or four days a term, no more
}

// Before the reform the next year's 小寒 falls in late December: a birth
// after it is in the 丑 month, as the calendar's own formula says too.
TEST(BirthMoment, PreciseMonthAfterALateDecemberXiaohanBeforeTheReform)
{
    for (int year = 1201; year <= 1581; year += 20) {
        const BeijingSeconds xiaohan = TermMomentsOfYear(year + 1)[0];
        const CivilTime t = ToCivilTime(xiaohan);
        ASSERT_EQ(t.year, year) << "小寒 of " << year + 1 << " in January";
        const BeijingSeconds after = xiaohan + 2 * 86400;
        const CivilTime a = ToCivilTime(after);
        if (a.year != year) continue;
        EXPECT_EQ(SexagenaryName(PreciseMonthPillar(after)), SexagenaryName(MonthPillar(a.year, a.month, a.day)))
            << FormatDateTime(a);
        EXPECT_EQ(PreciseMonthPillar(after) % 12, 1) << FormatDateTime(a);  // 丑
    }
}

TEST(BirthMoment, NamedMoments)
{
    struct Row {
        const char* what;
        BeijingSeconds standard;
        MomentRules rules;
        const char* pillars;
        CivilTime dayTime;  // seconds left out of the comparison
    };
    const MomentRules precise{true, std::nullopt, ZiSchool::Late};
    const Row rows[] = {
        {"before 立春 2024", At(2024, 2, 4, 10, 0), precise, "癸卯 乙丑 戊戌 丁巳 ", {2024, 2, 4, 10, 0}},
        {"classic 立春 day", At(2024, 2, 4, 10, 0), {}, "甲辰 丙寅 戊戌 丁巳 ", {2024, 2, 4, 10, 0}},
        {"a minute before 立春", At(2024, 2, 4, 16, 26), precise, "癸卯 乙丑 戊戌 庚申 ", {2024, 2, 4, 16, 26}},
        {"a minute after 立春", At(2024, 2, 4, 16, 28), precise, "甲辰 丙寅 戊戌 庚申 ", {2024, 2, 4, 16, 28}},
        // 惊蛰 2024-03-05 10:22:38
        {"a minute before 惊蛰", At(2024, 3, 5, 10, 21), precise, "甲辰 丙寅 戊辰 丁巳 ", {2024, 3, 5, 10, 21}},
        {"a minute after 惊蛰", At(2024, 3, 5, 10, 24), precise, "甲辰 丁卯 戊辰 丁巳 ", {2024, 3, 5, 10, 24}},
        // 2024-06-01 is a 丙申 day, before 芒种; the hour from 23:00 takes 丁's 子 hour.
        {"23:00 late school", At(2024, 6, 1, 23, 0), {}, "甲辰 己巳 丙申 庚子 ", {2024, 6, 1, 23, 0}},
        {"23:00 early school", At(2024, 6, 1, 23, 0), {false, std::nullopt, ZiSchool::Early}, "甲辰 己巳 丁酉 庚子 ",
         {2024, 6, 1, 23, 0}},
        // Kashgar, 76.0°E: 2 h 56 min behind, and the equation of time.
        {"Kashgar 00:30", At(2024, 6, 2, 0, 30), {true, 75.99, ZiSchool::Late}, "甲辰 己巳 丙申 己亥 ",
         {2024, 6, 1, 21, 36}},
        // Harbin, 126.6°E: 26 minutes ahead.
        {"Harbin 10:40", At(2024, 6, 2, 10, 40), {true, 126.6, ZiSchool::Late}, "甲辰 己巳 丁酉 丙午 ",
         {2024, 6, 2, 11, 8}},
    };
    for (const Row& row : rows) {
        const ChartMoment chart = ChartAt(row.standard, row.rules);
        EXPECT_EQ(Names(chart), row.pillars) << row.what;
        CivilTime t = chart.dayTime;
        t.second = 0;
        EXPECT_EQ(FormatDateTime(t), FormatDateTime(row.dayTime)) << row.what;
    }
}

TEST(BirthMoment, ParsersTakeOnlyNumbersInRange)
{
    double degrees = 0;
    int minute = 0;
    ZiSchool school{};
    EXPECT_TRUE(ParseLongitude("104.07", degrees));
    EXPECT_DOUBLE_EQ(degrees, 104.07);
    EXPECT_TRUE(ParseLongitude("-180", degrees));
    for (const char* bad : {"", "180.01", "-181", "1e400", "nan", "inf", "12x", " 12", "+-100", "++100", "+"})
        EXPECT_FALSE(ParseLongitude(bad, degrees)) << bad;
    EXPECT_TRUE(ParseLatitude("+30", degrees));
    for (const char* bad : {"90.5", "+-30"}) EXPECT_FALSE(ParseLatitude(bad, degrees)) << bad;
    EXPECT_TRUE(ParseMinute("59", minute));
    EXPECT_EQ(minute, 59);
    for (const char* bad : {"", "60", "-1", "5.5", "+3"}) EXPECT_FALSE(ParseMinute(bad, minute)) << bad;
    EXPECT_TRUE(ParseZiSchool("early", school));
    EXPECT_EQ(school, ZiSchool::Early);
    EXPECT_FALSE(ParseZiSchool("Early", school));
}

}  // namespace
}  // namespace velmora

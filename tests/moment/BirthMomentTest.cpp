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

TEST(BirthMoment, PreciseAndClassicPillarsAgreeAwayFromTheTermDays)
{
    for (int year = 1901; year <= 2099; year += 7) {
        const YearTerms& terms = TermMomentsOfYear(year);
        for (int day = 1; day <= 365; day += 3) {
            int m = 0, d = 0, y = 0;
            DateOfDayNumber(DayNumber(year, 1, 1) + day - 1, y, m, d);
            const BeijingSeconds noon = At(y, m, d, 12, 0);
            bool nearTerm = false;
            for (BeijingSeconds term : terms) nearTerm |= std::llabs(term - noon) < 2 * 86400;
            if (nearTerm) continue;
            const ChartMoment precise = ChartAt(noon, {true, std::nullopt, ZiSchool::Late});
            const ChartMoment classic = ChartAt(noon, {});
            ASSERT_EQ(Names(precise), Names(classic)) << y << "-" << m << "-" << d;
        }
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
    for (const char* bad : {"", "180.01", "-181", "1e400", "nan", "inf", "12x", " 12"})
        EXPECT_FALSE(ParseLongitude(bad, degrees)) << bad;
    EXPECT_FALSE(ParseLatitude("90.5", degrees));
    EXPECT_TRUE(ParseMinute("59", minute));
    EXPECT_EQ(minute, 59);
    for (const char* bad : {"", "60", "-1", "5.5", "+3"}) EXPECT_FALSE(ParseMinute(bad, minute)) << bad;
    EXPECT_TRUE(ParseZiSchool("early", school));
    EXPECT_EQ(school, ZiSchool::Early);
    EXPECT_FALSE(ParseZiSchool("Early", school));
}

}  // namespace
}  // namespace velmora

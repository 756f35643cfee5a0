// The luck pillars' start against the sectional terms of the independent
// PyEphem table (tests/data/moment/ephemeris-reference.tsv), the published
// charts, and the cases without luck pillars.
#include <gtest/gtest.h>

#include <map>

#include "BirthMoment.h"
#include "Chart.h"
#include "ChineseCalendar.h"
#include "EphemerisReference.h"
#include "TermMoments.h"

namespace velmora {
namespace {

BeijingSeconds At(const char* text) { return ParseReferenceMoment(text); }

// The reference's term moments by year and name.
const std::map<std::pair<int, std::string>, BeijingSeconds>& ReferenceTerms()
{
    static const auto terms = [] {
        std::map<std::pair<int, std::string>, BeijingSeconds> byName;
        for (const ReferenceTerm& term : ReadReferenceTerms()) byName[{term.year, term.name}] = term.moment;
        return byName;
    }();
    return terms;
}

// A chart by the exact moment's pillars, as precise mode reads it.
Chart ChartOf(BeijingSeconds birth, bool male, CivilTime asOf = {2026, 12, 8})
{
    MomentRules rules;
    rules.precise = true;
    const ChartMoment moment = ChartAt(birth, rules);
    return BuildChart({moment.pillars[0], moment.pillars[1], moment.pillars[2], moment.pillars[3], male, birth,
                       ToCivilTime(birth).year, asOf});
}

struct ReferenceCase {
    const char* birth;
    bool male;
    bool forward;
    int termYear;
    const char* term;
    const char* startMoment;  // the rule applied by hand to the reference's span
    int startAge;
    const char* firstPillar;
};

// Both directions for both sexes, terms across the year's end both ways, and
// 交运 months that overflow into the next (into a short February, a leap
// February, and a 30-day month).
TEST(Luck, StartAgreesWithTheReferenceEphemerisTerms)
{
    const ReferenceCase cases[] = {
        {"1983-02-15 20:00:00", false, true, 1983, "惊蛰", "1989-05-04 18:22:00", 7, "乙卯"},
        {"1992-02-02 12:00:00", true, false, 1992, "小寒", "2001-02-11 19:12:00", 10, "庚子"},
        {"1984-06-10 08:00:00", true, true, 1984, "小暑", "1993-06-01 18:34:00", 10, "辛未"},
        {"1990-09-20 15:30:00", false, false, 1990, "白露", "1994-11-09 00:24:00", 5, "甲申"},
        {"1996-12-20 10:00:00", true, true, 1997, "小寒", "2002-05-17 10:40:00", 7, "辛丑"},
        {"2000-01-03 06:00:00", true, false, 1999, "大雪", "2008-10-14 07:18:00", 9, "乙亥"},
        {"1956-03-30 09:30:00", true, true, 1956, "清明", "1958-03-02 11:58:00", 3, "壬辰"},
        {"1957-07-31 09:30:00", false, true, 1957, "立秋", "1960-03-02 13:58:00", 4, "戊申"},
        {"1956-05-31 09:30:00", false, false, 1956, "立夏", "1964-12-03 01:16:00", 9, "壬辰"},
    };
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(c.birth);
        const BeijingSeconds birth = At(c.birth);
        const Chart chart = ChartOf(birth, c.male);
        ASSERT_TRUE(chart.luck);
        const Luck& luck = *chart.luck;
        EXPECT_EQ(luck.forward, c.forward);
        const BeijingSeconds term = ReferenceTerms().at({c.termYear, c.term});
        // The two ephemerides agree on the terms within a minute.
        EXPECT_NEAR(static_cast<double>(luck.spanSeconds), static_cast<double>(c.forward ? term - birth : birth - term), 60);
        EXPECT_NEAR(static_cast<double>(luck.term.moment), static_cast<double>(term), 60);
        // A minute of span is two hours of life.
        EXPECT_NEAR(static_cast<double>(luck.startMoment), static_cast<double>(At(c.startMoment)), 2 * 3600);
        EXPECT_EQ(luck.startAge, c.startAge);
        EXPECT_EQ(SexagenaryName(luck.pillars[0].pillar), c.firstPillar);
    }
}

struct PublishedCase {
    const char* birth;
    bool male;
    const char* pillars;
    bool forward;
    LuckStart start;     // years, months, days
    const char* startDay;  // 交运, in the evening
    const char* firstPillar;
    int startAge;
};

TEST(Luck, PublishedChartsWithinADay)
{
    const PublishedCase cases[] = {
        {"1983-02-15 20:00:00", false, "癸亥甲寅甲戌甲戌", true, {6, 2, 18}, "1989-05-04 18:00:00", "乙卯", 7},
        {"1992-02-02 12:00:00", true, "辛未辛丑戊申戊午", false, {9, 0, 9}, "2001-02-11 18:00:00", "庚子", 10},
    };
    for (const PublishedCase& c : cases) {
        SCOPED_TRACE(c.birth);
        const Chart chart = ChartOf(At(c.birth), c.male);
        std::string pillars;
        for (const ChartColumn& column : chart.columns) pillars += SexagenaryName(column.pillar);
        EXPECT_EQ(pillars, c.pillars);
        ASSERT_TRUE(chart.luck);
        EXPECT_EQ(chart.luck->forward, c.forward);
        const LuckStart& s = chart.luck->start;
        EXPECT_EQ(s.years, c.start.years);
        EXPECT_EQ(s.months, c.start.months);
        EXPECT_NEAR(static_cast<double>(s.days), static_cast<double>(c.start.days), 1);
        // Evening: between 18:00 and midnight, give or take the day of tolerance.
        EXPECT_NEAR(static_cast<double>(chart.luck->startMoment), static_cast<double>(At(c.startDay)) + 3 * 3600, 86400);
        EXPECT_EQ(SexagenaryName(chart.luck->pillars[0].pillar), c.firstPillar);
        EXPECT_EQ(chart.luck->startAge, c.startAge);
        EXPECT_TRUE(chart.notes.empty());
    }
}

TEST(Luck, StartCountsTheSpanInSecondsEachUnitTruncated)
{
    EXPECT_EQ(LuckStartOfSpan(1'612'032), (LuckStart{6, 2, 18, 22, 24}));
    EXPECT_EQ(LuckStartOfSpan(259'199), (LuckStart{0, 11, 29, 23, 58}));
    EXPECT_EQ(LuckStartOfSpan(259'200), (LuckStart{1, 0, 0, 0, 0}));
    EXPECT_EQ(LuckStartOfSpan(0), (LuckStart{}));
}

TEST(Luck, CalendarMonthsCarryADayPastTheMonthsEnd)
{
    const std::tuple<const char*, long long, const char*> cases[] = {
        {"2023-01-31 18:24:00", 1, "2023-03-03 18:24:00"},
        {"2024-01-31 18:24:00", 1, "2024-03-02 18:24:00"},
        {"2023-03-31 06:00:00", 11, "2024-03-02 06:00:00"},
        {"2023-08-31 06:00:00", 1, "2023-10-01 06:00:00"},
        {"2023-12-15 23:59:00", 1, "2024-01-15 23:59:00"},
        {"1983-02-15 20:00:00", 74, "1989-04-15 20:00:00"},
    };
    for (const auto& [from, months, to] : cases)
        EXPECT_EQ(FormatDateTime(ToCivilTime(AddCalendarMonths(At(from), months))),
                  FormatDateTime(ToCivilTime(At(to))))
            << from << " + " << months;
}

TEST(Luck, EachLuckPillarSpansTenYearsWithTheirPillarsAndAges)
{
    const Chart chart = ChartOf(At("1983-02-15 20:00:00"), false, {2026, 12, 8});
    ASSERT_TRUE(chart.luck);
    int currentPillars = 0, currentYears = 0;
    for (int k = 0; k < 10; ++k) {
        const LuckPillar& p = chart.luck->pillars[k];
        EXPECT_EQ(p.fromYear, 1989 + 10 * k);
        EXPECT_EQ(p.toYear, 1998 + 10 * k);
        EXPECT_EQ(p.fromAge, 7 + 10 * k);
        EXPECT_EQ(p.toAge, 16 + 10 * k);
        currentPillars += p.current;
        for (const LuckYear& y : p.years) {
            currentYears += y.current;
            if (y.current) {
                EXPECT_EQ(SexagenaryName(y.pillar), "丙午");
                EXPECT_EQ(y.age, 44);
                EXPECT_EQ(SexagenaryName(p.pillar), "戊午");
            }
        }
    }
    EXPECT_EQ(SexagenaryName(chart.luck->pillars[0].years[0].pillar), "己巳");  // 1989
    EXPECT_EQ(currentPillars, 1);
    EXPECT_EQ(currentYears, 1);
}

// Born on a term's day before its moment: the day rule reads the new month
// (and on 立春's day the new year, which turns the direction round); the
// luck pillars follow the moment.
TEST(Luck, DayRuleChartFollowsTheExactMomentWithANote)
{
    const struct {
        CivilTime birth;
        bool male;
        const char* differs;
        bool forward;
        const char* firstPillar;
        int term;  // the span runs to 惊蛰 the same day, or back to 小寒
    } cases[] = {
        {{1983, 3, 6, 8}, false, "按交节的确切时刻月柱为甲寅", true, "乙卯", 4},        // 惊蛰 11:47
        {{1984, 2, 4, 9}, true, "按交节的确切时刻年柱为癸亥、月柱为乙丑", false, "甲子", 0},  // 立春 23:19
    };
    for (const auto& c : cases) {
        const CivilTime& t = c.birth;
        SCOPED_TRACE(FormatDateTime(t));
        const Chart chart = BuildChart({YearPillar(t.year, t.month, t.day), MonthPillar(t.year, t.month, t.day),
                                        DayPillar(t.year, t.month, t.day), HourPillar(t.year, t.month, t.day, t.hour),
                                        c.male, ToBeijingSeconds(t), t.year, {2026, 12, 8}});
        ASSERT_TRUE(chart.luck);
        EXPECT_EQ(chart.luck->forward, c.forward);
        EXPECT_EQ(SexagenaryName(chart.luck->pillars[0].pillar), c.firstPillar);
        EXPECT_EQ(chart.luck->term.index, c.term);
        ASSERT_EQ(chart.notes.size(), 1u);
        EXPECT_NE(chart.notes[0].find(c.differs), std::string::npos) << chart.notes[0];
        // The columns keep the reading's rule.
        EXPECT_EQ(chart.columns[1].pillar, MonthPillar(t.year, t.month, t.day));
    }
}

// Before the reform a year's 小寒 falls in the previous December: a birth
// after it runs back to it and forward to 立春.
TEST(Luck, TermsAcrossALateDecemberXiaohanBeforeTheReform)
{
    const BeijingSeconds birth = TermMomentsOfYear(1569)[0] + 86400;
    ASSERT_EQ(ToCivilTime(birth).year, 1568);
    const auto back = LuckTerm(birth, false), ahead = LuckTerm(birth, true);
    ASSERT_TRUE(back && ahead);
    EXPECT_EQ(std::pair(back->year, back->index), std::pair(1569, 0));
    EXPECT_EQ(std::pair(ahead->year, ahead->index), std::pair(1569, 2));
}

// No guess where the terms are out of reach: year 3000's 大雪 needs 3001's
// 小寒 going forward, year 2's January needs year 1's 大雪 going backward.
TEST(Luck, NoLuckPillarsWhereTheTermsAreOutOfRange)
{
    const std::tuple<CivilTime, bool> cases[] = {
        {{3000, 12, 20, 10}, true},  // 庚 year: a man runs forward
        {{2, 1, 3, 10}, true},       // still 辛 year before 立春: a man runs backward
    };
    for (const auto& [birth, male] : cases) {
        const Chart chart = BuildChart({0, 2, 10, 4, male, ToBeijingSeconds(birth), birth.year, {2026, 12, 8}});
        EXPECT_FALSE(chart.luck) << birth.year;
        ASSERT_EQ(chart.notes.size(), 1u);
        EXPECT_NE(chart.notes[0].find("3000年"), std::string::npos) << chart.notes[0];
    }
    const Chart early = BuildChart({0, 2, 10, 4, true, 0, 1, {2026, 12, 8}});
    EXPECT_FALSE(early.luck);
    EXPECT_EQ(early.columns.size(), 4u);
}

TEST(Luck, UnknownHourGivesThreeColumnsAndNoLuck)
{
    const Chart chart = BuildChart({59, 50, 10, std::nullopt, false, At("1983-02-15 12:00:00"), 1983, {2026, 12, 8}});
    EXPECT_EQ(chart.columns.size(), 3u);
    EXPECT_FALSE(chart.luck);
    ASSERT_EQ(chart.notes.size(), 1u);
    EXPECT_NE(chart.notes[0].find("四个月"), std::string::npos);
    EXPECT_THROW(BuildChart({60, 0, 0, 0, true, 0, 1983, {}}), std::invalid_argument);
}

}  // namespace
}  // namespace velmora

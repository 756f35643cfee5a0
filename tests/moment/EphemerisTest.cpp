// The terms' moments and the equation of time against PyEphem's, from the
// committed table tools/reference/make-ephemeris-table.py made.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "ChineseCalendar.h"
#include "EphemerisReference.h"
#include "TermMoments.h"

namespace velmora {
namespace {

std::ifstream OpenReference()
{
    std::ifstream in(VELMORA_TEST_DATA_DIR "/moment/ephemeris-reference.tsv");
    EXPECT_TRUE(in) << "reference table missing";
    return in;
}

TEST(TermMoments, EveryTerm1900To2100WithinAMinuteOfPyEphem)
{
    const std::vector<ReferenceTerm> terms = ReadReferenceTerms();
    long long worst = 0;
    for (const ReferenceTerm& term : terms) {
        ASSERT_EQ(TermName(term.index), term.name);
        ASSERT_EQ(TermLongitude(term.index), term.longitude);
        const long long difference = TermMomentsOfYear(term.year)[term.index] - term.moment;
        worst = std::max(worst, std::llabs(difference));
        EXPECT_LE(std::llabs(difference), 60) << term.year << " " << term.name;
    }
    EXPECT_EQ(terms.size(), 201u * 24);
    RecordProperty("worst_seconds", static_cast<int>(worst));
}

TEST(TermMoments, EquationOfTimeWithinThirtySecondsOfPyEphem)
{
    std::ifstream in = OpenReference();
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (!line.starts_with("EOT\t")) continue;
        std::istringstream fields(line.substr(4));
        std::string date, time;
        double seconds = 0;
        fields >> date >> time >> seconds;
        // The table's moments are universal time.
        const BeijingSeconds moment = ParseReferenceMoment(date + " " + time) + 8 * 3600;
        EXPECT_NEAR(EquationOfTime(moment), seconds, 30) << date;
        ++rows;
    }
    EXPECT_EQ(rows, 201 * 24);
}

// The calendar's reference almanac gives the sectional terms' instants too.
TEST(TermMoments, SectionalTermsWithinAMinuteOfTheReferenceAlmanac)
{
    std::ifstream in(VELMORA_TEST_DATA_DIR "/sectional-terms-1900-2100.tsv");
    ASSERT_TRUE(in);
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#') continue;
        std::istringstream fields(line);
        int year = 0, n = 0;
        std::string name, civilDay, date, time;
        fields >> year >> n >> name >> civilDay >> date >> time;
        ASSERT_EQ(TermName(n - 1), name);
        EXPECT_LE(std::llabs(TermMomentsOfYear(year)[n - 1] - ParseReferenceMoment(date + " " + time)), 60) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 201 * 12);
}

TEST(TermMoments, SunReachesTheTermsLongitudeAtTheMoment)
{
    for (int year : {1600, 1850, 2200}) {
        const YearTerms& terms = TermMomentsOfYear(year);
        for (int i = 0; i < kTermCount; ++i) {
            const double before = std::remainder(SunApparentLongitude(terms[i] - 60) - TermLongitude(i), 360.0);
            const double after = std::remainder(SunApparentLongitude(terms[i] + 60) - TermLongitude(i), 360.0);
            EXPECT_LT(before, 0) << year << " " << TermName(i);
            EXPECT_GT(after, 0) << year << " " << TermName(i);
            // Within the calendar's own formula's day.
            const CivilTime t = ToCivilTime(terms[i]);
            EXPECT_NEAR(DayOfYear(t.year, t.month, t.day), std::floor(SolarTermDay(year, i + 1)), 1)
                << year << " " << TermName(i);
        }
    }
}

// The build's table against a fresh computation, every 25th year from its
// first to its last, and the years just outside it, which are computed.
TEST(TermMoments, TableRowsAgreeWithAFreshComputation)
{
    EXPECT_FALSE(InTermTable(1599));
    EXPECT_FALSE(InTermTable(2201));
    std::vector<int> years = {1599, 2201};
    for (int year = 1600; year <= 2200; year += 25) {
        EXPECT_TRUE(InTermTable(year)) << year;
        years.push_back(year);
    }
    for (int year : years) EXPECT_EQ(TermMomentsOfYear(year), ComputeTermMoments(year)) << year;
}

TEST(BeijingTime, CivilTimeRoundTripsAcrossCenturiesAndTheReform)
{
    for (const CivilTime t : {CivilTime{2, 1, 1, 0, 0, 0}, CivilTime{1582, 10, 4, 23, 59, 59},
                              CivilTime{1582, 10, 15, 0, 0, 0}, CivilTime{1969, 12, 31, 23, 59, 59},
                              CivilTime{2024, 2, 29, 12, 30, 5}, CivilTime{3000, 12, 31, 23, 59, 59}})
        EXPECT_EQ(ToCivilTime(ToBeijingSeconds(t)), t) << FormatDateTime(t);
    EXPECT_EQ(ToBeijingSeconds({1582, 10, 15, 0, 0, 0}) - ToBeijingSeconds({1582, 10, 4, 0, 0, 0}), 86400);
}

}  // namespace
}  // namespace velmora

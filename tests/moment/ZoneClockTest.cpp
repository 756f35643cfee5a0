// Births abroad against an independent computation (Python's zoneinfo over
// the system's tz database and PyEphem), from the committed table
// tools/reference/make-world-births.py made; and the zone's skipped and
// repeated local times.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "BirthMoment.h"
#include "ChineseCalendar.h"
#include "Places.h"
#include "ZoneClock.h"

namespace velmora {
namespace {

CivilTime ParseCivil(const std::string& text)
{
    CivilTime t;
    std::sscanf(text.c_str(), "%d-%d-%d%*c%d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    return t;
}

TEST(ZoneClock, RandomBirthsInTwentyCitiesAgreeWithZoneinfoAndPyEphem)
{
    std::ifstream in(VELMORA_TEST_DATA_DIR "/moment/world-births.tsv");
    ASSERT_TRUE(in) << "reference table missing";
    std::string line;
    int rows = 0;
    long long worstSolar = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#') continue;
        std::istringstream fields(line);
        std::string city, local, utc, offset, solar, nearTerm;
        int solarYear = 0, monthBranch = 0;
        std::getline(fields, city, '\t');
        std::getline(fields, local, '\t');
        std::getline(fields, utc, '\t');
        std::getline(fields, offset, '\t');
        std::getline(fields, solar, '\t');
        fields >> solarYear >> monthBranch >> nearTerm;
        SCOPED_TRACE(line);
        const auto place = PlaceNamed(city);
        ASSERT_TRUE(place);
        const auto reading = ReadZoneClock(place->timeZone, ParseCivil(local));
        ASSERT_TRUE(reading && reading->first);
        // The moment to the minute, the offset, and true solar time within seconds.
        CivilTime birthUtc = ToCivilTime(*reading->first - kBeijingUtcOffset);
        birthUtc.second = 0;  // a local mean time's offset has seconds; the table gives minutes
        EXPECT_EQ(birthUtc, ParseCivil(utc.substr(0, 16)));
        EXPECT_EQ(UtcOffsetText(reading->offsetSeconds), offset);
        const ChartMoment chart = ChartAt(*reading->first, {true, place->longitude, ZiSchool::Late});
        const long long solarError = ToBeijingSeconds(chart.dayTime) - ToBeijingSeconds(ParseCivil(solar));
        worstSolar = std::max(worstSolar, std::abs(solarError));
        EXPECT_LE(std::abs(solarError), 3);
        int stem = 0, branch = 0;
        SplitSexagenary(chart.pillars[0], stem, branch);
        EXPECT_EQ(chart.pillars[0], YearSexagenary(solarYear));
        SplitSexagenary(chart.pillars[1], stem, branch);
        if (std::stod(nearTerm) > 0.001) {
            EXPECT_EQ(branch, monthBranch);
        }
        ++rows;
    }
    EXPECT_EQ(rows, 200);
    std::printf("true solar time: worst difference %lld s over %d births\n", worstSolar, rows);
}

TEST(ZoneClock, SkippedAndRepeatedLocalTimesNameTheChange)
{
    struct Row {
        const char* zone;
        CivilTime clock;
        bool skipped, repeated;
        const char* before;  // offsets around the change, for a skipped or repeated time
        const char* after;
    };
    const Row rows[] = {
        {"America/New_York", {2021, 3, 14, 2, 30}, true, false, "-05:00", "-04:00"},
        {"America/New_York", {2021, 11, 7, 1, 30}, false, true, "-04:00", "-05:00"},
        {"Asia/Taipei", {1975, 4, 1, 0, 30}, true, false, "+08:00", "+09:00"},
        {"Asia/Hong_Kong", {1979, 10, 21, 3, 15}, false, true, "+09:00", "+08:00"},
        {"Asia/Kathmandu", {1986, 1, 1, 0, 10}, true, false, "+05:30", "+05:45"},
        {"Europe/London", {2000, 6, 15, 13, 50}, false, false, "", ""},
        // Past the zone files' listed changes, from their rule.
        {"America/New_York", {2045, 3, 12, 2, 30}, true, false, "-05:00", "-04:00"},
        {"Europe/Paris", {2100, 10, 31, 2, 30}, false, true, "+02:00", "+01:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.zone);
        const auto reading = ReadZoneClock(row.zone, row.clock);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->Skipped(), row.skipped);
        EXPECT_EQ(reading->Repeated(), row.repeated);
        if (!row.skipped && !row.repeated) continue;
        EXPECT_EQ(UtcOffsetText(reading->offsetBefore), row.before);
        EXPECT_EQ(UtcOffsetText(reading->offsetAfter), row.after);
        if (row.repeated) {
            EXPECT_EQ(*reading->second - *reading->first, reading->offsetBefore - reading->offsetAfter);
        }
    }
    EXPECT_FALSE(ReadZoneClock("Mars/Olympus", {2000, 1, 1, 0, 0}));
    EXPECT_FALSE(KnownTimeZone(""));
}

}  // namespace
}  // namespace velmora

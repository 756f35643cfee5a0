// China's daylight saving against the system's time-zone database.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "DaylightSaving.h"

namespace velmora {
namespace {

constexpr BeijingSeconds kHour = 3600;

BeijingSeconds At(int y, int mo, int d, int h, int mi) { return ToBeijingSeconds({y, mo, d, h, mi, 0}); }

// Seconds the system's zone Asia/Shanghai is ahead of UTC at a moment.
long SystemOffset(BeijingSeconds standard)
{
    const std::time_t utc = static_cast<std::time_t>(standard - 8 * kHour);
    std::tm local{};
    localtime_r(&utc, &local);
    return local.tm_gmtoff;
}

TEST(DaylightSaving, EqualsTheSystemTimeZoneDatabaseEveryHour1919To1991)
{
    if (!std::filesystem::exists("/usr/share/zoneinfo/Asia/Shanghai")) GTEST_SKIP() << "no time-zone database";
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    int ahead = 0;
    // Every transition of the zone falls on a whole hour of standard time.
    for (BeijingSeconds t = At(1919, 1, 1, 0, 0); t < At(1992, 1, 1, 0, 0); t += kHour) {
        const bool system = SystemOffset(t) == 9 * kHour;
        ASSERT_EQ(InDaylightSaving(t), system) << FormatDateTime(ToCivilTime(t));
        ahead += system;
    }
    EXPECT_GT(ahead, 0);
    previous ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
}

TEST(DaylightSaving, ClockTimesOfTheChangeNights)
{
    struct Row {
        const char* what;
        BeijingSeconds clock;
        bool skipped, repeated, ahead;
        BeijingSeconds first;
    };
    const Row rows[] = {
        {"1986 skipped hour", At(1986, 5, 4, 2, 30), true, false, false, 0},
        {"1986 before the change", At(1986, 5, 4, 1, 59), false, false, false, At(1986, 5, 4, 1, 59)},
        {"1986 after the change", At(1986, 5, 4, 3, 0), false, false, true, At(1986, 5, 4, 2, 0)},
        {"1986 repeated hour", At(1986, 9, 14, 1, 30), false, true, true, At(1986, 9, 14, 0, 30)},
        {"1986 after the repeat", At(1986, 9, 14, 2, 0), false, false, false, At(1986, 9, 14, 2, 0)},
        {"1991 skipped hour", At(1991, 4, 14, 2, 0), true, false, false, 0},
        {"1991 repeated hour", At(1991, 9, 15, 1, 59), false, true, true, At(1991, 9, 15, 0, 59)},
        {"1991 summer", At(1991, 7, 1, 10, 0), false, false, true, At(1991, 7, 1, 9, 0)},
        {"1992 summer has none", At(1992, 7, 1, 10, 0), false, false, false, At(1992, 7, 1, 10, 0)},
    };
    for (const Row& row : rows) {
        const ClockReading reading = ReadClock(row.clock);
        EXPECT_EQ(reading.Skipped(), row.skipped) << row.what;
        EXPECT_EQ(reading.Repeated(), row.repeated) << row.what;
        EXPECT_EQ(reading.Ahead(), row.ahead) << row.what;
        if (!row.skipped) {
            EXPECT_EQ(*reading.first, row.first) << row.what;
        }
        if (row.repeated) {
            EXPECT_EQ(*reading.second, row.clock) << row.what;
        }
    }
}

}  // namespace
}  // namespace velmora

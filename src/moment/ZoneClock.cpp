#include "ZoneClock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include <date/tz.h>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

const date::time_zone* ZoneNamed(std::string_view zone)
{
    try {
        return date::locate_zone(zone);
    } catch (const std::exception&) {
        return nullptr;  // not in the database, or no database at all
    }
}

int Seconds(std::chrono::seconds s) { return static_cast<int>(s.count()); }

BeijingSeconds ToBeijing(date::sys_seconds utc) { return utc.time_since_epoch().count() + kBeijingUtcOffset; }

// The zone files list their changes up to 2037 and give later years as a
// rule that the library does not read, so it would keep 2037's last offset
// for ever. That is right for a zone without summer time then; in one with
// summer time a later year is read as the latest year of 2010-2037 whose
// calendar it repeats (the same leap year and weekday of 1 January) and
// whose winter and summer offsets are 2037's, as the rules of the time (the
// second Sunday in March, the last Sunday in October ...) fall alike in
// both. What is returned is the shift from that year to the later one.
constexpr int kLastListedYear = 2037;

BeijingSeconds NewYear(int year) { return ToBeijingSeconds({year, 1, 1, 0, 0, 0}); }

std::pair<int, int> WinterAndSummerOffsets(const date::time_zone& tz, int year)
{
    const auto at = [&](int month) {
        const BeijingSeconds moment = ToBeijingSeconds({year, month, 15, 0, 0, 0}) - kBeijingUtcOffset;
        return Seconds(tz.get_info(date::sys_seconds{std::chrono::seconds{moment}}).offset);
    };
    return {at(1), at(7)};
}

BeijingSeconds LaterYearShift(const date::time_zone& tz, int year)
{
    if (year <= kLastListedYear) return 0;
    const auto offsets = WinterAndSummerOffsets(tz, kLastListedYear);
    if (offsets.first == offsets.second) return 0;
    const auto weekday = [](int y) { return NewYear(y) / 86400 % 7; };
    for (int y = kLastListedYear; y > kLastListedYear - 28; --y)
        if (IsCalendarLeapYear(y) == IsCalendarLeapYear(year) && weekday(y) == weekday(year) &&
            WinterAndSummerOffsets(tz, y) == offsets)
            return NewYear(year) - NewYear(y);
    return 0;  // the zone's rules changed within those years: 2037's offset stays
}

}  // namespace

bool KnownTimeZone(std::string_view zone) { return !zone.empty() && ZoneNamed(zone) != nullptr; }

std::optional<ZoneReading> ReadZoneClock(std::string_view zone, const CivilTime& clock)
{
    const date::time_zone* tz = ZoneNamed(zone);
    if (!tz) return std::nullopt;
    // The Beijing scale counts calendar seconds from 1970 like the local
    // scale does, so the typed time on it is the local time's count.
    const BeijingSeconds shift = LaterYearShift(*tz, clock.year);
    const date::local_seconds local{std::chrono::seconds{ToBeijingSeconds(clock) - shift}};
    const date::local_info info = tz->get_info(local);
    ZoneReading reading;
    const auto moment = [&](const date::sys_info& period) {
        return ToBeijing(date::sys_seconds{local.time_since_epoch() - period.offset}) + shift;
    };
    switch (info.result) {
    case date::local_info::unique:
        reading.first = moment(info.first);
        reading.offsetSeconds = Seconds(info.first.offset);
        break;
    case date::local_info::ambiguous:
        reading.first = moment(info.first);
        reading.second = moment(info.second);
        reading.offsetSeconds = Seconds(info.first.offset);
        reading.secondOffsetSeconds = Seconds(info.second.offset);
        break;
    case date::local_info::nonexistent:
        break;
    }
    if (info.result != date::local_info::unique) {
        reading.change = ToBeijing(info.second.begin) + shift;
        reading.offsetBefore = Seconds(info.first.offset);
        reading.offsetAfter = Seconds(info.second.offset);
    }
    return reading;
}

std::string UtcOffsetText(int offsetSeconds)
{
    const int minutes = std::abs(offsetSeconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offsetSeconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

}  // namespace velmora

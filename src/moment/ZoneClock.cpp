#include "ZoneClock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <date/tz.h>

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

}  // namespace

bool KnownTimeZone(std::string_view zone) { return !zone.empty() && ZoneNamed(zone) != nullptr; }

std::optional<ZoneReading> ReadZoneClock(std::string_view zone, const CivilTime& clock)
{
    const date::time_zone* tz = ZoneNamed(zone);
    if (!tz) return std::nullopt;
    // The Beijing scale counts calendar seconds from 1970 like the local
    // scale does, so the typed time on it is the local time's count.
    const date::local_seconds local{std::chrono::seconds{ToBeijingSeconds(clock)}};
    const date::local_info info = tz->get_info(local);
    ZoneReading reading;
    const auto moment = [&](const date::sys_info& period) {
        return ToBeijing(date::sys_seconds{local.time_since_epoch() - period.offset});
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
        reading.change = ToBeijing(info.second.begin);
        reading.offsetBefore = Seconds(info.first.offset);
        reading.offsetAfter = Seconds(info.second.offset);
    }
    return reading;
}

int ZoneOffsetAt(std::string_view zone, BeijingSeconds moment)
{
    const date::time_zone* tz = ZoneNamed(zone);
    if (!tz) return static_cast<int>(kBeijingUtcOffset);
    return Seconds(tz->get_info(date::sys_seconds{std::chrono::seconds{moment - kBeijingUtcOffset}}).offset);
}

std::string UtcOffsetText(int offsetSeconds)
{
    const int minutes = std::abs(offsetSeconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offsetSeconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

}  // namespace velmora

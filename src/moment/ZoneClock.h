// Local clock times in the time zones of the system's tz database, with
// their whole history (local mean time, changed offsets, summer times),
// turned into moments on the Beijing scale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "BeijingTime.h"

namespace velmora {

// What a local clock reading stood for in one zone.
struct ZoneReading {
    // The first moment the clock showed this time, if it ever did.
    std::optional<BeijingSeconds> first;
    // The second one when the clocks went back over it.
    std::optional<BeijingSeconds> second;
    int offsetSeconds = 0;        // the zone's offset from UTC at `first` (east positive)
    int secondOffsetSeconds = 0;  // and at `second`
    // For a skipped or repeated time: the change, its moment and the
    // offsets before and after it.
    BeijingSeconds change = 0;
    int offsetBefore = 0, offsetAfter = 0;

    bool Skipped() const { return !first; }
    bool Repeated() const { return second.has_value(); }
};

// Whether the system's tz database knows a zone by this name.
bool KnownTimeZone(std::string_view zone);

// `clock` is the local date and time as typed (a calendar date as elsewhere
// in the program). Nothing for an unknown zone.
std::optional<ZoneReading> ReadZoneClock(std::string_view zone, const CivilTime& clock);

// "+08:00", "-04:00", "+05:45"; seconds of a local mean time are rounded
// down to the minute (as the tz database writes them: "-04:56:02").
std::string UtcOffsetText(int offsetSeconds);

}  // namespace velmora

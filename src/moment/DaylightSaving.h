// The periods when mainland China's clocks read one hour ahead of Beijing
// standard time (1919, the 1940s and 1986-1991), from the time-zone
// database, and how a clock time of those years maps to standard time.
#pragma once

#include <optional>
#include <vector>

#include "BeijingTime.h"

namespace velmora {

struct DaylightSavingPeriod {
    BeijingSeconds start = 0, end = 0;  // standard time; the clocks read an hour ahead from start up to end
};

const std::vector<DaylightSavingPeriod>& ChinaDaylightSavingPeriods();

// True when the clocks read an hour ahead at a standard-time moment.
bool InDaylightSaving(BeijingSeconds standard);

// What a clock reading stood for in standard time.
struct ClockReading {
    // The first moment the clock showed this time, if it ever did.
    std::optional<BeijingSeconds> first;
    // The second one on a night the clocks went back (the repeated hour).
    std::optional<BeijingSeconds> second;
    bool Skipped() const { return !first; }
    bool Repeated() const { return second.has_value(); }
    bool Ahead() const { return first && InDaylightSaving(*first); }
};

// `clock` is the time on the clock, written on the standard-time scale.
ClockReading ReadClock(BeijingSeconds clock);

}  // namespace velmora

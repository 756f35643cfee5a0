// Helpers shared by the units of the calendar engine. They work on 64-bit
// integers, so sums of arbitrary 32-bit inputs never overflow; the public
// operations decide what a value outside the 32-bit range means.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>

#include "ChineseCalendar.h"

namespace velmora::detail {

using Int64 = std::int64_t;

constexpr bool FitsInInt(Int64 value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

constexpr int SaturateToInt(Int64 value)
{
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

// Years are counted without a year 0: the year before 1 is -1. These step
// across that turn, and give the astronomical number (-1 is 0) that the
// formulas for day counts, lunations and terms run on.
constexpr Int64 PreviousYear(Int64 year) { return year == 1 ? -1 : year - 1; }
constexpr Int64 NextYear(Int64 year) { return year == -1 ? 1 : year + 1; }
constexpr Int64 AstronomicalYear(Int64 year) { return year < 0 ? year + 1 : year; }

CalendarKind KindOf(Int64 year, Int64 month, Int64 day);
bool IsLeapYear(Int64 year);
int MonthLength(Int64 year, Int64 month);
Int64 DayOfYear64(Int64 year, Int64 month, Int64 day);
// Day number without the 32-bit check; 0 for the dropped days.
Int64 DayNumber64(Int64 year, Int64 month, Int64 day);
Int64 CycleDayCount64(Int64 year, Int64 month, Int64 day);
Int64 YearSexagenary64(Int64 year);

// The civil day of the year on which sectional term n (odd, 1..25) of `year`
// falls: the floor of SolarTermDay, with the almanac's corrections for the
// few terms the formula puts on the wrong side of midnight.
int SectionalTermDay(Int64 year, int n);
// The same without the per-year cache; the cache must agree with it.
int SectionalTermDayUncached(Int64 year, int n);

// Values computed once per year on first use and kept for the life of the
// process; safe to read from any thread. Years outside First..Last are not
// cached: callers compute those directly.
template <class Value, Int64 First, Int64 Last>
class YearCache {
public:
    static constexpr bool Covers(Int64 year) { return year >= First && year <= Last; }

    template <class Compute>
    const Value& Get(Int64 year, Compute compute)
    {
        Slot& slot = slots_[static_cast<std::size_t>(year - First)];
        if (!slot.ready.load(std::memory_order_acquire)) {
            std::lock_guard<std::mutex> guard(fillLock_);
            if (!slot.ready.load(std::memory_order_relaxed)) {
                slot.value = compute(year);
                slot.ready.store(true, std::memory_order_release);
            }
        }
        return slot.value;
    }

private:
    struct Slot {
        std::atomic<bool> ready{false};
        Value value{};
    };
    std::array<Slot, static_cast<std::size_t>(Last - First + 1)> slots_;
    std::mutex fillLock_;
};

}  // namespace velmora::detail

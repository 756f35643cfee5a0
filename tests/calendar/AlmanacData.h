// The reference almanac for 1900-2100 (tests/data): the first day of every
// lunar month and the day of every sectional term.
#pragma once

#include <string>
#include <vector>

#include "ChineseCalendar.h"

namespace velmora::testing {

struct LunarMonthStart {
    int dayNumber;  // of the month's first day
    int lunarYear;
    int lunarMonth;
    bool isLeap;
};

struct SectionalTerm {
    int year;
    int term;  // 1 = 小寒, 3 = 立春, ..., 23 = 大雪
    std::string name;
    int dayNumber;
};

// A civil day, from its day number, and as "y-m-d" for messages.
struct Day {
    int year, month, day;
};
inline Day DayOf(int dayNumber)
{
    Day d{};
    DateOfDayNumber(dayNumber, d.year, d.month, d.day);
    return d;
}
inline std::string Text(const Day& d)
{
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

std::vector<LunarMonthStart> LoadLunarMonthStarts();
std::vector<SectionalTerm> LoadSectionalTerms();

}  // namespace velmora::testing

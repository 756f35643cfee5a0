// The reference almanac for 1900-2100 (tests/data): the first day of every
// lunar month and the day of every sectional term.
#pragma once

#include <string>
#include <vector>

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

std::vector<LunarMonthStart> LoadLunarMonthStarts();
std::vector<SectionalTerm> LoadSectionalTerms();

}  // namespace velmora::testing

// A person the user keeps: the birth a reading needs, with the exact
// moment's choices it was read with, a free note and its times.
#pragma once

#include <optional>
#include <string>

namespace velmora::people {

struct Person {
    long long id = 0;              // given by the store; 0 before it is stored
    std::string name;
    std::string sex;               // 男 or 女
    std::string calendar = "gregorian";  // gregorian or lunar
    std::string date;              // Y-M-D in that calendar, as typed
    bool leap = false;             // the lunar month is a leap month
    std::string hour;              // "0".."23", or "unknown"
    std::optional<int> minute;
    std::string place;             // a birthplace's name; empty when none
    std::optional<double> longitude;  // degrees east, instead of a place
    std::optional<double> latitude;
    std::string timeZone;          // a zone name; empty: Beijing time
    std::string ziSchool = "late";  // late or early
    bool precise = false;
    std::string note;
    std::string created;  // ISO 8601, UTC (2026-12-08T16:04:19Z)
    std::string changed;

    bool operator==(const Person&) const = default;
};

// The moment as ISO 8601 in UTC, to the second.
std::string NowIso8601();

}  // namespace velmora::people

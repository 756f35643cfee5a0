// The full 八字 chart of a birth: every pillar with its ten god, hidden
// stems, the day master's growth stage and its Nayin, the void branches,
// and the luck pillars with their exact start and their years; with the
// chart as JSON, as text and as a section of the result page.
//
// Texts are UTF-8. ChartJson's callers include <nlohmann/json.hpp> to use its result.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "BeijingTime.h"
#include "ChartRules.h"
#include "Luck.h"

namespace velmora {

struct ChartInput {
    // Sexagenary indices 0..59 as the reading's rule gives them.
    int year = 0, month = 0, day = 0;
    std::optional<int> hour;  // nothing for an unknown hour: three columns, no luck pillars
    bool male = true;
    // The birth in Beijing standard time after the daylight-saving
    // correction (true solar time does not move it); the luck pillars follow it.
    BeijingSeconds birth = 0;
    int birthYear = 0;  // Gregorian; the ages count from it (虚岁)
    CivilTime asOf;     // the day the reading is made on: its year is the current one
};

enum class PillarPosition { Year, Month, Day, Hour };

struct HiddenStem {
    int stem = 0;
    TenGod god = TenGod::Companion;
};

struct ChartColumn {
    PillarPosition position = PillarPosition::Year;
    int pillar = 0;
    std::optional<TenGod> god;  // nothing for the day pillar: its stem is the day master (日主)
    std::vector<HiddenStem> hidden;  // main, middle, residual
    int stage = 0;                   // the day master's growth stage at the branch, 0..11
    std::string nayin;
};

struct LuckYear {
    int year = 0;
    int pillar = 0;  // (year - 4) mod 60
    int age = 0;     // year - birth year + 1
    bool current = false;
};

struct LuckPillar {
    int pillar = 0;
    TenGod god = TenGod::Companion;  // of its stem
    std::string nayin;
    int fromYear = 0, toYear = 0, fromAge = 0, toAge = 0;
    bool current = false;  // the as-of year lies in it
    std::array<LuckYear, 10> years;
};

struct Luck {
    bool forward = true;
    SectionalTerm term;  // the one the span runs to (forward) or from (backward)
    long long spanSeconds = 0;
    LuckStart start;
    BeijingSeconds startMoment = 0;  // 交运, Beijing standard time
    int startAge = 0;                // 虚岁
    int monthPillar = 0;             // the exact moment's, which the first luck pillar steps from
    std::array<LuckPillar, 10> pillars;
};

struct Chart {
    int dayMaster = 0;                 // the day pillar's stem
    std::vector<ChartColumn> columns;  // year, month, day and, with a known hour, hour
    std::array<int, 2> voidBranches{};  // of the day pillar's decade
    std::array<int, 2> yearVoid{};      // of the year pillar's decade
    std::optional<Luck> luck;           // nothing for an unknown hour or a year outside the moments' years
    std::vector<std::string> notes;     // what the reader should know about the luck pillars
};

// Throws std::invalid_argument for a pillar outside 0..59.
Chart BuildChart(const ChartInput& input);

// The "Chart" object of a reading's JSON; without "Luck" when there are no
// luck pillars. The notes are not part of it: they join the reading's notes.
nlohmann::ordered_json ChartJson(const Chart& chart);

// A compact chart for the text format: the columns as a table, the void
// branches, the start, each luck pillar with its years, and the notes.
std::string ChartText(const Chart& chart);

// The result page's section "八字详盘" as an HTML fragment with its own
// <style>; every character it uses is one GBK can write, and it holds no
// '%'. It shows the notes too.
std::string ChartHtml(const Chart& chart);

}  // namespace velmora

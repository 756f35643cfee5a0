// The chart's moment: from a birth in Beijing standard time to the date and
// hour the day and hour pillars follow and the four pillars, by the classic
// rules or the precise ones (terms at their moments, true solar time, the
// 子时 school).
#pragma once

#include <optional>

#include "BeijingTime.h"
#include "MomentOptions.h"

namespace velmora {

struct MomentRules {
    bool precise = false;             // year and month change at the terms' moments
    std::optional<double> longitude;  // degrees east: the day and hour follow true solar time
    ZiSchool zi = ZiSchool::Late;
};

struct ChartMoment {
    BeijingSeconds standard = 0;  // the birth in standard time
    CivilTime dayTime;            // the date and time the day and hour follow
    CivilTime lunarDate;          // the date whose lunar day is read (the next one early in 子时 under the early school)
    int pillars[4] = {};          // year, month, day, hour: sexagenary indices
    double equationOfTime = 0;    // seconds, with a longitude
    double longitudeMinutes = 0;  // 4 minutes a degree from 120°E, with a longitude
};

// The moment must lie in InMomentYears. A moment within minutes of one
// already charted may pass that one's equation of time, which changes by
// less than a second an hour.
ChartMoment ChartAt(BeijingSeconds standard, const MomentRules& rules,
                    std::optional<double> equationOfTime = std::nullopt);

// The year and month pillars by the terms' moments.
int PreciseYearPillar(BeijingSeconds standard);
int PreciseMonthPillar(BeijingSeconds standard);

// Whether a date lies within a day of a sectional term's civil day by the
// calendar's own formula, which is within half an hour of the moments: only
// such a date can have year or month pillars that the moments change.
bool NearSectionalTermDay(const CivilTime& date);

// The 时辰 (branch 0..11) of an hour, and its first hour (23 for 子).
inline int ShichenOfHour(int hour) { return (hour + 1) / 2 % 12; }

// Longitude and minute parsing for the command line and the window: false
// for a text that is no number in range.
bool ParseLongitude(std::string_view text, double& degrees);  // -180..180
bool ParseLatitude(std::string_view text, double& degrees);   // -90..90
bool ParseMinute(std::string_view text, int& minute);         // 0..59
bool ParseZiSchool(std::string_view text, ZiSchool& school);  // late | early

}  // namespace velmora

// The luck pillars' start: the span from the birth to the sectional term,
// turned into years, months, days, hours and minutes of life (three days of
// span make a year), and the moment the first luck pillar begins.
#pragma once

#include <optional>

#include "BeijingTime.h"
#include "TermMoments.h"

namespace velmora {

// Forward for a man born in a yang-stem year or a woman born in a yin-stem
// year; the year pillar is the exact moment's.
bool LuckRunsForward(bool male, int yearPillar);

// Forward, the first sectional term after the birth; backward, the last one
// at or before it. Nothing when that term's year lies outside the moment
// years.
std::optional<SectionalTerm> LuckTerm(BeijingSeconds birth, bool forward);

struct LuckStart {
    long long years = 0, months = 0, days = 0, hours = 0, minutes = 0;
    bool operator==(const LuckStart&) const = default;
};

// 259,200 s of span a year, 21,600 s a month, 720 s a day, 30 s an hour,
// each truncated, and every remaining second two minutes.
LuckStart LuckStartOfSpan(long long spanSeconds);

// The moment a whole number of calendar months after another, at the same
// time of day; a day past the new month's end carries into the next month
// (31 January and one month is 3 March, 2 March in a leap year).
BeijingSeconds AddCalendarMonths(BeijingSeconds moment, long long months);

// The birth plus the start: the years and months as calendar months, then
// the days, hours and minutes.
BeijingSeconds LuckStartMoment(BeijingSeconds birth, const LuckStart& start);

}  // namespace velmora

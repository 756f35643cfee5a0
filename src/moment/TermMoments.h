// The moments of the 24 solar terms, to the second: the instants the Sun's
// apparent geocentric ecliptic longitude (equinox of date, with nutation and
// aberration) reaches a multiple of 15 degrees. With the equation of time,
// which true solar time needs. Positions come from ERFA.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "BeijingTime.h"

namespace velmora {

inline constexpr int kTermCount = 24;

// Terms of a calendar year by index: 0 = 小寒 (285°), 2 = 立春, ..., 23 = 冬至 (270°).
std::string_view TermName(int index);
int TermLongitude(int index);
// The sectional terms (节), which open the months: the even indices.
inline bool IsSectionalTerm(int index) { return index % 2 == 0; }

using YearTerms = std::array<BeijingSeconds, kTermCount>;

// The 24 moments of a calendar year, rounded to the second. The years of
// InTermTable come from a table the build computed; the others are computed
// once and kept. The year must satisfy InMomentYears; the moments are checked
// against an independent ephemeris for 1900-2100 and sound for at least
// 1600-2200.
const YearTerms& TermMomentsOfYear(int year);
bool InTermTable(int year);

// A sectional term found around a moment.
struct SectionalTerm {
    int year = 0;   // the calendar year whose terms hold it
    int index = 0;  // 0 = 小寒, 2 = 立春, ..., 22 = 大雪
    BeijingSeconds moment = 0;
};

// The last sectional term at or before a moment, and the first after it.
// Nothing when the moment's year or the term's lies outside InMomentYears.
// Before the calendar reform a year's 小寒 falls in the previous December,
// so neither assumes a term lies in its own calendar year.
std::optional<SectionalTerm> SectionalTermAtOrBefore(BeijingSeconds moment);
std::optional<SectionalTerm> SectionalTermAfter(BeijingSeconds moment);

// The same, computed afresh with ERFA, without the table or the store.
YearTerms ComputeTermMoments(int year);

// The Sun's apparent geocentric ecliptic longitude of date, in degrees 0..360.
double SunApparentLongitude(BeijingSeconds moment);

// Apparent minus mean solar time at a moment, in seconds.
double EquationOfTime(BeijingSeconds moment);

}  // namespace velmora

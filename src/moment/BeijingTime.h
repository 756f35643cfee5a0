// Moments on one absolute scale: seconds of Beijing standard time (UTC+8)
// counted from 1970-01-01 00:00, with the conversions to a civil date and
// time and to the astronomers' time scales.
#pragma once

#include <string>

namespace velmora {

using BeijingSeconds = long long;

// Beijing standard time's offset from UTC.
inline constexpr BeijingSeconds kBeijingUtcOffset = 8 * 3600;

struct CivilTime {
    int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const CivilTime&) const = default;
};

// The years whose moments the scale holds (the calendar's day count starts
// in year 1, whose first days a Julian date leaves out; the time scales'
// approximations end in 3000).
inline constexpr int kFirstMomentYear = 2;
inline constexpr int kLastMomentYear = 3000;
bool InMomentYears(int year);

// Neither checks its date: the caller passes a date the calendar knows.
// Dates before the reform of 1582 are Julian, as everywhere in the calendar.
BeijingSeconds ToBeijingSeconds(const CivilTime& time);
CivilTime ToCivilTime(BeijingSeconds seconds);

std::string FormatDateTime(const CivilTime& time);  // YYYY-MM-DD HH:MM:SS
std::string FormatHourMinute(int hour, int minute); // HH:MM

// A Julian date in two parts, as ERFA takes it.
struct JulianDate {
    double whole = 0, fraction = 0;
};

// Universal time (UTC from 1960, when it began) of a Beijing moment.
JulianDate UniversalJulianDate(BeijingSeconds seconds);
// Terrestrial time minus universal time at a Beijing moment, in seconds:
// from 1960 ERFA's leap-second table (TT - UTC = 32.184 s + TAI - UTC),
// before it and after the table's last year the polynomials of Espenak and
// Meeus (Five Millennium Canon of Solar Eclipses, NASA/TP-2006-214141),
// joined to the table's last value so that the scale never jumps.
double TerrestrialMinusUniversal(BeijingSeconds seconds);
JulianDate TerrestrialJulianDate(BeijingSeconds seconds);

}  // namespace velmora

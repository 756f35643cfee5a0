#include "BeijingTime.h"

#include <erfa.h>

#include <cmath>
#include <cstdio>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr long long kBeijingOffset = 8 * 3600;
constexpr double kUnixEpochJulianDate = 2440587.5;
// ERFA's table is kept to its release; until a new leap second is announced
// TAI - UTC stays what it was. After this year the smooth polynomial takes
// over from the table's value.
constexpr int kLeapSecondsUntil = 2026;

int UnixEpochDay()
{
    static const int day = DayNumber(1970, 1, 1);
    return day;
}

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Espenak and Meeus' delta T (TT - UT) in seconds for a decimal year.
double EspenakMeeusDeltaT(double y)
{
    const auto longTerm = [](double year) {
        const double u = (year - 1820) / 100;
        return -20 + 32 * u * u;
    };
    if (y < -500 || y >= 2150) return longTerm(y);
    if (y < 500) {
        const double u = y / 100;
        return 10583.6 + u * (-1014.41 + u * (33.78311 + u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
    }
    if (y < 1600) {
        const double u = (y - 1000) / 100;
        return 1574.2 + u * (-556.01 + u * (71.23472 + u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
    }
    if (y < 1700) {
        const double t = y - 1600;
        return 120 + t * (-0.9808 + t * (-0.01532 + t / 7129));
    }
    if (y < 1800) {
        const double t = y - 1700;
        return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000)));
    }
    if (y < 1860) {
        const double t = y - 1800;
        return 13.72 + t * (-0.332447 + t * (0.0068612 + t * (0.0041116 + t * (-0.00037436 + t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + t * (0.407 + t * (-1 / 233.0 + t / 2547));
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + t * (1.067 + t * (-1 / 260.0 - t / 718));
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    const double u = (y - 1820) / 100;
    return -20 + 32 * u * u - 0.5628 * (2150 - y);
}

double DecimalYear(const CivilTime& t) { return t.year + (DayOfYear(t.year, t.month, t.day) - 0.5) / 365.25; }

// TT - UTC from the leap-second table, for a UTC date the table covers.
double TableDeltaT(const CivilTime& utc)
{
    double taiMinusUtc = 0;
    const double fraction = (utc.hour * 3600 + utc.minute * 60 + utc.second) / 86400.0;
    eraDat(utc.year, utc.month, utc.day, fraction, &taiMinusUtc);
    return 32.184 + taiMinusUtc;
}

}  // namespace

bool InMomentYears(int year) { return year >= kFirstMomentYear && year <= kLastMomentYear; }

BeijingSeconds ToBeijingSeconds(const CivilTime& t)
{
    const long long days = static_cast<long long>(DayNumber(t.year, t.month, t.day)) - UnixEpochDay();
    return days * kSecondsPerDay + t.hour * 3600LL + t.minute * 60LL + t.second;
}

CivilTime ToCivilTime(BeijingSeconds seconds)
{
    const long long days = FloorDiv(seconds, kSecondsPerDay);
    long long rest = seconds - days * kSecondsPerDay;
    CivilTime t;
    DateOfDayNumber(static_cast<int>(days + UnixEpochDay()), t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    rest %= 3600;
    t.minute = static_cast<int>(rest / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::string FormatDateTime(const CivilTime& t)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string FormatHourMinute(int hour, int minute)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    return text;
}

JulianDate UniversalJulianDate(BeijingSeconds seconds)
{
    const long long utc = seconds - kBeijingOffset;
    const long long days = FloorDiv(utc, kSecondsPerDay);
    return {kUnixEpochJulianDate + static_cast<double>(days), static_cast<double>(utc - days * kSecondsPerDay) / 86400};
}

double TerrestrialMinusUniversal(BeijingSeconds seconds)
{
    const CivilTime utc = ToCivilTime(seconds - kBeijingOffset);
    if (utc.year < 1960) return EspenakMeeusDeltaT(DecimalYear(utc));
    if (utc.year <= kLeapSecondsUntil) return TableDeltaT(utc);
    static const double join = TableDeltaT({kLeapSecondsUntil, 12, 31, 23, 59, 59}) -
                               EspenakMeeusDeltaT(kLeapSecondsUntil + 1.0);
    return EspenakMeeusDeltaT(DecimalYear(utc)) + join;
}

JulianDate TerrestrialJulianDate(BeijingSeconds seconds)
{
    JulianDate date = UniversalJulianDate(seconds);
    date.fraction += TerrestrialMinusUniversal(seconds) / 86400;
    return date;
}

}  // namespace velmora

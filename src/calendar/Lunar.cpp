// The Chinese lunar calendar. The lunar day of a Gregorian date comes from a
// series for the instants of new moon (UTC+8); the month number from the
// count of mean lunations since a fixed epoch less the leap months inserted so
// far; which month is doubled from the leap-month list. Lunar to Gregorian is
// a bisection that tests candidates with the Gregorian-to-lunar direction.
//
// The series is evaluated once per year and kept (the new-moon days of the
// year and its lunar new year); the results are the same as evaluating it
// for every date, which CalendarReference.h offers for comparison.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "CalendarInternal.h"
#include "CalendarReference.h"

namespace velmora {
namespace detail {
namespace {

#include "LeapMonthList.inc"

constexpr Int64 kFirstLunarYear = -849;
constexpr Int64 kLastLunarYear = 2100;
// Searching for a date late in the last lunar year probes the first months of
// the following Gregorian year, so the series is also evaluated there.
constexpr Int64 kLastProbeYear = kLastLunarYear + 1;
constexpr int kListLength = static_cast<int>(kLastLunarYear - kFirstLunarYear + 1);
static_assert(sizeof(kLeapMonthList) - 1 == kListLength, "one leap-month character per year");

constexpr int LeapCharValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'c') return c - 'a' + 10;
    return -1;
}

// The leap-month character of a year as a number; -1 outside the list.
constexpr int LeapCharOf(Int64 year)
{
    if (year < kFirstLunarYear || year > kLastLunarYear) return -1;
    return LeapCharValue(kLeapMonthList[year - kFirstLunarYear]);
}

// Leap months inserted from -849 up to and including each year (year 0
// skipped), plus one for 1200..1499, where the month count runs one behind.
struct LeapCounts {
    std::array<int, kListLength> byYear{};

    constexpr LeapCounts()
    {
        int running = 0;
        for (Int64 year = kFirstLunarYear; year <= kLastLunarYear; ++year) {
            if (year != 0 && kLeapMonthList[year - kFirstLunarYear] != '0') ++running;
            byYear[static_cast<std::size_t>(year - kFirstLunarYear)] =
                running + (year >= 1200 && year <= 1499 ? 1 : 0);
        }
    }

    constexpr int At(Int64 year) const
    {
        if (year < kFirstLunarYear) return 0;
        if (year > kLastLunarYear) year = kLastLunarYear;
        return byYear[static_cast<std::size_t>(year - kFirstLunarYear)];
    }
};
constexpr LeapCounts kLeapCounts;
static_assert(kLeapCounts.At(-849) == 0 && kLeapCounts.At(1) == 311 && kLeapCounts.At(1899) == 1010 &&
                  kLeapCounts.At(1900) == 1011 && kLeapCounts.At(2000) == 1047 &&
                  kLeapCounts.At(2100) == 1084,
              "the leap-month list must keep the month count's fixed points");

// Fractional part as the month count defines it: for x <= 0 the integer
// part is added, not subtracted (a whole number off, which angles ignore).
double Frac(double x) { return x > 0 ? x - std::trunc(x) : x + std::trunc(x); }

// The series' coefficients for the lunations around the start of one year.
struct LunationSeries {
    double solarAnomaly;
    double lunarAnomaly;
    double latitudeArgument;
    double meanPhase;
    double firstAmplitude;
    Int64 baseDay;
};

constexpr double kDegreesPerRadian = 57.29577951308232;

LunationSeries SeriesOfYear(Int64 calendarYear)
{
    const Int64 year = AstronomicalYear(calendarYear);
    const double k = std::floor(static_cast<double>(year - 1900) * 12.3685);
    const double t = (static_cast<double>(year) - 1899.5) / 100;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const auto angle = [&](double constant, double perLunation, double c2, double c3) {
        return 2 * std::numbers::pi * Frac(perLunation * k) + constant / kDegreesPerRadian -
               c2 / kDegreesPerRadian * t2 - c3 / kDegreesPerRadian * t3;
    };
    const double meanFraction = 2 * std::numbers::pi * Frac(0 * k) + 0.75933 - 0.0002172 * t2 - 1.55e-07 * t3;
    LunationSeries s{};
    s.solarAnomaly = angle(359.2242, 0.08084821133, 3.33e-05, 3.47e-06);
    s.lunarAnomaly = angle(306.0253, 0.07171366128, -0.0107306, -1.236e-05);
    s.latitudeArgument = angle(21.2964, 0.08519585128, 0.0016528, 2.39e-06);
    // Local midnight (UTC+8) starts the civil day.
    s.meanPhase = meanFraction + 0.53058868 * k - 0.000837 * t + 8.0 / 24 + 0.5;
    s.firstAmplitude = 0.1734 - 0.000393 * t;
    s.baseDay = 29 * static_cast<Int64>(k) + 693595;
    return s;
}

// Instant, as a fractional day number, of the new moon (whole v) or full
// moon (half v) of lunation k + v.
double PhaseInstant(const LunationSeries& s, double v)
{
    const double a = s.solarAnomaly + 0.507984293 * v;
    const double b = s.lunarAnomaly + 6.73377553 * v;
    const double g = s.latitudeArgument + 6.818486628 * v;
    const double x = s.firstAmplitude * std::sin(a) + (s.meanPhase + 1.53058868 * v) - 0.4068 * std::sin(b) +
                     0.0021 * std::sin(2 * a) + 0.0161 * std::sin(2 * b) + 0.0104 * std::sin(2 * g) -
                     0.0074 * std::sin(a - b) - 0.0051 * std::sin(a + b);
    return static_cast<double>(s.baseDay) + 28 * v + x;
}

// Whole lunations v = -1 .. 13 of the series cover the year and its edges.
constexpr int kFirstLunation = -1;
constexpr int kLastLunation = 13;
using NewMoonDays = std::array<Int64, kLastLunation - kFirstLunation + 1>;

NewMoonDays ComputeNewMoonDays(Int64 year)
{
    const LunationSeries s = SeriesOfYear(year);
    NewMoonDays days{};
    for (int v = kFirstLunation; v <= kLastLunation; ++v)
        days[static_cast<std::size_t>(v - kFirstLunation)] =
            static_cast<Int64>(std::floor(PhaseInstant(s, v)));
    return days;
}

// Single lunar months where the series puts the new moon on the wrong civil
// day; their days are shifted by one.
struct DayAdjustment {
    int year;
    int first;  // month * 100 + day
    int last;
    int shift;
};
constexpr std::array<DayAdjustment, 6> kDayAdjustments = {{
    {1914, 1117, 1216, +1},
    {1916, 203, 303, +1},
    {1920, 1110, 1209, +1},
    {1924, 305, 403, +1},
    {2018, 1107, 1206, -1},
    // Beijing time puts this new moon at 00:00:40 on 09-29.
    {2057, 928, 1027, -1},
    // 2025 needs none: the series already gives the almanac's days there.
}};

int AdjustLunarDay(Int64 year, Int64 month, Int64 day, int lunarDay)
{
    const Int64 monthDay = month * 100 + day;
    for (const DayAdjustment& a : kDayAdjustments) {
        if (a.year != year || monthDay < a.first || monthDay > a.last) continue;
        lunarDay += a.shift;
        if (lunarDay == 31) lunarDay = 1;
        if (lunarDay == 0) lunarDay = 30;
    }
    return lunarDay;
}

// Day of the lunar month: counted from the latest new moon at most 29 days back.
template <class NewMoonAt>
int LunarDayFrom(Int64 year, Int64 month, Int64 day, NewMoonAt newMoonAt)
{
    const Int64 n = DayNumber64(year, month, day);
    int lunarDay = -1;
    for (int v = kFirstLunation; v <= kLastLunation; ++v) {
        const Int64 since = n - newMoonAt(v);
        if (since >= 0 && since <= 29) lunarDay = static_cast<int>(since) + 1;
    }
    return AdjustLunarDay(year, month, day, lunarDay);
}

int LunarDayTabulated(Int64 year, Int64 month, Int64 day)
{
    using Cache = YearCache<NewMoonDays, kFirstLunarYear, kLastProbeYear>;
    static Cache cache;
    if (!Cache::Covers(year)) return reference::LunarDayOf(static_cast<int>(year), static_cast<int>(month),
                                                            static_cast<int>(day));
    const NewMoonDays& days = cache.Get(year, ComputeNewMoonDays);
    return LunarDayFrom(year, month, day,
                        [&](int v) { return days[static_cast<std::size_t>(v - kFirstLunation)]; });
}

int WrapMonth(int month) { return month == 13 ? 1 : month; }

// Month number of a date whose lunar day is known; negative for a leap month.
int LunarMonthFrom(Int64 year, Int64 month, Int64 day, int lunarDay)
{
    constexpr Int64 kEpochDayNumber = -310443;  // DayNumber(-850, 1, 22), a new moon's day
    const double lunations =
        static_cast<double>(DayNumber64(year, month, day) - kEpochDayNumber - lunarDay) / 29.530588;
    Int64 n = static_cast<Int64>(std::nearbyint(lunations)) - kLeapCounts.At(year);
    // Eras in which the year began in another month.
    if (year <= 240) ++n;
    if (year <= 237) --n;
    if (year <= 23) ++n;
    if (year <= 8) --n;
    if (year <= -255) ++n;
    if (year <= -256) n += 2;
    if (year <= -722) ++n;
    n -= 3;
    // Only absurd years give a month number far outside 1..12; keep it an int.
    const double rounded = std::nearbyint(12 * Frac(static_cast<double>(n) / 12) + 1);
    const int r = static_cast<int>(std::clamp(rounded, -1000.0, 1000.0));

    const int previousLeap = LeapCharOf(PreviousYear(year));
    const int leap = LeapCharOf(year);
    // A January day still inside the previous lunar year's leap month.
    if (previousLeap == r && month == 1 && day < lunarDay) return -r;
    if (leap == r) return (month == 1 || month == 2) && leap != 12 ? WrapMonth(r + 1) : -r;
    if (leap > r) return WrapMonth(r + 1);
    if (month < r && leap > 0) return WrapMonth(r + 1);
    return r;
}

bool InLunarRange(Int64 year) { return year >= kFirstLunarYear && year <= kLastLunarYear; }

// Lunar month, day and leap flag without the range check of LunarDateOf.
template <class LunarDay>
void LunarDateWith(LunarDay lunarDayOf, Int64 year, Int64 month, Int64 day, int& lunarMonth, int& lunarDay,
                   bool& isLeap)
{
    lunarDay = lunarDayOf(year, month, day);
    const int signedMonth = LunarMonthFrom(year, month, day, lunarDay);
    lunarMonth = signedMonth < 0 ? -signedMonth : signedMonth;
    isLeap = signedMonth < 0;
}

int CompareLunar(Int64 y1, int m1, int d1, bool leap1, Int64 y2, int m2, int d2, bool leap2)
{
    if (y1 != y2) return y1 > y2 ? 1 : -1;
    if (m1 != m2) return m1 > m2 ? 1 : -1;
    if (leap1 != leap2) return leap1 ? 1 : -1;  // the leap month follows its ordinary month
    if (d1 != d2) return d1 > d2 ? 1 : -1;
    return 0;
}

// Bisection over the day numbers of Gregorian years ly and ly + 1, testing
// each candidate with the Gregorian-to-lunar direction.
template <class LunarDay>
bool BisectLunarDate(LunarDay lunarDayOf, int lunarYear, int lunarMonth, int lunarDay, bool isLeap, int& year,
                     int& month, int& day)
{
    if (isLeap && lunarMonth != LeapMonthOf(lunarYear)) return false;
    Int64 lo = DayNumber64(lunarYear, 1, 1);
    Int64 hi = DayNumber64(NextYear(lunarYear), 12, 31);
    bool step = false;
    int direction = 0;  // +1 after moving up, -1 after moving down
    Int64 guessedYear = lunarYear;
    int previousMonth = 0;
    for (int probes = 1; hi > lo; ++probes) {
        if (probes > 100) return false;
        const Int64 mid = (lo + hi) / 2 + (step ? 1 : 0);
        if (hi - lo == 1) step = true;
        int cy = 0, cm = 0, cd = 0;
        if (!FitsInInt(mid) || !DateOfDayNumber(static_cast<int>(mid), cy, cm, cd)) return false;
        if (cy < kFirstLunarYear || cy > kLastProbeYear) return false;
        int candidateMonth = 0, candidateDay = 0;
        bool candidateLeap = false;
        LunarDateWith(lunarDayOf, cy, cm, cd, candidateMonth, candidateDay, candidateLeap);
        // The candidate's lunar year follows from the month numbers wrapping.
        if (direction > 0 && candidateMonth < previousMonth) ++guessedYear;
        if (direction < 0 && candidateMonth > previousMonth) --guessedYear;
        const int c = CompareLunar(guessedYear, candidateMonth, candidateDay, candidateLeap, lunarYear,
                                   lunarMonth, lunarDay, isLeap);
        if (c == 0) {
            year = cy;
            month = cm;
            day = cd;
            return true;
        }
        if (c < 0) {
            lo = mid;
            direction = 1;
        } else {
            hi = mid;
            direction = -1;
        }
        previousMonth = candidateMonth;
    }
    return false;
}

// The Gregorian date of lunar new year (month 1, day 1) of a lunar year.
struct NewYear {
    bool found = false;
    int year = 0, month = 0, day = 0;
};

template <class LunarDay>
NewYear FindNewYear(LunarDay lunarDayOf, Int64 lunarYear)
{
    NewYear ny;
    ny.found = BisectLunarDate(lunarDayOf, static_cast<int>(lunarYear), 1, 1, false, ny.year, ny.month, ny.day);
    return ny;
}

NewYear TabulatedNewYear(Int64 lunarYear)
{
    using Cache = YearCache<NewYear, kFirstLunarYear, kLastLunarYear>;
    static Cache cache;
    return cache.Get(lunarYear, [](Int64 y) { return FindNewYear(LunarDayTabulated, y); });
}

template <class LunarDay, class NewYearOf>
bool GregorianToLunarWith(LunarDay lunarDayOf, NewYearOf newYearOf, int year, int month, int day,
                          int& lunarYear, int& lunarMonth, int& lunarDay, bool& isLeap)
{
    if (!InLunarRange(year)) return false;
    LunarDateWith(lunarDayOf, year, month, day, lunarMonth, lunarDay, isLeap);
    const NewYear ny = newYearOf(year);
    lunarYear = ny.found && CompareDates(year, month, day, ny.year, ny.month, ny.day) < 0
                    ? static_cast<int>(PreviousYear(year))
                    : year;
    return true;
}

}  // namespace
}  // namespace detail

using namespace detail;

int LeapMonthOf(int lunarYear)
{
    const int value = LeapCharOf(lunarYear);
    return value < 0 ? 0 : value;
}

int LunarDayOf(int year, int month, int day) { return LunarDayTabulated(year, month, day); }

int LunarMonthOf(int year, int month, int day)
{
    return LunarMonthFrom(year, month, day, LunarDayTabulated(year, month, day));
}

bool LunarDateOf(int year, int month, int day, int& lunarMonth, int& lunarDay, bool& isLeap)
{
    if (!InLunarRange(year)) return false;
    LunarDateWith(LunarDayTabulated, year, month, day, lunarMonth, lunarDay, isLeap);
    return true;
}

bool GregorianToLunar(int year, int month, int day, int& lunarYear, int& lunarMonth, int& lunarDay,
                      bool& isLeap)
{
    return GregorianToLunarWith(LunarDayTabulated, TabulatedNewYear, year, month, day, lunarYear, lunarMonth,
                                lunarDay, isLeap);
}

bool LunarToGregorian(int lunarYear, int lunarMonth, int lunarDay, bool isLeap, int& year, int& month, int& day)
{
    return BisectLunarDate(LunarDayTabulated, lunarYear, lunarMonth, lunarDay, isLeap, year, month, day);
}

int LunarMonthDays(int lunarYear, int lunarMonth, bool isLeap)
{
    const int leapMonth = LeapMonthOf(lunarYear);
    if (isLeap && lunarMonth != leapMonth) return -1;
    int y = 0, m = 0, d = 0;
    if (!LunarToGregorian(lunarYear, lunarMonth, 1, isLeap, y, m, d)) return -1;
    const int start = DayNumber(y, m, d);

    // The month after: the leap month follows its ordinary month.
    Int64 nextYear = lunarYear;
    int nextMonth = lunarMonth;
    bool nextLeap = true;
    if (!(lunarMonth == leapMonth && !isLeap)) {
        nextLeap = false;
        if (++nextMonth == 13) {
            nextMonth = 1;
            nextYear = NextYear(nextYear);
        }
    }
    if (!FitsInInt(nextYear) || !LunarToGregorian(static_cast<int>(nextYear), nextMonth, 1, nextLeap, y, m, d))
        return -1;
    return DayNumber(y, m, d) - start;
}

int CompareLunarDates(int y1, int m1, int d1, bool leap1, int y2, int m2, int d2, bool leap2)
{
    return CompareLunar(y1, m1, d1, leap1, y2, m2, d2, leap2);
}

bool IsValidLunarDate(int lunarYear, int lunarMonth, int lunarDay, bool isLeap)
{
    if (lunarMonth < 1 || lunarMonth > 12 || lunarDay > 30) return false;
    if (isLeap && lunarMonth != LeapMonthOf(lunarYear)) return false;
    if (lunarDay == 30 && LunarMonthDays(lunarYear, lunarMonth, isLeap) < 30) return false;
    return true;
}

void CheckLunarDate(int lunarYear, int lunarMonth, int lunarDay, bool isLeap)
{
    if (IsValidLunarDate(lunarYear, lunarMonth, lunarDay, isLeap)) return;
    char message[96];
    std::snprintf(message, sizeof message, "Lunar Date is Invalid: %d-%d-%d, MonthLeap %d.", lunarYear,
                  lunarMonth, lunarDay, isLeap ? 1 : 0);
    throw EDateException(message);
}

namespace reference {

int LunarDayOf(int year, int month, int day)
{
    // The series evaluated afresh, full moons included, as the definition reads.
    const LunationSeries s = SeriesOfYear(year);
    const Int64 n = DayNumber64(year, month, day);
    int lunarDay = -1;
    for (int step = 0; step <= 2 * (kLastLunation - kFirstLunation); ++step) {
        const double v = kFirstLunation + step * 0.5;
        const Int64 since = n - static_cast<Int64>(std::floor(PhaseInstant(s, v)));
        if (step % 2 == 0 && since >= 0 && since <= 29) lunarDay = static_cast<int>(since) + 1;
    }
    return AdjustLunarDay(year, month, day, lunarDay);
}

namespace {
int DirectLunarDay(Int64 year, Int64 month, Int64 day)
{
    return LunarDayOf(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}
}  // namespace

bool GregorianToLunar(int year, int month, int day, int& lunarYear, int& lunarMonth, int& lunarDay,
                      bool& isLeap)
{
    return GregorianToLunarWith(
        DirectLunarDay, [](Int64 y) { return FindNewYear(DirectLunarDay, y); }, year, month, day, lunarYear,
        lunarMonth, lunarDay, isLeap);
}

bool LunarToGregorian(int lunarYear, int lunarMonth, int lunarDay, bool isLeap, int& year, int& month, int& day)
{
    return BisectLunarDate(DirectLunarDay, lunarYear, lunarMonth, lunarDay, isLeap, year, month, day);
}

int SectionalTermDay(int year, int n) { return detail::SectionalTermDayUncached(year, n); }

}  // namespace reference
}  // namespace velmora

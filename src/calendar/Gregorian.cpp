// Gregorian and Julian calendar, the two day counts, date checks and star signs.
#include <array>
#include <cstdio>

#include "CalendarInternal.h"

namespace velmora {
namespace detail {

// The last day of the Julian calendar, 1582-10-04, and the first of the
// Gregorian one, 1582-10-15, are consecutive on the day-number scale.
constexpr Int64 kLastJulianDayNumber = 577735;

CalendarKind KindOf(Int64 y, Int64 m, Int64 d)
{
    if (y < 1582) return CalendarKind::Julian;
    if (y == 1582 && m < 10) return CalendarKind::Julian;
    if (y == 1582 && m == 10 && d <= 4) return CalendarKind::Julian;
    if (y == 1582 && m == 10 && d <= 14) return CalendarKind::DroppedDay;
    return CalendarKind::Gregorian;
}

bool IsLeapYear(Int64 y)
{
    if (KindOf(y, 1, 1) == CalendarKind::Gregorian)
        return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    if (y >= 0) return y % 4 == 0;
    // Before year 1 the leap years are -1, -5, -9, ...: there is no year 0.
    return (y - 3) % 4 == 0;
}

int MonthLength(Int64 y, Int64 m)
{
    switch (m) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    case 4: case 6: case 9: case 11: return 30;
    case 2: return IsLeapYear(y) ? 29 : 28;
    default: return 0;
    }
}

Int64 DayOfYear64(Int64 y, Int64 m, Int64 d)
{
    Int64 days = d;
    // Months above 12 have no length, so the sum stops growing after December.
    const Int64 lastFullMonth = m - 1 < 12 ? m - 1 : 12;
    for (Int64 month = 1; month <= lastFullMonth; ++month) days += MonthLength(y, month);
    return days;
}

Int64 DayNumber64(Int64 y, Int64 m, Int64 d)
{
    const Int64 e = AstronomicalYear(y) - 1;
    switch (KindOf(y, m, d)) {
    case CalendarKind::Julian:
        // Leap days are counted with floor division, so that the years before
        // 1 (-1 a leap year, as -5 and -9) follow each other and year 1 without a gap.
        return DayOfYear64(y, m, d) + 365 * e + (e >= 0 ? e / 4 : (e - 3) / 4) - 2;
    case CalendarKind::Gregorian:
        return DayOfYear64(y, m, d) + 365 * e + e / 4 - e / 100 + e / 400;
    case CalendarKind::DroppedDay:
        break;
    }
    return 0;
}

Int64 CycleDayCount64(Int64 y, Int64 m, Int64 d)
{
    Int64 count = (y > 0 ? (y - 1) * 365 : y * 365) + DayOfYear64(y, m, d);
    if (y < 0) return count - (3 - y) / 4;
    count += (y - 1) / 4;
    if (KindOf(y, m, d) == CalendarKind::Gregorian) {
        const Int64 dropped = y <= 1700 ? 10 : 10 + ((y - 1701) / 100 + 1) - (y - 1601) / 400;
        count -= dropped;
    }
    return count;
}

namespace {

// Walks the months of a year whose calendar rule MonthLength knows.
void SplitDayOfYear(Int64 year, Int64 dayOfYear, int& month, int& day)
{
    month = 1;
    while (month < 12 && dayOfYear > MonthLength(year, month)) {
        dayOfYear -= MonthLength(year, month);
        ++month;
    }
    day = static_cast<int>(dayOfYear);
}

// Julian calendar: day numbers up to 1582-10-04. Julian 0001-01-01 is day -1;
// the days before it fall in the years -1, -2, ... (floor division keeps the
// four-year cycles whole there).
void JulianDateOf(Int64 n, Int64& year, int& month, int& day)
{
    const Int64 sinceEpoch = n + 1;  // days after Julian 0001-01-01
    const Int64 cycles = sinceEpoch >= 0 ? sinceEpoch / 1461 : (sinceEpoch - 1460) / 1461;
    const Int64 rest = sinceEpoch - 1461 * cycles;
    const Int64 yearInCycle = rest / 365 < 3 ? rest / 365 : 3;
    const Int64 astronomical = 1 + 4 * cycles + yearInCycle;  // the leap year closes each cycle
    year = astronomical <= 0 ? astronomical - 1 : astronomical;
    SplitDayOfYear(year, rest - 365 * yearInCycle + 1, month, day);
}

// Proleptic Gregorian calendar: day numbers from 1582-10-15 on.
void GregorianDateOf(Int64 n, Int64& year, int& month, int& day)
{
    Int64 rest = n - 1;  // days after Gregorian 0001-01-01
    const Int64 c400 = rest / 146097;
    rest %= 146097;
    Int64 c100 = rest / 36524;
    if (c100 == 4) c100 = 3;  // the last day of a 400-year cycle
    rest -= c100 * 36524;
    const Int64 c4 = rest / 1461;
    rest %= 1461;
    Int64 c1 = rest / 365;
    if (c1 == 4) c1 = 3;  // the last day of a leap year
    rest -= c1 * 365;
    year = 400 * c400 + 100 * c100 + 4 * c4 + c1 + 1;
    SplitDayOfYear(year, rest + 1, month, day);
}

constexpr std::array<int, 12> kStarSignBoundaries = {120, 219, 321, 421, 521, 622,
                                                     723, 823, 923, 1023, 1123, 1222};
constexpr std::array<const char*, 12> kStarSignNames = {
    "白羊", "金牛", "双子", "巨蟹", "狮子", "处女", "天秤", "天蝎", "射手", "摩羯", "宝瓶", "双鱼"};

}  // namespace
}  // namespace detail

using namespace detail;

CalendarKind CalendarKindOf(int year, int month, int day) { return KindOf(year, month, day); }

bool IsCalendarLeapYear(int year) { return IsLeapYear(year); }

int DaysInMonth(int year, int month) { return MonthLength(year, month); }

int DayOfYear(int year, int month, int day) { return SaturateToInt(DayOfYear64(year, month, day)); }

int DayNumber(int year, int month, int day)
{
    const Int64 n = DayNumber64(year, month, day);
    return FitsInInt(n) ? static_cast<int>(n) : 0;
}

int CycleDayCount(int year, int month, int day)
{
    const Int64 n = CycleDayCount64(year, month, day);
    return FitsInInt(n) ? static_cast<int>(n) : 0;
}

bool DateOfDayNumber(int n, int& year, int& month, int& day)
{
    Int64 y = 0;
    if (n <= kLastJulianDayNumber)
        JulianDateOf(n, y, month, day);
    else
        GregorianDateOf(n, y, month, day);
    year = static_cast<int>(y);
    return true;
}

int CompareDates(int y1, int m1, int d1, int y2, int m2, int d2)
{
    if (y1 != y2) return y1 > y2 ? 1 : -1;
    if (m1 != m2) return m1 > m2 ? 1 : -1;
    if (d1 != d2) return d1 > d2 ? 1 : -1;
    return 0;
}

bool IsValidGregorianDate(int year, int month, int day)
{
    if (year == 0 || month < 1 || month > 12 || day < 1 || day > MonthLength(year, month))
        return false;
    if (KindOf(year, month, day) == CalendarKind::DroppedDay) return false;
    // Both day counts must be representable, or the pillars have no day to count.
    return FitsInInt(DayNumber64(year, month, day)) && FitsInInt(CycleDayCount64(year, month, day));
}

bool IsPastCountedRange(int year, int month, int day)
{
    const bool exists = year != 0 && month >= 1 && month <= 12 && day >= 1 && day <= MonthLength(year, month) &&
                        KindOf(year, month, day) != CalendarKind::DroppedDay;
    return exists && !IsValidGregorianDate(year, month, day);
}

void CheckDate(int year, int month, int day)
{
    if (IsValidGregorianDate(year, month, day)) return;
    char message[64];
    std::snprintf(message, sizeof message, "Date is Invalid: %d-%d-%d.", year, month, day);
    throw EDateException(message);
}

int StarSign(int month, int day)
{
    const Int64 c = Int64{month} * 100 + day;
    const int last = static_cast<int>(kStarSignBoundaries.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        if (c < kStarSignBoundaries[i]) return (i + 9) % 12;
        if (i == last || c < kStarSignBoundaries[i + 1]) return (i + 10) % 12;
    }
    return 9;  // not reached: the last boundary always decides
}

std::string StarSignName(int index)
{
    if (index < 0 || index >= static_cast<int>(kStarSignNames.size())) return {};
    return kStarSignNames[index];
}

}  // namespace velmora

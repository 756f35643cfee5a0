// Derives the leap-month characters of the years -849 .. 1644, which no
// historical record in the program covers, and prints them as rows for
// data/leap-months.txt. The derivation is described in that file's header;
// in short: the engine's own new moons and principal solar terms decide
// which years have a leap month and which month it is, then a few documented
// adjustments keep the engine's month numbering continuous.
//
//   derive-leap-months > rows.txt
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "ChineseCalendar.h"

namespace {

using namespace velmora;

constexpr int kFirstYear = -849;
constexpr int kLastDerivedYear = 1644;

struct CivilDay {
    int year, month, day;
};

CivilDay NextDay(CivilDay d)
{
    if (d.year == 1582 && d.month == 10 && d.day == 4) return {1582, 10, 15};
    if (d.day < DaysInMonth(d.year, d.month)) return {d.year, d.month, d.day + 1};
    if (d.month < 12) return {d.year, d.month + 1, 1};
    return {d.year == -1 ? 1 : d.year + 1, 1, 1};
}

int PreviousYear(int year) { return year == 1 ? -1 : year - 1; }

long long Key(int year, int month, int day) { return (static_cast<long long>(year) * 100 + month) * 100 + day; }

// The civil days in calendar order, and the ones on which a lunar month begins.
struct DayLine {
    std::map<long long, int> indexOf;
    std::vector<int> monthStarts;

    DayLine()
    {
        int index = 0;
        for (CivilDay d{kFirstYear - 3, 1, 1}; d.year <= kLastDerivedYear + 2; d = NextDay(d), ++index) {
            indexOf[Key(d.year, d.month, d.day)] = index;
            if (LunarDayOf(d.year, d.month, d.day) == 1) monthStarts.push_back(index);
        }
    }

    // The day on which solar term n of `year` falls, as an index, or -1.
    int TermDay(int year, int n) const
    {
        long long dayOfYear = static_cast<long long>(std::floor(SolarTermDay(year, n)));
        int y = year;
        while (dayOfYear < 1) {
            y = PreviousYear(y);
            dayOfYear += IsCalendarLeapYear(y) ? 366 : 365;
        }
        int month = 1;
        while (month < 12 && dayOfYear > DaysInMonth(y, month)) dayOfYear -= DaysInMonth(y, month++);
        const auto found = indexOf.find(Key(y, month, static_cast<int>(dayOfYear)));
        return found == indexOf.end() ? -1 : found->second;
    }

    // The lunar month (as an index into monthStarts) that holds a day.
    int MonthOf(int dayIndex) const
    {
        const auto next = std::upper_bound(monthStarts.begin(), monthStarts.end(), dayIndex);
        return static_cast<int>(next - monthStarts.begin()) - 1;
    }
};

char LeapChar(int month) { return month < 10 ? static_cast<char>('0' + month) : static_cast<char>('a' + month - 10); }

// Rule 1: a solstice year (from the month holding one 冬至 to the month
// holding the next) of thirteen months has a leap month, the first of them
// without a principal term. Leap months after the 11th or 12th month belong
// to the lunar year before. Years whose solstice year does not come out as 12
// or 13 months (before year 1, where the day count has gaps) are returned.
std::map<int, char> AstronomicalLeapMonths(const DayLine& days, std::vector<int>& undecided)
{
    std::map<int, char> leap;
    for (int year = kFirstYear + 1; year <= kLastDerivedYear + 1; ++year) {
        if (year == 0) continue;
        const int from = days.TermDay(PreviousYear(year), 24);
        const int to = days.TermDay(year, 24);
        if (from < 0 || to < 0) continue;
        const int first = days.MonthOf(from);
        const int span = days.MonthOf(to) - first;
        if (span == 12) continue;
        if (span != 13) {
            undecided.push_back(year);
            continue;
        }
        std::vector<int> principalTerms = {from};
        for (int n = 2; n <= 24; n += 2) principalTerms.push_back(days.TermDay(year, n));
        for (int k = 1; k <= 12; ++k) {
            const int start = days.monthStarts[static_cast<std::size_t>(first + k)];
            const int end = days.monthStarts[static_cast<std::size_t>(first + k + 1)];
            const bool hasTerm = std::any_of(principalTerms.begin(), principalTerms.end(),
                                             [&](int t) { return t >= start && t < end; });
            if (hasTerm) continue;
            const int month = (10 + k - 1) % 12 + 1;  // the month the leap month repeats
            leap[k <= 2 ? PreviousYear(year) : year] = LeapChar(month);
            break;
        }
    }
    return leap;
}

}  // namespace

int main()
{
    const DayLine days;
    std::vector<int> undecided;
    const std::map<int, char> astronomical = AstronomicalLeapMonths(days, undecided);

    std::vector<char> chars(static_cast<std::size_t>(kLastDerivedYear - kFirstYear + 1), '0');
    auto at = [&](int year) -> char& { return chars[static_cast<std::size_t>(year - kFirstYear)]; };
    for (const auto& [year, c] : astronomical)
        if (year >= kFirstYear && year <= kLastDerivedYear) at(year) = c;

    // Rule 2: the month count cannot express a leap first month that starts
    // in February, nor a leap twelfth month; they are written as a leap
    // second and a leap eleventh month.
    for (int year = 1; year <= kLastDerivedYear; ++year) {
        if (at(year) == '1') at(year) = '2';
        if (at(year) == 'c') at(year) = 'b';
    }

    // Rule 3: where the month count's built-in offsets change (years 9, 24,
    // 238 and 241, and 1200 and 1500 where the leap count runs one ahead),
    // one leap month is added or dropped at the nearest year that keeps each
    // lunar date naming exactly one day.
    for (const auto& [year, c] : {std::pair{9, '2'}, std::pair{24, '0'}, std::pair{238, '2'},
                                  std::pair{241, '0'}, std::pair{1200, '0'}, std::pair{1497, '1'}})
        at(year) = c;

    // Rule 4: before year 1 the list starts with "0c"; solstice years that the
    // day count's gaps leave undecided get a leap twelfth month, and further
    // leap twelfth months go into the middle of the longest runs without one
    // until 311 leap years stand before year 2.
    at(kFirstYear) = '0';
    at(kFirstYear + 1) = 'c';
    at(0) = '0';
    for (const int year : undecided)
        if (year < 0 && at(year) == '0') at(year) = 'c';
    auto leapYearsUpToYearOne = [&] {
        int count = 0;
        for (int year = kFirstYear; year <= 1; ++year) count += year != 0 && at(year) != '0';
        return count;
    };
    while (leapYearsUpToYearOne() < 311) {
        int bestStart = 0, bestLength = 0;
        for (int year = kFirstYear + 2, runStart = 0, run = 0; year <= 0; ++year) {
            run = at(year) == '0' && year != 0 ? run + 1 : 0;
            if (run == 1) runStart = year;
            if (run > bestLength) bestLength = run, bestStart = runStart;
        }
        at(bestStart + bestLength / 2) = 'c';
    }

    for (int year = kFirstYear; year <= kLastDerivedYear; year += 40) {
        std::printf("%d: ", year);
        for (int y = year; y < year + 40 && y <= kLastDerivedYear; ++y) std::putchar(at(y));
        std::putchar('\n');
    }
    return 0;
}

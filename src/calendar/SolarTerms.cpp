// The solar terms: a closed formula (a mean tropical year and two periodic
// waves) for the day of the year of each of the 24 terms.
#include <array>
#include <cmath>

#include "CalendarInternal.h"

namespace velmora {
namespace detail {
namespace {

long double SolarTermDay64(Int64 year, int n)
{
    // The formula counts years astronomically (-1 is its 0); year 0, which
    // does not exist, is read as year 1.
    if (year == 0) year = 1;
    const Int64 y = AstronomicalYear(year);
    const long double ly = static_cast<long double>(y);
    const long double m = ly - 100;
    const long double mean =
        (365.2423112L - 6.4e-14L * m * m - 3.047e-08L * m) * ly + 15.218427L * n + 1721050.71301L;
    const long double e = 0.0003L * ly - 0.372781384L - 0.2617913325L * n;
    const long double firstWave =
        (1.945L * std::sin(e) - 0.01206L * std::sin(2 * e)) * (1.048994L - 2.583e-05L * ly);
    const long double secondWave = -0.0018L * std::sin(2.313908653L * ly - 0.439822951L - 3.0443L * n);
    return mean + firstWave + secondWave - static_cast<long double>(DayNumber64(year, 1, 0)) - 1721425;
}

// Sectional terms whose instant lies within minutes of midnight, where the
// formula lands on the neighbouring civil day; the almanac's day (UTC+8) wins.
struct TermCorrection {
    int year;
    int term;
    int month;
    int day;
};
constexpr std::array<TermCorrection, 9> kTermCorrections = {{
    {1911, 9, 5, 7},    // 立夏
    {1912, 19, 10, 9},  // 寒露
    {1927, 17, 9, 9},   // 白露
    {2016, 13, 7, 7},   // 小暑
    {2020, 23, 12, 7},  // 大雪
    {2040, 19, 10, 8},  // 寒露
    {2083, 3, 2, 3},    // 立春
    {2085, 1, 1, 4},    // 小寒
    {2097, 9, 5, 5},    // 立夏
}};

// The thirteen sectional-term days (n = 1, 3, ..., 25) of one year.
using SectionalTermYear = std::array<int, 13>;

SectionalTermYear ComputeSectionalTermYear(Int64 year)
{
    SectionalTermYear days{};
    for (int i = 0; i < static_cast<int>(days.size()); ++i) days[i] = SectionalTermDayUncached(year, 2 * i + 1);
    return days;
}

}  // namespace

int SectionalTermDayUncached(Int64 year, int n)
{
    for (const TermCorrection& c : kTermCorrections)
        if (c.year == year && c.term == n) return static_cast<int>(DayOfYear64(year, c.month, c.day));
    return SaturateToInt(static_cast<Int64>(std::floor(SolarTermDay64(year, n))));
}

int SectionalTermDay(Int64 year, int n)
{
    // Cached for the years a reading meets in practice.
    using Cache = YearCache<SectionalTermYear, -1000, 3000>;
    static Cache cache;
    if (!Cache::Covers(year) || n < 1 || n > 25 || n % 2 == 0) return SectionalTermDayUncached(year, n);
    return cache.Get(year, ComputeSectionalTermYear)[static_cast<std::size_t>(n / 2)];
}

}  // namespace detail

long double SolarTermDay(int year, int n) { return detail::SolarTermDay64(year, n); }

}  // namespace velmora

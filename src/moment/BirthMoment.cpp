#include "BirthMoment.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "ChineseCalendar.h"
#include "TermMoments.h"

namespace velmora {
namespace {

constexpr int kSpringTerm = 2;  // 立春

// The year whose 立春 the moment has passed.
int SolarYear(BeijingSeconds standard)
{
    const int year = ToCivilTime(standard).year;
    return standard >= TermMomentsOfYear(year)[kSpringTerm] ? year : year - 1;
}

// The last sectional term at or before the moment: its index in its year.
int LastSectionalTerm(BeijingSeconds standard)
{
    const std::optional<SectionalTerm> term = SectionalTermAtOrBefore(standard);
    return term ? term->index : kTermCount - 2;  // before year 2's 小寒: year 1's 大雪
}

CivilTime NextDay(CivilTime t)
{
    int n = DayNumber(t.year, t.month, t.day) + 1;
    DateOfDayNumber(n, t.year, t.month, t.day);
    return t;
}

bool ParseNumber(std::string_view text, double& value)
{
    // One leading plus is a sign; a second sign after it ("+-100") is no number.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

int PreciseYearPillar(BeijingSeconds standard) { return YearSexagenary(SolarYear(standard)); }

int PreciseMonthPillar(BeijingSeconds standard)
{
    int yearStem = 0, yearBranch = 0;
    SplitSexagenary(PreciseYearPillar(standard), yearStem, yearBranch);
    const int branch = (LastSectionalTerm(standard) / 2 + 1) % 12;
    const int fromTiger = (branch + 10) % 12;  // 寅 opens the year's months
    // The first month's stem follows the year's stem (甲己之年丙作首).
    return CombineStemBranch((yearStem % 5 * 2 + 2 + fromTiger) % 10, branch);
}

bool NearSectionalTermDay(const CivilTime& date)
{
    const int day = DayOfYear(date.year, date.month, date.day);
    // n = 1, 3, ..., 23: the year's sectional terms, 小寒 in early January to 大雪 in early December.
    for (int n = 1; n <= 23; n += 2)
        if (std::abs(day - static_cast<int>(std::floor(SolarTermDay(date.year, n)))) <= 1) return true;
    return false;
}

ChartMoment ChartAt(BeijingSeconds standard, const MomentRules& rules, std::optional<double> equationOfTime)
{
    ChartMoment chart;
    chart.standard = standard;
    BeijingSeconds local = standard;
    if (rules.longitude) {
        chart.longitudeMinutes = 4 * (*rules.longitude - 120);
        chart.equationOfTime = equationOfTime ? *equationOfTime : EquationOfTime(standard);
        local += std::llround(chart.longitudeMinutes * 60 + chart.equationOfTime);
    }
    chart.dayTime = ToCivilTime(local);
    const CivilTime& t = chart.dayTime;
    const bool nextDay = rules.zi == ZiSchool::Early && t.hour == 23;
    chart.lunarDate = nextDay ? NextDay(t) : t;
    const CivilTime& d = chart.lunarDate;
    if (rules.precise) {
        chart.pillars[0] = PreciseYearPillar(standard);
        chart.pillars[1] = PreciseMonthPillar(standard);
    } else {
        chart.pillars[0] = YearPillar(t.year, t.month, t.day);
        chart.pillars[1] = MonthPillar(t.year, t.month, t.day);
    }
    chart.pillars[2] = DayPillar(d.year, d.month, d.day);
    chart.pillars[3] = HourPillar(t.year, t.month, t.day, t.hour);
    return chart;
}

bool ParseLongitude(std::string_view text, double& degrees)
{
    double value = 0;
    if (!ParseNumber(text, value) || value < -180 || value > 180) return false;
    degrees = value;
    return true;
}

bool ParseLatitude(std::string_view text, double& degrees)
{
    double value = 0;
    if (!ParseNumber(text, value) || value < -90 || value > 90) return false;
    degrees = value;
    return true;
}

bool ParseMinute(std::string_view text, int& minute)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > 59)
        return false;
    minute = value;
    return true;
}

bool ParseZiSchool(std::string_view text, ZiSchool& school)
{
    if (text == "late") school = ZiSchool::Late;
    else if (text == "early") school = ZiSchool::Early;
    else return false;
    return true;
}

}  // namespace velmora

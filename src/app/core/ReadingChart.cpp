#include "ReadingChart.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "ChineseCalendar.h"
#include "DaylightSaving.h"

namespace velmora {
namespace {

// The sexagenary index of a pillar's name, or -1.
int PillarIndex(const std::string& name)
{
    static const std::array<std::string, 60> names = [] {
        std::array<std::string, 60> all;
        for (int i = 0; i < 60; ++i) all[i] = SexagenaryName(i);
        return all;
    }();
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

std::vector<int> PillarIndices(const std::string& siZhu)
{
    std::vector<int> pillars;
    for (const std::string& name : SpaceSeparated(siZhu)) pillars.push_back(PillarIndex(name));
    return pillars;
}

// The birth in Beijing standard time, to the minute: the moment a precise
// reading used, else the clock time as typed with China's summer time taken
// off. True solar time never moves it.
BeijingSeconds BirthMoment(const BirthInput& input, const TKarvoInfo& r)
{
    CivilTime t;
    if (!r.BeijingMoment.empty() &&
        std::sscanf(r.BeijingMoment.c_str(), "%d-%d-%d %d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute) == 5)
        return ToBeijingSeconds(t);
    t = {std::stoi(r.Year), std::stoi(r.Month), std::stoi(r.Day), ParseIntOr(r.Hour, 0),
         input.moment.minute.value_or(0), 0};
    const BeijingSeconds clock = ToBeijingSeconds(t);
    if (!InMomentYears(t.year)) return clock;
    const ClockReading reading = ReadClock(clock);
    return reading.first.value_or(clock);
}

}  // namespace

std::shared_ptr<const Chart> ChartOfReading(const BirthInput& input, const TKarvoInfo& record,
                                            const StartupDate& asOf)
{
    const std::vector<int> pillars = PillarIndices(record.SiZhu);
    // An unknown hour whose day had a term may share fewer than three pillars.
    if (pillars.size() < 3 || (pillars.size() == 3 && !record.HourUnknown)) return nullptr;
    for (const int pillar : pillars)
        if (pillar < 0) return nullptr;
    ChartInput chart;
    chart.year = pillars[0];
    chart.month = pillars[1];
    chart.day = pillars[2];
    if (pillars.size() == 4) chart.hour = pillars[3];
    chart.male = record.Sex == "男";
    chart.birth = BirthMoment(input, record);
    chart.birthYear = std::stoi(record.Year);
    chart.asOf = {asOf.year, asOf.month, asOf.day, 0, 0, 0};
    return std::make_shared<const Chart>(BuildChart(chart));
}

}  // namespace velmora

#include "DaylightSaving.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

extern const unsigned char velmora_china_dst[];
extern const std::size_t velmora_china_dst_size;

namespace velmora {
namespace {

constexpr BeijingSeconds kHour = 3600;

std::optional<BeijingSeconds> ParseMinute(std::string_view text)
{
    CivilTime t;
    char tail = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%d-%d-%d %d:%d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &tail) != 5)
        return std::nullopt;
    return ToBeijingSeconds(t);
}

std::vector<DaylightSavingPeriod> ParsePeriods()
{
    std::vector<DaylightSavingPeriod> periods;
    std::string_view text(reinterpret_cast<const char*>(velmora_china_dst), velmora_china_dst_size);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t tab = line.find('\t');
        if (line.empty() || line.front() == '#' || tab == std::string_view::npos) continue;
        const auto start = ParseMinute(line.substr(0, tab)), stop = ParseMinute(line.substr(tab + 1));
        if (start && stop) periods.push_back({*start, *stop});
    }
    return periods;
}

}  // namespace

const std::vector<DaylightSavingPeriod>& ChinaDaylightSavingPeriods()
{
    static const std::vector<DaylightSavingPeriod> periods = ParsePeriods();
    return periods;
}

bool InDaylightSaving(BeijingSeconds standard)
{
    const auto& periods = ChinaDaylightSavingPeriods();
    return std::any_of(periods.begin(), periods.end(),
                       [&](const DaylightSavingPeriod& p) { return standard >= p.start && standard < p.end; });
}

ClockReading ReadClock(BeijingSeconds clock)
{
    // The clock showed this time either as standard time, or an hour ahead
    // during a period; in the order they happened.
    ClockReading reading;
    const BeijingSeconds ahead = clock - kHour;
    if (InDaylightSaving(ahead)) reading.first = ahead;
    if (!InDaylightSaving(clock)) (reading.first ? reading.second : reading.first) = clock;
    return reading;
}

}  // namespace velmora

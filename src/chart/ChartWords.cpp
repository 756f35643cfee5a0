#include "ChartWords.h"

#include <cstdio>

#include "ChineseCalendar.h"

namespace velmora {

std::string_view PositionKey(PillarPosition position)
{
    static constexpr std::string_view kKeys[] = {"year", "month", "day", "hour"};
    return kKeys[static_cast<int>(position)];
}

std::string_view PositionTitle(PillarPosition position)
{
    static constexpr std::string_view kTitles[] = {"年柱", "月柱", "日柱", "时柱"};
    return kTitles[static_cast<int>(position)];
}

std::string FormatMinute(BeijingSeconds moment)
{
    const CivilTime t = ToCivilTime(moment);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return text;
}

std::string StageName(int stage) { return std::string(kGrowthStageNames[static_cast<std::size_t>(stage)]); }

std::string BranchPair(const std::array<int, 2>& branches)
{
    return BranchName(branches[0]) + BranchName(branches[1]);
}

std::string StartInWords(const Luck& luck)
{
    const CivilTime t = ToCivilTime(luck.startMoment);
    return "出生后" + std::to_string(luck.start.years) + "年" + std::to_string(luck.start.months) + "个月" +
           std::to_string(luck.start.days) + "天起运，" + std::to_string(t.year) + "年" + std::to_string(t.month) +
           "月" + std::to_string(t.day) + "日交运";
}

std::string_view DirectionWord(bool forward) { return forward ? "顺排" : "逆排"; }

}  // namespace velmora

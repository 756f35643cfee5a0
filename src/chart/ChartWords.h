// Words the chart's formats share.
#pragma once

#include <string>
#include <string_view>

#include "Chart.h"

namespace velmora {

std::string_view PositionKey(PillarPosition position);    // "year" .. "hour"
std::string_view PositionTitle(PillarPosition position);  // "年柱" .. "时柱"
std::string FormatMinute(BeijingSeconds moment);          // YYYY-MM-DD HH:MM
std::string StageName(int stage);
// "申酉"
std::string BranchPair(const std::array<int, 2>& branches);
// "出生后6年2个月18天起运，1989年5月4日交运"
std::string StartInWords(const Luck& luck);
// "顺排" / "逆排"
std::string_view DirectionWord(bool forward);

}  // namespace velmora

// The lookups of a reading: each statement text, with "%s" standing for the
// key, and the columns read from its first row. The reading puts its keys in
// with FormatStatement exactly as they are, without quoting of its own (no
// key of a reading ever holds a quote).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velmora {

// 1 to 4: the weight and text of the year pillar, lunar month, lunar day and hour.
inline constexpr std::string_view kYearStatement = "SELECT [年骨重],[年内容] FROM 软件数据 WHERE [年份] = '%s'";
inline constexpr std::string_view kMonthStatement = "SELECT [月骨重],[月内容] FROM 软件数据 WHERE [月份] = %s";
inline constexpr std::string_view kDayStatement = "SELECT [日骨重],[日内容] FROM 软件数据 WHERE [日子] = %s";
inline constexpr std::string_view kHourStatement = "SELECT [时骨重],[时内容] FROM 软件数据 WHERE [时间] = '%s'";
// 5, 6: the bone-weight text for a man or a woman; 7: the star sign's text.
inline constexpr std::string_view kMaleBoneStatement = "SELECT [男骨重] FROM 骨重星座 WHERE [骨重] = '%s'";
inline constexpr std::string_view kFemaleBoneStatement = "SELECT [女骨重] FROM 骨重星座 WHERE [骨重] = '%s'";
inline constexpr std::string_view kStarSignStatement = "SELECT [星内容] FROM 骨重星座 WHERE [星座] = '%s'";
// 8: the animal's general text and the text of one lunar month; the first
// key is the month, the second the animal.
inline constexpr std::string_view kAnimalStatement =
    "SELECT [属相内容],[属相%s月] FROM 属相数据 WHERE [属相名称] = '%s'";

inline constexpr std::string_view kYearWeightColumn = "年骨重";
inline constexpr std::string_view kYearTextColumn = "年内容";
inline constexpr std::string_view kMonthWeightColumn = "月骨重";
inline constexpr std::string_view kMonthTextColumn = "月内容";
inline constexpr std::string_view kDayWeightColumn = "日骨重";
inline constexpr std::string_view kDayTextColumn = "日内容";
inline constexpr std::string_view kHourWeightColumn = "时骨重";
inline constexpr std::string_view kHourTextColumn = "时内容";
inline constexpr std::string_view kMaleBoneTextColumn = "男骨重";
inline constexpr std::string_view kFemaleBoneTextColumn = "女骨重";
inline constexpr std::string_view kStarSignTextColumn = "星内容";
inline constexpr std::string_view kAnimalTextColumn = "属相内容";

// The column of an animal's text for a lunar month: "属相" + month + "月".
std::string AnimalMonthColumn(std::string_view lunarMonth);

// Replaces the "%s" of `statementTemplate` one after another by `keys`.
// Throws std::invalid_argument when the counts differ.
std::string FormatStatement(std::string_view statementTemplate, std::initializer_list<std::string_view> keys);

}  // namespace velmora

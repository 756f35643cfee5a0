// The traditional wording of a bone weight, e.g. 四两四 for 4.4 liang.
#include <algorithm>
#include <charconv>

#include "UnitPublic.h"

namespace velmora {
namespace {

// The characters of a formatted weight that have a wording, and their words;
// 0 and every other character have none.
constexpr std::array<std::string_view, 10> kWeightCharacters = {".", "1", "2", "3", "4",
                                                                "5", "6", "7", "8", "9"};
constexpr std::array<std::string_view, 10> kWeightWords = {"两", "一", "二", "三", "四",
                                                           "五", "六", "七", "八", "九"};

// "%.1f" of the C locale: fixed notation, one decimal, "." as the point. The
// largest double takes 309 digits before the point.
std::string FormatOneDecimal(double weight)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, weight, std::chars_format::fixed, 1);
    return std::string(buffer, result.ptr);
}

}  // namespace

int IndexOfText(std::string_view text, std::span<const std::string_view> list, int highestIndex)
{
    const int last = std::min(highestIndex, static_cast<int>(list.size()) - 1);
    for (int i = 0; i <= last; ++i)
        if (list[static_cast<std::size_t>(i)] == text) return i;
    return -1;
}

std::string FormatBoneWeight(double weight)
{
    std::string wording;
    for (char c : FormatOneDecimal(weight)) {
        const int position = IndexOfText(std::string_view(&c, 1), kWeightCharacters, 9);
        if (position >= 0) wording += kWeightWords[static_cast<std::size_t>(position)];
    }
    return wording;
}

}  // namespace velmora

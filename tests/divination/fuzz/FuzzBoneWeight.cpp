// Any double, NaN, infinities and the largest values included: the wording
// is made of numerals and 两 only.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "UnitPublic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double)) return 0;
    double weight = 0;
    std::memcpy(&weight, data, sizeof weight);
    const std::string wording = velmora::FormatBoneWeight(weight);

    static constexpr std::array<std::string_view, 10> kWords = {"两", "一", "二", "三", "四",
                                                                "五", "六", "七", "八", "九"};
    if (wording.size() % 3 != 0) std::abort();
    for (std::size_t at = 0; at < wording.size(); at += 3) {
        const std::string_view word(wording.data() + at, 3);
        bool known = false;
        for (std::string_view w : kWords) known = known || w == word;
        if (!known) std::abort();
    }
    return 0;
}

#include "ChartRules.h"

#include "ChineseCalendar.h"

namespace velmora {
namespace {

constexpr std::array<std::string_view, 10> kTenGodNames = {"比肩", "劫财", "食神", "伤官", "偏财",
                                                           "正财", "七杀", "正官", "偏印", "正印"};

// Each element's place (by the calendar's element index: 金 木 水 火 土) on
// the production cycle 木 火 土 金 水.
constexpr std::array<int, 5> kPlaceOnCycle = {3, 0, 4, 1, 2};

// Stems by index (甲 0 .. 癸 9); main, middle, residual.
constexpr int kHidden[12][3] = {
    {9},        // 子 癸
    {5, 9, 7},  // 丑 己癸辛
    {0, 2, 4},  // 寅 甲丙戊
    {1},        // 卯 乙
    {4, 1, 9},  // 辰 戊乙癸
    {2, 6, 4},  // 巳 丙庚戊
    {3, 5},     // 午 丁己
    {5, 3, 1},  // 未 己丁乙
    {6, 8, 4},  // 申 庚壬戊
    {7},        // 酉 辛
    {4, 7, 3},  // 戌 戊辛丁
    {8, 0},     // 亥 壬甲
};
constexpr int kHiddenCount[12] = {1, 3, 3, 1, 3, 3, 2, 3, 3, 1, 3, 2};

// Where each stem's 长生 lies: 甲亥 乙午 丙寅 丁酉 戊寅 己酉 庚巳 辛子 壬申 癸卯.
constexpr std::array<int, 10> kBirthBranch = {11, 6, 2, 9, 2, 9, 5, 0, 8, 3};

int Modulo(int value, int divisor) { return (value % divisor + divisor) % divisor; }

}  // namespace

std::string_view TenGodName(TenGod god) { return kTenGodNames[static_cast<std::size_t>(god)]; }

TenGod TenGodOf(int dayStem, int stem)
{
    // Steps along the production cycle from the day master's element to the stem's.
    const int steps = Modulo(kPlaceOnCycle[StemElement(stem)] - kPlaceOnCycle[StemElement(dayStem)], 5);
    const bool samePolarity = dayStem % 2 == stem % 2;
    return static_cast<TenGod>(steps * 2 + (samePolarity ? 0 : 1));
}

std::span<const int> HiddenStems(int branch)
{
    return {kHidden[branch], static_cast<std::size_t>(kHiddenCount[branch])};
}

int GrowthStage(int dayStem, int branch)
{
    const int fromBirth = branch - kBirthBranch[dayStem];
    return Modulo(dayStem % 2 == 0 ? fromBirth : -fromBirth, 12);
}

std::array<int, 2> VoidBranches(int pillar)
{
    // The decade opens with 甲 at pillar - stem; its ten branches follow on.
    const int first = pillar - pillar % 10;
    return {(first + 10) % 12, (first + 11) % 12};
}

}  // namespace velmora

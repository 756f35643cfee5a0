// What a stem or branch means against the day master: its ten god, the
// stems hidden in a branch, the day master's growth stage at a branch, and
// the branches a ten-day decade leaves out (void).
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace velmora {

// In the order of the production cycle from the day master's own element:
// same element, the one it produces, the one it overcomes, the one that
// overcomes it, the one that produces it; each as same polarity, then the
// other one.
enum class TenGod : int {
    Companion,         // 比肩
    RobWealth,         // 劫财
    EatingGod,         // 食神
    HurtingOfficer,    // 伤官
    IndirectWealth,    // 偏财
    DirectWealth,      // 正财
    SevenKillings,     // 七杀
    DirectOfficer,     // 正官
    IndirectResource,  // 偏印
    DirectResource,    // 正印
};

std::string_view TenGodName(TenGod god);

// The ten god of a stem (0..9) against the day master's stem (0..9).
TenGod TenGodOf(int dayStem, int stem);

// The stems hidden in a branch (0..11): main, middle, residual; one to three.
std::span<const int> HiddenStems(int branch);

// The twelve growth stages, 长生 (0) to 养 (11).
inline constexpr std::array<std::string_view, 12> kGrowthStageNames = {
    "长生", "沐浴", "冠带", "临官", "帝旺", "衰", "病", "死", "墓", "绝", "胎", "养"};

// The day master's growth stage (0..11) at a branch: yang stems count
// forward, yin stems backward, earth following fire.
int GrowthStage(int dayStem, int branch);

// The two branches the pillar's ten-day decade leaves out, in cycle order.
std::array<int, 2> VoidBranches(int pillar);

}  // namespace velmora

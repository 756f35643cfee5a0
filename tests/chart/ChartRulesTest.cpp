// The ten gods, hidden stems, growth stages and void branches against the
// rules, written out here as the tables a chart book prints.
#include <gtest/gtest.h>

#include <sstream>

#include "ChartRules.h"
#include "ChineseCalendar.h"

namespace velmora {
namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

using Row = std::pair<const char*, const char*>;

// Each day stem's row against what the rule gives for its columns.
template <typename Rule>
void ExpectRows(const Row (&rows)[10], int columns, Rule rule)
{
    for (int day = 0; day < 10; ++day) {
        ASSERT_EQ(StemName(day), rows[day].first);
        const auto expected = Words(rows[day].second);
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(columns));
        for (int column = 0; column < columns; ++column)
            EXPECT_EQ(rule(day, column), expected[column]) << rows[day].first << " column " << column;
    }
}

// Each day stem's row: the gods of 甲 .. 癸 against it.
TEST(ChartRules, TenGodsOfEveryStemAgainstEveryDayMaster)
{
    const Row rows[] = {
        {"甲", "比肩 劫财 食神 伤官 偏财 正财 七杀 正官 偏印 正印"},
        {"乙", "劫财 比肩 伤官 食神 正财 偏财 正官 七杀 正印 偏印"},
        {"丙", "偏印 正印 比肩 劫财 食神 伤官 偏财 正财 七杀 正官"},
        {"丁", "正印 偏印 劫财 比肩 伤官 食神 正财 偏财 正官 七杀"},
        {"戊", "七杀 正官 偏印 正印 比肩 劫财 食神 伤官 偏财 正财"},
        {"己", "正官 七杀 正印 偏印 劫财 比肩 伤官 食神 正财 偏财"},
        {"庚", "偏财 正财 七杀 正官 偏印 正印 比肩 劫财 食神 伤官"},
        {"辛", "正财 偏财 正官 七杀 正印 偏印 劫财 比肩 伤官 食神"},
        {"壬", "食神 伤官 偏财 正财 七杀 正官 偏印 正印 比肩 劫财"},
        {"癸", "伤官 食神 正财 偏财 正官 七杀 正印 偏印 劫财 比肩"},
    };
    ExpectRows(rows, 10, [](int day, int stem) { return TenGodName(TenGodOf(day, stem)); });
}

TEST(ChartRules, HiddenStemsMainMiddleResidual)
{
    const auto expected = Words("子癸 丑己癸辛 寅甲丙戊 卯乙 辰戊乙癸 巳丙庚戊 午丁己 未己丁乙 申庚壬戊 酉辛 戌戊辛丁 亥壬甲");
    for (int branch = 0; branch < 12; ++branch) {
        std::string text = BranchName(branch);
        for (const int stem : HiddenStems(branch)) text += StemName(stem);
        EXPECT_EQ(text, expected[branch]);
    }
}

// Each day stem's stage at 子 .. 亥; 戊 as 丙 and 己 as 丁.
TEST(ChartRules, GrowthStagesWithEarthFollowingFire)
{
    const Row rows[] = {
        {"甲", "沐浴 冠带 临官 帝旺 衰 病 死 墓 绝 胎 养 长生"},
        {"乙", "病 衰 帝旺 临官 冠带 沐浴 长生 养 胎 绝 墓 死"},
        {"丙", "胎 养 长生 沐浴 冠带 临官 帝旺 衰 病 死 墓 绝"},
        {"丁", "绝 墓 死 病 衰 帝旺 临官 冠带 沐浴 长生 养 胎"},
        {"戊", "胎 养 长生 沐浴 冠带 临官 帝旺 衰 病 死 墓 绝"},
        {"己", "绝 墓 死 病 衰 帝旺 临官 冠带 沐浴 长生 养 胎"},
        {"庚", "死 墓 绝 胎 养 长生 沐浴 冠带 临官 帝旺 衰 病"},
        {"辛", "长生 养 胎 绝 墓 死 病 衰 帝旺 临官 冠带 沐浴"},
        {"壬", "帝旺 衰 病 死 墓 绝 胎 养 长生 沐浴 冠带 临官"},
        {"癸", "临官 冠带 沐浴 长生 养 胎 绝 墓 死 病 衰 帝旺"},
    };
    ExpectRows(rows, 12, [](int day, int branch) { return kGrowthStageNames[GrowthStage(day, branch)]; });
}

// The six decades 甲子 甲戌 甲申 甲午 甲辰 甲寅 and what each leaves out.
TEST(ChartRules, VoidBranchesOfEveryPillar)
{
    const auto voids = Words("戌亥 申酉 午未 辰巳 寅卯 子丑");
    for (int pillar = 0; pillar < 60; ++pillar) {
        const auto pair = VoidBranches(pillar);
        EXPECT_EQ(BranchName(pair[0]) + BranchName(pair[1]), voids[pillar / 10]) << SexagenaryName(pillar);
    }
}

}  // namespace
}  // namespace velmora

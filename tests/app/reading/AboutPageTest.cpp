// The About page: the bone weights and the scale it states are the weight
// tables' own, every field is filled, and its file sits beside the reading's,
// linking back only to a reading that is there, and goes with it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "AboutPage.h"
#include "Places.h"
#include "ReadingTestSupport.h"
#include "ResultPage.h"
#include "UnitPublic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Tenths of a liang in words, as the page writes a single weight: 一两九钱, 五钱.
std::string InLiangAndQian(int tenths)
{
    static const char* const digits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    std::string words;
    if (tenths / 10 > 0) words += std::string(digits[tenths / 10]) + "两";
    if (tenths % 10 > 0) words += std::string(digits[tenths % 10]) + "钱";
    return words;
}

struct Range {
    int lightest = 1000;
    int heaviest = 0;
};

Range RangeOf(const std::map<std::string, int>& table)
{
    Range range;
    for (const auto& [key, weight] : table) {
        range.lightest = std::min(range.lightest, weight);
        range.heaviest = std::max(range.heaviest, weight);
    }
    return range;
}

TEST(AboutPage, StatesTheScaleOfTheWeightTables)
{
    const auto tables = testing::ReadTraditionalWeights(VELMORA_BONE_WEIGHTS_FILE);
    const std::string page = AboutPageText(Script::Simplified, false);
    Range total{0, 0};
    const std::pair<const char*, const char*> rows[] = {{"year", "年"}, {"month", "月"}, {"day", "日"}, {"hour", "时"}};
    for (const auto& [table, heading] : rows) {
        const Range range = RangeOf(tables.at(table));
        total.lightest += range.lightest;
        total.heaviest += range.heaviest;
        EXPECT_NE(page.find(std::string("<td>") + heading + "</td><td>" + InLiangAndQian(range.lightest) + "至" +
                            InLiangAndQian(range.heaviest) + "</td>"),
                  std::string::npos)
            << table;
    }
    EXPECT_NE(page.find("骨重最轻" + FormatBoneWeight(total.lightest / 10.0) + "，最重" +
                        FormatBoneWeight(total.heaviest / 10.0)),
              std::string::npos);
    // The worked example adds up as the tables say.
    const int example = tables.at("year").at("甲子") + tables.at("month").at("1") + tables.at("day").at("2") +
                        tables.at("hour").at("子时");
    EXPECT_NE(page.find("甲子年" + InLiangAndQian(tables.at("year").at("甲子")) + "、正月" +
                        InLiangAndQian(tables.at("month").at("1")) + "、初二" + InLiangAndQian(tables.at("day").at("2")) +
                        "、子时" + InLiangAndQian(tables.at("hour").at("子时")) + "，合计" + InLiangAndQian(example) +
                        "，称为“" + FormatBoneWeight(example / 10.0) + "”"),
              std::string::npos);
}

TEST(AboutPage, NamesTheVersionAndThePlaceDataCreditInTheResultPagesStyleAndLeavesNoFieldUnfilled)
{
    for (const bool link : {false, true}) {
        const std::string page = AboutPageText(Script::Simplified, link);
        EXPECT_NE(page.find(std::string("版本 ") + VELMORA_VERSION + "<"), std::string::npos);
        EXPECT_NE(page.find(HtmlEscape(PlaceDataAttribution())), std::string::npos);
        EXPECT_FALSE(std::regex_search(page, std::regex("@[A-Z_]+@")));
        EXPECT_NE(page.find("body {font:12px/150% arial;"), std::string::npos) << "the result page's style";
        EXPECT_EQ(page.find("href=\"" + std::string(kPageFileName) + "\"") != std::string::npos, link);
    }
}

// The page speaks of this field's words, which OpenCC alone gets wrong: none
// of its wrong characters may show in a traditional script.
TEST(AboutPage, InEveryTraditionalScriptKeepsTheFieldsOwnCharacters)
{
    for (const Script script : {Script::Traditional, Script::Taiwan, Script::HongKong}) {
        const std::string page = AboutPageText(script, true);
        for (const char* wrong : {"幹", "醜", "臘"}) EXPECT_EQ(page.find(wrong), std::string::npos) << wrong;
        EXPECT_EQ(page.find("关于"), std::string::npos) << "converted";
        EXPECT_NE(page.find("“文字”可以選" + std::string(kScriptMenuChoices)), std::string::npos)
            << "the menu's choices as the menu shows them";
    }
}

class AboutPageFile : public ::testing::Test {
protected:
    testing::ScratchFolder scratch;
    void SetUp() override { setenv("XDG_RUNTIME_DIR", scratch.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
};

TEST_F(AboutPageFile, LinksBackOnlyToAReadingPageThatIsThereAndGoesWithIt)
{
    const std::string about = WriteAboutPage(Script::Taiwan);
    EXPECT_EQ(fs::path(about).parent_path(), fs::path(ResultPageLocation().page).parent_path());
    EXPECT_TRUE(fs::exists(ResultPageLocation().picture)) << "the page's picture is there without a reading";
    EXPECT_EQ(testing::ReadBytes(about), AboutPageText(Script::Taiwan, false));

    WriteResultPage(TKarvoInfo{}, "小明", "女");
    EXPECT_EQ(testing::ReadBytes(WriteAboutPage(Script::Taiwan)), AboutPageText(Script::Taiwan, true));
    RemoveResultPageFiles();
    EXPECT_FALSE(fs::exists(about));
}

}  // namespace
}  // namespace velmora

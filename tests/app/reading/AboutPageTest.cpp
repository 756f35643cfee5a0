// The About page: the weights and the scale it states are the weight tables'
// own, every field is filled in every script without the field's words going
// wrong, and its file sits beside the reading's, linking back only to a
// reading that is there, and goes with it.
#include <gtest/gtest.h>

#include <algorithm>
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

// Tenths of a liang as the page words one weight: 一两九钱, 五钱.
std::string InLiangAndQian(int tenths)
{
    static const char* const digits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    return (tenths / 10 ? std::string(digits[tenths / 10]) + "两" : "") +
           (tenths % 10 ? std::string(digits[tenths % 10]) + "钱" : "");
}

TEST(AboutPage, StatesTheScaleOfTheWeightTables)
{
    const auto tables = testing::ReadTraditionalWeights(VELMORA_BONE_WEIGHTS_FILE);
    const std::string page = AboutPageText(Script::Simplified, false);
    int lightest = 0, heaviest = 0;
    const std::pair<const char*, const char*> rows[] = {{"year", "年"}, {"month", "月"}, {"day", "日"}, {"hour", "时"}};
    for (const auto& [table, heading] : rows) {
        const auto [low, high] = std::minmax_element(tables.at(table).begin(), tables.at(table).end(),
                                                     [](const auto& a, const auto& b) { return a.second < b.second; });
        lightest += low->second;
        heaviest += high->second;
        EXPECT_NE(page.find(std::string("<td>") + heading + "</td><td>" + InLiangAndQian(low->second) + "至" +
                            InLiangAndQian(high->second) + "</td>"),
                  std::string::npos)
            << table;
    }
    EXPECT_NE(page.find("骨重最轻" + FormatBoneWeight(lightest / 10.0) + "，最重" + FormatBoneWeight(heaviest / 10.0)),
              std::string::npos);
}

TEST(AboutPage, InEveryScriptIsFilledInAndKeepsTheFieldsWordsAndTheMenusNames)
{
    for (const Script script : {Script::Simplified, Script::Traditional, Script::Taiwan, Script::HongKong}) {
        const std::string page = AboutPageText(script, false);
        EXPECT_NE(page.find(std::string(" ") + VELMORA_VERSION + "<"), std::string::npos);
        EXPECT_FALSE(std::regex_search(page, std::regex("@[A-Z_]+@")));
        EXPECT_NE(page.find("body {font:12px/150% arial;"), std::string::npos) << "the result page's style";
        EXPECT_NE(page.find(kScriptMenuChoices), std::string::npos);
        // OpenCC alone writes these for the field's 干, 丑 and 腊.
        for (const char* wrong : {"幹", "醜", "臘"}) EXPECT_EQ(page.find(wrong), std::string::npos) << wrong;
    }
    EXPECT_NE(AboutPageText(Script::Simplified, false).find(HtmlEscape(PlaceDataAttribution())), std::string::npos);
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
    EXPECT_NE(AboutPageText(Script::Taiwan, true).find("href=\"" + std::string(kPageFileName) + "\""), std::string::npos);
    RemoveResultPageFiles();
    EXPECT_FALSE(fs::exists(about));
}

}  // namespace
}  // namespace velmora

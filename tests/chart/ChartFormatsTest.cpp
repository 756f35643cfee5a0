// The chart's JSON shape, and the page section's fitness for a GBK page.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "BirthMoment.h"
#include "Chart.h"
#include "GbkCodec.h"

namespace velmora {
namespace {

Chart PublishedWoman(std::optional<int> hour = 10)
{
    const BeijingSeconds birth = ToBeijingSeconds({1983, 2, 15, 20, 0, 0});
    return BuildChart({59, 2, 10, hour, false, birth, 1983, {2026, 12, 8}});
}

std::vector<std::string> Keys(const nlohmann::ordered_json& object)
{
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

using Names = std::vector<std::string>;

TEST(ChartJson, FieldsAndTheirOrder)
{
    const auto json = ChartJson(PublishedWoman());
    EXPECT_EQ(Keys(json), (Names{"DayMaster", "Pillars", "Void", "YearVoid", "Luck"}));
    EXPECT_EQ(json["DayMaster"], "甲");
    EXPECT_EQ(json["Void"], "申酉");
    EXPECT_EQ(json["YearVoid"], "子丑");
    const auto& year = json["Pillars"][0];
    EXPECT_EQ(Keys(year), (Names{"Position", "Pillar", "TenGod", "Hidden", "Stage", "Nayin"}));
    EXPECT_EQ(year.dump(), R"({"Position":"year","Pillar":"癸亥","TenGod":"正印","Hidden":[{"Stem":"壬","TenGod":"偏印"},{"Stem":"甲","TenGod":"比肩"}],"Stage":"长生","Nayin":"大海水"})");
    EXPECT_EQ(json["Pillars"][2]["TenGod"], "日主");
    EXPECT_EQ(json["Pillars"][3]["Position"], "hour");
    const auto& luck = json["Luck"];
    EXPECT_EQ(Keys(luck), (Names{"Direction", "SpanSeconds", "Start", "StartMoment", "StartAge", "Pillars"}));
    EXPECT_EQ(luck["Direction"], "forward");
    EXPECT_EQ(Keys(luck["Start"]), (Names{"Years", "Months", "Days", "Hours", "Minutes"}));
    EXPECT_TRUE(std::regex_match(luck["StartMoment"].get<std::string>(), std::regex(R"(1989-05-04 \d\d:\d\d)")));
    const auto& first = luck["Pillars"][0];
    EXPECT_EQ(Keys(first), (Names{"Pillar", "TenGod", "Nayin", "FromYear", "ToYear", "FromAge", "ToAge", "Years"}));
    EXPECT_EQ(first["Pillar"], "乙卯");
    EXPECT_EQ(first["TenGod"], "劫财");
    EXPECT_EQ(first["Nayin"], "大溪水");
    EXPECT_EQ(first["Years"][0].dump(), R"({"Year":1989,"Pillar":"己巳","Age":7,"Current":false})");
    EXPECT_EQ(luck["Pillars"].size(), 10u);
}

TEST(ChartJson, UnknownHourHasThreePillarsAndNoLuck)
{
    const auto json = ChartJson(PublishedWoman(std::nullopt));
    EXPECT_EQ(json["Pillars"].size(), 3u);
    EXPECT_FALSE(json.contains("Luck"));
}

// The page is written in GB18030 and labelled gb2312: every character of the
// section must be one GBK writes; and the template's '%s' filling must find
// no '%' in it.
TEST(ChartHtml, EveryCharacterIsGbkAndNoPercentSign)
{
    const BeijingSeconds outOfRange = ToBeijingSeconds({3000, 12, 20, 10, 0, 0});
    for (const Chart& chart : {PublishedWoman(), PublishedWoman(std::nullopt),
                               BuildChart({56, 2, 10, 4, true, outOfRange, 3000, {2026, 12, 8}})}) {
        const std::string html = ChartHtml(chart);
        EXPECT_TRUE(Utf8ToGbk(html).has_value());
        EXPECT_EQ(html.find('%'), std::string::npos);
        EXPECT_TRUE(Utf8ToGbk(ChartText(chart)).has_value());
    }
}

std::size_t Count(const std::string& text, std::string_view what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(ChartHtml, CardsMarkTheCurrentPillarAndYearAndPrintTheirYears)
{
    const std::string html = ChartHtml(PublishedWoman());
    EXPECT_NE(html.find("出生后6年2个月18天起运，1989年5月4日交运"), std::string::npos);
    EXPECT_EQ(Count(html, "<details>"), 10u);
    EXPECT_EQ(Count(html, "</details>"), 10u);
    EXPECT_EQ(Count(html, "<div"), Count(html, "</div>"));
    EXPECT_EQ(Count(html, "<table"), Count(html, "</table>"));
    EXPECT_EQ(Count(html, "class=\"bazi-card bazi-now\""), 1u);
    // The current year inside the card and again in its print copy.
    EXPECT_EQ(Count(html, "<tr class=\"bazi-now\"><td>2026</td><td>丙午</td><td>44岁</td>"), 2u);
    EXPECT_NE(html.find("@media print"), std::string::npos);
    EXPECT_NE(html.find("break-inside:avoid"), std::string::npos);
}

TEST(ChartText, ColumnsAndLuckLines)
{
    const std::string full = ChartText(PublishedWoman());
    EXPECT_NE(full.find("时柱"), std::string::npos);
    EXPECT_NE(full.find("* 戊午"), std::string::npos);
    EXPECT_NE(full.find("[2026丙午]"), std::string::npos);
    const std::string three = ChartText(PublishedWoman(std::nullopt));
    EXPECT_EQ(three.find("时柱"), std::string::npos);
    EXPECT_EQ(three.find("\n大运："), std::string::npos);
    EXPECT_NE(three.find("说明：时辰不详"), std::string::npos);
}

}  // namespace
}  // namespace velmora

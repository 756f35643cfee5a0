// The chart as the result page's section "八字详盘". The page is written in
// GB18030 and read as gb2312, so the section keeps to characters GBK has;
// the page's template fills '%s' fields, so the section holds no '%'.
#include <string>

#include "Chart.h"
#include "ChartWords.h"
#include "ChineseCalendar.h"
#include "TermMoments.h"

namespace velmora {
namespace {

// The page's own colours: text #333 and #666, the accent #db6200, the frame
// #e59453 on #fffaf6. A closed <details> prints nothing of its contents, so
// every card carries its years a second time, printed only while the card
// is closed: a page with every card opened is as long on paper as on screen.
constexpr std::string_view kStyle = R"(<style type="text/css">
.bazi table {color:#333;border-collapse:collapse;margin:0 0 6px 20px}
.bazi-columns {break-inside:avoid;page-break-inside:avoid}
.bazi-columns th, .bazi-columns td {border:1px solid #f0c29c;padding:2px 10px;text-align:center;height:auto}
.bazi-columns th {background:#fdebdc;color:#db6200}
.bazi-columns td.bazi-title {color:#666;background:#fff3e8}
.bazi-columns td.bazi-pillar {font-size:18px;font-weight:700;color:#db6200}
.bazi-columns td.bazi-left {text-align:left}
.bazi-cards {margin:4px 0 6px 20px}
.bazi-card {display:inline-block;vertical-align:top;width:104px;margin:0 4px 6px 0;border:1px solid #e59453;background:#fff;break-inside:avoid;page-break-inside:avoid}
.bazi-card.bazi-now {background:#fff0e0;border-color:#db6200}
.bazi-card summary {cursor:pointer;padding:4px 2px;text-align:center;list-style:none;line-height:18px}
.bazi-card summary::-webkit-details-marker {display:none}
.bazi-card summary b {display:block;font-size:16px;color:#db6200}
.bazi-card summary span {display:block}
.bazi-card summary .bazi-tag {color:#fff;background:#db6200;margin:2px 10px 0}
.bazi-card summary .bazi-more {color:#999}
.bazi-card details[open] summary .bazi-more {display:none}
.bazi .bazi-card table {margin:0 auto 4px}
.bazi-card td {height:16px;padding:0 2px;white-space:nowrap}
.bazi-card tr.bazi-now td {font-weight:700;color:#db6200;text-decoration:underline}
.bazi-card table.bazi-print {display:none}
.bazi p.bazi-rules {color:#999}
@media print {
.bazi {-webkit-print-color-adjust:exact;print-color-adjust:exact}
.bazi-card summary .bazi-more {display:none}
.bazi-card details:not([open]) + table.bazi-print {display:table}
}
</style>
)";

void Cell(std::string& html, std::string_view text, std::string_view cls = {})
{
    html += cls.empty() ? "<td>" : "<td class=\"" + std::string(cls) + "\">";
    html += text;
    html += "</td>";
}

void ColumnsTable(std::string& html, const Chart& chart)
{
    html += "<table class=\"bazi-columns\"><tr><th></th>";
    for (const ChartColumn& c : chart.columns) html += "<th>" + std::string(PositionTitle(c.position)) + "</th>";
    html += "</tr>\n<tr>";
    Cell(html, "十神", "bazi-title");
    for (const ChartColumn& c : chart.columns) Cell(html, c.god ? TenGodName(*c.god) : "日主");
    html += "</tr>\n<tr>";
    Cell(html, "干支", "bazi-title");
    for (const ChartColumn& c : chart.columns) Cell(html, SexagenaryName(c.pillar), "bazi-pillar");
    html += "</tr>\n<tr>";
    Cell(html, "藏干", "bazi-title");
    for (const ChartColumn& c : chart.columns) {
        std::string stems;
        for (const HiddenStem& h : c.hidden)
            stems += (stems.empty() ? "" : "<br>") + StemName(h.stem) + " " + std::string(TenGodName(h.god));
        Cell(html, stems);
    }
    html += "</tr>\n<tr>";
    Cell(html, "长生", "bazi-title");
    for (const ChartColumn& c : chart.columns) Cell(html, StageName(c.stage));
    html += "</tr>\n<tr>";
    Cell(html, "纳音", "bazi-title");
    for (const ChartColumn& c : chart.columns) Cell(html, c.nayin);
    html += "</tr>\n<tr>";
    Cell(html, "空亡", "bazi-title");
    html += "<td class=\"bazi-left\" colspan=\"" + std::to_string(chart.columns.size()) + "\">日柱旬空" +
            BranchPair(chart.voidBranches) + "，年柱旬空" + BranchPair(chart.yearVoid) + "</td>";
    html += "</tr></table>\n";
}

std::string YearsTable(const LuckPillar& pillar, std::string_view cls)
{
    std::string html = "<table class=\"" + std::string(cls) + "\">";
    for (const LuckYear& y : pillar.years) {
        html += y.current ? "<tr class=\"bazi-now\">" : "<tr>";
        Cell(html, std::to_string(y.year));
        Cell(html, SexagenaryName(y.pillar));
        Cell(html, std::to_string(y.age) + "岁");
        html += "</tr>";
    }
    return html + "</table>";
}

void LuckCard(std::string& html, const LuckPillar& pillar)
{
    html += pillar.current ? "<div class=\"bazi-card bazi-now\">" : "<div class=\"bazi-card\">";
    html += "<details><summary><span>" + std::to_string(pillar.fromAge) + "-" + std::to_string(pillar.toAge) +
            "岁</span><b>" + SexagenaryName(pillar.pillar) + "</b><span>" + std::string(TenGodName(pillar.god)) + " " +
            pillar.nayin + "</span><span>" + std::to_string(pillar.fromYear) + "-" + std::to_string(pillar.toYear) +
            "</span>";
    if (pillar.current) html += "<span class=\"bazi-tag\">当前大运</span>";
    html += "<span class=\"bazi-more\">点击看流年</span></summary>";
    html += YearsTable(pillar, "bazi-years") + "</details>";
    html += YearsTable(pillar, "bazi-print") + "</div>\n";
}

void LuckSection(std::string& html, const Luck& luck)
{
    const CivilTime term = ToCivilTime(luck.term.moment);
    const long long span = luck.spanSeconds;
    html += "<p><strong>大运</strong>：" + StartInWords(luck) + "（" + FormatMinute(luck.startMoment) + "，虚岁" +
            std::to_string(luck.startAge) + "岁）。" + std::string(DirectionWord(luck.forward)) + "：" +
            (luck.forward ? "出生至下一个节" : "上一个节至出生") + std::string(TermName(luck.term.index)) + "（" +
            FormatDateTime(term) + "）共" + std::to_string(span / 86'400) + "天" + std::to_string(span / 3'600 % 24) +
            "小时" + std::to_string(span / 60 % 60) + "分" + std::to_string(span % 60) + "秒。</p>\n";
    html += "<div class=\"bazi-cards\">\n";
    for (const LuckPillar& pillar : luck.pillars) LuckCard(html, pillar);
    html += "</div>\n";
}

// The tables and rules the section follows, where schools differ.
std::string RulesLine(bool withLuck)
{
    std::string line = "<p class=\"bazi-rules\">本盘规则：藏干按本气、中气、余气排列；十二长生阳干顺行、阴干逆行，"
                       "土随火（戊同丙、己同丁）";
    if (withLuck)
        line += "；大运按出生的确切时刻（北京标准时间）排，起运以三天折一年按秒推算：259200秒为一年，21600秒为一个月，"
                "720秒为一天，30秒为一小时，余下每秒折2分钟";
    return line + "。</p>\n";
}

}  // namespace

std::string ChartHtml(const Chart& chart)
{
    std::string html;
    html.reserve(24'000);
    html += "<div class=\"item bazi\"><h2>八字详盘</h2>\n";
    html += kStyle;
    html += "<p>日主：<strong>" + StemName(chart.dayMaster) + "</strong></p>\n";
    ColumnsTable(html, chart);
    if (chart.luck) LuckSection(html, *chart.luck);
    for (const std::string& note : chart.notes) html += "<p>说明：" + note + "</p>\n";
    html += RulesLine(chart.luck.has_value());
    html += "</div>\n";
    return html;
}

}  // namespace velmora

// The chart as JSON and as text.
#include <sstream>

#include <nlohmann/json.hpp>

#include "Chart.h"
#include "ChartWords.h"
#include "ChineseCalendar.h"
#include "MessageText.h"
#include "TermMoments.h"

namespace velmora {
namespace {

using Json = nlohmann::ordered_json;

std::string GodOfColumn(const ChartColumn& column) { return column.god ? std::string(TenGodName(*column.god)) : "日主"; }

Json ColumnJson(const ChartColumn& column)
{
    Json hidden = Json::array();
    for (const HiddenStem& h : column.hidden)
        hidden.push_back({{"Stem", StemName(h.stem)}, {"TenGod", TenGodName(h.god)}});
    return {{"Position", PositionKey(column.position)},
            {"Pillar", SexagenaryName(column.pillar)},
            {"TenGod", GodOfColumn(column)},
            {"Hidden", std::move(hidden)},
            {"Stage", StageName(column.stage)},
            {"Nayin", column.nayin}};
}

Json LuckPillarJson(const LuckPillar& pillar)
{
    Json years = Json::array();
    years.get_ref<Json::array_t&>().reserve(pillar.years.size());
    for (const LuckYear& y : pillar.years) {
        // Field by field: a braced object builds a temporary array for every pair, a hundred years over.
        Json& year = years.emplace_back(Json::value_t::object);
        year.get_ref<Json::object_t&>().reserve(4);
        year.emplace("Year", y.year);
        year.emplace("Pillar", SexagenaryName(y.pillar));
        year.emplace("Age", y.age);
        year.emplace("Current", y.current);
    }
    return {{"Pillar", SexagenaryName(pillar.pillar)},
            {"TenGod", TenGodName(pillar.god)},
            {"Nayin", pillar.nayin},
            {"FromYear", pillar.fromYear},
            {"ToYear", pillar.toYear},
            {"FromAge", pillar.fromAge},
            {"ToAge", pillar.toAge},
            {"Years", std::move(years)}};
}

Json LuckJson(const Luck& luck)
{
    Json pillars = Json::array();
    for (const LuckPillar& pillar : luck.pillars) pillars.push_back(LuckPillarJson(pillar));
    const LuckStart& s = luck.start;
    return {{"Direction", luck.forward ? "forward" : "backward"},
            {"SpanSeconds", luck.spanSeconds},
            {"Start", {{"Years", s.years}, {"Months", s.months}, {"Days", s.days}, {"Hours", s.hours}, {"Minutes", s.minutes}}},
            {"StartMoment", FormatMinute(luck.startMoment)},
            {"StartAge", luck.startAge},
            {"Pillars", std::move(pillars)}};
}

std::string Padded(std::string_view text, std::size_t width)
{
    std::string padded(text);
    for (std::size_t w = DisplayWidth(text); w < width; ++w) padded += ' ';
    return padded;
}

constexpr std::size_t kCellWidth = 12;

void TableRow(std::ostream& out, std::string_view title, const std::vector<std::string>& cells)
{
    std::string line = Padded(title, 6);
    for (const std::string& cell : cells) line += Padded(cell, kCellWidth);
    out << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
}

void ColumnsTable(std::ostream& out, const Chart& chart)
{
    std::vector<std::string> titles, gods, pillars, stages, nayin;
    std::size_t hiddenRows = 0;
    for (const ChartColumn& c : chart.columns) {
        titles.emplace_back(PositionTitle(c.position));
        gods.push_back(GodOfColumn(c));
        pillars.push_back(SexagenaryName(c.pillar));
        stages.push_back(StageName(c.stage));
        nayin.push_back(c.nayin);
        hiddenRows = std::max(hiddenRows, c.hidden.size());
    }
    TableRow(out, "", titles);
    TableRow(out, "十神", gods);
    TableRow(out, "干支", pillars);
    for (std::size_t row = 0; row < hiddenRows; ++row) {
        std::vector<std::string> cells;
        for (const ChartColumn& c : chart.columns)
            cells.push_back(row < c.hidden.size()
                                ? StemName(c.hidden[row].stem) + std::string(TenGodName(c.hidden[row].god))
                                : "");
        TableRow(out, row == 0 ? "藏干" : "", cells);
    }
    TableRow(out, "长生", stages);
    TableRow(out, "纳音", nayin);
}

void LuckLines(std::ostream& out, const Luck& luck)
{
    out << "大运：" << DirectionWord(luck.forward) << "，" << StartInWords(luck) << "（" << FormatMinute(luck.startMoment)
        << "，虚岁" << luck.startAge << "岁）\n";
    for (const LuckPillar& p : luck.pillars) {
        const std::string years = std::to_string(p.fromYear) + "-" + std::to_string(p.toYear) + "年";
        const std::string ages = std::to_string(p.fromAge) + "-" + std::to_string(p.toAge) + "岁";
        out << (p.current ? "* " : "  ") << SexagenaryName(p.pillar) << " " << TenGodName(p.god) << " "
            << Padded(p.nayin, 7) << Padded(years, 12) << Padded(ages, 10) << "流年：";
        for (const LuckYear& y : p.years)
            out << (y.current ? "[" : "") << y.year << SexagenaryName(y.pillar) << (y.current ? "]" : "")
                << (y.year == p.toYear ? "" : " ");
        out << "\n";
    }
}

}  // namespace

nlohmann::ordered_json ChartJson(const Chart& chart)
{
    Json pillars = Json::array();
    for (const ChartColumn& column : chart.columns) pillars.push_back(ColumnJson(column));
    Json json = {{"DayMaster", StemName(chart.dayMaster)},
                 {"Pillars", std::move(pillars)},
                 {"Void", BranchPair(chart.voidBranches)},
                 {"YearVoid", BranchPair(chart.yearVoid)}};
    if (chart.luck) json["Luck"] = LuckJson(*chart.luck);
    return json;
}

std::string ChartText(const Chart& chart)
{
    std::ostringstream out;
    out << "八字详盘（日主" << StemName(chart.dayMaster) << "）\n";
    ColumnsTable(out, chart);
    out << "空亡：日空" << BranchPair(chart.voidBranches) << "，年空" << BranchPair(chart.yearVoid) << "\n";
    if (chart.luck) {
        LuckLines(out, *chart.luck);
        out << "（* 为当前大运，[ ] 为当前流年）\n";
    }
    for (const std::string& note : chart.notes) out << "说明：" << note << "\n";
    return out.str();
}

}  // namespace velmora

#include "ReadingFormats.h"

#include <sstream>
#include <utility>

#include "Chart.h"
#include "Places.h"
#include "UnitPublic.h"
#include "UnknownHour.h"

namespace velmora {
namespace {

using Json = nlohmann::ordered_json;

// The exact moment's fields when an option asked for them, and the notes
// whenever there are any; a classic reading without notes adds nothing.
void AddMomentFields(const BirthInput& input, const TKarvoInfo& r, Json& json)
{
    if (input.moment.AnyGiven()) {
        json["ClockTime"] = r.ClockTime;
        json["StandardTime"] = r.StandardTime;
        json["SolarTime"] = r.SolarTime;
        json["Place"] = r.Place;
        json["Longitude"] = r.Longitude;
        json["ZiSchool"] = r.ZiSchoolName;
        json["Precise"] = r.Precise;
    }
    // Where and when, in every precise reading (empty where they do not apply).
    static constexpr std::pair<const char*, std::string TKarvoInfo::*> kWhereAndWhen[] = {
        {"TimeZone", &TKarvoInfo::TimeZone},           {"UtcOffset", &TKarvoInfo::UtcOffset},
        {"BirthUtc", &TKarvoInfo::BirthUtc},           {"BeijingMoment", &TKarvoInfo::BeijingMoment},
        {"SolarMoment", &TKarvoInfo::SolarMoment},     {"Latitude", &TKarvoInfo::Latitude}};
    if (r.Precise)
        for (const auto& [name, field] : kWhereAndWhen) json[name] = r.*field;
    std::vector<std::string> notes = r.Notes;
    // The chart's own notes (on its luck pillars) join the reading's.
    if (r.FullChart) notes.insert(notes.end(), r.FullChart->notes.begin(), r.FullChart->notes.end());
    if (input.moment.AnyGiven() || !notes.empty()) json["Notes"] = notes;
}

Json CandidatesJson(const std::vector<HourCandidate>& candidates)
{
    Json list = Json::array();
    for (const HourCandidate& c : candidates)
        list.push_back(
            {{"HourName", c.HourName}, {"SiZhu", c.SiZhu}, {"HourPillar", c.HourPillar}, {"GuZhong", c.GuZhong}});
    return list;
}

// The header's two dates: the hour as typed, or 时辰不详.
std::string HourText(const TKarvoInfo& r) { return r.HourUnknown ? std::string(" 时辰不详") : r.Hour + "时"; }

}  // namespace

Json ReadingAsJson(const BirthInput& input, const TKarvoInfo& r)
{
    // The commentaries are plain text here; only the page is HTML.
    const auto plain = [](const std::string& html) { return CommentaryPlainText(html); };
    Json json = {{"Year", r.Year},
                 {"Month", r.Month},
                 {"Day", r.Day},
                 {"Hour", r.Hour},
                 {"IsLeap", r.IsLeap},
                 {"LunarYear", r.LunarYear},
                 {"LunarMonth", r.LunarMonth},
                 {"LunarDay", r.LunarDay},
                 {"HourName", r.HourName},
                 {"Name", r.Name},
                 {"Sex", r.Sex},
                 {"Age", r.Age},
                 {"SiZhu", r.SiZhu},
                 {"WuXing", r.WuXing},
                 {"GuZhong", r.GuZhong},
                 {"XingZuo", r.XingZuo},
                 {"ShuXiang", r.ShuXiang},
                 {"ShuXiangIndex", r.ShuXiangIndex},
                 {"NaYin", r.NaYin},
                 {"YearText", plain(r.YearText)},
                 {"MonthText", plain(r.MonthText)},
                 {"DayText", plain(r.DayText)},
                 {"HourText", plain(r.HourText)},
                 {"GuZhongText", plain(r.GuZhongText)},
                 {"XingZuoText", plain(r.XingZuoText)},
                 {"ShuXiangText", plain(r.ShuXiangText)},
                 {"WuXingSummary", DescribeMissingElements(r.WuXing)},
                 {"HourUnknown", r.HourUnknown}};
    if (r.HourUnknown) json["Candidates"] = CandidatesJson(r.Candidates);
    AddMomentFields(input, r, json);
    if (r.FullChart) json["Chart"] = ChartJson(*r.FullChart);
    return json;
}

void ConvertJsonValues(Json& json, Script script, std::span<const std::string> keptWords)
{
    if (script == Script::Simplified) return;
    if (json.is_string()) {
        json = ConvertText(json.get_ref<const std::string&>(), script, keptWords);
        return;
    }
    // Objects and arrays give their values, keys are not visited; a number or
    // a truth value would give itself, so only they are walked.
    if (!json.is_structured()) return;
    for (Json& value : json) ConvertJsonValues(value, script, keptWords);
}

std::string JsonDocument(const Json& json) { return json.dump(2) + "\n"; }

std::string ReadingAsText(const BirthInput&, const TKarvoInfo& r)
{
    std::ostringstream text;
    text << "姓名：" << r.Name << "  性别：" << r.Sex << "  年龄：" << r.Age << "\n"
         << "公历生日：" << r.Year << "年" << r.Month << "月" << r.Day << "日" << HourText(r) << "\n"
         << "农历生日：" << r.LunarYear << "年" << (r.IsLeap ? "闰" : "") << r.LunarMonth << "月" << r.LunarDay
         << "日 " << (r.HourUnknown ? "时辰不详" : r.HourName) << "\n"
         << "四柱八字：" << r.SiZhu << "\n"
         << "四柱五行：" << DescribeMissingElements(r.WuXing) << "\n"
         << "纳音五行：" << r.NaYin << "  属相：" << r.ShuXiang << "  星座：" << r.XingZuo << "\n"
         << "骨重：" << (r.HourUnknown ? CandidateWeightRange(r.Candidates) : r.GuZhong) << "\n";
    for (const HourCandidate& c : r.Candidates)
        text << "候选时辰：" << c.HourName << "  四柱" << c.SiZhu << "  骨重" << c.GuZhong << "\n";
    if (!r.ClockTime.empty()) {
        // A clock of its own (Hong Kong, Macau, Taiwan, abroad) is named with its zone.
        const bool ownClock = IsOwnClock(r.TimeZone);
        text << "出生时间：" << (ownClock ? "当地时间" : "钟表") << r.ClockTime;
        if (ownClock) text << "（" << r.TimeZone << "，UTC" << r.UtcOffset << "）";
        if (!r.StandardTime.empty()) text << "  北京标准时间" << r.StandardTime;
        if (!r.SolarTime.empty())
            text << "  真太阳时" << r.SolarTime << "（" << (r.Place.empty() ? "经度" + r.Longitude : r.Place) << "）";
        text << "  " << (r.Precise ? "精确模式" : "传统规则") << "  " << (r.ZiSchoolName == "early" ? "早子时" : "晚子时")
             << "\n";
    }
    for (const std::string& note : r.Notes) text << "说明：" << note << "\n";
    if (r.FullChart) text << "\n" << ChartText(*r.FullChart);
    return text.str();
}

std::string ReadingAsTextInScript(const BirthInput& input, const TKarvoInfo& record, Script script)
{
    const std::string keptName[] = {input.name};
    return ConvertText(ReadingAsText(input, record), script, keptName);
}

}  // namespace velmora

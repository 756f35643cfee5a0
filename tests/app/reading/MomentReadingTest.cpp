// Readings with the exact birth moment's options: the terms' moments,
// daylight saving, true solar time, the 子时 school and the notes.
#include <gtest/gtest.h>

#include "LabelledDatabase.h"
#include "Reading.h"
#include "ResultPage.h"

namespace velmora {
namespace {

constexpr StartupDate kStartup{2026, 12, 8};

struct Birth {
    int year, month, day, hour;
    std::optional<int> minute;
};

BirthInput Input(const Birth& b, MomentOptions moment)
{
    BirthInput input;
    input.name = "输入姓名";
    input.sex = "男";
    input.year = std::to_string(b.year);
    input.month = std::to_string(b.month);
    input.day = std::to_string(b.day);
    input.hour = std::to_string(b.hour);
    moment.minute = b.minute;
    input.moment = std::move(moment);
    return input;
}

MomentOptions Precise() { return {.precise = true}; }
MomentOptions AtPlace(std::string place) { return {.place = std::move(place)}; }
MomentOptions Early() { return {.zi = ZiSchool::Early}; }

bool AnyNoteHas(const TKarvoInfo& r, std::string_view text)
{
    for (const std::string& note : r.Notes)
        if (note.find(text) != std::string::npos) return true;
    return false;
}

struct Row {
    const char* what;
    Birth birth;
    MomentOptions options;
    const char* siZhu;
    const char* lunarDay;
    const char* standard;  // StandardTime
    const char* solar;     // SolarTime
    std::vector<const char*> noted;  // texts some note holds
};

class MomentReadings : public ::testing::Test {
protected:
    ReadingOutcome Read(const BirthInput& input, TKarvoInfo& record)
    {
        return ComputeReading(input, kStartup, db.qry1, record);
    }
    testing::LabelledLookups db;
};

TEST_F(MomentReadings, NamedMoments)
{
    const Row rows[] = {
        // 立春 2024 came at 16:27; 2024-02-04 is lunar 12-25.
        {"before 立春, precise", {2024, 2, 4, 10, {}}, Precise(), "癸卯 乙丑 戊戌 丁巳", "25", "10:00", "",
         {"16:27", "年柱变为甲辰"}},
        {"before 立春, classic", {2024, 2, 4, 10, {}}, {}, "甲辰 丙寅 戊戌 丁巳", "25", "", "",
         {"16:27", "年柱变为癸卯", "精确模式"}},
        {"a minute before 立春", {2024, 2, 4, 16, 26}, Precise(), "癸卯 乙丑 戊戌 庚申", "25", "16:26", "", {}},
        {"a minute after 立春", {2024, 2, 4, 16, 28}, Precise(), "甲辰 丙寅 戊戌 庚申", "25", "16:28", "", {}},
        // 惊蛰 2024 came at 10:22.
        {"a minute before 惊蛰", {2024, 3, 5, 10, 21}, Precise(), "甲辰 丙寅 戊辰 丁巳", "25", "10:21", "",
         {"月柱变为丁卯"}},
        {"a minute after 惊蛰", {2024, 3, 5, 10, 24}, Precise(), "甲辰 丁卯 戊辰 丁巳", "25", "10:24", "", {}},
        {"summer time 1988, precise", {1988, 7, 1, 10, 30}, Precise(), "戊辰 戊午 丁巳 乙巳", "18", "09:30", "",
         {"已拨回一小时"}},
        {"summer time 1988, classic", {1988, 7, 1, 10, 30}, {.minute = 30}, "戊辰 戊午 丁巳 乙巳", "18", "", "",
         {"北京标准时间应为09:30"}},
        {"repeated hour 1986", {1986, 9, 14, 1, 30}, Precise(), "丙寅 丁酉 辛酉 戊子", "11", "00:30", "",
         {"出现了两次", "时柱变为己丑"}},
        {"repeated hour 1991", {1991, 9, 15, 1, 30}, Precise(), "辛未 丁酉 戊子 壬子", "8", "00:30", "",
         {"出现了两次"}},
        {"the hour before the repeat 1991", {1991, 9, 15, 0, 30}, Precise(), "辛未 丁酉 丁亥 壬子", "7", "23:30", "",
         {}},
        {"23:00, late school", {2024, 6, 1, 23, {}}, Precise(), "甲辰 己巳 丙申 庚子", "25", "23:00", "",
         {"晚子时"}},
        {"23:00, early school", {2024, 6, 1, 23, {}}, Early(), "甲辰 己巳 丁酉 庚子", "26", "", "", {"早子时"}},
        {"Kashgar 00:30", {2024, 6, 2, 0, 30}, AtPlace("喀什"), "甲辰 己巳 丙申 己亥", "25", "00:30", "21:36",
         {"喀什地区", "2024年6月1日 21:36"}},
        {"Harbin, east of 120°", {2024, 6, 2, 10, 40}, AtPlace("哈尔滨"), "甲辰 己巳 丁酉 丙午", "26", "10:40", "11:08",
         {"东经126"}},
        {"typed longitude", {2024, 6, 2, 10, 40}, {.longitude = 126.63}, "甲辰 己巳 丁酉 丙午", "26", "10:40",
         "11:08", {"所填经度东经126.63°"}},
        {"near a 时辰 boundary", {2024, 6, 2, 10, 55}, {.minute = 55}, "甲辰 己巳 丁酉 乙巳", "26", "", "",
         {"11:00只有5分钟", "时柱变为丙午"}},
    };
    for (const Row& row : rows) {
        TKarvoInfo r;
        ASSERT_EQ(Read(Input(row.birth, row.options), r), ReadingOutcome::Complete) << row.what;
        EXPECT_EQ(r.SiZhu, row.siZhu) << row.what;
        EXPECT_EQ(r.LunarDay, row.lunarDay) << row.what;
        EXPECT_EQ(r.StandardTime, row.standard) << row.what;
        EXPECT_EQ(r.SolarTime, row.solar) << row.what;
        EXPECT_EQ(r.Precise, row.options.IsPrecise()) << row.what;
        // The Gregorian fields stay as typed.
        EXPECT_EQ(r.Day, std::to_string(row.birth.day)) << row.what;
        for (const char* text : row.noted) EXPECT_TRUE(AnyNoteHas(r, text)) << row.what << ": " << text;
    }
}

TEST_F(MomentReadings, AClassicReadingAwayFromEveryBoundaryHasNoNotesAndNoMomentFields)
{
    TKarvoInfo r;
    r.Notes = {"a note of the previous reading"};
    r.Place = "成都市";
    ASSERT_EQ(Read(Input({2009, 9, 21, 7, {}}, {}), r), ReadingOutcome::Complete);
    EXPECT_TRUE(r.Notes.empty());
    EXPECT_TRUE(r.Place.empty() && r.ClockTime.empty() && r.ZiSchoolName.empty() && !r.Precise);
}

TEST_F(MomentReadings, ASkippedClockTimeOrAnUnknownPlaceEndsWithoutTouchingTheRecord)
{
    const std::pair<BirthInput, ReadingOutcome> rows[] = {
        {Input({1986, 5, 4, 2, 30}, Precise()), ReadingOutcome::SkippedClockTime},
        {Input({1991, 4, 14, 2, 0}, AtPlace("北京")), ReadingOutcome::SkippedClockTime},
        {Input({2024, 1, 1, 10, {}}, AtPlace("巴黎")), ReadingOutcome::UnknownPlace},
        {Input({2024, 1, 1, 10, {}}, AtPlace("朝阳区")), ReadingOutcome::UnknownPlace},
        {Input({2024, 1, 1, 10, {}}, {.longitude = 181}), ReadingOutcome::UnknownPlace},
        {Input({2024, 1, 1, 10, 60}, {}), ReadingOutcome::DateError},
    };
    for (const auto& [input, outcome] : rows) {
        TKarvoInfo r;
        r.Name = "previous";
        EXPECT_EQ(Read(input, r), outcome);
        EXPECT_EQ(r, TKarvoInfo{.Name = "previous"});
    }
    EXPECT_FALSE(OutcomeMessage(ReadingOutcome::SkippedClockTime).empty());
}

TEST_F(MomentReadings, ThePageGainsOneNotesSectionAfterTheCommentaries)
{
    const std::string pageTemplate = "<div class=\"item\"><h2>综合解说</h2><p>%s</p></div>\n<table>注</table>";
    TKarvoInfo r;
    ASSERT_EQ(Read(Input({2024, 2, 4, 10, {}}, Precise()), r), ReadingOutcome::Complete);
    const std::string page = BuildResultPage(pageTemplate, r, "a", "男");
    const std::size_t section = page.find("<h2>出生时刻说明</h2>");
    ASSERT_NE(section, std::string::npos);
    EXPECT_LT(page.find("综合解说"), section);
    EXPECT_LT(section, page.find("<table>注"));
    r.Notes.clear();
    EXPECT_EQ(BuildResultPage(pageTemplate, r, "a", "男").find("出生时刻说明"), std::string::npos);
}

}  // namespace
}  // namespace velmora

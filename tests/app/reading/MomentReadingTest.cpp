// Readings with the exact birth moment's options: the terms' moments,
// daylight saving, true solar time, the 子时 school and the notes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "LabelledDatabase.h"
#include "Reading.h"
#include "ResultPage.h"
#include "TermMoments.h"

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

// One option set, the others at their defaults.
MomentOptions With(void (*set)(MomentOptions&))
{
    MomentOptions options;
    set(options);
    return options;
}
MomentOptions Precise() { return With([](MomentOptions& o) { o.precise = true; }); }
MomentOptions Early() { return With([](MomentOptions& o) { o.zi = ZiSchool::Early; }); }
MomentOptions AtPlace(std::string place)
{
    MomentOptions options;
    options.place = std::move(place);
    return options;
}

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
        {"before 立春, classic", {2024, 2, 4, 10, {}}, MomentOptions(), "甲辰 丙寅 戊戌 丁巳", "25", "", "",
         {"16:27", "年柱变为癸卯", "精确模式"}},
        {"a minute before 立春", {2024, 2, 4, 16, 26}, Precise(), "癸卯 乙丑 戊戌 庚申", "25", "16:26", "", {}},
        {"a minute after 立春", {2024, 2, 4, 16, 28}, Precise(), "甲辰 丙寅 戊戌 庚申", "25", "16:28", "", {}},
        // 惊蛰 2024 came at 10:22.
        {"a minute before 惊蛰", {2024, 3, 5, 10, 21}, Precise(), "甲辰 丙寅 戊辰 丁巳", "25", "10:21", "",
         {"月柱变为丁卯"}},
        {"a minute after 惊蛰", {2024, 3, 5, 10, 24}, Precise(), "甲辰 丁卯 戊辰 丁巳", "25", "10:24", "", {}},
        {"summer time 1988, precise", {1988, 7, 1, 10, 30}, Precise(), "戊辰 戊午 丁巳 乙巳", "18", "09:30", "",
         {"已拨回一小时"}},
        {"summer time 1988, classic", {1988, 7, 1, 10, 30}, With([](MomentOptions& o) { o.minute = 30; }), "戊辰 戊午 丁巳 乙巳", "18", "", "",
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
        {"Kashgar 00:30", {2024, 6, 2, 0, 30}, AtPlace("喀什地区"), "甲辰 己巳 丙申 己亥", "25", "00:30", "21:36",
         {"喀什地区", "2024年6月1日 21:36"}},
        {"Harbin, east of 120°", {2024, 6, 2, 10, 40}, AtPlace("哈尔滨"), "甲辰 己巳 丁酉 丙午", "26", "10:40", "11:08",
         {"东经126"}},
        {"typed longitude", {2024, 6, 2, 10, 40}, With([](MomentOptions& o) { o.longitude = 126.63; }), "甲辰 己巳 丁酉 丙午", "26", "10:40",
         "11:08", {"所填经度东经126.63°"}},
        {"near a 时辰 boundary", {2024, 6, 2, 10, 55}, With([](MomentOptions& o) { o.minute = 55; }), "甲辰 己巳 丁酉 乙巳", "26", "", "",
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

// A term's moment from the independent table (PyEphem) committed with the tests.
BeijingSeconds ReferenceTermMoment(int year, int index)
{
    std::ifstream in(VELMORA_TEST_DATA_DIR "/moment/ephemeris-reference.tsv");
    const std::string key = "TERM\t" + std::to_string(year) + "\t" + std::to_string(index) + "\t";
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(key)) continue;
        CivilTime t;
        std::sscanf(line.substr(line.rfind('\t') + 1).c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day,
                    &t.hour, &t.minute, &t.second);
        return ToBeijingSeconds(t);
    }
    ADD_FAILURE() << "no reference moment for " << year << " term " << index;
    return 0;
}

struct NoteRow {
    const char* what;
    Birth birth;
    MomentOptions options;
    std::vector<const char*> noted;   // texts some note holds
    std::vector<const char*> absent = {};  // texts no note holds
    std::optional<std::pair<int, int>> term = {};  // year and index of a term whose moment decides the row
};

MomentOptions Minute(MomentOptions options) { return options; }  // the row's minute is set from its birth
MomentOptions PreciseEarly() { return With([](MomentOptions& o) { o.precise = true, o.zi = ZiSchool::Early; }); }

TEST_F(MomentReadings, ABirthNearAnyChangeOfThePillarsGetsANoteNamingIt)
{
    const NoteRow rows[] = {
        // One minute earlier the year, animal and bone weight differ.
        {"just after 立春", {2024, 2, 4, 16, 28}, Precise(),
         {"立春的交节时刻（北京时间2024-02-04 16:27:08）不到1分钟", "若实际出生在交节之前，年柱变为癸卯，月柱变为乙丑",
          "生肖变为兔"}, {}, std::pair{2024, 2}},
        {"just before 惊蛰 early the next day", {2014, 3, 5, 23, 59}, Precise(),
         {"惊蛰的交节时刻（北京时间2014-03-06 00:02:16）只有3分钟", "若实际出生在交节之后，月柱变为丁卯",
          "午夜2014年3月6日 00:00只有1分钟"}, {}, std::pair{2014, 4}},
        {"惊蛰 inside the typed minute", {2014, 3, 6, 0, 2}, Precise(),
         {"惊蛰的交节时刻北京时间2014-03-06 00:02:16就在所填的这一分钟00:02之内", "出生在00:02:16之后，月柱变为丁卯"},
         {}, std::pair{2014, 4}},
        // The term day's note already says what the moment changes: no second note.
        {"a minute before 惊蛰 on its day", {2024, 3, 5, 10, 21}, Precise(), {"若按传统的整日规则，月柱变为丁卯"},
         {"的交节时刻（北京"}, std::pair{2024, 4}},
        {"before midnight, late school", {2024, 6, 1, 23, 55}, Minute({}),
         {"午夜2024年6月2日 00:00只有5分钟。若实际出生在00:00之后，日柱变为丁酉，农历日期变为4月26日"}},
        {"after midnight, late school", {2024, 6, 2, 0, 5}, Minute({}),
         {"若实际出生早于00:00，日柱变为丙申，农历日期变为4月25日"}},
        // Harbin's true solar time runs 28 minutes ahead of the clock.
        {"midnight by true solar time", {2024, 6, 1, 23, 40}, AtPlace("哈尔滨"),
         {"出生时间00:08（真太阳时）距午夜2024年6月2日 00:00只有8分钟"}},
        {"an hour without its minute is not known to the minute", {2024, 6, 1, 23, {}}, Minute({}), {},
         {"午夜", "交界"}},
        {"the early school's lunar date in a leap month", {2023, 3, 21, 22, 55}, Early(),
         {"农历日期变为闰2月1日"}},
        {"midnight under the early school changes nothing", {2024, 6, 1, 23, 55}, PreciseEarly(), {}, {"午夜"}},
        {"just after the clocks went forward", {1988, 4, 17, 3, 5}, Precise(),
         {"北京标准时间02:00起实行夏令时", "尚未拨快，北京标准时间应为03:05，时柱变为壬寅"}},
        {"just before the clocks went forward", {1988, 4, 17, 1, 50}, Precise(),
         {"已经拨快，北京标准时间应为00:50，时柱变为庚子"}},
        {"just after the hour the clocks went back over", {1946, 10, 1, 0, 5}, Precise(),
         {"23:00至00:00的钟表时间出现了两次", "尚未拨回，北京标准时间应为23:05，日柱变为丁未"}},
        {"after the hour gone back over, in the same 时辰", {1986, 9, 14, 2, 5}, Precise(), {}, {"夏令时结束"}},
    };
    for (const NoteRow& row : rows) {
        TKarvoInfo r;
        ASSERT_EQ(Read(Input(row.birth, row.options), r), ReadingOutcome::Complete) << row.what;
        for (const char* text : row.noted) EXPECT_TRUE(AnyNoteHas(r, text)) << row.what << ": " << text;
        for (const char* text : row.absent) EXPECT_FALSE(AnyNoteHas(r, text)) << row.what << ": " << text;
        if (!row.term) continue;
        // The independent moment puts the birth on the same side of the term,
        // as close, and inside the same minute where the row says so.
        const auto [year, index] = *row.term;
        const BeijingSeconds birth = ToBeijingSeconds({row.birth.year, row.birth.month, row.birth.day,
                                                       row.birth.hour, row.birth.minute.value_or(0), 0});
        const BeijingSeconds ours = TermMomentsOfYear(year)[index], theirs = ReferenceTermMoment(year, index);
        EXPECT_EQ(birth < ours, birth < theirs) << row.what;
        EXPECT_LE(std::llabs(birth - theirs), 15 * 60) << row.what;
        const auto insideMinute = [&](BeijingSeconds moment) { return moment >= birth && moment < birth + 60; };
        EXPECT_EQ(insideMinute(ours), insideMinute(theirs)) << row.what;
    }
}

TEST_F(MomentReadings, AClassicReadingAwayFromEveryBoundaryHasNoNotesAndNoMomentFields)
{
    TKarvoInfo r;
    r.Notes = {"a note of the previous reading"};
    r.Place = "成都市";
    ASSERT_EQ(Read(Input({2009, 9, 21, 7, {}}, MomentOptions()), r), ReadingOutcome::Complete);
    EXPECT_TRUE(r.Notes.empty());
    EXPECT_TRUE(r.Place.empty() && r.ClockTime.empty() && r.ZiSchoolName.empty() && !r.Precise);
}

TEST_F(MomentReadings, ASkippedClockTimeOrAnUnknownPlaceEndsWithoutTouchingTheRecord)
{
    const std::pair<BirthInput, ReadingOutcome> rows[] = {
        {Input({1986, 5, 4, 2, 30}, Precise()), ReadingOutcome::SkippedClockTime},
        {Input({1991, 4, 14, 2, 0}, AtPlace("北京")), ReadingOutcome::SkippedClockTime},
        {Input({2024, 1, 1, 10, {}}, AtPlace("亚特兰蒂斯")), ReadingOutcome::UnknownPlace},
        {Input({2024, 1, 1, 10, {}}, AtPlace("朝阳区")), ReadingOutcome::AmbiguousPlace},
        {Input({2024, 1, 1, 10, {}}, With([](MomentOptions& o) { o.longitude = 181; })), ReadingOutcome::UnknownPlace},
        {Input({2024, 1, 1, 10, 60}, MomentOptions()), ReadingOutcome::DateError},
    };
    TKarvoInfo previous;
    previous.Name = "previous";
    for (const auto& [input, outcome] : rows) {
        TKarvoInfo r = previous;
        EXPECT_EQ(Read(input, r), outcome);
        EXPECT_EQ(r, previous);
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

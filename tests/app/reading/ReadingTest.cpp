// One reading from a birth input: dates in both calendars, the chart, and
// which database rows it reads.
#include <gtest/gtest.h>

#include "InputCheck.h"
#include "LabelledDatabase.h"
#include "Reading.h"

namespace velmora {
namespace {

using testing::LabelOf;

constexpr StartupDate kStartup{2026, 12, 8};

using testing::Gregorian;

BirthInput Lunar(std::string year, std::string month, std::string day, bool leap, std::string hour = "7")
{
    BirthInput input = Gregorian(std::move(year), std::move(month), std::move(day), std::move(hour));
    input.mode = CalendarMode::Lunar;
    input.leap = leap;
    return input;
}

class Readings : public ::testing::Test {
protected:
    TKarvoInfo Read(const BirthInput& input, StartupDate startup = kStartup)
    {
        TKarvoInfo record;
        EXPECT_EQ(ComputeReading(input, startup, db.qry1, record), ReadingOutcome::Complete);
        return record;
    }

    ReadingOutcome ReadInto(const BirthInput& input, TKarvoInfo& record)
    {
        return ComputeReading(input, kStartup, db.qry1, record);
    }

    testing::LabelledLookups db;
};

TEST_F(Readings, AGregorianBirthGivesTheWholeChart)
{
    const TKarvoInfo r = Read(Gregorian("2009", "9", "21", "7"));
    EXPECT_EQ(r.Year, "2009");
    EXPECT_EQ(r.Month, "9");
    EXPECT_EQ(r.Day, "21");
    EXPECT_EQ(r.Hour, "7");
    EXPECT_EQ(std::tie(r.LunarYear, r.LunarMonth, r.LunarDay), std::make_tuple("2009", "8", "3"));
    EXPECT_FALSE(r.IsLeap);
    EXPECT_EQ(r.SiZhu, "己丑 癸酉 己巳 戊辰");
    EXPECT_EQ(r.WuXing, "土土 水金 土火 土土");
    EXPECT_EQ(r.HourName, "辰时");
    EXPECT_EQ(r.XingZuo, "处女座");
    EXPECT_EQ(r.NaYin, "大林木");  // of the day pillar 己巳, not of the year
    EXPECT_EQ(r.ShuXiang, "牛");
    EXPECT_EQ(r.ShuXiangIndex, 1);
    EXPECT_EQ(r.Age, "18岁(虚岁)");
    EXPECT_EQ(r.Name, "输入姓名");
    EXPECT_EQ(r.Sex, "男");
    // 己丑 7 + eighth month 15 + third day 8 + 辰时 9 = 39 tenths of a liang.
    EXPECT_EQ(r.GuZhong, "三两九");
}

TEST_F(Readings, EveryCommentaryComesFromItsOwnRowAsHtml)
{
    const TKarvoInfo r = Read(Gregorian("2009", "9", "21", "7"));
    EXPECT_EQ(r.YearText.find("&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp" + LabelOf("year", "己丑") + "<br>"), 0u)
        << r.YearText;
    EXPECT_NE(r.YearText.find("第二&nbsp&nbsp段。"), std::string::npos);
    EXPECT_EQ(r.YearText.find("\r\n"), std::string::npos);
    EXPECT_NE(r.MonthText.find(LabelOf("month", "8")), std::string::npos);
    EXPECT_NE(r.DayText.find(LabelOf("day", "3")), std::string::npos);
    EXPECT_NE(r.HourText.find(LabelOf("hour", "辰时")), std::string::npos);
    EXPECT_NE(r.GuZhongText.find(LabelOf("bone-male", "三两九")), std::string::npos);
    EXPECT_NE(r.XingZuoText.find(LabelOf("star-sign", "处女座")), std::string::npos);
    const auto general = r.ShuXiangText.find(LabelOf("animal", "牛"));
    const auto separator = r.ShuXiangText.find("<br>" + std::string("&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp") +
                                               LabelOf("animal-month", "牛 8"));
    EXPECT_NE(general, std::string::npos);
    EXPECT_NE(separator, std::string::npos);
    EXPECT_LT(general, separator);
}

struct HourCase {
    const char* name;
    const char* hour;
    const char* hourName;
    const char* hourPillar;
};
void PrintTo(const HourCase& c, std::ostream* os) { *os << c.name; }

class Hours : public Readings, public ::testing::WithParamInterface<HourCase> {};

// 2000-01-01 is a 戊午 day: its 子 hour starts at 壬, the next day's at 甲.
TEST_P(Hours, NameTheBranchAndLookUpItsRow)
{
    const TKarvoInfo r = Read(Gregorian("2000", "1", "1", GetParam().hour));
    EXPECT_EQ(r.HourName, GetParam().hourName);
    EXPECT_EQ(r.SiZhu.substr(r.SiZhu.rfind(' ') + 1), GetParam().hourPillar);
    EXPECT_NE(r.HourText.find(LabelOf("hour", GetParam().hourName)), std::string::npos);
    EXPECT_EQ(r.LunarDay, "25");  // the calendar day typed, also for hour 23
}

INSTANTIATE_TEST_SUITE_P(Branches, Hours,
                         ::testing::Values(HourCase{"TwentyThreeTakesTheNextDaysStem", "23", "子时", "甲子"},
                                           HourCase{"MidnightHour", "0", "子时", "壬子"},
                                           HourCase{"OneIsChou", "1", "丑时", "癸丑"},
                                           HourCase{"TwoIsChou", "2", "丑时", "癸丑"},
                                           HourCase{"TwentyTwoIsHai", "22", "亥时", "癸亥"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Readings, TheYearKeepsItsLeadingZeroButTheAgeUsesItsValue)
{
    const TKarvoInfo r = Read(Gregorian("02009", "09", "21", "07"));
    EXPECT_EQ(r.Year, "02009");
    EXPECT_EQ(r.Month, "09");
    EXPECT_EQ(r.Hour, "07");
    EXPECT_EQ(r.Age, "18岁(虚岁)");
    EXPECT_EQ(r.SiZhu, "己丑 癸酉 己巳 戊辰");
}

TEST_F(Readings, ABirthAfterTheDayOfTheReadingHasNoAgeYet)
{
    EXPECT_EQ(Read(Gregorian("2009", "5", "2", "0"), {2009, 5, 1}).Age, "尚未出生");
    EXPECT_EQ(Read(Gregorian("2012", "1", "1", "0"), {2009, 5, 1}).Age, "尚未出生");
    EXPECT_EQ(Read(Gregorian("2009", "5", "1", "0"), {2009, 5, 1}).Age, "1岁(虚岁)");
    EXPECT_EQ(Read(Gregorian("2008", "12", "31", "0"), {2009, 5, 1}).Age, "2岁(虚岁)");
}

TEST_F(Readings, TheAnimalChangesAtLichunNotAtTheLunarNewYear)
{
    // 2010: 立春 on 02-04, lunar new year on 02-14.
    const TKarvoInfo afterLichun = Read(Gregorian("2010", "2", "10", "12"));
    EXPECT_EQ(afterLichun.ShuXiang, "虎");
    EXPECT_EQ(afterLichun.SiZhu.substr(0, 6), "庚寅");
    EXPECT_EQ(afterLichun.LunarYear, "2009");
    EXPECT_NE(afterLichun.YearText.find(LabelOf("year", "庚寅")), std::string::npos);
    EXPECT_NE(afterLichun.ShuXiangText.find(LabelOf("animal", "虎")), std::string::npos);
    // 2009: lunar new year on 01-26, 立春 on 02-04.
    const TKarvoInfo beforeLichun = Read(Gregorian("2009", "1", "30", "12"));
    EXPECT_EQ(beforeLichun.ShuXiang, "鼠");
    EXPECT_EQ(beforeLichun.ShuXiangIndex, 0);
    EXPECT_EQ(beforeLichun.LunarYear, "2009");
}

TEST_F(Readings, ALunarLeapMonthReadsThePlainMonthsRows)
{
    const TKarvoInfo r = Read(Lunar("2001", "4", "1", true));
    EXPECT_EQ(std::tie(r.Year, r.Month, r.Day), std::make_tuple("2001", "5", "23"));
    EXPECT_EQ(r.LunarMonth, "4");
    EXPECT_TRUE(r.IsLeap);
    EXPECT_NE(r.MonthText.find(LabelOf("month", "4")), std::string::npos);
    EXPECT_NE(r.ShuXiangText.find(LabelOf("animal-month", "蛇 4")), std::string::npos);
    const TKarvoInfo ordinary = Read(Lunar("2001", "4", "1", false));
    EXPECT_EQ(std::tie(ordinary.Month, ordinary.Day), std::make_tuple("4", "23"));
    EXPECT_FALSE(ordinary.IsLeap);
}

TEST_F(Readings, TheLunarFieldsAreTheEnginesNotTheTypedNumbers)
{
    const TKarvoInfo r = Read(Lunar("02001", "04", "01", false, "23"));
    EXPECT_EQ(std::tie(r.LunarYear, r.LunarMonth, r.LunarDay), std::make_tuple("2001", "4", "1"));
    EXPECT_EQ(r.Year, "2001");
    EXPECT_EQ(r.Hour, "23");
}

TEST_F(Readings, MonthTwelveReadsTheTwelfthColumn)
{
    // Lunar 2009-12-15 is 2010-01-30, before 立春: still the 己丑 ox.
    const TKarvoInfo r = Read(Lunar("2009", "12", "15", false));
    EXPECT_EQ(r.LunarMonth, "12");
    EXPECT_NE(r.ShuXiangText.find(LabelOf("animal-month", "牛 12")), std::string::npos);
    EXPECT_NE(r.MonthText.find(LabelOf("month", "12")), std::string::npos);
}

TEST_F(Readings, TheSexChoosesTheBoneWeightColumnAndNothingElse)
{
    const TKarvoInfo man = Read(Gregorian("2009", "9", "21", "7", "男"));
    const TKarvoInfo woman = Read(Gregorian("2009", "9", "21", "7", "女"));
    EXPECT_NE(man.GuZhongText.find(LabelOf("bone-male", man.GuZhong)), std::string::npos);
    EXPECT_NE(woman.GuZhongText.find(LabelOf("bone-female", woman.GuZhong)), std::string::npos);
    TKarvoInfo same = woman;
    same.Sex = man.Sex;
    same.GuZhongText = man.GuZhongText;
    EXPECT_EQ(same, man);
    // Anything but 男 reads the women's column.
    EXPECT_NE(Read(Gregorian("2009", "9", "21", "7", "?")).GuZhongText.find("bone-female"), std::string::npos);
}

TEST_F(Readings, AStarSignWithoutATextLeavesItsCommentaryEmpty)
{
    const TKarvoInfo r = Read(Gregorian("2009", "10", "1", "7"));
    EXPECT_EQ(r.XingZuo, std::string(testing::kStarSignWithoutText));
    EXPECT_EQ(r.XingZuoText, "");
    EXPECT_NE(r.YearText, "");
}

struct EndCase {
    const char* name;
    BirthInput input;
    ReadingOutcome outcome;
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class EarlyEnds : public Readings, public ::testing::WithParamInterface<EndCase> {};

// A reading that ends early leaves the previous reading exactly as it was.
TEST_P(EarlyEnds, LeaveThePreviousReadingUntouched)
{
    TKarvoInfo record = Read(Gregorian("2009", "9", "21", "7"));
    const TKarvoInfo before = record;
    EXPECT_EQ(ReadInto(GetParam().input, record), GetParam().outcome);
    EXPECT_EQ(record, before);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, EarlyEnds,
    ::testing::Values(EndCase{"NoFebruary29In2009", Gregorian("2009", "2", "29", "7"), ReadingOutcome::DateError},
                      EndCase{"MonthThirteen", Gregorian("2009", "13", "1", "7"), ReadingOutcome::DateError},
                      EndCase{"DayThirtyTwo", Gregorian("2009", "1", "32", "7"), ReadingOutcome::DateError},
                      EndCase{"YearZero", Gregorian("0", "1", "1", "7"), ReadingOutcome::DateError},
                      EndCase{"LeapFlagOnAnOrdinaryMonth", Lunar("2001", "5", "1", true), ReadingOutcome::DateError},
                      EndCase{"ThirtiethOfAShortMonth", Lunar("2001", "3", "30", false), ReadingOutcome::DateError},
                      EndCase{"AfterTheLunarCalendar", Gregorian("2101", "1", "1", "7"),
                              ReadingOutcome::OutsideLunarRange},
                      EndCase{"LunarYearAfterTheCalendar", Lunar("2500", "1", "1", false),
                              ReadingOutcome::OutsideLunarRange},
                      EndCase{"LunarDateIntoTheNextCentury", Lunar("2100", "12", "2", false),
                              ReadingOutcome::OutsideLunarRange},
                      EndCase{"LunarDayZero", Lunar("2009", "1", "0", false), ReadingOutcome::NoGregorianDate}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadingOutcomes, CarryTheirMessages)
{
    EXPECT_EQ(OutcomeMessage(ReadingOutcome::DateError), "日期出错，请确认此日期是否存在");
    EXPECT_EQ(OutcomeMessage(ReadingOutcome::OutsideLunarRange), "农历数据仅支持公元前849年至公元2100年");
    EXPECT_EQ(OutcomeMessage(ReadingOutcome::NoGregorianDate), "");
    EXPECT_EQ(OutcomeMessage(ReadingOutcome::Complete), "");
}

TEST(ReadingNumbers, TextsThatAreNoNumberGiveTheDefaults)
{
    EXPECT_EQ(ParseIntOr("2009", 0), 2009);
    EXPECT_EQ(ParseIntOr("007", 0), 7);
    EXPECT_EQ(ParseIntOr("-3", 0), -3);
    EXPECT_EQ(ParseIntOr("", 2000), 2000);
    EXPECT_EQ(ParseIntOr("20a9", 2000), 2000);
    EXPECT_EQ(ParseIntOr("99999999999", 12), 12);
    EXPECT_EQ(ParseIntOr(" 1", 21), 21);
}

TEST(ReadingDatabaseErrors, LeaveThePreviousReadingUntouched)
{
    testing::LabelledLookups good;
    TKarvoInfo record;
    ASSERT_EQ(ComputeReading(Gregorian("2009", "9", "21", "7"), kStartup, good.qry1, record),
              ReadingOutcome::Complete);
    const TKarvoInfo before = record;
    TDatabaseConnection missing(WithDataSource(kReadingConnectionString, "/nonexistent/Orsk.dll"));
    TDatabaseQuery query(missing);
    EXPECT_THROW(ComputeReading(Gregorian("2010", "2", "10", "12"), kStartup, query, record), EDatabaseError);
    EXPECT_EQ(record, before);
}

struct InputCase {
    const char* name;
    BirthInput input;
    bool valid;
};
void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

BirthInput WithName(BirthInput input, std::string name)
{
    input.name = std::move(name);
    return input;
}

class InputChecks : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputChecks, AcceptOnlyFilledDigitsAndHoursUpToTwentyThree)
{
    EXPECT_EQ(InputsAreValid(GetParam().input), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputChecks,
    ::testing::Values(InputCase{"DesignName", Gregorian("2009", "9", "21", "7"), true},
                      InputCase{"EmptyName", WithName(Gregorian("2009", "9", "21", "7"), ""), false},
                      InputCase{"HourZero", Gregorian("2009", "9", "21", "0"), true},
                      InputCase{"HourTwentyThree", Gregorian("2009", "9", "21", "23"), true},
                      InputCase{"HourTwentyFour", Gregorian("2009", "9", "21", "24"), false},
                      InputCase{"HugeHour", Gregorian("2009", "9", "21", "99999999999"), false},
                      InputCase{"MonthThirteenIsLeftToTheReading", Gregorian("2009", "13", "21", "7"), true},
                      InputCase{"DayThirtyTwoIsLeftToTheReading", Gregorian("2009", "1", "32", "7"), true},
                      InputCase{"LetterInYear", Gregorian("20a9", "9", "21", "7"), false},
                      InputCase{"NegativeDay", Gregorian("2009", "9", "-1", "7"), false},
                      InputCase{"SpaceBeforeMonth", Gregorian("2009", " 9", "21", "7"), false},
                      InputCase{"EmptyHour", Gregorian("2009", "9", "21", ""), false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora

// A birth whose hour is unknown: every candidate is the reading of its
// 时辰's deciding time, and the main fields keep only what all share.
#include <gtest/gtest.h>

#include "LabelledDatabase.h"
#include "Reading.h"

namespace velmora {
namespace {

constexpr StartupDate kStartup{2026, 12, 8};

struct CandidateCase {
    const char* what;
    std::string date;      // Y-M-D, Gregorian
    MomentOptions moment;  // no minute: an unknown hour has none
    int minuteOfLast;      // the minute 夜子时's typed reading needs to equal its candidate
    std::string shared;    // the pillars every candidate shares
};

MomentOptions WithPlace(std::string place)
{
    MomentOptions moment;
    moment.place = std::move(place);
    return moment;
}

MomentOptions EarlySchool()
{
    MomentOptions moment;
    moment.zi = ZiSchool::Early;
    return moment;
}

class UnknownHour : public ::testing::TestWithParam<CandidateCase> {
protected:
    TKarvoInfo Read(const CandidateCase& c, std::optional<int> hour, int minute = 0)
    {
        BirthInput input = testing::Gregorian(c.date.substr(0, 4), c.date.substr(5, c.date.rfind('-') - 5),
                                              c.date.substr(c.date.rfind('-') + 1), "");
        input.moment = c.moment;
        input.hourUnknown = !hour;
        if (hour) {
            input.hour = std::to_string(*hour);
            if (minute) input.moment.minute = minute;
        }
        TKarvoInfo record;
        EXPECT_EQ(ComputeReading(input, kStartup, db.qry1, record), ReadingOutcome::Complete) << c.what;
        return record;
    }
    testing::LabelledLookups db;
};

TEST_P(UnknownHour, EachCandidateIsTheReadingOfItsShichen)
{
    const CandidateCase& c = GetParam();
    const TKarvoInfo unknown = Read(c, std::nullopt);
    const bool late = c.moment.zi == ZiSchool::Late;
    ASSERT_EQ(unknown.Candidates.size(), late ? 13u : 12u);
    EXPECT_TRUE(unknown.HourUnknown);
    EXPECT_EQ(unknown.SiZhu, c.shared);
    for (const std::string* empty : {&unknown.Hour, &unknown.HourName, &unknown.GuZhong, &unknown.GuZhongText,
                                     &unknown.HourText, &unknown.ClockTime, &unknown.SolarTime})
        EXPECT_EQ(*empty, "");
    EXPECT_FALSE(unknown.YearText.empty());
    for (std::size_t i = 0; i < unknown.Candidates.size(); ++i) {
        const HourCandidate& candidate = unknown.Candidates[i];
        const bool lateZi = i == 12;
        // Without a place the typed time is the deciding time.
        if (!c.moment.place.empty()) continue;
        const TKarvoInfo typed = Read(c, lateZi ? 23 : 2 * static_cast<int>(i), lateZi ? c.minuteOfLast : 0);
        EXPECT_EQ(candidate.SiZhu, typed.SiZhu) << candidate.HourName;
        EXPECT_EQ(candidate.GuZhong, typed.GuZhong) << candidate.HourName;
        EXPECT_EQ(candidate.HourName, lateZi ? "夜子时" : typed.HourName);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnknownHour,
    ::testing::Values(CandidateCase{"Classic", "1990-5-17", {}, 0, "庚午 辛巳 壬午"},
                      CandidateCase{"EarlySchool", "1990-5-17", EarlySchool(), 0, "庚午 辛巳 壬午"},
                      // 立春 2024 at 16:27: year and month change within the day.
                      CandidateCase{"PreciseOnLichun", "2024-2-4", [] {
                                        MomentOptions m;
                                        m.precise = true;
                                        return m;
                                    }(), 30, "戊戌"},
                      // Kashgar's solar time runs over two hours behind Beijing time.
                      CandidateCase{"SolarTimeInKashgar", "2024-6-2", WithPlace("喀什地区"), 0, "甲辰 己巳 丁酉"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(UnknownHourSolarTime, CandidatesAreReadAtTheMiddleOfEachShichenInSolarTime)
{
    testing::LabelledLookups db;
    BirthInput input = testing::Gregorian("2024", "6", "2", "");
    input.hourUnknown = true;
    input.moment = WithPlace("喀什地区");
    TKarvoInfo record;
    ASSERT_EQ(ComputeReading(input, kStartup, db.qry1, record), ReadingOutcome::Complete);
    const char* const branches[12] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(record.Candidates[i].HourName, std::string(branches[i]) + "时");
    EXPECT_EQ(record.Place, "喀什地区");
    EXPECT_TRUE(record.Precise);
}

}  // namespace
}  // namespace velmora

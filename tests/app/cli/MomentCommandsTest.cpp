// velmora-cli's exact birth moment: the terms and places commands and the
// reading's moment options, their output and their messages.
#include <gtest/gtest.h>

#include <sstream>

#include "CliRun.h"
#include "ReadingTestSupport.h"

namespace velmora::cli {
namespace {

TEST(TermsCommand, ListsTheTwentyFourTermsOfEachYear)
{
    const CliRun one = RunCommand("terms", {"2024"});
    ASSERT_EQ(one.status, kExitOk) << one.err;
    const auto lines = Lines(one.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_TRUE(lines.front().starts_with("2024\t小寒\t285\t2024-01-06 ")) << lines.front();
    EXPECT_TRUE(lines.back().starts_with("2024\t冬至\t270\t2024-12-21 ")) << lines.back();
    // 立春 2024 came at 16:26:5x-16:27:0x.
    EXPECT_GE(lines[2], "2024\t立春\t315\t2024-02-04 16:26:50");
    EXPECT_LE(lines[2], "2024\t立春\t315\t2024-02-04 16:27:09");
    EXPECT_EQ(Lines(RunCommand("terms", {"1986", "1991"}).out).size(), 6u * 24);
}

TEST(PlacesCommand, ListsMatchesWithTheirCoordinates)
{
    const CliRun run = RunCommand("places", {"成都"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.out.starts_with("成都市\t四川省\t104.")) << run.out;
    EXPECT_TRUE(run.out.find("\tAsia/Shanghai\n") != std::string::npos) << run.out;
    EXPECT_GT(Lines(RunCommand("places", {}).out).size(), 25000u);
    // Abroad by a traditional or English name, with the country and the zone.
    for (const char* typed : {"倫敦", "London"})
        EXPECT_TRUE(RunCommand("places", {typed}).out.starts_with("伦敦（英国）\t英国\t-0.1257\t51.5085\tEurope/London\n"))
            << typed;
    const CliRun none = RunCommand("places", {"亚特兰蒂斯"});
    EXPECT_EQ(none.status, kExitFailure);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("亚特兰蒂斯"), std::string::npos);
    const CliRun control = RunCommand("places", {"成\xc2\x85"});
    EXPECT_EQ(control.status, kExitUsage);
    EXPECT_NE(control.err.find("TEXT 成\\xc2\\x85: the text is not plain UTF-8 text"), std::string::npos) << control.err;
}

CliRun Reading(std::vector<std::string> args)
{
    static const velmora::testing::ScratchFolder folder;
    static const std::string database = [] {
        const auto file = folder.Path() / "sample.db";
        std::filesystem::copy_file(VELMORA_SAMPLE_READING_DB, file);
        return file.string();
    }();
    std::vector<std::string> all = {"--name", "张三", "--sex", "男", "--database", database};
    all.insert(all.end(), args.begin(), args.end());
    return RunCommand("reading", all);
}

TEST(ReadingCommand, JsonCarriesTheMomentsFieldsOnlyWhenAnOptionAsks)
{
    const CliRun kashgar =
        Reading({"--gregorian", "2024-6-2", "--hour", "0", "--minute", "30", "--place", "喀什地区", "--format", "json"});
    ASSERT_EQ(kashgar.status, kExitOk) << kashgar.err;
    for (const char* field : {"\"ClockTime\": \"00:30\"", "\"StandardTime\": \"00:30\"", "\"SolarTime\": \"21:36\"",
                              "\"Place\": \"喀什地区\"", "\"Longitude\": \"75.99\"", "\"Precise\": true",
                              "\"ZiSchool\": \"late\"", "\"Notes\": [\n    \"", "\"SiZhu\": \"甲辰 己巳 丙申 己亥\"",
                              "\"TimeZone\": \"Asia/Shanghai\"", "\"UtcOffset\": \"+08:00\"",
                              "\"BirthUtc\": \"2024-06-01T16:30Z\"", "\"BeijingMoment\": \"2024-06-02 00:30\"",
                              "\"SolarMoment\": \"2024-06-01 21:36\"", "\"Latitude\": \"39.47\""})
        EXPECT_NE(kashgar.out.find(field), std::string::npos) << field;
    // 立春 1984 came at 23:19: a classic reading at 23:00 gets a note but no moment fields.
    const CliRun classic = Reading({"--gregorian", "1984-2-4", "--hour", "23", "--format", "json"});
    ASSERT_EQ(classic.status, kExitOk) << classic.err;
    EXPECT_EQ(classic.out.find("ClockTime"), std::string::npos);
    EXPECT_EQ(classic.out.find("TimeZone"), std::string::npos);
    EXPECT_NE(classic.out.find("\"Notes\": [\n    \"出生当天是立春"), std::string::npos) << classic.out;
    const CliRun text = Reading({"--gregorian", "1984-2-4", "--hour", "23"});
    EXPECT_NE(text.out.find("说明：出生当天是立春"), std::string::npos) << text.out;
}

TEST(ReadingCommand, ABirthAbroadIsItsZonesLocalTime)
{
    // Taiwan's summer time of 1975: 09:30 was 08:30 in Beijing, 08:32 true solar time in Taipei.
    const CliRun taipei = Reading({"--gregorian", "1975-7-1", "--hour", "9", "--minute", "30", "--place", "台北",
                                   "--format", "json"});
    ASSERT_EQ(taipei.status, kExitOk) << taipei.err;
    for (const char* field : {"\"SiZhu\": \"乙卯 壬午 戊申 丙辰\"", "\"TimeZone\": \"Asia/Taipei\"",
                              "\"UtcOffset\": \"+09:00\"", "\"BirthUtc\": \"1975-07-01T00:30Z\""})
        EXPECT_NE(taipei.out.find(field), std::string::npos) << field;
    // A typed longitude with a zone: a New York summer, the repeated hour read as its first time.
    const CliRun typed = Reading({"--gregorian", "2021-11-7", "--hour", "1", "--minute", "30", "--longitude", "-74",
                                  "--timezone", "America/New_York", "--format", "json"});
    ASSERT_EQ(typed.status, kExitOk) << typed.err;
    for (const char* field : {"\"UtcOffset\": \"-04:00\"", "\"BirthUtc\": \"2021-11-07T05:30Z\"", "出现了两次"})
        EXPECT_NE(typed.out.find(field), std::string::npos) << field;
    // The far larger London is taken, with a note naming the other.
    const CliRun london = Reading({"--gregorian", "2000-6-15", "--hour", "13", "--place", "伦敦"});
    ASSERT_EQ(london.status, kExitOk) << london.err;
    EXPECT_NE(london.out.find("同名的还有伦敦（加拿大）"), std::string::npos) << london.out;
    EXPECT_NE(london.out.find("出生时间：当地时间13:00（Europe/London，UTC+01:00）  北京标准时间20:00"), std::string::npos)
        << london.out;
    // A local time the zone skipped is refused, naming the change.
    const CliRun skipped = Reading({"--gregorian", "2021-3-14", "--hour", "2", "--minute", "30", "--place", "纽约"});
    EXPECT_EQ(skipped.status, kExitFailure);
    EXPECT_NE(skipped.err.find("America/New_York时区并不存在：当地时间2021-03-14 02:00起由UTC-05:00改为UTC-04:00"),
              std::string::npos)
        << skipped.err;
}

TEST(ReadingCommand, ASkippedClockTimeEndsWithItsMessageAndStatusOne)
{
    const CliRun run = Reading({"--gregorian", "1986-5-4", "--hour", "2", "--minute", "30", "--precise"});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("夏令时"), std::string::npos) << run.err;
}

TEST(ReadingCommand, BadMomentArgumentsAreNamedWithStatusTwo)
{
    const std::vector<std::string> birth = {"--gregorian", "2024-1-1", "--hour", "7"};
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--minute", "60"}, "--minute 60: the minute is 0 to 59"},
        {{"--minute=-1"}, "--minute -1: the minute is 0 to 59"},
        {{"--longitude", "180.5"}, "--longitude 180.5: the longitude is a number of degrees from -180 to 180"},
        {{"--longitude", "east"}, "--longitude east: the longitude is a number of degrees from -180 to 180"},
        {{"--place", "亚特兰蒂斯"}, "--place 亚特兰蒂斯: no such place in the list"},
        {{"--place", "成"}, "--place 成: no such place in the list"},
        {{"--place", "朝阳区"}, "--place 朝阳区: several places have this name; give one of 朝阳区（北京市）"},
        {{"--place", "鼓楼"}, "--place 鼓楼: several places have this name; give one of 鼓楼区（江苏省南京市）"},
        {{"--timezone", "Asia/Tokyo"}, "--timezone goes with --longitude"},
        {{"--longitude", "139", "--timezone", "Mars/Olympus"}, "--timezone Mars/Olympus: no such time zone"},
        {{"--place", "成都", "--longitude", "104"}, "give only one of --place or --longitude"},
        {{"--latitude", "30"}, "--latitude goes with --longitude"},
        {{"--zi", "noon"}, "--zi noon: the 子时 school is late or early"},
        {{"--longitude", "+-100"}, "--longitude +-100: the longitude is a number of degrees from -180 to 180"},
        {{"--longitude", "100", "--latitude", "+-30"},
         "--latitude +-30: the latitude is a number of degrees from -90 to 90"},
        // C1 controls (here U+009B, a terminal's CSI) are refused and shown escaped, as C0 ones are.
        {{"--place", "成\xc2\x9b都"}, "--place 成\\xc2\\x9b都: the place is not plain UTF-8 text"},
    };
    for (const auto& [args, message] : rows) {
        std::vector<std::string> all = birth;
        all.insert(all.end(), args.begin(), args.end());
        const CliRun run = Reading(all);
        EXPECT_EQ(run.status, kExitUsage) << message;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("velmora-cli reading: " + message)) << run.err;
    }
    EXPECT_EQ(RunCommand("terms", {"2025", "2024"}).status, kExitUsage);
    EXPECT_EQ(RunCommand("terms", {"3001"}).status, kExitUsage);
}

}  // namespace
}  // namespace velmora::cli

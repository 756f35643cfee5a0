// velmora-cli reading: its three formats, its output file, and how it ends
// for bad input, impossible dates and a missing database.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "CliRun.h"
#include "GbkCodec.h"
#include "ReadingTestSupport.h"

namespace velmora::cli {
namespace {

// A copy of the sample database of this test program's own: the file is
// held exclusively, and other tests may have the shared one open.
const std::string& PrivateSampleDatabase()
{
    static const velmora::testing::ScratchFolder folder;
    static const std::string copy = [] {
        const auto file = folder.Path() / "sample.db";
        std::filesystem::copy_file(VELMORA_SAMPLE_READING_DB, file);
        return file.string();
    }();
    return copy;
}

CliRun Reading(std::vector<std::string> args, const std::string& database = PrivateSampleDatabase())
{
    args.push_back("--database");
    args.push_back(database);
    return RunCommand("reading", std::move(args));
}

const std::vector<std::string> kBirth = {"--name", "张三", "--sex", "男", "--gregorian", "1984-02-04", "--hour", "23"};

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more)
{
    args.insert(args.end(), more);
    return args;
}

TEST(ReadingCommand, JsonNamesEveryFieldOfTheReading)
{
    const CliRun run = Reading(With(kBirth, {"--format", "json"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    for (const char* field :
         {"Year", "Month", "Day", "Hour", "IsLeap", "LunarYear", "LunarMonth", "LunarDay", "HourName", "Name", "Sex",
          "Age", "SiZhu", "WuXing", "GuZhong", "XingZuo", "ShuXiang", "ShuXiangIndex", "NaYin", "YearText",
          "MonthText", "DayText", "HourText", "GuZhongText", "XingZuoText", "ShuXiangText", "WuXingSummary"})
        EXPECT_NE(run.out.find(std::string("\"") + field + "\":"), std::string::npos) << field;
    EXPECT_NE(run.out.find("\"SiZhu\": \"甲子 丙寅 戊辰 甲子\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"IsLeap\": false"), std::string::npos);
    EXPECT_NE(run.out.find("\"ShuXiangIndex\": 0"), std::string::npos);
    // 甲子 has a sample text.
    EXPECT_NE(run.out.find("甲子年"), std::string::npos);
}

TEST(ReadingCommand, TextIsAShortSummary)
{
    const CliRun run = Reading(kBirth);
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("四柱八字：甲子 丙寅 戊辰 甲子"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("公历生日：1984年02月04日23时"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("骨重："), std::string::npos);
}

TEST(ReadingCommand, HtmlIsThePageFileAndCanGoToAFile)
{
    const velmora::testing::ScratchFolder folder;
    const std::string file = (folder.Path() / "page.html").string();
    const CliRun run = Reading(With(kBirth, {"--format", "html", "--output", file}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    const std::string page = velmora::GbkToUtf8(velmora::testing::ReadBytes(file));
    EXPECT_EQ(page.find("<html>\r\n"), 0u);
    EXPECT_NE(page.find("姓名：张三"), std::string::npos);
    EXPECT_NE(page.find("<strong>["), std::string::npos);
}

TEST(ReadingCommand, TheInputCheckRefusesWithItsMessage)
{
    for (const auto& args : {With({"--name", "张三", "--sex", "男", "--gregorian", "2009-9-21"}, {"--hour", "24"}),
                             With({"--name", "", "--sex", "男", "--gregorian", "2009-9-21"}, {"--hour", "7"}),
                             With({"--name", "张三", "--sex", "男", "--gregorian", "2009-9a-21"}, {"--hour", "7"})}) {
        const CliRun run = Reading(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.err, "对不起，输入有误！不能推算！\n");
        EXPECT_EQ(run.out, "");
    }
}

TEST(ReadingCommand, ImpossibleDatesEndWithTheirMessageAndStatusOne)
{
    const CliRun noDay = Reading({"--name", "张三", "--sex", "女", "--gregorian", "2009-2-29", "--hour", "7"});
    EXPECT_EQ(noDay.status, kExitFailure);
    EXPECT_EQ(noDay.err, "日期出错，请确认此日期是否存在\n");
    const CliRun notLeap = Reading({"--name", "张三", "--sex", "女", "--lunar", "2001-5-1", "--leap", "--hour", "7"});
    EXPECT_EQ(notLeap.status, kExitFailure);
    EXPECT_EQ(notLeap.err, "日期出错，请确认此日期是否存在\n");
    const CliRun future = Reading({"--name", "张三", "--sex", "女", "--gregorian", "2101-1-1", "--hour", "7"});
    EXPECT_EQ(future.status, kExitFailure);
    EXPECT_EQ(future.err, "农历数据仅支持公元前849年至公元2100年\n");
    EXPECT_EQ(future.out, "");
}

TEST(ReadingCommand, AMissingDatabaseIsAFailureThatNamesTheFile)
{
    const CliRun run = Reading(kBirth, "/nonexistent/folder/Orsk.dll");
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("Orsk.dll"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(ReadingCommand, BadArgumentsAreUsageErrors)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--name", "张三"}, With(kBirth, {"--format", "pdf"}), With(kBirth, {"--colour"}),
          std::vector<std::string>{"--name", "张三", "--sex", "男", "--gregorian", "2009-9-21", "--leap", "--hour", "7"},
          std::vector<std::string>{"--name", "张三", "--sex", "x", "--gregorian", "2009-9-21", "--hour", "7"},
          std::vector<std::string>{"--name", "张三", "--sex", "男", "--gregorian", "2009/9/21", "--hour", "7"}}) {
        const CliRun run = Reading(args);
        EXPECT_EQ(run.status, kExitUsage) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace velmora::cli

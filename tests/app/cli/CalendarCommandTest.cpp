// velmora-cli calendar: its lines, and its refusal of bad arguments.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include "CliRun.h"

namespace velmora::cli {
namespace {

CliRun Calendar(std::vector<std::string> args) { return RunCommand("calendar", std::move(args)); }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CalendarCommand, PrintsOneTabSeparatedLinePerDay)
{
    const CliRun run = Calendar({"2000-02-04", "2000-02-05"});
    ASSERT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.err, "");
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "2000-02-04\t1999\t12\t0\t29\t庚辰\t戊寅\t壬辰");
    EXPECT_EQ(lines[1], "2000-02-05\t2000\t1\t0\t1\t庚辰\t戊寅\t癸巳");
    EXPECT_EQ(Lines(Calendar({"2001-05-23", "2001-05-23"}).out).at(0), "2001-05-23\t2001\t4\t1\t1\t辛巳\t癸巳\t丙戌");
}

TEST(CalendarCommand, DaysWithoutALunarDateShowDashes)
{
    const auto lines = Lines(Calendar({"2100-12-31", "2101-01-01"}).out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\t2100\t"), std::string::npos);
    EXPECT_EQ(lines[1].substr(0, 18), "2101-01-01\t-\t-\t-\t-");
}

TEST(CalendarCommand, StepsOverTheDroppedDaysAndYearZero)
{
    const auto reform = Lines(Calendar({"1582-10-03", "1582-10-16"}).out);
    ASSERT_EQ(reform.size(), 4u);
    EXPECT_EQ(reform[2].substr(0, 10), "1582-10-15");
    const auto era = Lines(Calendar({"-0001-12-31", "0001-01-01"}).out);
    ASSERT_EQ(era.size(), 2u);
    EXPECT_EQ(era[0].substr(0, 11), "-0001-12-31");
    EXPECT_EQ(era[1].substr(0, 10), "0001-01-01");
}

class BadArguments : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadArguments, GiveOneLineOnStderrNothingElseAndStatusTwo)
{
    const CliRun run = Calendar(GetParam());
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, BadArguments,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"2000-01-01"},
                      std::vector<std::string>{"2000-01-01", "2000-01-02", "2000-01-03"},
                      std::vector<std::string>{"2000-01-01", "yesterday"},
                      std::vector<std::string>{"2001-02-29", "2001-03-01"},
                      std::vector<std::string>{"1582-10-10", "1582-10-20"},
                      std::vector<std::string>{"0000-01-01", "0001-01-01"},
                      std::vector<std::string>{"2000-01-02", "2000-01-01"},
                      std::vector<std::string>{"99999999999-01-01", "2000-01-01"}));

// A stream that refuses every write, like a full disk.
class FullDisk : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(CalendarCommand, AnOutputThatCannotBeWrittenIsAFailure)
{
    FullDisk disk;
    std::ostream out(&disk);
    std::ostringstream err;
    EXPECT_EQ(RunCli({"calendar", "2000-01-01", "2000-12-31"}, out, err), kExitFailure);
    EXPECT_NE(err.str(), "");
}

TEST(CalendarCommand, TakesDatesAsReadingDoesAndSaysWhyOneIsRefused)
{
    EXPECT_EQ(Calendar({"2023-3-1", "2023-3-1"}).out, Calendar({"2023-03-01", "2023-03-01"}).out);
    EXPECT_EQ(Calendar({"2023-2-29", "2023-3-1"}).err,
              "velmora-cli calendar: FROM 2023-2-29: there is no such date (see velmora-cli help calendar)\n");
    EXPECT_EQ(Calendar({"2000-1-1", "9999999-1-1"}).err,
              "velmora-cli calendar: TO 9999999-1-1: the date is past the range the calendar computes "
              "(see velmora-cli help calendar)\n");
}

TEST(Cli, UnknownCommandsAreUsageErrors)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"horoscope"}, out, err), kExitUsage);
    EXPECT_EQ(RunCli({}, out, err), kExitUsage);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace velmora::cli

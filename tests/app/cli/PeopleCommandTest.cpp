// velmora-cli people: several processes on one store, an import killed
// half-way, the files' round trip, the import's refusals, and the reading of
// a kept person.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlcipher/sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "CliRun.h"
#include "PeopleFile.h"
#include "ReadingTestSupport.h"

extern char** environ;

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadBytes;

// Each test has a store of its own: XDG_DATA_HOME points into a scratch folder,
// for the commands run here and the processes started.
class PeopleCommand : public ::testing::Test {
protected:
    void SetUp() override { UseDataHome(scratch_.Path() / "data"); }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }

    static void UseDataHome(const fs::path& folder) { setenv("XDG_DATA_HOME", folder.c_str(), 1); }
    fs::path Store() const { return scratch_.Path() / "data" / "velmora" / "people.sqlite"; }
    fs::path Scratch() const { return scratch_.Path(); }

    static std::string Database()
    {
        static const velmora::testing::ScratchFolder folder;
        static const fs::path file = [] {
            fs::copy_file(VELMORA_SAMPLE_READING_DB, folder.Path() / "sample.db");
            return folder.Path() / "sample.db";
        }();
        return file.string();
    }

    // Adds a person and gives its id.
    std::string Add(std::vector<std::string> args)
    {
        args.insert(args.begin(), "add");
        const CliRun run = RunCommand("people", args);
        EXPECT_EQ(run.status, kExitOk) << run.err;
        return run.out.substr(0, run.out.find('\n'));
    }

private:
    velmora::testing::ScratchFolder scratch_;
};

// Starts velmora-cli with `args`, its output and errors going to `log`.
pid_t Start(std::vector<std::string> args, const fs::path& log)
{
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, (log.string() + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), VELMORA_CLI_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, VELMORA_CLI_PROGRAM, &files, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

int WaitFor(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST_F(PeopleCommand, ParallelAddsAllLand)
{
    // Sixteen processes at once, on a store none of them finds: they make it,
    // turn on its journal and write its schema side by side too.
    constexpr int kProcesses = 16;
    std::vector<pid_t> adds;
    for (int i = 0; i < kProcesses; ++i)
        adds.push_back(Start({"people", "add", "--name", "人" + std::to_string(i), "--sex", "女", "--gregorian",
                              "1990-5-17", "--hour", "8"},
                             Scratch() / std::to_string(i)));
    std::set<std::string> ids;
    for (int i = 0; i < kProcesses; ++i) {
        const fs::path log = Scratch() / std::to_string(i);
        EXPECT_EQ(WaitFor(adds[i]), 0) << ReadBytes(log.string() + ".err");
        EXPECT_EQ(ReadBytes(log.string() + ".err"), "");
        ids.insert(ReadBytes(log));
    }
    EXPECT_EQ(ids.size(), std::size_t{kProcesses});
    EXPECT_EQ(Lines(RunCommand("people", {"list"}).out).size(), std::size_t{kProcesses});
}

// The people and the integrity check's verdict, read past the program.
std::pair<int, std::string> CountAndCheck(const fs::path& store)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    std::pair<int, std::string> result{-1, ""};
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM people", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        result.first = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        result.second = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

TEST_F(PeopleCommand, AnImportKilledHalfWayLeavesAllOrNone)
{
    constexpr int kPeople = 20000;
    std::vector<people::Person> many(kPeople);
    for (int i = 0; i < kPeople; ++i) {
        many[i].name = "人" + std::to_string(i);
        many[i].sex = i % 2 ? "男" : "女";
        many[i].date = "1990-5-" + std::to_string(1 + i % 28);
        many[i].hour = std::to_string(i % 24);
    }
    const fs::path file = Scratch() / "many.json";
    std::ofstream(file) << people::PeopleAsJson(many);
    Add({"--name", "先来", "--sex", "男", "--gregorian", "1980-1-1", "--hour", "1"});
    const fs::path journal = Store().string() + "-wal";

    // The import's rows reach the journal while it commits; it is killed as
    // soon as the journal holds this many bytes. Tried until two kills came
    // half-way (a kill may also come just after the commit, or the import
    // may end first: then all of them are there).
    const std::uintmax_t killAt[] = {1, 4096, 64 * 1024, 256 * 1024};
    int killedHalfWay = 0;
    int before = 1;
    for (int attempt = 0; attempt < 12 && killedHalfWay < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        const pid_t import = Start({"people", "import", file.string()}, Scratch() / "import.log");
        int status = 0;
        std::error_code error;
        while (waitpid(import, &status, WNOHANG) == 0) {
            if (fs::file_size(journal, error) >= killAt[attempt % 4] && !error) {
                kill(import, SIGKILL);
                waitpid(import, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        const auto [count, check] = CountAndCheck(Store());
        EXPECT_EQ(check, "ok");
        EXPECT_TRUE(count == before || count == before + kPeople) << count;
        killedHalfWay += WIFSIGNALED(status) && count == before;
        before = count;
    }
    EXPECT_GT(killedHalfWay, 0) << "no import was killed half-way";
    // The store goes on after the kill.
    const CliRun import = RunCommand("people", {"import", file.string()});
    ASSERT_EQ(import.status, kExitOk) << import.err;
    EXPECT_EQ(Lines(import.out).size(), std::size_t{kPeople});
    EXPECT_EQ(CountAndCheck(Store()).first, before + kPeople);
}

// The export without its ids, which an import gives anew.
nlohmann::json WithoutIds(const std::string& json)
{
    nlohmann::json people = nlohmann::json::parse(json);
    for (auto& person : people) person.erase("Id");
    return people;
}

TEST_F(PeopleCommand, ExportThenImportRoundTrips)
{
    Add({"--name", "张三", "--sex", "男", "--gregorian", "1990-5-17", "--hour", "8", "--note", "表哥, \"大\"的"});
    Add({"--name", "李四", "--sex", "女", "--lunar", "2001-4-1", "--leap", "--hour", "23", "--minute", "5", "--place",
         "成都", "--zi", "early"});
    Add({"--name", "Anna", "--sex", "女", "--gregorian", "1970-01-02", "--hour", "0", "--longitude", "-0.1275",
         "--latitude", "51.507222", "--precise"});
    Add({"--name", "王小明", "--sex", "男", "--gregorian", "1999-12-31", "--hour", "unknown"});
    const std::string original = RunCommand("people", {"export"}).out;
    for (const std::string format : {"json", "csv"}) {
        SCOPED_TRACE(format);
        const fs::path file = Scratch() / ("people." + format);
        ASSERT_EQ(RunCommand("people", {"export", "--format", format, "--output", file.string()}).status, kExitOk);
        UseDataHome(Scratch() / ("other-" + format));
        const CliRun import = RunCommand("people", {"import", file.string()});
        ASSERT_EQ(import.status, kExitOk) << import.err;
        EXPECT_EQ(WithoutIds(RunCommand("people", {"export"}).out), WithoutIds(original));
        UseDataHome(Scratch() / "data");
    }
}

TEST_F(PeopleCommand, ImportRefusesABadRowWithItsNumberAndFieldAndKeepsNobody)
{
    const std::string good = R"({"Name":"甲","Sex":"男","Calendar":"gregorian","Date":"1990-1-1","Hour":1})";
    const std::pair<std::string, std::string> cases[] = {
        {"[" + good + R"(,{"Name":"乙","Sex":"男","Date":"1990-1-1","Hour":24}])",
         "row 2, Hour: \"24\": the hour is 0 to 23"},
        {"[" + good + "," + good + R"(,{"Name":"乙","Sex":"M","Date":"1990-1-1","Hour":2}])", "row 3, Sex: \"M\": the sex is 男 or 女"},
        {R"([{"Name":"乙","Sex":"男","Date":"1990-1-1","Hour":2,"Leap":true}])", "row 1, Leap: --leap goes with --lunar"},
        {R"([{"Name":"乙","Sex":"男","Calendar":"julian","Date":"1990-1-1","Hour":2}])", "row 1, Calendar"},
        {R"([{"Name":"乙","Sex":"男","Date":"1990-1-1","Hour":2,"Place":"Nowhereville"}])", "row 1, Place: \"Nowhereville\": no such place"},
        {R"([{"Name":"乙","Sex":"男","Date":"1990-1-1","Hour":2,"Minute":60}])", "row 1, Minute: \"60\": the minute is 0 to 59"},
        {R"([{"Name":"乙","Sex":"男","Date":"1990-1-1","Hour":"unknown","Minute":5}])",
         "row 1, Hour: --hour unknown and --minute exclude each other"},
        {R"([{"Name":"乙","Sex":"男","Date":"1990-1-1","Hour":2,"Place":"成都","Longitude":104}])",
         "row 1, Place: give only one of --place or --longitude"},
        {R"([{"Name":"乙","Sex":"男","Date":"1999-4-31","Hour":2}])",
         "row 1, Date: --gregorian \"1999-4-31\": 日期出错，请确认此日期是否存在：1999年4月只有30天"},
        {R"([{"Name":"乙","Sex":"男","Calendar":"lunar","Date":"2002-4-1","Leap":true,"Hour":2}])",
         "row 1, Date: --lunar \"2002-4-1\": 日期出错，请确认此日期是否存在：农历2002年没有闰月"},
        {"Name,Sex,Date,Hour,Note\r\n甲,男,1990-1-1,1,\r\n乙,男,1990-12-1,2,\r\n丙,女,1990-1-1,2,\"a\nb\"\r\n",
         "row 3, Note: \"a\\x0ab\": the note is not plain UTF-8 text"},
    };
    Add({"--name", "先来", "--sex", "男", "--gregorian", "1980-1-1", "--hour", "1"});
    const std::string before = RunCommand("people", {"export"}).out;
    for (const auto& [content, message] : cases) {
        const fs::path file = Scratch() / "bad";
        std::ofstream(file, std::ios::binary) << content;
        const CliRun run = RunCommand("people", {"import", file.string()});
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nothing was imported"), std::string::npos) << run.err;
        EXPECT_EQ(RunCommand("people", {"export"}).out, before);
    }
}

// A kept person is always a birth a reading takes: no day that never was.
TEST_F(PeopleCommand, AddAndEditRefuseADateThatDoesNotExist)
{
    const CliRun add = RunCommand("people", {"add", "--name", "甲", "--sex", "男", "--gregorian", "2001-2-29", "--hour", "1"});
    EXPECT_EQ(add.status, kExitUsage);
    EXPECT_NE(add.err.find("2001年2月只有28天"), std::string::npos) << add.err;
    const std::string id = Add({"--name", "甲", "--sex", "男", "--lunar", "2001-4-30", "--hour", "1"});
    const CliRun edit = RunCommand("people", {"edit", id, "--leap"});  // 闰四月 of 2001 has 29 days
    EXPECT_EQ(edit.status, kExitUsage);
    EXPECT_NE(edit.err.find("Date: --lunar \"2001-4-30\": 日期出错"), std::string::npos) << edit.err;
    EXPECT_NE(RunCommand("people", {"show", id}).out.find("Leap: false"), std::string::npos);
}

TEST_F(PeopleCommand, EditChangesOnlyWhatIsGiven)
{
    const std::string id = Add({"--name", "张三", "--sex", "男", "--lunar", "2001-4-1", "--leap", "--hour", "8",
                                "--minute", "5", "--longitude", "104", "--latitude", "30", "--note", "表哥"});
    const auto field = [&](std::string_view name) {
        for (const std::string& line : Lines(RunCommand("people", {"show", id}).out))
            if (line.starts_with(std::string(name) + ": ")) return line.substr(name.size() + 2);
        return std::string("?");
    };
    struct Edit {
        std::vector<std::string> args;
        int status;
        std::vector<std::pair<std::string_view, std::string>> fields;  // after the edit
    };
    const Edit edits[] = {
        {{"--latitude", "31.5"}, kExitOk, {{"Longitude", "104.0"}, {"Latitude", "31.5"}, {"Minute", "5"}, {"Leap", "true"}}},
        {{"--place", "成都"}, kExitOk, {{"Place", "成都市"}, {"Longitude", ""}, {"Latitude", ""}, {"Note", "表哥"}}},
        {{"--no-place", "--minute", "7"}, kExitOk, {{"Place", ""}, {"Minute", "7"}, {"Hour", "8"}}},
        {{"--gregorian", "1990-5-17"}, kExitOk, {{"Calendar", "gregorian"}, {"Leap", "false"}, {"Name", "张三"}}},
        // A leap month of a Gregorian date: refused, nothing changes.
        {{"--leap", "--note", "改了"}, kExitUsage, {{"Leap", "false"}, {"Note", "表哥"}}},
        {{"--precise"}, kExitOk, {{"Precise", "true"}}},
        {{"--no-precise", "--zi", "early"}, kExitOk, {{"Precise", "false"}, {"ZiSchool", "early"}}},
    };
    for (const Edit& edit : edits) {
        std::vector<std::string> args = {"edit", id};
        args.insert(args.end(), edit.args.begin(), edit.args.end());
        const CliRun run = RunCommand("people", args);
        EXPECT_EQ(run.status, edit.status) << edit.args[0] << ": " << run.err;
        for (const auto& [name, value] : edit.fields) EXPECT_EQ(field(name), value) << edit.args[0] << ", " << name;
    }
    EXPECT_EQ(RunCommand("people", {"edit", "99", "--hour", "1"}).status, kExitFailure);
    EXPECT_EQ(RunCommand("people", {"remove", id}).status, kExitOk);
    EXPECT_EQ(RunCommand("people", {"remove", id}).status, kExitFailure);
    EXPECT_EQ(RunCommand("people", {"list"}).out, "");
}

TEST_F(PeopleCommand, AKeptPersonReadsAsItsBirthInEveryFormat)
{
    const std::vector<std::string> births[] = {
        {"--name", "李四", "--sex", "女", "--lunar", "2001-4-1", "--leap", "--hour", "23", "--minute", "5", "--place",
         "成都", "--zi", "early"},
        {"--name", "王小明", "--sex", "男", "--gregorian", "1999-12-31", "--hour", "unknown"}};
    std::string id;
    for (const std::vector<std::string>& birth : births)
    for (const std::string format : {"text", "json", "html"}) {
        id = Add(birth);
        std::vector<std::string> direct = birth;
        direct.insert(direct.end(), {"--format", format, "--database", Database()});
        const CliRun expected = RunCommand("reading", direct);
        const CliRun kept = RunCommand("reading", {"--person", id, "--format", format, "--database", Database()});
        ASSERT_EQ(kept.status, kExitOk) << kept.err;
        EXPECT_EQ(kept.out, expected.out) << format;
    }
    const CliRun beside = RunCommand("reading", {"--person", id, "--minute", "6", "--database", Database()});
    EXPECT_EQ(beside.status, kExitUsage);
    EXPECT_NE(beside.err.find("--minute cannot be given with --person"), std::string::npos) << beside.err;
    EXPECT_EQ(RunCommand("reading", {"--person", "99", "--database", Database()}).status, kExitFailure);
}

TEST_F(PeopleCommand, ADamagedStoreIsReportedUnchangedAndReadingsGoOn)
{
    fs::create_directories(Store().parent_path());
    std::ofstream(Store(), std::ios::binary) << std::string(5000, '\x5a');
    const std::string before = ReadBytes(Store());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"list"}, {"add", "--name", "甲", "--sex", "男", "--gregorian", "1990-1-1", "--hour", "1"}, {"export"}}) {
        const CliRun run = RunCommand("people", args);
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_NE(run.err.find("it is not a people store"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadBytes(Store()), before);
    const CliRun reading = RunCommand("reading", {"--name", "张三", "--sex", "男", "--gregorian", "1984-2-4", "--hour",
                                                  "23", "--database", Database()});
    EXPECT_EQ(reading.status, kExitOk) << reading.err;
}

TEST_F(PeopleCommand, TheExportIsNeverWrittenOverTheStore)
{
    Add({"--name", "张三", "--sex", "男", "--gregorian", "1990-5-17", "--hour", "8"});
    const std::string before = ReadBytes(Store());
    for (const fs::path& target : {Store(), fs::path(Store().string() + "-wal")}) {
        const CliRun run = RunCommand("people", {"export", "--output", target.string()});
        EXPECT_EQ(run.status, kExitFailure) << target;
    }
    EXPECT_EQ(ReadBytes(Store()), before);
    EXPECT_EQ(Lines(RunCommand("people", {"list"}).out).size(), 1u);
}

}  // namespace
}  // namespace velmora::cli

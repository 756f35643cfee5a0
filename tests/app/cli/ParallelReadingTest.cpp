// velmora-cli processes on one reading database: any number read at once,
// and while the window holds the file they say so.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "ReadingDatabase.h"
#include "ReadingTestSupport.h"

extern char** environ;

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

// Starts velmora-cli with its output and errors going to `log`.
pid_t StartReading(const fs::path& database, const fs::path& log)
{
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    const std::string program = VELMORA_CLI_PROGRAM;
    const std::string databaseText = database.string();
    std::vector<const char*> args = {program.c_str(), "reading", "--name", "张三", "--sex", "男", "--gregorian",
                                     "1984-2-4", "--hour", "23", "--database", databaseText.c_str(), nullptr};
    pid_t pid = -1;
    const int started = posix_spawn(&pid, program.c_str(), &files, nullptr, const_cast<char**>(args.data()), environ);
    posix_spawn_file_actions_destroy(&files);
    EXPECT_EQ(started, 0);
    return pid;
}

int ExitStatusOf(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ParallelReadings, FourAtOnceAllSucceed)
{
    const velmora::testing::ScratchFolder folder;
    const fs::path database = folder.Path() / "Orsk.dll";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, database);
    for (int round = 0; round < 5; ++round) {
        std::vector<pid_t> readings;
        for (int i = 0; i < 4; ++i) readings.push_back(StartReading(database, folder.Path() / std::to_string(i)));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(ExitStatusOf(readings[i]), 0) << velmora::testing::ReadBytes(folder.Path() / std::to_string(i));
            EXPECT_NE(velmora::testing::ReadBytes(folder.Path() / std::to_string(i)).find("四柱八字：甲子 丙寅 戊辰 甲子"),
                      std::string::npos);
        }
    }
}

TEST(ParallelReadings, WhileTheWindowHoldsTheFileTheySaySo)
{
    const velmora::testing::ScratchFolder folder;
    const fs::path database = folder.Path() / "Orsk.dll";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, database);
    TDatabaseConnection window(velmora::testing::ConnectionStringFor(database));  // the window's exclusive use
    window.Open();
    const fs::path log = folder.Path() / "log";
    EXPECT_EQ(ExitStatusOf(StartReading(database, log)), 1);
    EXPECT_NE(velmora::testing::ReadBytes(log).find("it is in use by the Velmora window"), std::string::npos)
        << velmora::testing::ReadBytes(log);
}

}  // namespace
}  // namespace velmora::cli

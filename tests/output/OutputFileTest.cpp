// The one way outputs are written: whole or not at all, never through a
// link the program did not choose to follow, never over a file it runs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

#include "OutputFile.h"
#include "ReadingTestSupport.h"

extern char** environ;

namespace velmora {
namespace {
namespace fs = std::filesystem;
using velmora::testing::ReadBytes;
using velmora::testing::ScratchFolder;

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// What is there before the write; the write must leave all of it as it was.
struct RefusedCase {
    std::string label;
    std::function<void(const fs::path&)> plant;
    std::string output;
    OutputName kind;
    int error;
    std::string words;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.label; }

class RefusedOutputs : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedOutputs, LeaveEverythingAsItWas)
{
    const ScratchFolder folder;
    Write(folder.Path() / "victim", "secret");
    GetParam().plant(folder.Path());
    const std::vector<std::string> entries = folder.Entries();
    const auto problem = WriteOutputFile((folder.Path() / GetParam().output).string(), "new", GetParam().kind);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->error, GetParam().error) << problem->words;
    EXPECT_NE(problem->words.find(GetParam().words), std::string::npos) << problem->words;
    EXPECT_EQ(ReadBytes(folder.Path() / "victim"), "secret");
    EXPECT_EQ(folder.Entries(), entries);  // no temporary file left either
}

INSTANTIATE_TEST_SUITE_P(
    Output, RefusedOutputs,
    ::testing::Values(
        RefusedCase{"several hard links",
                    [](const fs::path& in) { fs::create_hard_link(in / "victim", in / "page.html"); }, "page.html",
                    OutputName::Chosen, EMLINK, "has 2 hard links"},
        RefusedCase{"a link planted under the picture's name",
                    [](const fs::path& in) { fs::create_symlink("victim", in / "bg.gif"); }, "bg.gif",
                    OutputName::Beside, ELOOP, "never written through"},
        RefusedCase{"a pipe planted under the picture's name",
                    [](const fs::path& in) { ::mkfifo((in / "bg.gif").c_str(), 0600); }, "bg.gif",
                    OutputName::Beside, EINVAL, "device or pipe"},
        RefusedCase{"a pipe nobody reads", [](const fs::path& in) { ::mkfifo((in / "out").c_str(), 0600); }, "out",
                    OutputName::Chosen, ENXIO, "No such device"},
        RefusedCase{"a loop of links",
                    [](const fs::path& in) {
                        fs::create_symlink("b", in / "a");
                        fs::create_symlink("a", in / "b");
                    },
                    "a", OutputName::Chosen, ELOOP, "Too many levels"},
        RefusedCase{"a folder", [](const fs::path& in) { fs::create_directory(in / "page.html"); }, "page.html",
                    OutputName::Chosen, EISDIR, "Is a directory"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

TEST(Output, ADanglingLinkMakesTheFileItPointsTo)
{
    const ScratchFolder folder;
    fs::create_symlink("made.json", folder.Path() / "link.json");
    ASSERT_FALSE(WriteOutputFile((folder.Path() / "link.json").string(), "{}").has_value());
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.json"));
    EXPECT_EQ(ReadBytes(folder.Path() / "made.json"), "{}");
}

TEST(Output, NamesUpToTheFileSystemsLimitWork)
{
    const ScratchFolder folder;
    for (const std::size_t length : {248u, 251u, 255u}) {
        const std::string name(length, 'n');
        const auto problem = WriteOutputFile((folder.Path() / name).string(), "x");
        EXPECT_FALSE(problem.has_value()) << length << ": " << problem->words;
        EXPECT_EQ(ReadBytes(folder.Path() / name), "x");
        fs::remove(folder.Path() / name);
    }
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(Output, ANewFileTakesTheUmaskAndAReplacedOneKeepsItsModeAndOwner)
{
    const ScratchFolder folder;
    const mode_t previous = ::umask(027);
    const auto problem = WriteOutputFile((folder.Path() / "new").string(), "x");
    ::umask(previous);
    ASSERT_FALSE(problem.has_value());
    struct stat info {};
    ASSERT_EQ(::stat((folder.Path() / "new").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (geteuid() != 0) GTEST_SKIP() << "giving a file another owner needs root";
    ASSERT_EQ(::chown((folder.Path() / "new").c_str(), 4321, 4322), 0);
    ASSERT_FALSE(WriteOutputFile((folder.Path() / "new").string(), "y").has_value());
    ASSERT_EQ(::stat((folder.Path() / "new").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(Output, AFullDiskLeavesNoFile)
{
    const velmora::testing::FullDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "mounting a small file system needs root";
    const std::string page(20000, 'p');
    const auto problem = WriteOutputFile((disk.Path() / "page.html").string(), page);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->error, ENOSPC) << problem->words;
    EXPECT_EQ(fs::directory_iterator(disk.Path())->path().filename(), "filler");
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), fs::directory_iterator()), 1);
}

TEST(Output, ProgramsThatRunAreRefused)
{
    const ScratchFolder folder;
    const fs::path program = folder.Path() / "sleeper";
    fs::copy_file("/bin/sleep", program);
    char seconds[] = "30";
    char* argv[] = {const_cast<char*>(program.c_str()), seconds, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);
    const auto running = RefuseOutput(program.string(), {});
    const auto self = RefuseOutput("/proc/self/exe", {});
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(running.has_value());
    EXPECT_EQ(running->error, ETXTBSY) << running->words;
    ASSERT_TRUE(self.has_value());
    EXPECT_EQ(self->error, ETXTBSY) << self->words;
}

}  // namespace
}  // namespace velmora

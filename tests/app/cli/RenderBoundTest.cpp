// velmora-cli --format pdf|png with a rendering helper that misbehaves: it
// hangs, stops itself or writes something that is no PDF or PNG. The
// command ends within its bound with status 1 and a message, and leaves no
// helper process, no temporary folder and no output behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CliRun.h"
#include "ReadingTestSupport.h"

namespace velmora::cli {
namespace {
namespace fs = std::filesystem;

struct HelperCase {
    std::string label;
    std::string format;
    std::string script;  // the helper's body: $2 the page, $3 the result
    std::string message;
};

void PrintTo(const HelperCase& c, std::ostream* out) { *out << c.label; }

// Gone, or only a zombie nobody reaps (the container's first process may
// not), within a second of being killed.
bool ProcessEnded(pid_t pid)
{
    for (int tries = 0; tries < 50; ++tries) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) return true;
        const auto state = line.rfind(')');
        if (state != std::string::npos && line.substr(state + 2, 1) == "Z") return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class FakeHelper : public ::testing::Test {
protected:
    FakeHelper() { fs::copy_file(VELMORA_SAMPLE_READING_DB, database_); }

    // The helper writes the pid of a child it starts into "child", so the
    // test can see that the helper's whole process group went.
    void MakeHelper(const std::string& body)
    {
        { std::ofstream(helper_) << "#!/bin/sh\nsleep 300 &\necho $! > '" << (folder_.Path() / "child").string()
                                 << "'\n" << body << "\n"; }
        fs::permissions(helper_, fs::perms::owner_all);
        fs::create_directory(temporary_);
    }

    std::vector<std::string> Arguments(const std::string& format) const
    {
        return {"--name", "张三", "--sex", "男", "--gregorian", "1984-2-4", "--hour", "23", "--database",
                database_.string(), "--format", format, "--output", output_.string()};
    }

    pid_t HelpersChild() const
    {
        std::ifstream file(folder_.Path() / "child");
        pid_t pid = 0;
        file >> pid;
        return pid;
    }

    void ExpectNothingLeft() const
    {
        EXPECT_FALSE(fs::exists(output_));
        EXPECT_TRUE(fs::is_empty(temporary_));
        const pid_t child = HelpersChild();
        ASSERT_GT(child, 0);
        EXPECT_TRUE(ProcessEnded(child));
    }

    velmora::testing::ScratchFolder folder_;
    fs::path helper_ = folder_.Path() / "fake-render";
    fs::path temporary_ = folder_.Path() / "tmp";
    fs::path output_ = folder_.Path() / "reading.out";
    fs::path database_ = folder_.Path() / "sample.db";
};

class MisbehavingHelpers : public FakeHelper, public ::testing::WithParamInterface<HelperCase> {};

TEST_P(MisbehavingHelpers, FailWithinTheBoundAndLeaveNothing)
{
    MakeHelper(GetParam().script);
    setenv("VELMORA_RENDER", helper_.c_str(), 1);
    setenv("VELMORA_RENDER_TIMEOUT", "1", 1);
    setenv("TMPDIR", temporary_.c_str(), 1);
    const CliRun run = RunCommand("reading", Arguments(GetParam().format));
    unsetenv("TMPDIR");
    unsetenv("VELMORA_RENDER_TIMEOUT");
    unsetenv("VELMORA_RENDER");
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    ExpectNothingLeft();
}

INSTANTIATE_TEST_SUITE_P(
    Render, MisbehavingHelpers,
    ::testing::Values(
        HelperCase{"sleeps", "pdf", "wait", "did not finish within 1 s"},
        HelperCase{"stops itself", "png", "kill -STOP $$", "did not finish within 1 s"},
        HelperCase{"writes text as a PDF", "pdf", "echo garbage > \"$3\"", "wrote no pdf"},
        HelperCase{"writes a cut PDF", "pdf", "printf '%%PDF-1.4\\n1 0 obj' > \"$3\"", "wrote no pdf"},
        HelperCase{"writes a PDF as a PNG", "png", "printf '%%PDF-1.4\\n%%%%EOF\\n' > \"$3\"", "wrote no png"},
        HelperCase{"writes nothing", "pdf", "true", "wrote no pdf"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

TEST_F(FakeHelper, ABadBoundIsNamed)
{
    MakeHelper("wait");
    setenv("VELMORA_RENDER", helper_.c_str(), 1);
    setenv("VELMORA_RENDER_TIMEOUT", "soon", 1);
    const CliRun run = RunCommand("reading", Arguments("pdf"));
    unsetenv("VELMORA_RENDER_TIMEOUT");
    unsetenv("VELMORA_RENDER");
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("VELMORA_RENDER_TIMEOUT=soon: the bound is a whole number of seconds"), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(folder_.Path() / "child"));  // the helper never started
}

// TERM and INT end velmora-cli as they would, after the helper and the
// temporary folder are gone.
TEST_F(FakeHelper, AnInterruptedRenderLeavesNothing)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        MakeHelper("wait");
        fs::remove(folder_.Path() / "child");
        std::string render = "VELMORA_RENDER=" + helper_.string();
        std::string tmpdir = "TMPDIR=" + temporary_.string();
        std::vector<std::string> arguments = Arguments("pdf");
        arguments.insert(arguments.begin(), {VELMORA_CLI_PROGRAM, "reading"});
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::string path = "PATH=/usr/bin:/bin";
        std::vector<char*> envp = {path.data(), render.data(), tmpdir.data(), nullptr};
        pid_t cli = 0;
        ASSERT_EQ(posix_spawn(&cli, VELMORA_CLI_PROGRAM, nullptr, nullptr, argv.data(), envp.data()), 0);
        for (int waited = 0; HelpersChild() == 0 && waited < 500; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::kill(cli, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(cli, &status, 0), cli);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        ExpectNothingLeft();
    }
}

// The program itself is never an output.
TEST_F(FakeHelper, TheProgramIsNoOutput)
{
    for (const char* program : {VELMORA_CLI_PROGRAM, "/proc/self/exe"}) {
        const std::string before = velmora::testing::ReadBytes(VELMORA_CLI_PROGRAM);
        std::string command = std::string(VELMORA_CLI_PROGRAM) +
                              " reading --name 张三 --sex 男 --gregorian 1984-2-4 --hour 23 --database " +
                              database_.string() + " --output " + program + " 2>&1";
        FILE* run = popen(command.c_str(), "r");
        ASSERT_NE(run, nullptr);
        std::string said;
        char buffer[512];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, run)) said.append(buffer, n);
        const int status = pclose(run);
        EXPECT_EQ(WEXITSTATUS(status), kExitFailure) << said;
        EXPECT_NE(said.find("refusing to write over it"), std::string::npos) << said;
        EXPECT_EQ(velmora::testing::ReadBytes(VELMORA_CLI_PROGRAM), before);
    }
}

}  // namespace
}  // namespace velmora::cli

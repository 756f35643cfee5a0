// One copy per user, with real processes of the program: a second start
// brings the running window back and ends, a copy that died never blocks the
// next start, and ten starts at once leave one window whatever their
// environment and whatever another user planted first.
//
// The lock's address is machine-wide, so every test runs its starts in a
// network namespace of its own; where the system allows none, the tests that
// start copies take turns instead.
#include "FormKarvo.h"
#include "SingleCopy.h"
#include "WindowTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing_support::FakeServices;
using testing_support::ScratchWorkingFolder;
using testing_support::WaitFor;

constexpr int StartTimeoutMs = 30000;
constexpr uid_t Nobody = 65534;

class IsolatedStarts {
public:
    IsolatedStarts() {
        if (unshare(CLONE_NEWNET) == 0) {
            return;
        }
        const QString lock = QCoreApplication::applicationDirPath() + QStringLiteral("/single-copy-tests.lock");
        turn_ = open(QFile::encodeName(lock).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (turn_ >= 0) {
            flock(turn_, LOCK_EX);
        }
    }
    ~IsolatedStarts() {
        if (turn_ >= 0) {
            close(turn_);
        }
    }
    IsolatedStarts(const IsolatedStarts&) = delete;
    IsolatedStarts& operator=(const IsolatedStarts&) = delete;

private:
    int turn_ = -1;
};

bool Ends(QProcess& process) {
    return WaitFor([&] { return process.state() == QProcess::NotRunning; }, StartTimeoutMs);
}

void Stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

bool RunningCopyAnswers() {
    TSingleCopyGuard probe;
    return WaitFor([&probe] { return probe.AskRunningCopyToRestore(500); }, StartTimeoutMs);
}

TEST(SingleCopy, ASecondStartRestoresTheMinimisedFirstCopyAndEnds) {
    const IsolatedStarts isolated;
    ScratchWorkingFolder folder(ScratchWorkingFolder::WithDatabase);
    TSingleCopyGuard guard;
    ASSERT_TRUE(guard.Acquire());
    ASSERT_TRUE(guard.HoldsLock());
    FakeServices services;
    TFormKarvo form(services.Make());
    ASSERT_TRUE(guard.Listen([&form] { form.RestoreMessage(); }));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.showMinimized();
    ASSERT_TRUE(form.isMinimized());

    QProcess second;
    second.start(QStringLiteral(VELMORA_PROGRAM), {});
    ASSERT_TRUE(Ends(second)) << "the second start kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(form.isMinimized());
    EXPECT_TRUE(form.isVisible());
}

// A first copy, a second start that ends at once, and, after the first copy
// is killed, a third start that takes the lock and runs.
TEST(SingleCopy, ACopyThatDiedDoesNotBlockTheNextStart) {
    const IsolatedStarts isolated;
    ScratchWorkingFolder folder(ScratchWorkingFolder::WithDatabase);
    const auto start = [&](QProcess& process) {
        process.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
        process.start(QStringLiteral(VELMORA_PROGRAM), {});
        return process.waitForStarted();
    };

    QProcess first;
    ASSERT_TRUE(start(first));
    ASSERT_TRUE(RunningCopyAnswers()) << "the first copy never listened";

    QProcess second;
    ASSERT_TRUE(start(second));
    ASSERT_TRUE(Ends(second));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    ASSERT_TRUE(first.waitForFinished());

    QProcess third;
    ASSERT_TRUE(start(third));
    EXPECT_TRUE(RunningCopyAnswers()) << "the third start did not take over";
    EXPECT_EQ(third.state(), QProcess::Running);
    Stop(third);
}

// ---------------------------------------------------------------------------
// Ten starts at once

// What a condition prepares in `scratch` before the starts; it returns the
// environment of start number `index`.
struct StartCondition {
    const char* name;
    bool needsSuperuser;  // gives things away to another user
    QProcessEnvironment (*prepare)(const fs::path& scratch, int index);
};

QProcessEnvironment BaseEnvironment(const fs::path& tmpdir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("TMPDIR"), QString::fromStdString(tmpdir.string()));
    return environment;
}

fs::path PrivateFolderIn(const fs::path& base) { return base / ("velmora-" + std::to_string(geteuid())); }

// Runs a child as another user that holds the lock's first address.
pid_t HoldFirstAddressAsAnotherUser() {
    const std::string name = SingleCopyAddress(QString::fromUtf16(kSingleCopyLockName), geteuid(), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path + 1);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool holds = setresgid(Nobody, Nobody, Nobody) == 0 && setresuid(Nobody, Nobody, Nobody) == 0 &&
                           bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(fd, 64) == 0;
        const char answer = holds ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        if (holds) pause();
        _exit(0);
    }
    close(ready[1]);
    char answer = 'n';
    (void)!read(ready[0], &answer, 1);
    close(ready[0]);
    if (answer != 'y' && child > 0) {
        waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

const std::array kConditions{
    StartCondition{"SameEnvironment", false,
                   [](const fs::path& scratch, int) { return BaseEnvironment(scratch); }},
    StartCondition{"EachItsOwnRuntimeAndTmpdir", false,
                   [](const fs::path& scratch, int index) {
                       const fs::path runtime = scratch / ("run-" + std::to_string(index));
                       const fs::path tmp = scratch / ("tmp-" + std::to_string(index));
                       fs::create_directories(runtime);
                       fs::create_directories(tmp);
                       QProcessEnvironment environment = BaseEnvironment(tmp);
                       environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                                          QString::fromStdString(runtime.string()));
                       return environment;
                   }},
    StartCondition{"FilePlanted", false,
                   [](const fs::path& scratch, int) {
                       std::ofstream(PrivateFolderIn(scratch)) << "planted";
                       return BaseEnvironment(scratch);
                   }},
    StartCondition{"LinkPlanted", false,
                   [](const fs::path& scratch, int) {
                       std::error_code exists;
                       fs::create_directory_symlink("/", PrivateFolderIn(scratch), exists);
                       return BaseEnvironment(scratch);
                   }},
    StartCondition{"FolderOfAnotherUserPlanted", true,
                   [](const fs::path& scratch, int) {
                       if (fs::create_directory(PrivateFolderIn(scratch)))
                           (void)!chown(PrivateFolderIn(scratch).c_str(), Nobody, Nobody);
                       return BaseEnvironment(scratch);
                   }},
    StartCondition{"TmpdirMissing", false,
                   [](const fs::path& scratch, int) { return BaseEnvironment(scratch / "missing"); }},
    StartCondition{"TmpdirReadOnly", false,
                   [](const fs::path& scratch, int) {
                       fs::create_directories(scratch / "read-only");
                       fs::permissions(scratch / "read-only", fs::perms(0555));
                       return BaseEnvironment(scratch / "read-only");
                   }},
    StartCondition{"TmpdirTooLong", false,
                   [](const fs::path& scratch, int) { return BaseEnvironment(scratch / std::string(300, 'x')); }},
    StartCondition{"AddressHeldByAnotherUser", true,
                   [](const fs::path& scratch, int) { return BaseEnvironment(scratch); }},
};

class TenStartsAtOnce : public ::testing::TestWithParam<StartCondition> {};

TEST_P(TenStartsAtOnce, LeaveExactlyOneWindow) {
    const StartCondition& condition = GetParam();
    if (condition.needsSuperuser && geteuid() != 0) {
        GTEST_SKIP() << "only the superuser can act as another user here";
    }
    const IsolatedStarts isolated;
    ScratchWorkingFolder folder(ScratchWorkingFolder::WithDatabase);
    QTemporaryDir scratch;
    const fs::path scratchPath = scratch.path().toStdString();
    pid_t squatter = -1;
    if (std::string(condition.name) == "AddressHeldByAnotherUser") {
        squatter = HoldFirstAddressAsAnotherUser();
        ASSERT_GT(squatter, 0) << "cannot hold the address as another user";
    }

    constexpr int Starts = 10;
    std::array<std::unique_ptr<QProcess>, Starts> starts;
    for (int i = 0; i < Starts; ++i) {
        starts[i] = std::make_unique<QProcess>();
        starts[i]->setProcessEnvironment(condition.prepare(scratchPath, i));
        starts[i]->setWorkingDirectory(QString::fromStdString(folder.Path().string()));
        starts[i]->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    for (auto& start : starts) start->start(QStringLiteral(VELMORA_PROGRAM), {});

    const auto running = [&] {
        return std::count_if(starts.begin(), starts.end(),
                             [](const auto& start) { return start->state() != QProcess::NotRunning; });
    };
    EXPECT_TRUE(WaitFor([&] { return running() <= 1; }, 2 * StartTimeoutMs)) << running() << " copies run";
    EXPECT_TRUE(RunningCopyAnswers());
    QTest::qWait(500);  // a late second window would show by now
    EXPECT_EQ(running(), 1);
    for (auto& start : starts) {
        if (start->state() == QProcess::NotRunning) {
            EXPECT_EQ(start->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(start->exitCode(), 0);
        } else {
            Stop(*start);
        }
    }
    if (squatter > 0) {
        kill(squatter, SIGKILL);
        waitpid(squatter, nullptr, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Conditions, TenStartsAtOnce, ::testing::ValuesIn(kConditions),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Ended by a signal

// TERM and INT end a window as closing it does: the page files, which hold
// the person's name and birth date, go, and so does a folder made for the
// process alone (here because a file was planted at the user's own).
struct Ending {
    const char* name;
    int signal;
    bool planted;
};

void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }

class EndedBySignal : public ::testing::TestWithParam<Ending> {};

TEST_P(EndedBySignal, LeavesNoPageFilesAndNoFolderOfItsOwn) {
    const IsolatedStarts isolated;
    ScratchWorkingFolder folder(ScratchWorkingFolder::WithDatabase);
    QTemporaryDir scratch;
    const fs::path tmp = scratch.path().toStdString();
    if (GetParam().planted) {
        std::ofstream(PrivateFolderIn(tmp)) << "planted";
    }
    // Ours: Qt keeps a runtime folder of its own beside them.
    const auto files = [&] {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(tmp)) {
            const std::string name = fs::relative(entry.path(), tmp).string();
            if (name.starts_with("velmora")) {
                found.push_back(name);
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    QProcess window;
    window.setProcessEnvironment(BaseEnvironment(tmp));
    window.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
    window.start(QStringLiteral(VELMORA_PROGRAM), {});
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto found = files();
            return std::any_of(found.begin(), found.end(),
                               [](const std::string& name) { return name.ends_with("template.html"); });
        },
        StartTimeoutMs))
        << "the window wrote no page";
    ::kill(static_cast<pid_t>(window.processId()), GetParam().signal);
    ASSERT_TRUE(Ends(window));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    const std::string own = PrivateFolderIn(tmp).filename().string();
    EXPECT_EQ(files(), std::vector<std::string>{own}) << "left behind: " << ::testing::PrintToString(files());
}

INSTANTIATE_TEST_SUITE_P(Signals, EndedBySignal,
                         ::testing::Values(Ending{"Term", SIGTERM, false}, Ending{"Int", SIGINT, false},
                                           Ending{"TermWithAFolderOfItsOwn", SIGTERM, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora

// One copy per user, with real processes of the program: a second start
// brings the running window back and ends, and a copy that died never blocks
// the next start.
#include "FormKarvo.h"
#include "SingleCopy.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace velmora {
namespace {

using testing_support::FakeServices;
using testing_support::ScratchWorkingFolder;
using testing_support::WaitFor;

constexpr int StartTimeoutMs = 20000;

bool Ends(QProcess& process) {
    return WaitFor([&] { return process.state() == QProcess::NotRunning; }, StartTimeoutMs);
}

TEST(SingleCopy, ASecondStartRestoresTheMinimisedFirstCopyAndEnds) {
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

// Three real starts in a runtime folder of their own: a first copy, a second
// start that ends at once, and, after the first copy is killed, a third start
// that takes over the stale lock and runs.
TEST(SingleCopy, ACopyThatDiedDoesNotBlockTheNextStart) {
    ScratchWorkingFolder folder(ScratchWorkingFolder::WithDatabase);
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    const auto start = [&](QProcess& process) {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
        process.start(QStringLiteral(VELMORA_PROGRAM), {});
        return process.waitForStarted();
    };
    TSingleCopyGuard probe(QString::fromUtf16(kSingleCopyLockName),
                           QDir(runtime.path()).filePath(QStringLiteral("velmora-%1").arg(geteuid())));
    const auto answers = [&probe] {
        return WaitFor([&probe] { return probe.AskRunningCopyToRestore(500); }, StartTimeoutMs);
    };

    QProcess first;
    ASSERT_TRUE(start(first));
    ASSERT_TRUE(answers()) << "the first copy never listened";

    QProcess second;
    ASSERT_TRUE(start(second));
    ASSERT_TRUE(Ends(second));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    ASSERT_TRUE(first.waitForFinished());
    EXPECT_TRUE(QFileInfo::exists(probe.LockPath()));  // left behind, stale

    QProcess third;
    ASSERT_TRUE(start(third));
    EXPECT_TRUE(answers()) << "the third start did not take over";
    EXPECT_EQ(third.state(), QProcess::Running);
    third.terminate();
    if (!third.waitForFinished(5000)) {
        third.kill();
        third.waitForFinished();
    }
}

}  // namespace
}  // namespace velmora

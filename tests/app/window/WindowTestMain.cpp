// GoogleTest with the program's own application for the window tests. Each
// test process gets a private runtime folder of its own, so page files and
// the single-copy lock of parallel tests (or of a running program) never meet.
#include "Application.h"
#include "Program.h"
#include "WebBrowseEx.h"
#include "WindowTestSupport.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every test starts with no recorded box, and questions answered 否.
class ClearBoxes : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& /*info*/) override {
        velmora::testing_support::ApplicationBoxes().boxes.clear();
        velmora::testing_support::ApplicationBoxes().agrees = false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QTemporaryDir runtime;
    if (!runtime.isValid()) {
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    // The window's settings too: a user's own choices never reach a test.
    qputenv("XDG_CONFIG_HOME", runtime.filePath(QStringLiteral("config")).toLocal8Bit());
#ifdef VELMORA_BROWSER_TESTS
    velmora::PrepareBrowserEnvironment();
    velmora::TWebBrowseEx::InitializeProcess();
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    velmora::TApplication app(argc, argv);
    app.SetMessageBoxes(&velmora::testing_support::ApplicationBoxes());
    testing::UnitTest::GetInstance()->listeners().Append(new ClearBoxes);
    return RUN_ALL_TESTS();
}

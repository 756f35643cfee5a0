#include "Program.h"

#include "Application.h"
#include "FormKarvo.h"
#include "FormServices.h"
#include "MessageBoxes.h"
#include "SingleCopy.h"
#include "WebBrowseEx.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPointer>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace velmora {

void PrepareBrowserEnvironment() {
#ifndef _WIN32
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
#endif
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }
    // The engine's report on its graphics set-up is for developers, not for every start.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

int RunProgram(int argc, char** argv, const TWindowObserver& observer) {
    TSingleCopyGuard guard;
    if (!guard.Acquire()) {
        // Another copy runs: it comes to the front, this one ends quietly.
        QCoreApplication messenger(argc, argv);
        guard.AskRunningCopyToRestore();
        return 0;
    }
    PrepareBrowserEnvironment();
    TWebBrowseEx::InitializeProcess();
    TDialogMessageBoxes boxes;
    TApplication app(argc, argv);
    app.SetMessageBoxes(&boxes);

    // Listening starts before the window exists; a restore message that
    // arrives meanwhile waits until the window is up.
    QPointer<TFormKarvo> window;
    guard.Listen([&window] {
        if (window) {
            window->RestoreMessage();
        }
    });
    TFormKarvo form(DefaultFormServices(boxes));
    window = &form;
    if (observer) {
        observer(form);
    }
    form.show();
    return app.exec();
}

}  // namespace velmora

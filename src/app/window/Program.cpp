#include "Program.h"

#include "Application.h"
#include "FormKarvo.h"
#include "FormServices.h"
#include "MessageBoxes.h"
#include "MomentSettings.h"
#include "QuitSignals.h"
#include "SingleCopy.h"
#include "WebBrowseEx.h"

#include <QCoreApplication>
#include <QPointer>

namespace velmora {

int RunProgram(int argc, char** argv, const TWindowObserver& observer) {
    // The settings file is looked at before the lock is taken, so that no
    // file planted there can hold a start that then locks out every other.
    CheckWindowSettingsFile();
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
    const TQuitSignals quitSignals(app);

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

// The top-level error handler, the real message boxes and a missing update
// library (the window's tests call a present one).
#include "Application.h"
#include "MessageBoxes.h"
#include "UpdateLibrary.h"
#include "WindowTestSupport.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <stdexcept>

namespace velmora {
namespace {

using testing_support::ApplicationBoxes;
using testing_support::RecordedBox;

// A widget whose handler fails the way the reading fails without its database.
class FailingWidget : public QWidget {
public:
    int handled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++handled;
            if (handled == 1) {
                throw std::runtime_error("Cannot open the reading database: there is no file \"Orsk.dll\".");
            }
            return true;
        }
        return QWidget::event(event);
    }
};

TEST(TopLevelErrorHandler, ShowsTheErrorsOwnTextAndTheProgramGoesOn) {
    FailingWidget widget;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(widget.handled, 2);
    ASSERT_EQ(ApplicationBoxes().boxes.size(), 1u);
    EXPECT_EQ(ApplicationBoxes().boxes[0].kind, RecordedBox::Error);
    EXPECT_EQ(ApplicationBoxes().boxes[0].text,
              QStringLiteral("Cannot open the reading database: there is no file \"Orsk.dll\"."));
}

// The dialogs themselves: what the box shows once it is open.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

ShownBox ShowAndClose(const QString& screenshot, const std::function<void()>& show) {
    ShownBox seen;
    QTimer::singleShot(0, [&seen, screenshot] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            seen = {box->windowTitle(), box->text(), box->icon()};
            testing_support::SaveScreenshot(*box, screenshot);
            box->accept();
        }
    });
    show();
    return seen;
}

TEST(DialogMessageBoxes, AnInformationBoxIsCaptionedTiShi) {
    TDialogMessageBoxes boxes;
    const ShownBox seen = ShowAndClose(QStringLiteral("message-box-information"), [&] { boxes.Information(nullptr, QStringLiteral("对不起，输入有误！不能推算！")); });
    EXPECT_EQ(seen.title, QStringLiteral("提示"));
    EXPECT_EQ(seen.text, QStringLiteral("对不起，输入有误！不能推算！"));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(DialogMessageBoxes, AnErrorBoxCarriesTheApplicationTitle) {
    TDialogMessageBoxes boxes;
    const ShownBox seen = ShowAndClose(QStringLiteral("message-box-error"), [&] { boxes.Error(nullptr, QStringLiteral("database is locked")); });
    EXPECT_EQ(seen.title, QStringLiteral("Velmora"));
    EXPECT_EQ(seen.text, QStringLiteral("database is locked"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

// ---------------------------------------------------------------------------
// The update library

TEST(UpdateLibrary, WithoutTheLibraryThereIsNothingToCall) {
    QTemporaryDir empty;
    TUpdateLibrary library(empty.path());
    EXPECT_EQ(library.Resolve(), nullptr);
    EXPECT_TRUE(UpdateLibraryPath(empty.path()).startsWith(empty.path()));
}

}  // namespace
}  // namespace velmora

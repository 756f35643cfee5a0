// The fixture of the tests of the whole window: a scratch working folder with
// the reading database, fake services, and the window opened at a chosen
// moment and driven with the mouse and the keyboard.
#pragma once

#include "FormKarvo.h"
#include "WindowTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace velmora {

using testing_support::ApplicationBoxes;
using testing_support::FakeServices;
using testing_support::LoadsPage;
using testing_support::PageText;
using testing_support::RecordedBox;
using testing_support::RunScript;
using testing_support::SaveScreenshot;
using testing_support::ScratchWorkingFolder;
using testing_support::TypeText;
using testing_support::WaitFor;

inline const QString DateMessage = QStringLiteral("日期出错，请确认此日期是否存在");
inline const QString InputMessage = QStringLiteral("对不起，输入有误！不能推算！");

inline QStringList Informations() {
    return ApplicationBoxes().Texts(RecordedBox::Information);
}

inline QStringList Errors() {
    return ApplicationBoxes().Texts(RecordedBox::Error);
}

class Window : public ::testing::Test {
protected:
    // Opens the window at `now` and waits until it shows its first page (or,
    // without a database, until it is up).
    void Open(QDateTime now = QDateTime(QDate(2009, 9, 21), QTime(7, 30))) {
        services_.now = now;
        TFormServices services = services_.Make();
        if (updateFolder_) {
            auto library = std::make_shared<TUpdateLibrary>(*updateFolder_);
            services.LoadUpdate = [library] { return library->Resolve(); };
        }
        if (messages_ != nullptr) {
            services.Messages = messages_;
        }
        form_ = std::make_unique<TFormKarvo>(std::move(services));
        QSignalSpy firstPage(form_->wbKarvo, &QWebEngineView::loadFinished);
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        if (form_->wbKarvo->url().isEmpty()) {
            QTest::qWait(100);  // no page: the queued error box arrives
            return;
        }
        ASSERT_TRUE(firstPage.count() > 0 || firstPage.wait(15000));
        ASSERT_EQ(form_->wbKarvo->title(), QStringLiteral("算命结果"));
        ASSERT_TRUE(WaitFor([this] { return !PageText(*form_->wbKarvo).isEmpty(); }));
    }

    // Replaces the text of a field as the user does: select it, type over it.
    void Retype(QWidget& field, const QString& text) {
        field.setFocus();
        QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&field, Qt::Key_Backspace);
        TypeText(field, text);
    }

    // Enter in a field, waiting for the page it loads; false when none loads
    // (a page takes a tenth of that time).
    bool EnterIn(QWidget& field) {
        return LoadsPage(*form_->wbKarvo, [&] { QTest::keyClick(&field, Qt::Key_Return); }, 1500);
    }

    bool ClickBegin() {
        return LoadsPage(*form_->wbKarvo, [&] { QTest::mouseClick(form_->btnBegin, Qt::LeftButton, {}, QPoint(40, 12)); });
    }

    static void Click(QWidget& widget) {
        QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.rect().center());
    }

    ScratchWorkingFolder folder_{ScratchWorkingFolder::WithDatabase};
    FakeServices services_;
    std::optional<QString> updateFolder_;
    TMessageBoxes* messages_ = nullptr;  // the recording boxes unless a test sets others
    std::unique_ptr<TFormKarvo> form_;
};

}  // namespace velmora

// What trying the window as a user found, each checked with real events:
// the start button after a box, the boxes' titles as the window system shows
// them, the scroll position and frame of the result page, the menu key, new
// windows from pages, Qt's own texts in Chinese, and the keyboard's focus.
#include "ImgButton.h"
#include "MessageBoxes.h"
#include "StripTag.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <iostream>

namespace velmora {
namespace {

// The title the window system has for a window.
QString SystemTitle(const QWidget& window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
    xprop.waitForFinished(10000);
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype open = line.indexOf('"');
    return open < 0 ? line : line.mid(open + 1, line.lastIndexOf('"') - open - 1);
}

// The program's real boxes; each is closed, once up, by moving the pointer
// to its button and clicking there, as a user does.
class ClickedAwayBoxes : public TMessageBoxes {
public:
    void Information(QWidget* owner, const QString& text) override {
        CloseWhenUp();
        real_.Information(owner, text);
    }
    void Error(QWidget* owner, const QString& text) override {
        CloseWhenUp();
        real_.Error(owner, text);
    }
    bool Ask(QWidget* owner, const QString& text) override {
        CloseWhenUp();
        return real_.Ask(owner, text);
    }
    QStringList titles;

private:
    TDialogMessageBoxes real_;

    void CloseWhenUp() {
        QTimer::singleShot(300, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            titles << SystemTitle(*box);
            QAbstractButton* ok = box->buttons().value(0);
            const QPoint middle = ok->rect().center();
            QCursor::setPos(ok->mapToGlobal(middle));
            QTest::mouseMove(ok, middle);
            QTest::mouseClick(ok, Qt::LeftButton, {}, middle);
        });
    }
};

TEST_F(Window, AfterTheInputBoxTheStartButtonFollowsThePointerAndTheBoxIsTitledTip) {
    ClickedAwayBoxes boxes;
    messages_ = &boxes;
    Open();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    form_->edtName->clear();
    const QPoint onButton(40, 12);
    QCursor::setPos(form_->btnBegin->mapToGlobal(onButton));
    QTest::mouseMove(form_->btnBegin, onButton);
    QTest::mouseClick(form_->btnBegin, Qt::LeftButton, {}, onButton);
    ASSERT_EQ(boxes.titles, QStringList{QStringLiteral("提示")});
    EXPECT_EQ(form_->btnBegin->VisualState(), TImgControl::vsNormal);
    SaveScreenshot(*form_, QStringLiteral("window-after-input-box"));
}

TEST_F(Window, EachReadingStartsAtTheTopAndTheFrameStaysAtTheViewsEdges) {
    Open();
    RunScript(*form_->wbKarvo, QStringLiteral("window.scrollTo(0, 400); true"));
    ASSERT_TRUE(WaitFor([&] { return RunScript(*form_->wbKarvo, QStringLiteral("window.scrollY")).toInt() > 0; }));
    SaveScreenshot(*form_->wbKarvo, QStringLiteral("result-page-scrolled"));
    const QImage view = form_->wbKarvo->grab().toImage();
    const QColor frame(0xe5, 0x94, 0x53);
    EXPECT_EQ(view.pixelColor(0, view.height() / 2), frame);                 // left edge
    EXPECT_EQ(view.pixelColor(view.width() / 3, view.height() - 1), frame);  // bottom edge
    EXPECT_EQ(view.pixelColor(view.width() / 3, 0), frame);                  // top edge
    // Scrolled, no frame line runs through the page, some rows above its bottom.
    EXPECT_NE(view.pixelColor(view.width() / 3, view.height() - 30), frame);

    form_->edtDay->setText(QStringLiteral("22"));
    ASSERT_TRUE(ClickBegin());
    EXPECT_TRUE(WaitFor([&] { return RunScript(*form_->wbKarvo, QStringLiteral("window.scrollY")).toInt() == 0; }, 2000));
}

TEST_F(Window, TheMenuKeyOpensPm1InTheFieldsAndInThePage) {
    Open();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(4, 4), form_->edtName->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(form_->edtName, &key);
    EXPECT_TRUE(form_->pm1->isVisible());
    form_->pm1->close();

    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    QWidget* page = form_->wbKarvo->focusProxy();
    ASSERT_NE(page, nullptr);
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([&] { return page->hasFocus(); }));
    QTest::keyClick(page, Qt::Key_Menu);
    EXPECT_TRUE(WaitFor([&] { return form_->pm1->isVisible(); }, 5000));
    // The engine's own menu is another popup; only pm1 is up.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(top != form_->pm1 && qobject_cast<QMenu*>(top) != nullptr && top->isVisible());
    }
    form_->pm1->close();
}

TEST_F(Window, QtsOwnTextsAreChinese) {
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));
    // The save dialog as the user meets it, for a person to look at.
    QFileDialog dialog(nullptr, QStringLiteral("导出PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    SaveScreenshot(dialog, QStringLiteral("file-dialog"));
}

TEST_F(Window, PagesAskingForANewWindowOpenInTheUsersBrowser) {
    Open();
    ASSERT_TRUE(LoadsPage(*form_->wbAD, [&] {
        form_->wbAD->setHtml(QStringLiteral("<body style='margin:0'><a target='_blank' href='http://example.invalid/link' "
                                            "style='display:block;height:100vh'>link</a></body>"));
    }));
    ASSERT_TRUE(WaitFor([&] { return form_->wbAD->focusProxy() != nullptr; }));
    QTest::mouseClick(form_->wbAD->focusProxy(), Qt::LeftButton, {}, form_->wbAD->rect().center());
    RunScript(*form_->wbAD, QStringLiteral("window.open('http://example.invalid/script'); true"));
    EXPECT_TRUE(WaitFor([&] { return services_.openedUrls.size() >= 2; }, 5000));
    QStringList opened;
    for (const QUrl& url : services_.openedUrls) {
        opened << url.toString();
    }
    opened.sort();
    EXPECT_EQ(opened, (QStringList{"http://example.invalid/link", "http://example.invalid/script"}));
}

// Tab goes round every stop; each one is on screen and looks different
// while it has the focus.
TEST_F(Window, KeyboardFocusIsVisibleOnEveryTabStop) {
    Open();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    ASSERT_TRUE(WaitFor([&] { return form_->wbAD->focusProxy() != nullptr; }, 30000));
    form_->edtName->setFocus();
    QStringList stops;
    for (int step = 0; step < 30; ++step) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QWidget* stop = focused;
        while (stop->parentWidget() != nullptr && qobject_cast<TWebBrowseEx*>(stop->parentWidget()) != nullptr) {
            stop = stop->parentWidget();
        }
        const QString name = stop->objectName().isEmpty() ? QString::fromLatin1(stop->metaObject()->className())
                                                          : stop->objectName();
        if (stops.contains(name)) {
            break;
        }
        stops << name;
        EXPECT_TRUE(stop->isVisible() && stop->width() > 2 && stop->height() > 2) << name.toStdString();
        SaveScreenshot(*form_, QStringLiteral("focus-%1").arg(name));  // waits for the drawing too
        const QImage withFocus = stop->grab().toImage();
        QTest::keyClick(focused, Qt::Key_Tab);
        EXPECT_TRUE(WaitFor([&] { return stop->grab().toImage() != withFocus; }, 3000))
            << name.toStdString() << " shows no focus";
    }
    EXPECT_TRUE(stops.contains(QStringLiteral("wbKarvo"))) << stops.join(' ').toStdString();
    std::cout << "tab stops: " << stops.join(' ').toStdString() << "\n";
}

// 时辰不详 on the strip lists every 时辰; a 时辰 of the page's table reads
// that 时辰 with one click.
TEST_F(Window, AnUnknownHourListsEveryShichenAndOneClickReadsOne) {
    Open();
    ASSERT_NE(form_->HourUnknown, nullptr);
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] { Click(*form_->HourUnknown); }));
    EXPECT_TRUE(form_->KarvoInfo().HourUnknown);
    EXPECT_EQ(form_->KarvoInfo().Candidates.size(), 13u);
    EXPECT_FALSE(form_->edtHour->isEnabled());
    EXPECT_EQ(form_->lblGuZhong->text(), QStringLiteral("不详"));
    EXPECT_TRUE(form_->lblGuZhong->toolTip().contains(QStringLiteral("至")));
    EXPECT_TRUE(PageText(*form_->wbKarvo).contains(QStringLiteral("时辰不详")));
    SaveScreenshot(*form_, QStringLiteral("window-unknown-hour"));

    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] {
        RunScript(*form_->wbKarvo, QStringLiteral("document.querySelector('a[href=\"?hour=2\"]').click(); true"));
    }));
    EXPECT_FALSE(form_->KarvoInfo().HourUnknown);
    EXPECT_EQ(form_->KarvoInfo().HourName, "丑时");
    EXPECT_EQ(form_->edtHour->text(), QStringLiteral("2"));
    EXPECT_TRUE(form_->edtHour->isEnabled());
    EXPECT_FALSE(form_->HourUnknown->IsOn());
}

}  // namespace
}  // namespace velmora

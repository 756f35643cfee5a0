// The page as a reader uses it: a window made larger, the page zoomed (and
// zoomed the same after a restart), and the reading copied out of the menu.
#include "FormKarvo.h"
#include "MomentChooser.h"
#include "PageZoom.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QWebEnginePage>

namespace velmora {
namespace {

// The gap between a widget's right edge and its window's.
int GapToTheRight(const QWidget& widget) {
    return widget.window()->width() - (widget.mapTo(widget.window(), QPoint(widget.width(), 0)).x());
}

TEST_F(Window, GrowsWithThePageAndKeepsTheRightEndsControlsAtTheRightEnd) {
    Open();
    const auto pictureIsInItsStrip = [this] {
        return form_->PaintControl1->rect().contains(form_->imgShengXiao->geometry());
    };
    EXPECT_TRUE(pictureIsInItsStrip());
    const QSize page = form_->wbKarvo->size();
    const int buttonGap = GapToTheRight(*form_->btnWEB);
    const int pictureGap = GapToTheRight(*form_->imgShengXiao);
    form_->resize(1100, 800);
    ASSERT_TRUE(WaitFor([this] { return form_->size() == QSize(1100, 800); }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(form_->wbKarvo->size(), page + QSize(1100 - 761, 800 - 594));
    EXPECT_EQ(GapToTheRight(*form_->btnWEB), buttonGap);
    EXPECT_EQ(GapToTheRight(*form_->btnBegin), GapToTheRight(*form_->btnWEB) + form_->btnWEB->width() + 4);
    EXPECT_EQ(GapToTheRight(*form_->imgShengXiao), pictureGap);
    EXPECT_TRUE(pictureIsInItsStrip());
    // The tags still sit just left of the picture, not where it was.
    const QRect tag = form_->Moment->lblMoment->geometry();
    EXPECT_LT(tag.right(), form_->imgShengXiao->mapTo(form_.get(), QPoint(0, 0)).x());
    EXPECT_GT(tag.right(), form_->imgShengXiao->mapTo(form_.get(), QPoint(0, 0)).x() - 20);
    SaveScreenshot(*form_, QStringLiteral("window-grown"));

    form_->resize(500, 300);
    QTest::qWait(100);
    EXPECT_EQ(form_->size(), QSize(761, 594));
}

// Keys as the page gets them when the reader has clicked into it.
QWidget& ClickedPage(TFormKarvo& form) {
    QWidget* page = form.wbKarvo->focusProxy();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(WaitFor([&] { return page->hasFocus(); }));
    return *page;
}

TEST_F(Window, TheZoomStepsFromTheKeyboardAndIsKeptBetweenStarts) {
    Open();
    QWidget& page = ClickedPage(*form_);
    QTest::keyClick(&page, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(&page, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form_->wbKarvo->zoomFactor(), 1.25);

    Open();
    EXPECT_DOUBLE_EQ(form_->Zoom->Factor(), 1.25);
    EXPECT_DOUBLE_EQ(form_->wbKarvo->zoomFactor(), 1.25);
    // A new reading's page comes up at the same level.
    ASSERT_TRUE(EnterIn(*form_->edtName));
    EXPECT_DOUBLE_EQ(form_->wbKarvo->zoomFactor(), 1.25);
    QWidget& reopened = ClickedPage(*form_);
    for (int step = 0; step < 20; ++step) QTest::keyClick(&reopened, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form_->wbKarvo->zoomFactor(), 0.5);
    QTest::keyClick(&reopened, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form_->wbKarvo->zoomFactor(), 1.0);
}

TEST_F(Window, CopyAllGivesTheReadingOnShowAsTextAndCopyGivesTheSelection) {
    Open();
    // A name typed but not yet read is not what the page shows.
    Retype(*form_->edtName, QStringLiteral("王小明"));
    form_->CopyAll->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("姓名：输入姓名  性别：男  年龄：1岁(虚岁)\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("己丑 癸酉 己巳 戊辰"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("三两九"))) << text.toStdString();

    emit form_->pm1->aboutToShow();
    EXPECT_FALSE(form_->CopySelection->isEnabled());
    RunScript(*form_->wbKarvo, QStringLiteral("window.getSelection().selectAllChildren(document.body)"));
    ASSERT_TRUE(WaitFor([this] { return form_->wbKarvo->hasSelection(); }, 3000));
    emit form_->pm1->aboutToShow();
    ASSERT_TRUE(form_->CopySelection->isEnabled());
    QGuiApplication::clipboard()->clear();
    form_->CopySelection->trigger();
    EXPECT_TRUE(WaitFor([] { return QGuiApplication::clipboard()->text().contains(QStringLiteral("骨重解说")); }, 3000))
        << QGuiApplication::clipboard()->text().toStdString();
}

}  // namespace
}  // namespace velmora

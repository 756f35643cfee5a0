// The components as a Designer form sets them up: uic's property calls reach
// them, the artwork loads from the resources, and the header strip with its
// buttons and the summary strip look right (screenshots in the build folder).
#include "ImgButton.h"
#include "PaintControl.h"
#include "PaintPanel.h"
#include "UiTestSupport.h"
#include "ui_HeaderStripForm.h"

#include <QTest>

namespace velmora {
namespace {

class HeaderStrip : public testing::Test {
protected:
    void SetUp() override {
        form_.setupUi(&window_);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    QWidget window_;
    Ui::HeaderStripForm form_;
};

TEST_F(HeaderStrip, FormPropertiesReachTheComponents) {
    EXPECT_EQ(form_.pntpnl1->Picture().size(), QSize(8, 39));
    EXPECT_EQ(form_.pntpnl1->PicHorzStretch(), hstLeft);
    EXPECT_EQ(form_.pntpnl1->PicVertStretch(), vstNone);
    for (TImgButton* button : {form_.btnBegin, form_.btnWEB}) {
        for (const QPixmap& picture : {button->ImgNormal(), button->ImgEnter(), button->ImgDown(), button->ImgDisable()}) {
            EXPECT_EQ(picture.size(), button->size());
        }
        EXPECT_EQ(button->OnEnterOffset(), 0);
        EXPECT_EQ(button->OnDownOffset(), 0);
    }
    EXPECT_EQ(form_.btnBegin->geometry(), QRect(605, 9, 86, 24));
    EXPECT_EQ(form_.btnWEB->geometry(), QRect(695, 9, 56, 24));
    EXPECT_EQ(form_.PaintControl1->Color(), QColor(255, 234, 216));
    EXPECT_EQ(form_.PaintControl1->BorderStyle(), TPaintControl::bsSingle);
    EXPECT_EQ(form_.PaintControl1->BorderColor(), QColor(229, 148, 83));
    EXPECT_EQ(form_.PaintControl1->BorderWidth(), 0);
}

// Each state draws its own picture at (0, 0), and the states differ.
TEST_F(HeaderStrip, ButtonStatesShowTheirPictures) {
    TImgButton& button = *form_.btnBegin;
    const QImage normal = testing_support::Render(button);
    EXPECT_EQ(normal, button.ImgNormal().toImage().convertToFormat(QImage::Format_RGB32));
    testing_support::SaveScreenshot(window_, QStringLiteral("header-strip"));

    QTest::mouseMove(&window_, QPoint(640, 20));
    ASSERT_EQ(button.VisualState(), TImgControl::vsHot);
    const QImage hot = testing_support::Render(button);
    EXPECT_EQ(hot, button.ImgEnter().toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(hot, normal);
    testing_support::SaveScreenshot(window_, QStringLiteral("header-strip-begin-hot"));

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 12));
    const QImage down = testing_support::Render(button);
    EXPECT_EQ(down, button.ImgDown().toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(down, hot);
    testing_support::SaveScreenshot(window_, QStringLiteral("header-strip-begin-down"));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 12));

    form_.btnBegin->setEnabled(false);
    form_.btnWEB->setEnabled(false);
    EXPECT_EQ(testing_support::Render(button), button.ImgDisable().toImage().convertToFormat(QImage::Format_RGB32));
    testing_support::SaveScreenshot(window_, QStringLiteral("header-strip-disabled"));
}

// The buttons' corners are the header behind them, so they sit on it seamlessly.
TEST_F(HeaderStrip, ButtonsBlendIntoTheHeader) {
    const QImage shot = testing_support::Render(window_);
    for (const QPoint corner : {QPoint(605, 9), QPoint(690, 32), QPoint(695, 32), QPoint(750, 9)}) {
        EXPECT_PIXEL(shot, corner.x(), corner.y(), QColor(shot.pixel(600, corner.y())));
    }
}

}  // namespace
}  // namespace velmora

// The image button: placement of picture and caption, the picture each state
// shows, the fallbacks, the shared manager and the state machine driven by
// real mouse events.
#include "ImgButton.h"
#include "TestRowNames.h"
#include "UiTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace velmora {
namespace {

using testing_support::PrintTo;

using State = TImgControl::TVisualState;

// ---------------------------------------------------------------------------
// Placement

struct PlaceRow {
    const char* name;
    QSize control;
    QSize image;
    QSize caption;
    bool hasCaption;
    TImgControlLayout layout;
    int spacing;
    State state;
    int enterOffset;
    int downOffset;
    QPoint imageAt;
    QPoint captionAt;
};

class ImgPlacement : public testing::TestWithParam<PlaceRow> {};

TEST_P(ImgPlacement, PictureAndCaption) {
    const PlaceRow& r = GetParam();
    const TImgPlacement place = PlaceImageAndCaption(r.control, r.image, r.caption, r.hasCaption, r.layout,
                                                     r.spacing, r.state, r.enterOffset, r.downOffset);
    EXPECT_EQ(place.image, r.imageAt);
    EXPECT_EQ(place.caption, r.captionAt);
}

const PlaceRow placeRows[] = {
    // The window's buttons: no caption, offsets 0, the picture covers the button.
    {"WindowButtonNormal", {86, 24}, {86, 24}, {0, 0}, false, iclImgTop, 2, State::vsNormal, 0, 0, {0, 0}, {43, 24}},
    {"WindowButtonHot", {86, 24}, {86, 24}, {0, 0}, false, iclImgTop, 2, State::vsHot, 0, 0, {0, 0}, {43, 24}},
    {"WindowButtonDown", {86, 24}, {86, 24}, {0, 0}, false, iclImgTop, 2, State::vsDown, 0, 0, {0, 0}, {43, 24}},
    {"DefaultOffsetHot", {86, 24}, {86, 24}, {0, 0}, false, iclImgTop, 2, State::vsHot, 1, 1, {-1, -1}, {42, 23}},
    {"DefaultOffsetDown", {86, 24}, {86, 24}, {0, 0}, false, iclImgTop, 2, State::vsDown, 1, 1, {1, 1}, {44, 25}},
    {"CaptionLeftOfOk", {60, 20}, {16, 16}, {14, 12}, true, iclImgLeft, 2, State::vsNormal, 1, 1, {14, 2}, {32, 4}},
    {"CaptionRight", {60, 20}, {16, 16}, {14, 12}, true, iclImgRight, 2, State::vsNormal, 1, 1, {30, 2}, {14, 4}},
    {"CaptionBelowPicture", {40, 40}, {16, 16}, {14, 12}, true, iclImgTop, 2, State::vsNormal, 1, 1, {12, 5}, {13, 23}},
    {"CaptionAbovePicture", {40, 40}, {16, 16}, {14, 12}, true, iclImgBottom, 2, State::vsNormal, 1, 1, {12, 19}, {13, 5}},
    {"CaptionOverPicture", {40, 40}, {16, 16}, {14, 12}, true, iclImgCenter, 2, State::vsNormal, 1, 1, {12, 12}, {13, 14}},
    // Spacing -1 counts as 65535: both land far outside the control.
    {"SpacingMinusOne", {40, 40}, {16, 16}, {14, 12}, true, iclImgTop, -1, State::vsNormal, 1, 1, {12, -32761},
     {13, 32790}},
    // Without a caption no spacing is added.
    {"NoCaptionNoSpacing", {40, 40}, {16, 16}, {0, 0}, false, iclImgLeft, 10, State::vsNormal, 1, 1, {12, 12}, {28, 20}},
    // Division rounds toward zero when the picture is larger than the control.
    {"LargerPicture", {10, 10}, {15, 15}, {0, 0}, false, iclImgTop, 2, State::vsNormal, 1, 1, {-2, -2}, {5, 13}},
};
INSTANTIATE_TEST_SUITE_P(Layouts, ImgPlacement, testing::ValuesIn(placeRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Pictures per state

QPixmap Solid(const QColor& color, QSize size = {20, 10}) {
    QPixmap picture(size);
    picture.fill(color);
    return picture;
}

const QColor NormalColor(0x10, 0x80, 0x10);
const QColor EnterColor(0xe0, 0x80, 0x10);
const QColor DownColor(0x80, 0x10, 0x10);
const QColor DisableColor(0x90, 0x90, 0x90);

// A shown button in a window, so that the mouse can reach it.
class ButtonOnWindow : public testing::Test {
protected:
    void SetUp() override {
        window_.resize(120, 60);
        button_ = new TImgButton(&window_);
        button_->setGeometry(10, 10, 20, 10);
        button_->setOnEnterOffset(0);
        button_->setOnDownOffset(0);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        MoveAway();  // wherever an earlier test left the mouse
        QCoreApplication::processEvents();
        ASSERT_EQ(button_->VisualState(), State::vsNormal);
    }

    void TearDown() override { MoveAway(); }

    void SetAllPictures() {
        button_->setImgNormal(Solid(NormalColor));
        button_->setImgEnter(Solid(EnterColor));
        button_->setImgDown(Solid(DownColor));
        button_->setImgDisable(Solid(DisableColor));
    }

    QColor Shown() { return QColor(testing_support::Render(*button_).pixel(10, 5)); }

    void Hover() { QTest::mouseMove(&window_, QPoint(15, 15)); }
    void MoveAway() { QTest::mouseMove(&window_, QPoint(100, 50)); }

    QWidget window_;
    TImgButton* button_ = nullptr;
};

TEST_F(ButtonOnWindow, ConstructionDefaults) {
    const TImgButton fresh;
    EXPECT_EQ(fresh.ImgButtonLayout(), iclImgTop);
    EXPECT_EQ(fresh.Spacing(), 2);
    EXPECT_EQ(fresh.OnEnterOffset(), 1);
    EXPECT_EQ(fresh.OnDownOffset(), 1);
    EXPECT_FALSE(fresh.AutoRepaintParent());
    EXPECT_EQ(fresh.ImgManager(), nullptr);
    EXPECT_EQ(fresh.VisualState(), State::vsNormal);
    EXPECT_FALSE(fresh.Pressed());
    EXPECT_EQ(fresh.focusPolicy(), Qt::NoFocus);
}

TEST_F(ButtonOnWindow, OnlyNormalPictureServesEveryState) {
    const QPixmap normal = Solid(NormalColor);
    button_->setImgNormal(normal);
    EXPECT_EQ(Shown(), NormalColor);
    EXPECT_EQ(button_->ImgEnter().cacheKey(), normal.cacheKey());
    EXPECT_EQ(button_->ImgDown().cacheKey(), normal.cacheKey());
    EXPECT_EQ(button_->ImgDisable().cacheKey(), normal.cacheKey());
    Hover();
    EXPECT_EQ(button_->VisualState(), State::vsHot);
    EXPECT_EQ(Shown(), NormalColor);
    button_->setEnabled(false);
    EXPECT_EQ(Shown(), NormalColor);
}

// The copies made at the first paint stay, whatever normal picture follows.
TEST_F(ButtonOnWindow, ReplacedNormalPictureDoesNotReachTheCopies) {
    button_->setImgNormal(Solid(NormalColor));
    EXPECT_EQ(Shown(), NormalColor);
    button_->setImgNormal(Solid(Qt::blue));
    EXPECT_EQ(Shown(), QColor(Qt::blue));
    Hover();
    EXPECT_EQ(Shown(), NormalColor);
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Shown(), NormalColor);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(ButtonOnWindow, HoverPressReleaseAndClick) {
    SetAllPictures();
    EXPECT_EQ(Shown(), NormalColor);
    Hover();
    EXPECT_EQ(button_->VisualState(), State::vsHot);
    EXPECT_EQ(Shown(), EnterColor);

    std::vector<State> statesAtClick;
    QObject::connect(button_, &TImgControl::OnClick, [&] { statesAtClick.push_back(button_->VisualState()); });
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button_->VisualState(), State::vsDown);
    EXPECT_TRUE(button_->Pressed());
    EXPECT_EQ(Shown(), DownColor);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
    // The handler ran while the button was still down; afterwards it is hot.
    EXPECT_EQ(statesAtClick, std::vector<State>{State::vsDown});
    EXPECT_EQ(button_->VisualState(), State::vsHot);
    EXPECT_FALSE(button_->Pressed());
    MoveAway();
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
}

TEST_F(ButtonOnWindow, PressDragOffReleaseGivesNoClick) {
    SetAllPictures();
    int clicks = 0;
    QObject::connect(button_, &TImgControl::OnClick, [&] { ++clicks; });
    Hover();
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    // Held down and dragged off, it keeps its down picture until the release.
    QTest::mouseMove(button_, QPoint(60, 30));
    EXPECT_EQ(button_->VisualState(), State::vsDown);
    EXPECT_EQ(Shown(), DownColor);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
    EXPECT_FALSE(button_->Pressed());
}

TEST_F(ButtonOnWindow, ReleaseOverAnOverlappingControlIsNotOverTheButton) {
    SetAllPictures();
    auto* cover = new QWidget(&window_);
    cover->setGeometry(20, 10, 10, 10);  // covers the button's right half
    cover->setEnabled(false);            // disabled controls count too
    cover->show();
    int clicks = 0;
    QObject::connect(button_, &TImgControl::OnClick, [&] { ++clicks; });
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(2, 5));
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(15, 5));
    EXPECT_EQ(clicks, 1);  // the release is inside the button's rectangle
    EXPECT_EQ(button_->VisualState(), State::vsNormal);  // but another control is on top there
}

TEST_F(ButtonOnWindow, OtherButtonsChangeNothing) {
    SetAllPictures();
    int clicks = 0;
    QObject::connect(button_, &TImgControl::OnClick, [&] { ++clicks; });
    QTest::mousePress(button_, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
    EXPECT_FALSE(button_->Pressed());
    QTest::mouseRelease(button_, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseClick(button_, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
}

TEST_F(ButtonOnWindow, DisablingWhileDownAndEnablingAgain) {
    SetAllPictures();
    Hover();
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(button_->VisualState(), State::vsDown);
    button_->setEnabled(false);
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
    EXPECT_FALSE(button_->Pressed());
    EXPECT_EQ(Shown(), DisableColor);
    QTest::mouseRelease(&window_, Qt::LeftButton, {}, QPoint(15, 15));  // lands on a disabled button
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
    // Re-enabled under the mouse, it looks normal until the mouse enters again.
    button_->setEnabled(true);
    EXPECT_EQ(Shown(), NormalColor);
    MoveAway();
    Hover();
    EXPECT_EQ(Shown(), EnterColor);
}

TEST_F(ButtonOnWindow, DisabledIgnoresTheMouse) {
    SetAllPictures();
    button_->setEnabled(false);
    int clicks = 0;
    QObject::connect(button_, &TImgControl::OnClick, [&] { ++clicks; });
    Hover();
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
}

TEST_F(ButtonOnWindow, ClickHandlerThatDisablesTheButton) {
    SetAllPictures();
    QObject::connect(button_, &TImgControl::OnClick, [&] { button_->setEnabled(false); });
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button_->VisualState(), State::vsNormal);
    EXPECT_FALSE(button_->Pressed());
}

TEST_F(ButtonOnWindow, DoubleClickRaisesOnDblClickAndOneClick) {
    SetAllPictures();
    int clicks = 0;
    int doubleClicks = 0;
    QObject::connect(button_, &TImgControl::OnClick, [&] { ++clicks; });
    QObject::connect(button_, &TImgControl::OnDblClick, [&] { ++doubleClicks; });
    // As the window system delivers it: a click, then a press, the double-click and the release.
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), button_->mapToGlobal(QPointF(5, 5)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button_, &doubleClick);
    EXPECT_EQ(button_->VisualState(), State::vsDown);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button_->VisualState(), State::vsHot);
}

TEST_F(ButtonOnWindow, OffsetsMoveThePicture) {
    button_->setGeometry(10, 10, 22, 12);
    button_->setImgNormal(Solid(NormalColor));
    button_->setOnEnterOffset(1);
    button_->setOnDownOffset(1);
    const QColor background = QColor(testing_support::Render(window_).pixel(5, 5));
    auto cornerColors = [&] {
        const QImage shot = testing_support::Render(*button_);
        return std::pair{QColor(shot.pixel(0, 0)), QColor(shot.pixel(21, 11))};
    };
    // Centred: the 20 x 10 picture sits at (1, 1), a pixel from every edge.
    EXPECT_EQ(cornerColors(), std::pair(background, background));
    Hover();
    EXPECT_EQ(cornerColors(), std::pair(NormalColor, background));  // moved to (0, 0)
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(cornerColors(), std::pair(background, NormalColor));  // moved to (2, 2)
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(ButtonOnWindow, NothingWithoutAPictureNotEvenTheCaption) {
    button_->setCaption(QStringLiteral("OK"));
    const QColor background = QColor(testing_support::Render(window_).pixel(5, 5));
    const QImage shot = testing_support::Render(*button_);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            ASSERT_EQ(QColor(shot.pixel(x, y)), background) << x << "," << y;
        }
    }
}

TEST_F(ButtonOnWindow, AutoSizeTakesTheNormalPicturesSize) {
    button_->setImgNormal(Solid(NormalColor, {86, 24}));
    EXPECT_EQ(button_->size(), QSize(20, 10));
    button_->setAutoSize(true);
    EXPECT_EQ(button_->size(), QSize(86, 24));
    button_->setImgNormal(Solid(NormalColor, {56, 24}));
    EXPECT_EQ(button_->size(), QSize(56, 24));
}

// ---------------------------------------------------------------------------
// The shared manager

TEST_F(ButtonOnWindow, ManagerPicturesOverrideTheButtonsOwn) {
    SetAllPictures();
    TImgManager manager;
    manager.setImgNormal(Solid(Qt::cyan));
    manager.setImgDown(Solid(Qt::magenta));
    button_->setImgManager(&manager);
    EXPECT_EQ(Shown(), QColor(Qt::cyan));
    Hover();
    EXPECT_EQ(Shown(), EnterColor);  // the manager has no enter picture: the button's own shows
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Shown(), QColor(Qt::magenta));
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(ButtonOnWindow, ManagerWithoutEnterPictureFallsBackToNormal) {
    TImgManager manager;
    manager.setImgNormal(Solid(Qt::cyan));
    manager.setImgCheck(Solid(Qt::yellow));
    button_->setImgManager(&manager);
    Hover();
    EXPECT_EQ(Shown(), QColor(Qt::cyan));
    EXPECT_EQ(button_->ImgCheck().cacheKey(), manager.ImgCheck().cacheKey());
}

TEST_F(ButtonOnWindow, DestroyedManagerIsForgotten) {
    auto* manager = new TImgManager;
    manager->setImgNormal(Solid(Qt::cyan));
    button_->setImgManager(manager);
    EXPECT_EQ(Shown(), QColor(Qt::cyan));
    delete manager;
    EXPECT_EQ(button_->ImgManager(), nullptr);
    EXPECT_EQ(Shown(), QColor(Qt::cyan));  // the copies it left stay
}

}  // namespace
}  // namespace velmora

// The painted panel and the bordered container as widgets: what they paint,
// their frames to the pixel, automatic sizing and the children's area.
#include "ColorRef.h"
#include "PaintControl.h"
#include "PaintPanel.h"
#include "TestRowNames.h"
#include "UiTestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace velmora {
namespace {

using testing_support::PrintTo;

const QColor Fill(0x20, 0x40, 0x60);
const QColor Frame(0xd0, 0x10, 0x10);

QPixmap SolidPicture(int width, int height, const QColor& color) {
    QPixmap picture(width, height);
    picture.fill(color);
    return picture;
}

// ---------------------------------------------------------------------------
// TPaintPanel

TEST(PaintPanel, ConstructionDefaults) {
    const TPaintPanel panel;
    EXPECT_EQ(panel.BevelStyle(), TPaintPanel::bsNone);
    EXPECT_EQ(panel.BevelColor(), QColor(Qt::black));
    EXPECT_EQ(panel.BevelWidth(), 1);
    EXPECT_EQ(panel.PicHorzStretch(), hstNone);
    EXPECT_EQ(panel.PicVertStretch(), vstNone);
    EXPECT_FALSE(panel.AutoWidth());
    EXPECT_FALSE(panel.AutoHeight());
    EXPECT_TRUE(panel.Picture().isNull());
    EXPECT_EQ(panel.Alignment(), TPaintPanel::taCenter);
    EXPECT_EQ(panel.VerticalAlignment(), TPaintPanel::taVerticalCenter);
}

// The header strip: picture at the right end, its first column stretched left.
TEST(PaintPanel, HeaderStripPaintsTheStretchedPicture) {
    QImage picture(8, 39, QImage::Format_RGB32);
    for (int x = 0; x < 8; ++x) {
        picture.setPixelColor(x, 0, QColor(10 * x, 100, 100));
        for (int y = 1; y < 39; ++y) {
            picture.setPixelColor(x, y, QColor(10 * x, 100 + y, 50));
        }
    }
    TPaintPanel panel;
    panel.resize(761, 39);
    panel.setPicture(QPixmap::fromImage(picture));
    panel.setPicHorzStretch(hstLeft);
    const QImage shot = testing_support::Render(panel);
    for (int y : {0, 20, 38}) {
        EXPECT_PIXEL(shot, 0, y, picture.pixelColor(0, y));
        EXPECT_PIXEL(shot, 752, y, picture.pixelColor(0, y));
        for (int x = 753; x < 761; ++x) {
            EXPECT_PIXEL(shot, x, y, picture.pixelColor(x - 753, y));
        }
    }
}

TEST(PaintPanel, WithoutPictureFillsWithItsColourUnlessItShowsItsParent) {
    QWidget parent;
    parent.resize(40, 20);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0x11, 0x99, 0x11));
    parent.setPalette(palette);
    auto* panel = new TPaintPanel(&parent);
    panel->setGeometry(0, 0, 40, 20);
    panel->setColor(Fill);
    EXPECT_PIXEL(testing_support::Render(parent), 20, 10, Fill);
    panel->setParentBackground(true);
    EXPECT_PIXEL(testing_support::Render(parent), 20, 10, QColor(0x11, 0x99, 0x11));
}

// A pen of even width starts one pixel in, so both widths stay inside.
struct BevelRow {
    const char* name;
    int width;
    int framePixels;  // frame pixels seen from each edge
};

class PaintPanelBevel : public testing::TestWithParam<BevelRow> {};

TEST_P(PaintPanelBevel, FrameLandsOnTheseEdgePixels) {
    const BevelRow& row = GetParam();
    TPaintPanel panel;
    panel.resize(30, 20);
    panel.setColor(Fill);
    panel.setBevelColor(Frame);
    panel.setBevelWidth(row.width);
    panel.setBevelStyle(TPaintPanel::bsSingle);
    const QImage shot = testing_support::Render(panel);
    testing_support::SaveScreenshot(panel, QStringLiteral("paint-panel-bevel-%1").arg(row.width));
    for (int i = 0; i < row.framePixels; ++i) {
        EXPECT_PIXEL(shot, i, 10, Frame);
        EXPECT_PIXEL(shot, 29 - i, 10, Frame);
        EXPECT_PIXEL(shot, 15, i, Frame);
        EXPECT_PIXEL(shot, 15, 19 - i, Frame);
    }
    EXPECT_PIXEL(shot, row.framePixels, 10, Fill);
    EXPECT_PIXEL(shot, 29 - row.framePixels, 10, Fill);
    EXPECT_PIXEL(shot, 15, row.framePixels, Fill);
    EXPECT_PIXEL(shot, 15, 19 - row.framePixels, Fill);
}

const BevelRow bevelRows[] = {
    {"One", 1, 1},
    {"TwoStartsAtOneOne", 2, 2},
    {"ThreeHalfOutside", 3, 2},
    {"FourStartsAtOneOne", 4, 3},
};
INSTANTIATE_TEST_SUITE_P(Widths, PaintPanelBevel, testing::ValuesIn(bevelRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaintPanel, AutoWidthNeedsAPicture) {
    TPaintPanel panel;
    panel.resize(100, 30);
    panel.setAutoWidth(true);
    EXPECT_FALSE(panel.AutoWidth());  // refused without a picture
    panel.setPicture(SolidPicture(8, 39, Fill));
    EXPECT_EQ(panel.size(), QSize(100, 30));  // loading the picture later resizes nothing
    panel.setAutoWidth(true);
    EXPECT_TRUE(panel.AutoWidth());
    EXPECT_EQ(panel.size(), QSize(8, 30));
    panel.setAutoHeight(true);
    EXPECT_EQ(panel.size(), QSize(8, 39));
    // From now on a new picture brings its size with it.
    panel.setPicture(SolidPicture(12, 16, Fill));
    EXPECT_EQ(panel.size(), QSize(12, 16));
    EXPECT_EQ(panel.sizeHint(), QSize(12, 16));
}

struct CaptionRow {
    const char* name;
    TPaintPanel::TAlignment horizontal;
    TPaintPanel::TVerticalAlignment vertical;
    QRect region;  // where the caption's ink must be
};

class PaintPanelCaption : public testing::TestWithParam<CaptionRow> {};

TEST_P(PaintPanelCaption, DrawnWhereItsAlignmentSays) {
    const CaptionRow& row = GetParam();
    TPaintPanel panel;
    panel.resize(200, 60);
    panel.setColor(Qt::white);
    panel.setCaption(QStringLiteral("WWWW"));
    panel.setAlignment(row.horizontal);
    panel.setVerticalAlignment(row.vertical);
    const QImage shot = testing_support::Render(panel);
    QRect ink;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (qGray(shot.pixel(x, y)) < 128) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    testing_support::SaveScreenshot(panel, QStringLiteral("paint-panel-caption-%1").arg(QString::fromUtf8(row.name)));
    EXPECT_TRUE(row.region.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
}

const CaptionRow captionRows[] = {
    {"LeftTop", TPaintPanel::taLeftJustify, TPaintPanel::taAlignTop, QRect(0, 0, 80, 25)},
    {"CentreCentre", TPaintPanel::taCenter, TPaintPanel::taVerticalCenter, QRect(60, 15, 80, 30)},
    {"RightBottom", TPaintPanel::taRightJustify, TPaintPanel::taAlignBottom, QRect(120, 35, 80, 25)},
};
INSTANTIATE_TEST_SUITE_P(Alignments, PaintPanelCaption, testing::ValuesIn(captionRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaintPanel, OnPaintDrawsLast) {
    TPaintPanel panel;
    panel.resize(20, 20);
    panel.setPicture(SolidPicture(20, 20, Fill));
    int raised = 0;
    QObject::connect(&panel, &TPaintPanel::OnPaint, [&](QPainter* canvas) {
        ++raised;
        canvas->fillRect(QRect(5, 5, 2, 2), Frame);
    });
    const QImage shot = testing_support::Render(panel);
    EXPECT_GE(raised, 1);
    EXPECT_PIXEL(shot, 5, 5, Frame);
    EXPECT_PIXEL(shot, 10, 10, Fill);
}

// ---------------------------------------------------------------------------
// TPaintControl

TEST(PaintControl, SummaryStripColoursAndBorder) {
    TPaintControl control;
    control.resize(741, 48);
    control.setColor(ColorFromColorRef(14215935));
    control.setBorderStyle(TPaintControl::bsSingle);
    control.setBorderColor(ColorFromColorRef(5477605));
    EXPECT_EQ(control.BorderWidth(), 0);
    const QImage shot = testing_support::Render(control);
    const QColor border(229, 148, 83);
    const QColor fill(255, 234, 216);
    for (const QPoint p : {QPoint(0, 0), QPoint(740, 0), QPoint(0, 47), QPoint(740, 47), QPoint(300, 0), QPoint(0, 20)}) {
        EXPECT_PIXEL(shot, p.x(), p.y(), border);
    }
    EXPECT_PIXEL(shot, 1, 1, fill);
    EXPECT_PIXEL(shot, 739, 46, fill);
    testing_support::SaveScreenshot(control, QStringLiteral("paint-control-summary-strip"));
}

TEST(PaintControl, WithoutBorderStyleOnlyFills) {
    TPaintControl control;
    control.resize(20, 10);
    control.setColor(Fill);
    control.setBorderColor(Frame);
    control.setBorderWidth(3);
    const QImage shot = testing_support::Render(control);
    EXPECT_PIXEL(shot, 0, 0, Fill);
    EXPECT_PIXEL(shot, 10, 5, Fill);
}

struct ChildAreaRow {
    const char* name;
    int borderWidth;
    TPaintControl::TBorderStyle style;
    QRect childGeometry;
};

class PaintControlChildArea : public testing::TestWithParam<ChildAreaRow> {};

TEST_P(PaintControlChildArea, FillingChildSitsInsideTheBorderWidth) {
    const ChildAreaRow& row = GetParam();
    TPaintControl control;
    auto* layout = new QVBoxLayout(&control);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* child = new QLabel(&control);
    layout->addWidget(child);
    control.setBorderStyle(row.style);
    control.setBorderWidth(row.borderWidth);
    control.resize(100, 48);
    control.show();
    layout->activate();
    EXPECT_EQ(child->geometry(), row.childGeometry);
}

const ChildAreaRow childAreaRows[] = {
    {"WidthThree", 3, TPaintControl::bsSingle, QRect(3, 3, 94, 42)},
    {"ZeroCoversTheLine", 0, TPaintControl::bsSingle, QRect(0, 0, 100, 48)},
    {"WidthWithoutBorderStillInsets", 5, TPaintControl::bsNone, QRect(5, 5, 90, 38)},
};
INSTANTIATE_TEST_SUITE_P(Borders, PaintControlChildArea, testing::ValuesIn(childAreaRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaintControl, ChangingTheWidthRelaysTheChildren) {
    TPaintControl control;
    auto* layout = new QVBoxLayout(&control);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* child = new QLabel(&control);
    layout->addWidget(child);
    control.resize(50, 30);
    control.show();
    layout->activate();
    control.setBorderWidth(4);
    layout->activate();
    EXPECT_EQ(child->geometry(), QRect(4, 4, 42, 22));
}

// ---------------------------------------------------------------------------
// Colours as the form stores them

struct ColorRefRow {
    const char* name;
    std::int32_t colorRef;
    QColor color;
};

class ColorRefs : public testing::TestWithParam<ColorRefRow> {};

TEST_P(ColorRefs, BothWays) {
    EXPECT_EQ(ColorFromColorRef(GetParam().colorRef), GetParam().color);
    EXPECT_EQ(ColorRefFromColor(GetParam().color), GetParam().colorRef);
}

INSTANTIATE_TEST_SUITE_P(Form, ColorRefs,
                         testing::Values(ColorRefRow{"SummaryStrip", 14215935, QColor(255, 234, 216)},
                                         ColorRefRow{"SummaryBorder", 5477605, QColor(229, 148, 83)},
                                         ColorRefRow{"LeapCheckBox", 10537727, QColor(255, 202, 160)},
                                         ColorRefRow{"Black", 0, QColor(0, 0, 0)},
                                         ColorRefRow{"BlueIsTheHighByte", 0xFF0000, QColor(0, 0, 255)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ColorRefsScheme, ButtonFaceComesFromThePalette) {
    EXPECT_EQ(ColorFromColorRef(static_cast<std::int32_t>(0x8000000Fu)), QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(ColorFromColorRef(static_cast<std::int32_t>(0x80000008u)), QGuiApplication::palette().color(QPalette::Text));
}

}  // namespace
}  // namespace velmora

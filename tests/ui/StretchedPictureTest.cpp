// DrawStretchedPicture pixel for pixel: which picture pixel lands on every
// pixel of the target, and which target pixels stay untouched.
#include "PaintPanel.h"

#include <QPainter>

#include "TestRowNames.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace velmora {
namespace {

using testing_support::PrintTo;

// Every picture pixel has its own colour, so the target tells where it came from.
QRgb SourceColor(int x, int y) {
    return qRgb(10 + x * 9, 20 + y * 5, 200);
}

QImage CodedPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y, SourceColor(x, y));
        }
    }
    return picture;
}

const QRgb Untouched = qRgb(1, 2, 3);

// Target coordinates from..to (inclusive) take picture coordinate `source`,
// or source + (t - from) when `follows`.
struct Segment {
    int from;
    int to;
    int source;
    bool follows;
};

std::optional<int> SourceOf(const std::vector<Segment>& segments, int t) {
    for (const Segment& s : segments) {
        if (t >= s.from && t <= s.to) {
            return s.follows ? s.source + (t - s.from) : s.source;
        }
    }
    return std::nullopt;
}

struct StretchRow {
    const char* name;
    QSize picture;
    QSize target;
    THorzStretchType horz;
    TVertStretchType vert;
    std::vector<Segment> columns;
    std::vector<Segment> rows;
};

class StretchedPicture : public testing::TestWithParam<StretchRow> {};

TEST_P(StretchedPicture, EveryTargetPixel) {
    const StretchRow& row = GetParam();
    QImage target(row.target, QImage::Format_RGB32);
    target.fill(Untouched);
    {
        QPainter painter(&target);
        DrawStretchedPicture(painter, CodedPicture(row.picture.width(), row.picture.height()), row.target.width(),
                             row.target.height(), row.horz, row.vert);
    }
    int wrong = 0;
    for (int y = 0; y < row.target.height(); ++y) {
        for (int x = 0; x < row.target.width(); ++x) {
            const auto sx = SourceOf(row.columns, x);
            const auto sy = SourceOf(row.rows, y);
            const QRgb expected = sx && sy ? SourceColor(*sx, *sy) : Untouched;
            if (target.pixel(x, y) != expected && ++wrong <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << QColor(target.pixel(x, y)).name().toStdString()
                              << ", expected " << QColor(expected).name().toStdString();
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

const StretchRow stretchRows[] = {
    // The header strip: column 0 fills x = 0..752, the picture sits at 753..760.
    {"HeaderLeft", {8, 39}, {761, 39}, hstLeft, vstNone, {{0, 752, 0, false}, {753, 760, 0, true}}, {{0, 38, 0, true}}},
    {"Right", {8, 39}, {761, 39}, hstRight, vstNone, {{0, 7, 0, true}, {8, 760, 7, false}}, {{0, 38, 0, true}}},
    {"MiddleEven", {10, 5}, {30, 5}, hstMiddle, vstNone,
     {{0, 4, 0, true}, {5, 24, 5, false}, {25, 29, 5, true}}, {{0, 4, 0, true}}},
    // An odd width keeps its left half, stretches the middle column and ends at the right edge.
    {"MiddleOdd", {9, 5}, {30, 5}, hstMiddle, vstNone,
     {{0, 3, 0, true}, {4, 24, 4, false}, {25, 29, 4, true}}, {{0, 4, 0, true}}},
    {"AllDoubles", {4, 3}, {8, 6}, hstAll, vstAll, {{0, 1, 0, false}, {2, 3, 1, false}, {4, 5, 2, false},
     {6, 7, 3, false}}, {{0, 1, 0, false}, {2, 3, 1, false}, {4, 5, 2, false}}},
    // Vertical only: the horizontal pass leaves the picture at the left, unscaled.
    {"NoneTop", {8, 20}, {50, 39}, hstNone, vstTop, {{0, 7, 0, true}}, {{0, 18, 0, false}, {19, 38, 0, true}}},
    {"NoneBottom", {8, 20}, {50, 39}, hstNone, vstBottom, {{0, 7, 0, true}}, {{0, 19, 0, true}, {20, 38, 19, false}}},
    {"LeftCenterEven", {4, 6}, {10, 16}, hstLeft, vstCenter, {{0, 5, 0, false}, {6, 9, 0, true}},
     {{0, 2, 0, true}, {3, 12, 3, false}, {13, 15, 3, true}}},
    {"RightCenterOdd", {4, 7}, {10, 16}, hstRight, vstCenter, {{0, 3, 0, true}, {4, 9, 3, false}},
     {{0, 2, 0, true}, {3, 11, 3, false}, {12, 15, 3, true}}},
    // Smaller than the target with both modes none: only the picture's own rectangle.
    {"NoneNoneSmaller", {8, 20}, {50, 39}, hstNone, vstNone, {{0, 7, 0, true}}, {{0, 19, 0, true}}},
    // Wider than the target: the strip falls outside and the right edges meet.
    {"LeftNegativeGap", {20, 4}, {12, 4}, hstLeft, vstNone, {{0, 11, 8, true}}, {{0, 3, 0, true}}},
    {"RightNarrower", {20, 4}, {12, 4}, hstRight, vstNone, {{0, 11, 0, true}}, {{0, 3, 0, true}}},
    {"ExactFit", {8, 39}, {8, 39}, hstLeft, vstTop, {{0, 7, 0, true}}, {{0, 38, 0, true}}},
};
INSTANTIATE_TEST_SUITE_P(Modes, StretchedPicture, testing::ValuesIn(stretchRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StretchedPictureEdges, NothingForAnEmptyPictureOrTarget) {
    QImage target(10, 10, QImage::Format_RGB32);
    target.fill(Untouched);
    QPainter painter(&target);
    DrawStretchedPicture(painter, QImage(), 10, 10, hstAll, vstAll);
    DrawStretchedPicture(painter, CodedPicture(3, 3), 0, 10, hstAll, vstAll);
    DrawStretchedPicture(painter, CodedPicture(3, 3), 10, -1, hstLeft, vstTop);
    painter.end();
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(target.pixel(x, y), Untouched);
        }
    }
}

// A smooth-scaling painter still gets repeated pixels, and keeps its setting.
TEST(StretchedPictureEdges, NoBlendingOnASmoothPainter) {
    QImage target(12, 2, QImage::Format_RGB32);
    target.fill(Untouched);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawStretchedPicture(painter, CodedPicture(2, 2), 12, 2, hstAll, vstNone);
    EXPECT_TRUE(painter.testRenderHint(QPainter::SmoothPixmapTransform));
    painter.end();
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(target.pixel(x, 0), SourceColor(x / 6, 0)) << x;
    }
}

}  // namespace
}  // namespace velmora

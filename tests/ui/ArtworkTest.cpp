// The window's artwork as the program loads it from its resources: every
// picture there, of its size and depth, and the looks that must differ do.
#include "Artwork.h"

#include <QImage>

#include "TestRowNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace velmora {
namespace {

using testing_support::PrintTo;

struct PictureRow {
    const char* name;  // the picture's resource path
    QSize size;
    bool opaque;  // 24-bit pictures without transparency
};

class ArtworkPicture : public testing::TestWithParam<PictureRow> {};

TEST_P(ArtworkPicture, LoadsWithItsSize) {
    const QImage image(QString::fromUtf8(GetParam().name));
    ASSERT_FALSE(image.isNull()) << GetParam().name;
    EXPECT_EQ(image.size(), GetParam().size);
    EXPECT_EQ(!image.hasAlphaChannel(), GetParam().opaque);
}

const PictureRow pictureRows[] = {
    {":/artwork/header.png", {8, 39}, true},
    {":/artwork/btnBegin-normal.png", {86, 24}, true},
    {":/artwork/btnBegin-enter.png", {86, 24}, true},
    {":/artwork/btnBegin-down.png", {86, 24}, true},
    {":/artwork/btnBegin-disable.png", {86, 24}, true},
    {":/artwork/btnWEB-normal.png", {56, 24}, true},
    {":/artwork/btnWEB-enter.png", {56, 24}, true},
    {":/artwork/btnWEB-down.png", {56, 24}, true},
    {":/artwork/btnWEB-disable.png", {56, 24}, true},
    {":/artwork/btnBegin-traditional-normal.png", {86, 24}, true},
    {":/artwork/btnBegin-traditional-enter.png", {86, 24}, true},
    {":/artwork/btnBegin-traditional-down.png", {86, 24}, true},
    {":/artwork/btnBegin-traditional-disable.png", {86, 24}, true},
    {":/artwork/btnWEB-traditional-normal.png", {56, 24}, true},
    {":/artwork/btnWEB-traditional-enter.png", {56, 24}, true},
    {":/artwork/btnWEB-traditional-down.png", {56, 24}, true},
    {":/artwork/btnWEB-traditional-disable.png", {56, 24}, true},
    {":/artwork/imgShengXiao.png", {49, 48}, true},
};
INSTANTIATE_TEST_SUITE_P(Window, ArtworkPicture, testing::ValuesIn(pictureRows));

TEST(Artwork, TwelveDistinctZodiacSeals) {
    std::set<qint64> distinct;
    for (int animal = 0; animal < ZodiacPictureCount; ++animal) {
        const QImage seal(ZodiacPicturePath(animal));
        ASSERT_EQ(seal.size(), QSize(50, 50)) << animal;
        EXPECT_EQ(qAlpha(seal.pixel(0, 0)), 0) << "the seal's corners are transparent";
        EXPECT_EQ(qAlpha(seal.pixel(25, 25)), 255);
        distinct.insert(qHashBits(seal.constBits(), static_cast<size_t>(seal.sizeInBytes())));
    }
    EXPECT_EQ(distinct.size(), 12u);
    EXPECT_TRUE(ZodiacPicturePath(-1).isEmpty());
    EXPECT_TRUE(ZodiacPicturePath(12).isEmpty());
    EXPECT_EQ(ZodiacPicturePath(11), QStringLiteral(":/artwork/zodiac-11.png"));
}

// Stretching the header's first column must continue it without a seam.
TEST(Artwork, HeaderColumnsAreAlike) {
    const QImage header(QStringLiteral(":/artwork/header.png"));
    for (int y = 0; y < header.height(); ++y) {
        for (int x = 1; x < header.width(); ++x) {
            ASSERT_EQ(header.pixel(x, y), header.pixel(0, y)) << x << "," << y;
        }
    }
}

double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (a.width() * a.height() * 3);
}

// Hover and press must be visible at a glance: every pair of states differs.
TEST(Artwork, ButtonStatesDifferVisibly) {
    for (const char* button : {"btnBegin", "btnWEB", "btnBegin-traditional", "btnWEB-traditional"}) {
        const char* states[] = {"normal", "enter", "down", "disable"};
        for (int i = 0; i < 4; ++i) {
            for (int j = i + 1; j < 4; ++j) {
                const QImage a(QStringLiteral(":/artwork/%1-%2.png").arg(button, states[i]));
                const QImage b(QStringLiteral(":/artwork/%1-%2.png").arg(button, states[j]));
                EXPECT_GT(MeanDifference(a, b), 6.0) << button << " " << states[i] << " / " << states[j];
            }
        }
    }
}

}  // namespace
}  // namespace velmora

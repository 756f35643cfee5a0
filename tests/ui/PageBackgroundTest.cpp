// The result page's background picture as the build draws it: a GIF89a of
// 339 x 192 whose background is transparent and whose motif stays faint.
#include <gif_lib.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

// The transparent colour needs the 89a version, which the header names.
TEST(PageBackground, FaintGif89aOfTheTemplatesSize) {
    std::ifstream file(VELMORA_PAGE_BACKGROUND_GIF, std::ios::binary);
    char header[6] = {};
    file.read(header, sizeof header);
    EXPECT_EQ(std::string(header, sizeof header), "GIF89a");

    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(VELMORA_PAGE_BACKGROUND_GIF, &error));
    ASSERT_NE(gif, nullptr) << GifErrorString(error);
    ASSERT_EQ(DGifSlurp(gif.get()), GIF_OK);
    EXPECT_EQ(gif->SWidth, 339);
    EXPECT_EQ(gif->SHeight, 192);
    ASSERT_EQ(gif->ImageCount, 1);

    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), 0, &control), GIF_OK);
    ASSERT_GE(control.TransparentColor, 0);

    const ColorMapObject* palette = gif->SColorMap;
    ASSERT_NE(palette, nullptr);
    const GifColorType background = palette->Colors[control.TransparentColor];
    EXPECT_EQ(background.Red, 0xFF);
    EXPECT_EQ(background.Green, 0xFA);
    EXPECT_EQ(background.Blue, 0xF6);

    // Text sits on it: no colour may stray far from the page's background.
    int darkest = 255 * 3;
    for (int i = 0; i < palette->ColorCount; ++i) {
        const GifColorType c = palette->Colors[i];
        EXPECT_LE(std::abs(c.Red - 0xFF) + std::abs(c.Green - 0xFA) + std::abs(c.Blue - 0xF6), 120) << i;
        darkest = std::min(darkest, c.Red + c.Green + c.Blue);
    }

    // Mostly background, with a motif that is there.
    const SavedImage& image = gif->SavedImages[0];
    const int pixels = image.ImageDesc.Width * image.ImageDesc.Height;
    int motif = 0;
    for (int i = 0; i < pixels; ++i) {
        motif += image.RasterBits[i] != control.TransparentColor ? 1 : 0;
    }
    EXPECT_GT(motif, pixels / 20);
    EXPECT_LT(motif, pixels / 2);
    EXPECT_LT(darkest, 0xFF + 0xFA + 0xF6 - 60);
}

}  // namespace

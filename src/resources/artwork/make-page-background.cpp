// Draws the result page's background picture, BG.gif: a faint eight-trigram
// ring around a yin-yang disk, 339 x 192 pixels, in the page's own warm tint
// on its background colour, which is transparent. Plain C++ and giflib, so the
// picture exists in every build; the output is the same on every run.
//
//   make-page-background OUTPUT.gif
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Width = 339;
constexpr int Height = 192;
constexpr int Levels = 16;         // palette entries: the background plus 15 tints
constexpr int Samples = 4;         // per pixel and axis, for smooth edges
constexpr double CentreX = Width / 2.0;
constexpr double CentreY = Height / 2.0;
constexpr double Pi = 3.14159265358979323846;

struct Rgb {
    int r, g, b;
};
constexpr Rgb Background{0xFF, 0xFA, 0xF6};  // the page's background colour
constexpr Rgb Ink{0xF0, 0xD8, 0xC4};         // the strongest tint: faint behind text

// How much ink a point carries, 0 to 1. Each shape is tested on its own and
// the strongest wins.
struct Point {
    double x, y;
};

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// A ring of the given radius and stroke width.
double RingInk(Point p, double radius, double stroke, double strength) {
    return std::abs(Distance(p, {0, 0}) - radius) <= stroke / 2 ? strength : 0.0;
}

// The yin-yang disk: the dark half with its bulge, the two eyes and an outline.
double TaijiInk(Point p, double radius) {
    const double d = Distance(p, {0, 0});
    if (d > radius) {
        return 0.0;
    }
    if (d > radius - 1.1) {
        return 1.0;
    }
    const Point upper{0, -radius / 2};
    const Point lower{0, radius / 2};
    const double eye = radius / 7;
    if (Distance(p, upper) <= eye) {
        return 0.6;  // the dark eye in the light half
    }
    if (Distance(p, lower) <= eye) {
        return 0.0;  // the light eye in the dark half
    }
    bool dark = p.x < 0;
    if (Distance(p, upper) <= radius / 2) {
        dark = false;
    } else if (Distance(p, lower) <= radius / 2) {
        dark = true;
    }
    return dark ? 0.6 : 0.0;
}

// The eight trigrams of the earlier-heaven order, clockwise from the top, each
// as its three lines from the innermost outwards: true for a whole line.
struct Trigram {
    std::array<bool, 3> lines;
};
constexpr std::array<Trigram, 8> Trigrams{{
    {{true, true, true}},     // 乾
    {{false, true, true}},    // 巽
    {{false, true, false}},   // 坎
    {{false, false, true}},   // 艮
    {{false, false, false}},  // 坤
    {{true, false, false}},   // 震
    {{true, false, true}},    // 离
    {{true, true, false}},    // 兑
}};

constexpr double FirstLineRadius = 64;
constexpr double LineStep = 7.5;
constexpr double LineThickness = 4.2;
constexpr double LineLength = 26;
constexpr double BrokenGap = 5;

double TrigramInk(Point p) {
    // The angle from the top, clockwise, and which trigram's sector that is.
    double angle = std::atan2(p.x, -p.y);
    if (angle < 0) {
        angle += 2 * Pi;
    }
    const int sector = static_cast<int>(std::lround(angle / (Pi / 4))) % 8;
    const double axis = sector * Pi / 4;
    // Coordinates along the trigram: `across` from its axis, `out` from the centre.
    const double across = p.x * std::cos(axis) + p.y * std::sin(axis);
    const double out = p.x * std::sin(axis) - p.y * std::cos(axis);
    for (int line = 0; line < 3; ++line) {
        const double lineRadius = FirstLineRadius + line * LineStep;
        if (std::abs(out - lineRadius) > LineThickness / 2 || std::abs(across) > LineLength / 2) {
            continue;
        }
        const bool whole = Trigrams[sector].lines[line];
        return whole || std::abs(across) > BrokenGap / 2 ? 0.85 : 0.0;
    }
    return 0.0;
}

double InkAt(Point p) {
    double ink = 0;
    ink = std::max(ink, TaijiInk(p, 34));
    ink = std::max(ink, TrigramInk(p));
    ink = std::max(ink, RingInk(p, 52, 1.0, 0.7));
    ink = std::max(ink, RingInk(p, 90, 1.2, 0.7));
    ink = std::max(ink, RingInk(p, 94, 0.8, 0.45));
    return ink;
}

// The palette index of one pixel: its ink averaged over the samples.
GifByteType PixelIndex(int x, int y) {
    double sum = 0;
    for (int sy = 0; sy < Samples; ++sy) {
        for (int sx = 0; sx < Samples; ++sx) {
            const Point p{x + (sx + 0.5) / Samples - CentreX, y + (sy + 0.5) / Samples - CentreY};
            sum += InkAt(p);
        }
    }
    const double ink = sum / (Samples * Samples);
    return static_cast<GifByteType>(std::lround(ink * (Levels - 1)));
}

ColorMapObject* MakePalette() {
    ColorMapObject* map = GifMakeMapObject(Levels, nullptr);
    if (map == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < Levels; ++i) {
        const double t = static_cast<double>(i) / (Levels - 1);
        map->Colors[i].Red = static_cast<GifByteType>(std::lround(Background.r + (Ink.r - Background.r) * t));
        map->Colors[i].Green = static_cast<GifByteType>(std::lround(Background.g + (Ink.g - Background.g) * t));
        map->Colors[i].Blue = static_cast<GifByteType>(std::lround(Background.b + (Ink.b - Background.b) * t));
    }
    return map;
}

bool WriteGif(const char* path, const std::vector<GifByteType>& pixels) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path, false, &error);
    if (gif == nullptr) {
        std::fprintf(stderr, "make-page-background: cannot create %s: %s\n", path, GifErrorString(error));
        return false;
    }
    EGifSetGifVersion(gif, true);  // GIF89a, which carries the transparent colour
    ColorMapObject* palette = MakePalette();
    bool ok = palette != nullptr && EGifPutScreenDesc(gif, Width, Height, 8, 0, palette) == GIF_OK;

    // The background colour is transparent, so the page's own colour shows.
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = 0;
    control.TransparentColor = 0;
    GifByteType extension[4];
    const size_t extensionLength = EGifGCBToExtension(&control, extension);
    ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionLength), extension) == GIF_OK;
    ok = ok && EGifPutImageDesc(gif, 0, 0, Width, Height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < Height; ++y) {
        ok = EGifPutLine(gif, const_cast<GifByteType*>(&pixels[static_cast<size_t>(y) * Width]), Width) == GIF_OK;
    }
    if (!ok) {
        std::fprintf(stderr, "make-page-background: cannot write %s: %s\n", path, GifErrorString(gif->Error));
    }
    GifFreeMapObject(palette);
    if (EGifCloseFile(gif, &error) != GIF_OK) {
        std::fprintf(stderr, "make-page-background: cannot finish %s: %s\n", path, GifErrorString(error));
        ok = false;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-page-background OUTPUT.gif\n");
        return 2;
    }
    std::vector<GifByteType> pixels(static_cast<size_t>(Width) * Height);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            pixels[static_cast<size_t>(y) * Width + x] = PixelIndex(x, y);
        }
    }
    return WriteGif(argv[1], pixels) ? 0 : 1;
}

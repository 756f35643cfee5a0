// What painting the header strip and an image button costs: the stretched
// header picture (three work images per paint, no cache) against drawing the
// picture as it is, and whole widget paints.
//
//   build/bench/ui_paint_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "ImgButton.h"
#include "PaintPanel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace velmora;

// Widgets and painters need an application; the benchmarks draw without a display.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "ui_paint_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
}

QImage HeaderPicture() {
    QImage picture(8, 39, QImage::Format_RGB888);
    for (int y = 0; y < 39; ++y) {
        picture.setPixelColor(0, y, QColor(255, 250 - y, 246 - 2 * y));
    }
    for (int x = 1; x < 8; ++x) {
        for (int y = 0; y < 39; ++y) {
            picture.setPixel(x, y, picture.pixel(0, y));
        }
    }
    return picture;
}

void DrawHeader(benchmark::State& state, THorzStretchType horz, TVertStretchType vert) {
    EnsureApplication();
    const QImage picture = HeaderPicture();
    QImage target(761, 39, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        DrawStretchedPicture(painter, picture, 761, 39, horz, vert);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void HeaderStretchedLeft(benchmark::State& state) { DrawHeader(state, hstLeft, vstNone); }
void HeaderAsItIs(benchmark::State& state) { DrawHeader(state, hstNone, vstNone); }
void HeaderStretchedBothWays(benchmark::State& state) { DrawHeader(state, hstMiddle, vstCenter); }
BENCHMARK(HeaderStretchedLeft);
BENCHMARK(HeaderAsItIs);
BENCHMARK(HeaderStretchedBothWays);

void PaintPanelWidget(benchmark::State& state) {
    EnsureApplication();
    TPaintPanel panel;
    panel.resize(761, 39);
    panel.setPicture(QPixmap::fromImage(HeaderPicture()));
    panel.setPicHorzStretch(hstLeft);
    QImage target(761, 39, QImage::Format_RGB32);
    for (auto _ : state) {
        panel.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(PaintPanelWidget);

void ImgButtonWidget(benchmark::State& state) {
    EnsureApplication();
    TImgButton button;
    button.resize(86, 24);
    QPixmap picture(86, 24);
    picture.fill(QColor(0xdb, 0x62, 0x00));
    button.setImgNormal(picture);
    QImage target(86, 24, QImage::Format_RGB32);
    for (auto _ : state) {
        button.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(ImgButtonWidget);

}  // namespace

BENCHMARK_MAIN();

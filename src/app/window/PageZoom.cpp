#include "PageZoom.h"

#include "MomentSettings.h"

#include <QKeySequence>
#include <QSettings>
#include <QShortcut>
#include <QWebEngineView>

#include <algorithm>
#include <iterator>

namespace velmora {
namespace {

const QString ZoomKey = QStringLiteral("page/zoom");

// The kept level when it is one of ours; a damaged or foreign value gives 100 %.
double KeptFactor() {
    const double kept = OpenWindowSettings()->value(ZoomKey, 1.0).toDouble();
    const auto known = std::find(std::begin(kPageZoomLevels), std::end(kPageZoomLevels), kept);
    return known == std::end(kPageZoomLevels) ? 1.0 : kept;
}

}  // namespace

TPageZoom::TPageZoom(QWidget& window, QWebEngineView& view) : QObject(&view), view_(view), factor_(KeptFactor()) {
    const auto bind = [&](const QList<QKeySequence>& keys, int direction) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, &window);
            connect(shortcut, &QShortcut::activated, this, [this, direction] { Step(direction); });
        }
    };
    // Ctrl+= is where plus is on most keyboards, without Shift.
    bind({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, +1);
    bind({QKeySequence::ZoomOut}, -1);
    bind({QKeySequence(Qt::CTRL | Qt::Key_0)}, 0);
    // A new page may come up at the engine's own level.
    connect(&view_, &QWebEngineView::loadFinished, this, &TPageZoom::Apply);
    Apply();
}

void TPageZoom::Step(int direction) {
    const auto* levels = std::begin(kPageZoomLevels);
    const auto* end = std::end(kPageZoomLevels);
    if (direction > 0) {
        const auto* next = std::upper_bound(levels, end, factor_);
        factor_ = next == end ? *(end - 1) : *next;
    } else if (direction < 0) {
        const auto* here = std::lower_bound(levels, end, factor_);
        factor_ = here == levels ? *levels : *(here - 1);
    } else {
        factor_ = 1.0;
    }
    auto settings = OpenWindowSettings();
    settings->setValue(ZoomKey, factor_);
    KeepWindowSettings(*settings);
    Apply();
}

void TPageZoom::Apply() {
    if (!qFuzzyCompare(view_.zoomFactor(), factor_)) {
        view_.setZoomFactor(factor_);
    }
}

}  // namespace velmora

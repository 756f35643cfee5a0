#include "WindowGrowth.h"

#include <QEvent>
#include <QWidget>

namespace velmora {

TWindowGrowth::TWindowGrowth(QWidget& window, std::initializer_list<QWidget*> rightEnd)
    : QObject(&window), window_(window), designWidth_(window.width()) {
    window.setMinimumSize(window.size());
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    for (QWidget* widget : rightEnd) {
        designX_.emplace_back(widget, widget->x());
        // This filter is the strip's newest, so it runs before those of the
        // tags that place themselves by these widgets.
        widget->parentWidget()->installEventFilter(this);
    }
}

bool TWindowGrowth::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        const int growth = window_.width() - designWidth_;
        for (const auto& [widget, x] : designX_) {
            if (widget->parentWidget() == watched) {
                widget->move(x + growth, widget->y());
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmora

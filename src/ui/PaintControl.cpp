#include "PaintControl.h"

#include "FrameDrawing.h"

#include <QLayout>
#include <QPainter>

namespace velmora {

TPaintControl::TPaintControl(QWidget* parent) : QWidget(parent), color_(palette().color(QPalette::Button)) {}

void TPaintControl::setColor(const QColor& color) {
    if (color != color_) {
        color_ = color;
        update();
    }
}

void TPaintControl::setBorderColor(const QColor& color) {
    if (color != borderColor_) {
        borderColor_ = color;
        update();
    }
}

// The children's area shrinks by the border width on every side; a layout on
// the control follows it at once.
void TPaintControl::setBorderWidth(int width) {
    width = width < 0 ? 0 : width;
    if (width != borderWidth_) {
        borderWidth_ = width;
        setContentsMargins(width, width, width, width);
        update();
    }
}

void TPaintControl::setBorderStyle(TBorderStyle style) {
    if (style != borderStyle_) {
        borderStyle_ = style;
        if (layout() != nullptr) {
            layout()->invalidate();
        }
        update();
    }
}

void TPaintControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect r = rect();  // the whole control, not the children's area
    painter.fillRect(r, color_);
    if (borderStyle_ == bsSingle) {
        DrawFrameRect(painter, 0, 0, r.width(), r.height(), borderWidth_, borderColor_);
    }
    emit OnPaint(&painter);
}

}  // namespace velmora

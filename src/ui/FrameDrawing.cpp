#include "FrameDrawing.h"

#include <QPainter>

namespace velmora {

void DrawFrameRect(QPainter& painter, int left, int top, int right, int bottom, int penWidth,
                   const QColor& color) {
    const int width = penWidth < 1 ? 1 : penWidth;
    const int before = width / 2;  // pixels of the pen before the path's pixel
    // The path runs through the pixels at left, top, right - 1 and bottom - 1.
    const int outerLeft = left - before;
    const int outerTop = top - before;
    const int outerRight = right - 1 - before + width;  // exclusive
    const int outerBottom = bottom - 1 - before + width;
    if (outerRight <= outerLeft || outerBottom <= outerTop) {
        return;
    }
    const int bandHeight = outerBottom - outerTop;
    painter.fillRect(QRect(outerLeft, outerTop, outerRight - outerLeft, width), color);
    painter.fillRect(QRect(outerLeft, outerBottom - width, outerRight - outerLeft, width), color);
    painter.fillRect(QRect(outerLeft, outerTop, width, bandHeight), color);
    painter.fillRect(QRect(outerRight - width, outerTop, width, bandHeight), color);
}

}  // namespace velmora

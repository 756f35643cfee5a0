// Outlines drawn the way the window system's rectangle call draws them with a
// wide pen, so that frames land on the same pixels as in the original design.
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace velmora {

// Outlines the rectangle from (left, top) up to, not including, (right,
// bottom). The pen is centred on the outermost pixel rows and columns, with
// the extra pixel of an even width on the outer side of the left and top
// edges and the inner side of the right and bottom ones. A width below 1
// draws the thinnest line, one pixel.
void DrawFrameRect(QPainter& painter, int left, int top, int right, int bottom, int penWidth, const QColor& color);

}  // namespace velmora

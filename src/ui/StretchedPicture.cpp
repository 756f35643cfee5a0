#include "PaintPanel.h"

#include <QPainter>

namespace velmora {

namespace {

// Repeats one pixel column of `source` over `dest`; nothing for an empty or
// inverted destination (a picture wider than the space it stretches into).
void StretchColumn(QPainter& painter, const QImage& source, int column, const QRect& dest) {
    if (dest.width() > 0 && dest.height() > 0) {
        painter.drawImage(dest, source, QRect(column, 0, 1, source.height()));
    }
}

void StretchRow(QPainter& painter, const QImage& source, int row, const QRect& dest) {
    if (dest.width() > 0 && dest.height() > 0) {
        painter.drawImage(dest, source, QRect(0, row, source.width(), 1));
    }
}

void CopyColumns(QPainter& painter, const QImage& source, int first, int count, int destX) {
    if (count > 0) {
        painter.drawImage(QPoint(destX, 0), source, QRect(first, 0, count, source.height()));
    }
}

void CopyRows(QPainter& painter, const QImage& source, int first, int count, int destY) {
    if (count > 0) {
        painter.drawImage(QPoint(0, destY), source, QRect(0, first, source.width(), count));
    }
}

// The horizontal pass: the picture at full target width, its own height.
QImage StretchHorizontally(const QImage& picture, int width, THorzStretchType horz) {
    const int pw = picture.width();
    const int ph = picture.height();
    const int gap = width - pw;
    QImage strip(width, ph, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    switch (horz) {
    case hstNone:
        painter.drawImage(0, 0, picture);
        break;
    case hstAll:
        painter.drawImage(QRect(0, 0, width, ph), picture);
        break;
    case hstLeft:
        StretchColumn(painter, picture, 0, QRect(0, 0, gap, ph));
        painter.drawImage(gap, 0, picture);
        break;
    case hstMiddle: {
        // The left half keeps its place, the middle column fills the gap and
        // the rest of the picture ends at the right edge.
        const int middle = pw / 2;
        CopyColumns(painter, picture, 0, middle, 0);
        StretchColumn(painter, picture, middle, QRect(middle, 0, gap, ph));
        CopyColumns(painter, picture, middle, pw - middle, middle + gap);
        break;
    }
    case hstRight:
        painter.drawImage(0, 0, picture);
        StretchColumn(painter, picture, pw - 1, QRect(pw, 0, width - pw, ph));
        break;
    }
    return strip;
}

void StretchVertically(QPainter& canvas, const QImage& strip, int height, TVertStretchType vert) {
    const int width = strip.width();
    const int ph = strip.height();
    const int gap = height - ph;
    switch (vert) {
    case vstNone:
        canvas.drawImage(0, 0, strip);
        break;
    case vstAll:
        canvas.drawImage(QRect(0, 0, width, height), strip);
        break;
    case vstTop:
        StretchRow(canvas, strip, 0, QRect(0, 0, width, gap));
        canvas.drawImage(0, gap, strip);
        break;
    case vstCenter: {
        const int middle = ph / 2;
        CopyRows(canvas, strip, 0, middle, 0);
        StretchRow(canvas, strip, middle, QRect(0, middle, width, gap));
        CopyRows(canvas, strip, middle, ph - middle, middle + gap);
        break;
    }
    case vstBottom:
        canvas.drawImage(0, 0, strip);
        StretchRow(canvas, strip, ph - 1, QRect(0, ph, width, height - ph));
        break;
    }
}

}  // namespace

void DrawStretchedPicture(QPainter& canvas, const QImage& picture, int width, int height, THorzStretchType horz,
                          TVertStretchType vert) {
    if (picture.isNull() || width <= 0 || height <= 0) {
        return;
    }
    if (horz == hstNone && vert == vstNone) {
        canvas.drawImage(0, 0, picture);
        return;
    }
    // The strips are drawn from the picture many times: one conversion to the
    // painter's own format first saves one per strip.
    const bool native =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage source = native ? picture : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Pixels are repeated, never blended, whatever the caller's painter does.
    const bool smooth = canvas.testRenderHint(QPainter::SmoothPixmapTransform);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    StretchVertically(canvas, StretchHorizontally(source, width, horz), height, vert);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

}  // namespace velmora

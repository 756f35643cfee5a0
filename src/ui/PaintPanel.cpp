#include "PaintPanel.h"

#include "FrameDrawing.h"

#include <QPainter>
#include <QPaintEvent>

namespace velmora {

TPaintPanel::TPaintPanel(QWidget* parent) : QWidget(parent), color_(palette().color(QPalette::Button)) {}

template <typename T>
void TPaintPanel::StoreAndRepaint(T& field, const T& value) {
    if (field == value) {
        return;
    }
    field = value;
    update();
}

void TPaintPanel::setBevelStyle(TBorderStyle style) { StoreAndRepaint(bevelStyle_, style); }
void TPaintPanel::setBevelColor(const QColor& color) { StoreAndRepaint(bevelColor_, color); }
void TPaintPanel::setBevelWidth(int width) { StoreAndRepaint(bevelWidth_, width < 1 ? 1 : width); }
void TPaintPanel::setPicHorzStretch(THorzStretchType stretch) { StoreAndRepaint(horzStretch_, stretch); }
void TPaintPanel::setPicVertStretch(TVertStretchType stretch) { StoreAndRepaint(vertStretch_, stretch); }
void TPaintPanel::setCaption(const QString& caption) { StoreAndRepaint(caption_, caption); }
void TPaintPanel::setAlignment(TAlignment alignment) { StoreAndRepaint(alignment_, alignment); }
void TPaintPanel::setVerticalAlignment(TVerticalAlignment alignment) { StoreAndRepaint(verticalAlignment_, alignment); }
void TPaintPanel::setColor(const QColor& color) { StoreAndRepaint(color_, color); }
void TPaintPanel::setParentBackground(bool on) { StoreAndRepaint(parentBackground_, on); }

void TPaintPanel::setPicture(const QPixmap& picture) {
    picture_ = picture;
    pictureImage_ = picture.toImage();
    PictureChanged();
    updateGeometry();
    update();
}

// A new picture resizes the panel where it is asked to follow the picture.
void TPaintPanel::PictureChanged() {
    if (picture_.isNull()) {
        return;
    }
    if (autoWidth_) {
        resize(picture_.width(), height());
    }
    if (autoHeight_) {
        resize(width(), picture_.height());
    }
}

void TPaintPanel::setAutoWidth(bool on) {
    if (on == autoWidth_ || picture_.isNull()) {
        return;
    }
    autoWidth_ = on;
    if (on) {
        resize(picture_.width(), height());
    }
    updateGeometry();
}

void TPaintPanel::setAutoHeight(bool on) {
    if (on == autoHeight_ || picture_.isNull()) {
        return;
    }
    autoHeight_ = on;
    if (on) {
        resize(width(), picture_.height());
    }
    updateGeometry();
}

QSize TPaintPanel::sizeHint() const {
    QSize hint = QWidget::sizeHint();
    if (!hint.isValid()) {
        hint = size();
    }
    if (autoWidth_) {
        hint.setWidth(picture_.width());
    }
    if (autoHeight_) {
        hint.setHeight(picture_.height());
    }
    return hint;
}

int TPaintPanel::CaptionFlags() const {
    int flags = Qt::TextSingleLine | Qt::TextExpandTabs;
    switch (alignment_) {
    case taLeftJustify: flags |= Qt::AlignLeft; break;
    case taRightJustify: flags |= Qt::AlignRight; break;
    case taCenter: flags |= Qt::AlignHCenter; break;
    }
    switch (verticalAlignment_) {
    case taAlignTop: flags |= Qt::AlignTop; break;
    case taAlignBottom: flags |= Qt::AlignBottom; break;
    case taVerticalCenter: flags |= Qt::AlignVCenter; break;
    }
    return flags;  // right-to-left panels mirror the alignment through their layout direction
}

void TPaintPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QRect r = rect();
    if (!pictureImage_.isNull()) {
        DrawStretchedPicture(painter, pictureImage_, width(), height(), horzStretch_, vertStretch_);
    } else if (!parentBackground_) {
        painter.fillRect(r, color_);
    }
    if (!caption_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r, CaptionFlags(), caption_);
    }
    if (bevelStyle_ == bsSingle) {
        if (bevelWidth_ % 2 == 0) {
            r.setLeft(r.left() + 1);
            r.setTop(r.top() + 1);
        }
        DrawFrameRect(painter, r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), bevelWidth_,
                      bevelColor_);
    }
    emit OnPaint(&painter);
}

}  // namespace velmora

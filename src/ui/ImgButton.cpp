#include "ImgButton.h"

#include <QCursor>

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {

// ---------------------------------------------------------------------------
// TImgManager

TImgManager::TImgManager(QObject* parent) : QObject(parent) {}

void TImgManager::Store(QPixmap& field, const QPixmap& picture) {
    field = picture;
    emit Changed();
}

void TImgManager::setImgNormal(const QPixmap& picture) { Store(normal_, picture); }
void TImgManager::setImgEnter(const QPixmap& picture) { Store(enter_, picture); }
void TImgManager::setImgDown(const QPixmap& picture) { Store(down_, picture); }
void TImgManager::setImgDisable(const QPixmap& picture) { Store(disable_, picture); }
void TImgManager::setImgCheck(const QPixmap& picture) { Store(check_, picture); }

// ---------------------------------------------------------------------------
// Placement

TImgPlacement PlaceImageAndCaption(QSize control, QSize image, QSize caption, bool hasCaption,
                                   TImgControlLayout layout, int spacing, TImgControl::TVisualState state,
                                   int enterOffset, int downOffset) {
    const int w = control.width();
    const int h = control.height();
    const int iw = image.width();
    const int ih = image.height();
    const int tw = caption.width();
    const int th = caption.height();
    const int gap = static_cast<int>(static_cast<quint16>(spacing));
    int hs = 0;
    int vs = 0;
    if (hasCaption && layout != iclImgCenter) {
        (layout == iclImgLeft || layout == iclImgRight ? hs : vs) = gap;
    }
    int tx = (w - tw - hs) / 2;
    int ty = (h - th - vs) / 2;
    int ix = (w - iw - hs) / 2;
    int iy = (h - ih - vs) / 2;
    switch (layout) {
    case iclImgLeft:
        ix = (w - iw - tw - hs) / 2;
        tx = ix + iw + hs;
        break;
    case iclImgRight:
        tx = (w - iw - tw - hs) / 2;
        ix = tx + tw + hs;
        break;
    case iclImgTop:
        iy = (h - ih - th - vs) / 2;
        ty = iy + ih + vs;
        break;
    case iclImgBottom:
        ty = (h - ih - th - vs) / 2;
        iy = ty + th + vs;
        break;
    case iclImgCenter:
        break;  // the caption stays centred over the picture
    }
    int shift = 0;
    if (state == TImgControl::vsHot) {
        shift = -enterOffset;
    } else if (state == TImgControl::vsDown) {
        shift = downOffset;
    }
    return {QPoint(ix + shift, iy + shift), QPoint(tx + shift, ty + shift)};
}

// ---------------------------------------------------------------------------
// TImgControl

TImgControl::TImgControl(QWidget* parent) : QWidget(parent) {
    // Windowless in spirit: it never takes the keyboard focus.
    setFocusPolicy(Qt::NoFocus);
}

void TImgControl::setImgNormal(const QPixmap& picture) {
    normal_ = picture;
    ApplyAutoSize();
    updateGeometry();
    update();
}

void TImgControl::StorePicture(QPixmap& field, const QPixmap& picture) {
    field = picture;
    update();
}

void TImgControl::setImgEnter(const QPixmap& picture) { StorePicture(enter_, picture); }
void TImgControl::setImgDown(const QPixmap& picture) { StorePicture(down_, picture); }
void TImgControl::setImgDisable(const QPixmap& picture) { StorePicture(disable_, picture); }
void TImgControl::setImgCheck(const QPixmap& picture) { StorePicture(check_, picture); }

void TImgControl::setAutoSize(bool on) {
    if (on != autoSize_) {
        autoSize_ = on;
        ApplyAutoSize();
    }
}

void TImgControl::ApplyAutoSize() {
    if (autoSize_ && !normal_.isNull()) {
        resize(normal_.width(), height());
        resize(width(), normal_.height());
    }
}

void TImgControl::setCaption(const QString& caption) {
    caption_ = caption;
    repaint();
}

void TImgControl::setImgButtonLayout(TImgControlLayout layout) {
    if (layout != layout_) {
        layout_ = layout;
        update();
    }
}

void TImgControl::setSpacing(int spacing) {
    if (spacing != spacing_) {
        spacing_ = spacing;
        update();
    }
}

void TImgControl::setImgManager(TImgManager* manager) {
    disconnect(managerConnection_);
    manager_ = manager;
    if (manager != nullptr) {
        managerConnection_ = connect(manager, &TImgManager::Changed, this, qOverload<>(&QWidget::update));
    }
    update();
    if (autoRepaintParent_ && parentWidget() != nullptr) {
        parentWidget()->update();
    }
}

QSize TImgControl::sizeHint() const {
    return normal_.isNull() ? QWidget::sizeHint() : normal_.size();
}

// ---------------------------------------------------------------------------
// Painting

void TImgControl::TakeManagerPictures() {
    if (manager_ == nullptr) {
        return;
    }
    const auto take = [](QPixmap& own, const QPixmap& shared) {
        if (!shared.isNull()) {
            own = shared;
        }
    };
    take(normal_, manager_->ImgNormal());
    take(enter_, manager_->ImgEnter());
    take(down_, manager_->ImgDown());
    take(disable_, manager_->ImgDisable());
    take(check_, manager_->ImgCheck());
}

// A state without its own picture keeps a copy of the normal one for good.
void TImgControl::FillMissingPictures() {
    for (QPixmap* picture : {&enter_, &down_, &disable_}) {
        if (picture->isNull()) {
            *picture = normal_;
        }
    }
}

const QPixmap& TImgControl::PictureToShow() const {
    if (!isEnabled()) {
        return disable_;
    }
    switch (state_) {
    case vsHot: return enter_;
    case vsDown: return down_;
    case vsNormal: break;
    }
    return normal_;
}

void TImgControl::paintEvent(QPaintEvent* /*event*/) {
    TakeManagerPictures();
    FillMissingPictures();
    const QPixmap& picture = PictureToShow();
    if (picture.isNull()) {
        return;
    }
    const QFontMetrics metrics(font());
    const bool hasCaption = !caption_.isEmpty();
    const QSize captionSize = hasCaption ? QSize(metrics.horizontalAdvance(caption_), metrics.height()) : QSize(0, 0);
    const TImgPlacement place = PlaceImageAndCaption(size(), picture.size(), captionSize, hasCaption, layout_,
                                                     spacing_, state_, enterOffset_, downOffset_);
    QPainter painter(this);
    painter.drawPixmap(place.image, picture);
    if (hasCaption) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(place.caption, captionSize), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         caption_);
    }
}

// ---------------------------------------------------------------------------
// The state machine

void TImgControl::EnterState(TVisualState state) {
    state_ = state;
    repaint();
    if (autoRepaintParent_ && parentWidget() != nullptr) {
        parentWidget()->repaint();
    }
}

// True when this control is the topmost one at the point, disabled ones
// counting too, so a release over an overlapping sibling does not count.
bool TImgControl::IsControlUnderCursor(const QPoint& localPos) const {
    if (!rect().contains(localPos)) {
        return false;
    }
    const QWidget* parent = parentWidget();
    return parent == nullptr || parent->childAt(mapToParent(localPos)) == this;
}

void TImgControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;  // other buttons leave the look alone
    }
    pressed_ = true;
    clickArmed_ = true;
    EnterState(vsDown);
}

// The second press of a double-click raises OnDblClick and holds the button
// down; its release is no second click.
void TImgControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    emit OnDblClick();
    pressed_ = true;
    clickArmed_ = false;
    EnterState(vsDown);
}

void TImgControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    // The click comes first, while the button still shows its down picture.
    const bool click = clickArmed_ && rect().contains(pos);
    clickArmed_ = false;
    QPoint after = pos;
    if (click) {
        const QPointer<TImgControl> alive(this);
        const QPoint pointerBefore = QCursor::pos();
        emit OnClick();
        if (alive == nullptr || !isEnabled()) {
            return;  // the handler destroyed or disabled the button, which reset it
        }
        // The pointer moved while the handler ran (to close the box it
        // showed, say), with no move reaching this control: the look follows
        // where the pointer is now.
        if (QCursor::pos() != pointerBefore) {
            after = mapFromGlobal(QCursor::pos());
        }
    }
    pressed_ = false;
    EnterState(IsControlUnderCursor(after) ? vsHot : vsNormal);
}

void TImgControl::enterEvent(QEnterEvent* /*event*/) {
    if (isEnabled() && !pressed_) {
        EnterState(vsHot);
    }
}

void TImgControl::leaveEvent(QEvent* /*event*/) {
    if (isEnabled() && !pressed_) {
        EnterState(vsNormal);
    }
}

void TImgControl::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
        pressed_ = false;
        clickArmed_ = false;
        EnterState(vsNormal);
        break;
    case QEvent::FontChange:
        repaint();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

}  // namespace velmora

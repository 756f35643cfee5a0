#include "ClickLabel.h"

#include <QMouseEvent>

namespace velmora {

void TClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        event->accept();
        if (rect().contains(event->position().toPoint())) {
            emit OnClick();
        }
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace velmora

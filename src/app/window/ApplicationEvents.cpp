#include "ApplicationEvents.h"

#include <QCoreApplication>

namespace velmora {

TApplicationEvents::TApplicationEvents(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

TApplicationEvents::~TApplicationEvents() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

bool TApplicationEvents::eventFilter(QObject* watched, QEvent* event) {
    bool handled = false;
    if (OnMessage) {
        OnMessage(watched, event, handled);
    }
    return handled;
}

}  // namespace velmora

// TApplicationEvents: hears every event the application delivers, before its
// receiver does, and may mark it handled so that the receiver never gets it.
// The window's right-button rule sits on it.
#pragma once

#include <QObject>

#include <functional>

class QEvent;

namespace velmora {

class TApplicationEvents : public QObject {
    Q_OBJECT

public:
    // Set Handled to keep the event from its receiver.
    using TMessageEvent = std::function<void(QObject* receiver, QEvent* message, bool& Handled)>;

    // Listens to the running application from construction to destruction.
    explicit TApplicationEvents(QObject* parent = nullptr);
    ~TApplicationEvents() override;

    TMessageEvent OnMessage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmora

// TERM, INT and HUP end the window the way closing it does. A signal handler
// may do almost nothing, so it only writes a byte into a pipe; the event
// loop reads it and quits the application, and the usual way out removes
// the page files (which hold the person's name and birth date) and the
// process's own temporary folder.
#pragma once

#include <QObject>

class QCoreApplication;
class QSocketNotifier;

namespace velmora {

class TQuitSignals : public QObject {
public:
    explicit TQuitSignals(QCoreApplication& app);
    ~TQuitSignals() override;

private:
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velmora

// A window laid out for one size that may grow: its present size becomes the
// least it takes, its layouts give the room to the page, and the controls
// drawn at the right end of a strip keep their distance from that end.
#pragma once

#include <QObject>

#include <initializer_list>
#include <utility>
#include <vector>

class QWidget;

namespace velmora {

class TWindowGrowth : public QObject {
    Q_OBJECT

public:
    // `window` is at its design size, each widget of `rightEnd` where the
    // design puts it; the widgets then move with the window's right edge.
    // Their strips span the window, so they grow as much as it does.
    TWindowGrowth(QWidget& window, std::initializer_list<QWidget*> rightEnd);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    int designWidth_;
    std::vector<std::pair<QWidget*, int>> designX_;  // a widget and where the design puts it
};

}  // namespace velmora

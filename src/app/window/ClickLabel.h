// TClickLabel: a label that reports a click, as the window's mode and
// leap-month captions do. A disabled label hears no mouse, so it never clicks.
#pragma once

#include <QLabel>

namespace velmora {

class TClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    // A left press and release, both on the label.
    void OnClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace velmora

#include "StripTag.h"

#include <QEvent>

namespace velmora {

const QString QuietTagStyle = QStringLiteral(
    "QLabel { color: #db6200; background: #fffaf6; border: 1px solid #e59453; border-radius: 8px; padding: 0 7px; }"
    "QLabel:hover { background: #ffead8; }");
const QString InForceTagStyle = QStringLiteral(
    "QLabel { color: white; background: #db6200; border: 1px solid #db6200; border-radius: 8px; padding: 0 7px; }"
    "QLabel:hover { background: #e59453; border-color: #e59453; }");

namespace {
constexpr int TagGap = 6;  // between two tags
}  // namespace

void PlaceOnStripEdge(QWidget& tag, const QWidget& strip, int right) {
    const int width = tag.sizeHint().width();
    tag.setGeometry(right - width, strip.y() - StripTagHeight / 2, width, StripTagHeight);
    tag.raise();
}

TStripTag::TStripTag(QWidget& strip, const QWidget& leftOf, const QString& caption, const QString& onCaption)
    : TClickLabel(strip.parentWidget()), strip_(strip), leftOf_(leftOf), caption_(caption), onCaption_(onCaption) {
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    // The neighbour moves when its own caption changes, and the strip when
    // the window lays itself out.
    const_cast<QWidget&>(leftOf_).installEventFilter(this);
    connect(this, &TClickLabel::OnClick, this, [this] {
        SetOn(!on_);
        emit Switched(on_);
    });
    SetOn(false);
}

void TStripTag::SetOn(bool on) {
    on_ = on;
    setText(on ? onCaption_ : caption_);
    setStyleSheet(on ? InForceTagStyle : QuietTagStyle);
    Place();
}

void TStripTag::Place() { PlaceOnStripEdge(*this, strip_, leftOf_.x() - TagGap); }

bool TStripTag::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &leftOf_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        Place();
    }
    return TClickLabel::eventFilter(watched, event);
}

}  // namespace velmora

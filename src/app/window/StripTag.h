// TStripTag: a small round-ended switch set into the top edge of the summary
// strip, left of a neighbour on that edge (the exact-moment tag, or another
// switch). Quiet while off, filled with the page's strong colour while on,
// so what is in force shows at a glance. A click toggles it.
#pragma once

#include "ClickLabel.h"

#include <QString>

namespace velmora {

// The styles of the strip's tags: quiet, and a choice in force.
extern const QString QuietTagStyle;
extern const QString InForceTagStyle;
inline constexpr int StripTagHeight = 17;

// Puts a tag on the strip's top edge, its right end at `right` (the strip's
// parent's coordinates), centred on the strip's border line.
void PlaceOnStripEdge(QWidget& tag, const QWidget& strip, int right);

class TStripTag : public TClickLabel {
    Q_OBJECT

public:
    // `caption` while off, `onCaption` while on.
    TStripTag(QWidget& strip, const QWidget& leftOf, const QString& caption, const QString& onCaption);

    bool IsOn() const { return on_; }
    // Shows the state without telling anyone.
    void SetOn(bool on);

signals:
    // The user switched the tag.
    void Switched(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    const QWidget& strip_;
    const QWidget& leftOf_;
    QString caption_, onCaption_;
    bool on_ = false;
};

}  // namespace velmora

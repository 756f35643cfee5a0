#include "MomentChooser.h"

#include "ClickLabel.h"
#include "MomentPanel.h"
#include "MomentSettings.h"
#include "StripTag.h"
#include "WindowScript.h"

#include <QApplication>
#include <QEvent>
#include <QSettings>

namespace velmora {

namespace {

const QString TagCaption = QStringLiteral("精确时刻…");
constexpr int TagGap = 8;  // between the tag and the picture

}  // namespace

TMomentChooser::TMomentChooser(QWidget& strip, const QWidget& rightNeighbour, std::function<void()> read)
    : QObject(&strip), settings_(OpenWindowSettings()), options_(MomentPreferences(LoadMomentOptions(*settings_))),
      read_(std::move(read)), strip_(strip), rightNeighbour_(rightNeighbour) {
    lblMoment = new TClickLabel(strip.parentWidget());
    lblMoment->setObjectName(QStringLiteral("lblMoment"));
    lblMoment->setAlignment(Qt::AlignCenter);
    lblMoment->setAttribute(Qt::WA_Hover);
    lblMoment->setCursor(Qt::PointingHandCursor);
    lblMoment->setToolTip(QStringLiteral("精确时刻：出生分钟、出生地（真太阳时）、精确模式与子时流派"));
    // The strip takes its place when the window lays itself out.
    strip.installEventFilter(this);

    connect(lblMoment, &TClickLabel::OnClick, this, &TMomentChooser::OpenPanel);
    ShowTag();
}

TMomentChooser::~TMomentChooser() = default;

void TMomentChooser::OpenPanel() {
    // A click on the tag while the panel is open closes the panel. The panel
    // usually closes itself on that press, and the window system then hands
    // the same click to the tag: it stays closed.
    const bool justClosed =
        sincePanelClosed_.isValid() && sincePanelClosed_.elapsed() < QApplication::doubleClickInterval();
    if (panel != nullptr && (panel->isVisible() || justClosed)) {
        panel->hide();
        return;
    }
    MakePanel();
    ShowTextsInWindowScript(*panel);
    panel->setFont(lblMoment->window()->font());
    panel->PopUpUnder(*lblMoment);
}

// The panel, its lists of places included, is made when first asked for, so
// that a start of the window does not wait for it.
void TMomentChooser::MakePanel() {
    if (panel != nullptr) {
        return;
    }
    panel = new TMomentPanel(strip_.window());
    panel->SetOptions(options_);
    panel->installEventFilter(this);
    connect(panel, &TMomentPanel::Changed, this, &TMomentChooser::TakeChoices);
    connect(panel, &TMomentPanel::ReadingAsked, this, [this] {
        TakeChoices();
        panel->hide();
        read_();
    });
}

void TMomentChooser::SetOptions(const MomentOptions& options) {
    options_ = options;
    if (panel != nullptr) {
        panel->SetOptions(options_);
    }
    ShowTag();
}

void TMomentChooser::ForgetBirth() {
    SetOptions(MomentPreferences(LoadMomentOptions(*settings_)));
}

void TMomentChooser::TakeChoices() {
    options_ = panel->Options();
    SaveMomentOptions(*settings_, MomentPreferences(options_));
    ShowTag();
    emit ChoicesChanged();
}

void TMomentChooser::ShowTag() {
    const QString summary = MomentSummary(options_);
    lblMoment->setText(summary.isEmpty() ? TagCaption : summary);
    lblMoment->setStyleSheet(summary.isEmpty() ? QuietTagStyle : InForceTagStyle);
    PlaceTag();
}

void TMomentChooser::PlaceTag() {
    PlaceOnStripEdge(*lblMoment, strip_, strip_.x() + rightNeighbour_.x() - TagGap);
}

bool TMomentChooser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &strip_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        PlaceTag();
    }
    if (watched == panel && event->type() == QEvent::Hide) {
        sincePanelClosed_.start();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmora

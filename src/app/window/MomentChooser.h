// TMomentChooser: the exact-birth-moment choices of the window. A small tag
// set into the top edge of the summary strip opens the panel; while a choice
// is in force the tag shows it (for example "真太阳时 · 成都"), so a corrected
// chart is never mistaken for a classic one. A minute and a birthplace belong
// to the birth on the form; precise mode and the 子时 school are preferences,
// kept in the user's settings and read back at the next start.
#pragma once

#include "MomentOptions.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <memory>

class QSettings;
class QWidget;

namespace velmora {

class TClickLabel;
class TMomentPanel;

class TMomentChooser : public QObject {
    Q_OBJECT

public:
    // The tag goes onto `strip`'s top edge, at its right end before the
    // `rightNeighbour` (the zodiac picture); `read` runs a reading.
    TMomentChooser(QWidget& strip, const QWidget& rightNeighbour, std::function<void()> read);
    ~TMomentChooser() override;

    const MomentOptions& Options() const { return options_; }
    // Puts a kept person's choices in force; the preferences stay as kept.
    void SetOptions(const MomentOptions& options);
    // A new person: no minute or birthplace, and the kept preferences.
    void ForgetBirth();

    TClickLabel* lblMoment = nullptr;  // the tag
    TMomentPanel* panel = nullptr;  // made when the tag is first clicked

signals:
    // The choices in force changed in the panel.
    void ChoicesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenPanel();
    void MakePanel();
    void TakeChoices();
    void ShowTag();
    // On the strip's top edge, centred on its border line.
    void PlaceTag();

    std::unique_ptr<QSettings> settings_;
    MomentOptions options_;
    std::function<void()> read_;
    QElapsedTimer sincePanelClosed_;
    QWidget& strip_;
    const QWidget& rightNeighbour_;
};

}  // namespace velmora

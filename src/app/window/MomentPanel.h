// TMomentPanel: the small panel of the exact birth moment that drops down
// under the window's "精确时刻" tag: the minute of birth, the birthplace
// (typed in part, with a list of matching places, or chosen province by
// province), a longitude and latitude typed by hand instead, precise mode
// and the 子时 school. Every change is reported at once; Enter in a box, or
// its button, asks for a reading with the choices.
#pragma once

#include "MomentOptions.h"

#include <QFrame>

class QCheckBox;
class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStandardItemModel;

namespace velmora {

class TSpinEdit;

class TMomentPanel : public QFrame {
    Q_OBJECT

public:
    explicit TMomentPanel(QWidget* parent = nullptr);

    MomentOptions Options() const;
    // Shows `options` without reporting a change.
    void SetOptions(const MomentOptions& options);
    // Drops the panel down under `anchor`, its right edge on the anchor's,
    // kept on the anchor's screen.
    void PopUpUnder(const QWidget& anchor);

    TSpinEdit* edtMinute = nullptr;
    QLineEdit* edtPlace = nullptr;
    QCompleter* placeCompleter = nullptr;
    QComboBox* cbbProvince = nullptr;
    QComboBox* cbbCity = nullptr;
    QLineEdit* edtLongitude = nullptr;
    QLineEdit* edtLatitude = nullptr;
    QCheckBox* chkPrecise = nullptr;
    QRadioButton* rbZiLate = nullptr;
    QRadioButton* rbZiEarly = nullptr;
    QLabel* lblPlaceHint = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnRead = nullptr;

signals:
    void Changed();
    void ReadingAsked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void ConnectControls();
    void PlaceTyped(const QString& text);
    void PlaceChosen(const QString& displayName);
    void ProvinceChosen(int index);
    void CityChosen(int index);
    void LongitudeTyped();
    // The province and city lists follow the place in the box.
    void ShowPlaceInLists(const QString& displayName);
    void FillCities(const QString& province);
    void UpdatePlaceHint();
    // Precise mode is implied by a place or longitude: the box shows it ticked.
    void UpdatePreciseBox();
    void Report();

    QStandardItemModel* placeMatches_ = nullptr;
    bool precise_ = false;  // the user's own tick, apart from what a place implies
    bool quiet_ = false;    // while the program itself fills the controls
};

}  // namespace velmora

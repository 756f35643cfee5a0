#include "MomentPanel.h"

#include "WindowScript.h"

#include "MomentSettings.h"
#include "Places.h"
#include "SpinEdit.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <cmath>

namespace velmora {

namespace {

// The window's colours: the page's paper, the summary strip's fill, the
// page's border and its strong text.
const QColor Paper(0xff, 0xfa, 0xf6);
const QColor StripFill(0xff, 0xea, 0xd8);
const QColor Accent(0xe5, 0x94, 0x53);
const QColor Strong(0xdb, 0x62, 0x00);
const QColor Quiet(0x8c, 0x7b, 0x6e);

constexpr int TitleHeight = 24;
constexpr int MatchLimit = 30;
constexpr int PlaceRole = Qt::UserRole + 1;  // the display name a match completes to
const QString PanelTitle = QStringLiteral("精确时刻");

// Whole degrees up to the limit, with decimals; out-of-range numbers cannot be typed.
const QString LongitudePattern = QStringLiteral(R"(^-?(180(\.0*)?|1[0-7]\d(\.\d*)?|\d{1,2}(\.\d*)?)?$)");
const QString LatitudePattern = QStringLiteral(R"(^-?(90(\.0*)?|[0-8]?\d(\.\d*)?)?$)");

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::optional<double> DegreesIn(const QLineEdit& box) {
    bool ok = false;
    const double value = box.text().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// "东经 121.55°，北纬 25.06°，Asia/Taipei"
QString WhereText(const Place& place) {
    return QStringLiteral("%1 %2°，%3 %4°，%5")
        .arg(place.longitude < 0 ? QStringLiteral("西经") : QStringLiteral("东经"), DegreesText(std::abs(place.longitude)),
             place.latitude < 0 ? QStringLiteral("南纬") : QStringLiteral("北纬"), DegreesText(std::abs(place.latitude)),
             Text(place.timeZone));
}

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* Remark(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(Quiet.name()));
    return label;
}

QLineEdit* DegreesBox(const QString& pattern, const QString& hint, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), box));
    box->setPlaceholderText(hint);
    box->setFixedWidth(64);
    return box;
}

}  // namespace

TMomentPanel::TMomentPanel(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("MomentPanel"));
    setAttribute(Qt::WA_StyledBackground, false);
    BuildControls();
    ConnectControls();
}

void TMomentPanel::BuildControls() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(7);
    int row = 0;

    edtMinute = new TSpinEdit(this);
    edtMinute->setObjectName(QStringLiteral("edtMinute"));
    edtMinute->setMaxLength(2);
    edtMinute->setMinValue(0);
    edtMinute->setMaxValue(59);
    edtMinute->setFixedSize(40, 21);
    edtMinute->setToolTip(QStringLiteral("出生时刻的分钟（0～59）；不填按整点推算"));
    auto* minuteRow = new QHBoxLayout;
    minuteRow->setSpacing(4);
    minuteRow->addWidget(edtMinute);
    minuteRow->addWidget(new QLabel(QStringLiteral("分"), this));
    minuteRow->addSpacing(8);
    minuteRow->addWidget(Remark(QStringLiteral("不填按整点"), this), 1);
    grid->addWidget(Caption(QStringLiteral("出生分钟："), this), row, 0);
    grid->addLayout(minuteRow, row++, 1);

    edtPlace = new QLineEdit(this);
    edtPlace->setObjectName(QStringLiteral("edtPlace"));
    edtPlace->setPlaceholderText(QStringLiteral("输入地名，如“成都”“伦敦”“Vancouver”"));
    edtPlace->setClearButtonEnabled(true);
    edtPlace->setToolTip(QStringLiteral("按出生地的经度换算真太阳时；选了出生地即按精确模式推算。"
                                        "港澳台与国外的出生地，所填时间按当地时间（含当地的夏令时）"));
    placeMatches_ = new QStandardItemModel(this);
    placeCompleter = new QCompleter(placeMatches_, this);
    placeCompleter->setObjectName(QStringLiteral("placeCompleter"));
    placeCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    placeCompleter->setCompletionRole(PlaceRole);
    placeCompleter->setMaxVisibleItems(8);
    placeCompleter->setWidget(edtPlace);
    grid->addWidget(Caption(QStringLiteral("出生地："), this), row, 0);
    grid->addWidget(edtPlace, row++, 1);

    cbbProvince = new QComboBox(this);
    cbbProvince->setObjectName(QStringLiteral("cbbProvince"));
    cbbProvince->addItem(QStringLiteral("按省份选择…"));
    for (const std::string& province : Provinces()) {
        cbbProvince->addItem(Text(province));
    }
    cbbProvince->setMaxVisibleItems(16);
    cbbCity = new QComboBox(this);
    cbbCity->setObjectName(QStringLiteral("cbbCity"));
    cbbCity->setMaxVisibleItems(16);
    FillCities({});
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(6);
    listRow->addWidget(cbbProvince, 1);
    listRow->addWidget(cbbCity, 1);
    grid->addLayout(listRow, row++, 1);

    lblPlaceHint = new QLabel(this);
    lblPlaceHint->setObjectName(QStringLiteral("lblPlaceHint"));
    lblPlaceHint->setWordWrap(true);
    lblPlaceHint->setStyleSheet(QStringLiteral("color: %1;").arg(Strong.name()));
    lblPlaceHint->hide();
    grid->addWidget(lblPlaceHint, row++, 1);

    edtLongitude = DegreesBox(LongitudePattern, QStringLiteral("东经为正"), this);
    edtLongitude->setObjectName(QStringLiteral("edtLongitude"));
    edtLongitude->setToolTip(QStringLiteral("列表中没有的出生地：直接输入经度（度，东经为正，西经为负）"));
    edtLatitude = DegreesBox(LatitudePattern, QStringLiteral("可不填"), this);
    edtLatitude->setObjectName(QStringLiteral("edtLatitude"));
    edtLatitude->setToolTip(QStringLiteral("纬度只作记录，不影响推算，可不填"));
    auto* degreesRow = new QHBoxLayout;
    degreesRow->setSpacing(4);
    degreesRow->addWidget(edtLongitude);
    degreesRow->addWidget(new QLabel(QStringLiteral("°"), this));
    degreesRow->addSpacing(10);
    degreesRow->addWidget(new QLabel(QStringLiteral("纬度："), this));
    degreesRow->addWidget(edtLatitude);
    degreesRow->addWidget(new QLabel(QStringLiteral("°"), this));
    degreesRow->addStretch(1);
    grid->addWidget(Caption(QStringLiteral("或经度："), this), row, 0);
    grid->addLayout(degreesRow, row++, 1);

    chkPrecise = new QCheckBox(QStringLiteral("精确模式：年、月按节气交接的时刻划分"), this);
    chkPrecise->setObjectName(QStringLiteral("chkPrecise"));
    chkPrecise->setToolTip(QStringLiteral("立春、各节当天，交节时刻之前仍属上一年、上一月"));
    grid->addWidget(chkPrecise, row++, 1);

    rbZiLate = new QRadioButton(QStringLiteral("晚子时（默认）"), this);
    rbZiLate->setObjectName(QStringLiteral("rbZiLate"));
    rbZiLate->setToolTip(QStringLiteral("23点至24点仍算当天，只有时干取次日"));
    rbZiEarly = new QRadioButton(QStringLiteral("早子时"), this);
    rbZiEarly->setObjectName(QStringLiteral("rbZiEarly"));
    rbZiEarly->setToolTip(QStringLiteral("从23点起日柱与农历日都算次日"));
    rbZiLate->setChecked(true);
    auto* schools = new QButtonGroup(this);
    schools->addButton(rbZiLate);
    schools->addButton(rbZiEarly);
    auto* schoolRow = new QHBoxLayout;
    schoolRow->addWidget(rbZiLate);
    schoolRow->addSpacing(12);
    schoolRow->addWidget(rbZiEarly);
    schoolRow->addStretch(1);
    grid->addWidget(Caption(QStringLiteral("子时："), this), row, 0);
    grid->addLayout(schoolRow, row++, 1);

    // The place data's sources and licences are on the About page.
    auto* attribution = Remark(QStringLiteral("地点资料的来源与许可：见窗口右上角“官方网站”中的关于页面"), this);
    attribution->setObjectName(QStringLiteral("lblAttribution"));
    QFont small = font();
    small.setPixelSize(11);
    attribution->setFont(small);

    btnReset = new QPushButton(QStringLiteral("恢复默认"), this);
    btnReset->setObjectName(QStringLiteral("btnReset"));
    btnReset->setToolTip(QStringLiteral("去掉分钟和出生地，关闭精确模式，用晚子时"));
    btnRead = new QPushButton(QStringLiteral("推算"), this);
    btnRead->setObjectName(QStringLiteral("btnRead"));
    btnRead->setDefault(true);
    for (QPushButton* button : {btnReset, btnRead}) {
        button->setAutoDefault(false);
        button->setFixedHeight(22);
        button->setMinimumWidth(72);
        button->setCursor(Qt::PointingHandCursor);
    }
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(btnReset);
    buttons->addWidget(btnRead);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, TitleHeight + 10, 12, 10);
    column->setSpacing(8);
    column->addLayout(grid);
    column->addWidget(attribution);
    column->addLayout(buttons);
    setFixedWidth(372);
}

void TMomentPanel::ConnectControls() {
    connect(edtMinute->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, &TMomentPanel::Report);
    connect(edtMinute, &QAbstractSpinBox::editingFinished, this, &TMomentPanel::Report);
    connect(edtPlace, &QLineEdit::textEdited, this, &TMomentPanel::PlaceTyped);
    // The clear button changes the text without an edit.
    connect(edtPlace, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty() && !quiet_) {
            PlaceTyped(text);
        }
    });
    connect(placeCompleter, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { PlaceChosen(index.data(PlaceRole).toString()); });
    connect(cbbProvince, qOverload<int>(&QComboBox::activated), this, &TMomentPanel::ProvinceChosen);
    connect(cbbCity, qOverload<int>(&QComboBox::activated), this, &TMomentPanel::CityChosen);
    connect(edtLongitude, &QLineEdit::textEdited, this, &TMomentPanel::LongitudeTyped);
    connect(edtLatitude, &QLineEdit::textEdited, this, &TMomentPanel::Report);
    connect(chkPrecise, &QCheckBox::clicked, this, [this](bool checked) {
        precise_ = checked;
        Report();
    });
    connect(rbZiLate, &QRadioButton::toggled, this, &TMomentPanel::Report);
    connect(btnReset, &QPushButton::clicked, this, [this] {
        SetOptions({});
        Report();
    });
    connect(btnRead, &QPushButton::clicked, this, &TMomentPanel::ReadingAsked);
    for (QWidget* box : std::initializer_list<QWidget*>{edtMinute, edtPlace, edtLongitude, edtLatitude}) {
        box->installEventFilter(this);
    }
}

// ---------------------------------------------------------------------------
// The choices

MomentOptions TMomentPanel::Options() const {
    MomentOptions options;
    if (!edtMinute->text().trimmed().isEmpty()) {
        options.minute = edtMinute->CheckValue(edtMinute->Value());
    }
    options.precise = precise_;
    options.place = edtPlace->text().trimmed().toStdString();
    if (options.place.empty()) {
        options.longitude = DegreesIn(*edtLongitude);
        options.latitude = options.longitude ? DegreesIn(*edtLatitude) : std::nullopt;
    }
    options.zi = rbZiEarly->isChecked() ? ZiSchool::Early : ZiSchool::Late;
    return options;
}

void TMomentPanel::SetOptions(const MomentOptions& options) {
    quiet_ = true;
    edtMinute->setText(options.minute ? QString::number(*options.minute) : QString());
    precise_ = options.precise;
    edtPlace->setText(Text(options.place));
    ShowPlaceInLists(edtPlace->text());
    edtLongitude->setText(options.place.empty() && options.longitude ? DegreesText(*options.longitude) : QString());
    edtLatitude->setText(options.place.empty() && options.longitude && options.latitude ? DegreesText(*options.latitude)
                                                                                         : QString());
    (options.zi == ZiSchool::Early ? rbZiEarly : rbZiLate)->setChecked(true);
    UpdatePlaceHint();
    UpdatePreciseBox();
    quiet_ = false;
}

void TMomentPanel::Report() {
    if (quiet_) {
        return;
    }
    UpdatePreciseBox();
    emit Changed();
}

void TMomentPanel::UpdatePreciseBox() {
    const bool implied = !edtPlace->text().trimmed().isEmpty() || DegreesIn(*edtLongitude).has_value();
    chkPrecise->setChecked(precise_ || implied);
    chkPrecise->setEnabled(!implied);
}

// ---------------------------------------------------------------------------
// The birthplace

void TMomentPanel::PlaceTyped(const QString& text) {
    placeMatches_->clear();
    for (const Place& place : FindPlaces(text.trimmed().toStdString(), MatchLimit)) {
        const QString name = Text(place.DisplayName());
        auto* item = new QStandardItem(QStringLiteral("%1　%2").arg(name, Text(place.province)));
        item->setData(name, PlaceRole);
        item->setToolTip(WhereText(place));
        placeMatches_->appendRow(item);
    }
    if (placeMatches_->rowCount() > 0) {
        placeCompleter->complete();
    } else {
        placeCompleter->popup()->hide();
    }
    if (!text.isEmpty()) {
        edtLongitude->clear();
        edtLatitude->clear();
    }
    ShowPlaceInLists(text.trimmed());
    UpdatePlaceHint();
    Report();
}

void TMomentPanel::PlaceChosen(const QString& displayName) {
    quiet_ = true;
    edtPlace->setText(displayName);
    edtLongitude->clear();
    edtLatitude->clear();
    quiet_ = false;
    ShowPlaceInLists(displayName);
    UpdatePlaceHint();
    Report();
}

void TMomentPanel::ProvinceChosen(int index) {
    FillCities(index > 0 ? SimplifiedItemText(*cbbProvince, index) : QString());
}

void TMomentPanel::CityChosen(int index) {
    if (index > 0) {
        PlaceChosen(cbbCity->itemData(index).toString());
    }
}

void TMomentPanel::LongitudeTyped() {
    if (!edtLongitude->text().isEmpty() && !edtPlace->text().isEmpty()) {
        quiet_ = true;
        edtPlace->clear();
        quiet_ = false;
        ShowPlaceInLists({});
        UpdatePlaceHint();
    }
    Report();
}

void TMomentPanel::FillCities(const QString& province) {
    cbbCity->clear();
    cbbCity->addItem(QStringLiteral("选择城市…"));
    if (province.isEmpty()) {
        return;
    }
    for (const Place& place : PlacesInProvince(province.toStdString())) {
        cbbCity->addItem(Text(place.name), Text(place.DisplayName()));
    }
}

void TMomentPanel::ShowPlaceInLists(const QString& displayName) {
    const std::optional<Place> place = PlaceNamed(displayName.toStdString());
    if (!place) {
        cbbProvince->setCurrentIndex(0);
        FillCities({});
        return;
    }
    const int province = std::max(0, cbbProvince->findText(Text(place->province)));
    if (province != cbbProvince->currentIndex() || cbbCity->count() <= 1) {
        cbbProvince->setCurrentIndex(province);
        FillCities(province > 0 ? SimplifiedItemText(*cbbProvince, province) : QString());
    }
    cbbCity->setCurrentIndex(std::max(0, cbbCity->findData(Text(place->DisplayName()))));
}

// A chosen place shows where it is and whose clock the typed time is; a
// name that is no place, or several, asks for a choice from the list.
void TMomentPanel::UpdatePlaceHint() {
    const QString text = edtPlace->text().trimmed();
    const PlaceMatch match = text.isEmpty() ? PlaceMatch{} : LookUpPlace(text.toStdString());
    QString hint;
    if (match.place) {
        hint = WhereText(*match.place) + (match.place->OnBeijingTime() ? QString() : QStringLiteral(" 当地时间"));
    } else if (!match.candidates.empty()) {
        hint = QStringLiteral("这个地名对应%1个地点，请从列表中选定一个").arg(match.candidates.size());
    } else if (!text.isEmpty()) {
        hint = QStringLiteral("请从列表中选定一个地点，或改填经度");
    }
    lblPlaceHint->setText(hint);
    lblPlaceHint->setStyleSheet(QStringLiteral("color: %1;").arg((match.place ? Quiet : Strong).name()));
    lblPlaceHint->setVisible(!hint.isEmpty());
    adjustSize();
}

// ---------------------------------------------------------------------------
// Showing the panel

void TMomentPanel::PopUpUnder(const QWidget& anchor) {
    adjustSize();
    const QPoint below = anchor.mapToGlobal(QPoint(anchor.width(), anchor.height() + 2));
    QRect area(QPoint(below.x() - width(), below.y()), size());
    if (const QScreen* screen = anchor.screen()) {
        const QRect available = screen->availableGeometry();
        area.moveLeft(std::clamp(area.left(), available.left(), std::max(available.left(), available.right() - width())));
        area.moveTop(std::clamp(area.top(), available.top(), std::max(available.top(), available.bottom() - height())));
    }
    move(area.topLeft());
    show();
    edtPlace->setFocus(Qt::PopupFocusReason);
}

bool TMomentPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool choosingPlace = watched == edtPlace && placeCompleter->popup()->isVisible();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !choosingPlace) {
            if (watched == edtMinute && !edtMinute->text().isEmpty()) {
                edtMinute->setValue(edtMinute->Value());  // a minute past 59 shows as 59 before it counts
            }
            Report();
            emit ReadingAsked();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TMomentPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Paper);
    const QRect title(1, 1, width() - 2, TitleHeight);
    painter.fillRect(title, StripFill);
    painter.setPen(Accent);
    painter.drawLine(title.bottomLeft(), title.bottomRight());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Strong);
    painter.drawText(title.adjusted(12, 0, -12, 0), Qt::AlignLeft | Qt::AlignVCenter, InWindowScript(PanelTitle));
    painter.setFont(font());
    painter.setPen(Quiet);
    painter.drawText(title.adjusted(12, 0, -12, 0), Qt::AlignRight | Qt::AlignVCenter,
                     InWindowScript(QStringLiteral("真太阳时 · 节气交接 · 子时")));
}

}  // namespace velmora

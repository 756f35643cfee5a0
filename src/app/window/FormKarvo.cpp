#include "FormKarvo.h"

#include "AboutPage.h"
#include "Artwork.h"
#include "InputCheck.h"
#include "MessageBoxes.h"
#include "ClickLabel.h"
#include "MomentChooser.h"
#include "MomentSettings.h"
#include "PageZoom.h"
#include "ReadingFormats.h"
#include "PeopleDialog.h"
#include "PhoneDialog.h"
#include "ResultPage.h"
#include "ResultView.h"
#include "StripTag.h"
#include "WindowScript.h"
#include "UnknownHour.h"
#include "UnitPublic.h"
#include "VendorSite.h"
#include "WebBrowseEx.h"
#include "WindowGrowth.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineSettings>

namespace velmora {

namespace {

// The colour of the result page, shown by the browsers until a page is there.
const QColor PagePaper(0xff, 0xfa, 0xf6);

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// A label shows its caption in full, as the form's labels size themselves.
void SetCaption(QLabel* label, std::string_view caption) {
    label->setText(InWindowScript(Text(caption)));
    label->adjustSize();
}

bool IsRightButtonMessage(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<const QMouseEvent&>(event).button() == Qt::RightButton;
    default:
        return false;
    }
}

bool IsMouseContextMenu(const QEvent& event) {
    return event.type() == QEvent::ContextMenu &&
           static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Mouse;
}

bool IsKeyboardContextMenu(const QEvent& event) {
    return event.type() == QEvent::ContextMenu &&
           static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Keyboard;
}

bool IsInside(const QWidget* widget, const QWidget* container) {
    return widget == container || container->isAncestorOf(widget);
}

}  // namespace

TFormKarvo::TFormKarvo(TFormServices services, QWidget* parent)
    : QWidget(parent), qry1(con1), services_(std::move(services)) {
    InitArtwork();  // the form names its pictures in the artwork
    setupUi(this);
    SetUpWindow();
    SetUpComponents();
    ConnectHandlers();
    FormCreate();
}

TFormKarvo::~TFormKarvo() {
    SetSettingsNotice(nullptr);
    // The browsers may still report on a page while they go; they go first,
    // while everything their handlers use is still there.
    delete ApplicationEvents1;
    delete wbAD;
    delete wbKarvo;
    ApplicationEvents1 = nullptr;
    wbAD = wbKarvo = nullptr;
    tmrUpdate->stop();
    FormDestroy();
}

// ---------------------------------------------------------------------------
// Setting up

void TFormKarvo::SetUpWindow() {
    // The form's size is the least the window takes; it may grow and be maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(kClientWidth, kClientHeight);
    QFont formFont = font();
    formFont.setPixelSize(kFormFontPixels);
    setFont(formFont);
    // Labels take the size of their captions; lblLeap keeps its square for two lines.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label != lblLeap && !label->text().isEmpty()) {
            label->adjustSize();
        }
    }
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TFormKarvo::SetUpComponents() {
    for (int animal = 0; animal < ZodiacPictureCount; ++animal) {
        il1.append(QPixmap(ZodiacPicturePath(animal)));
    }
    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName(QStringLiteral("tmrUpdate"));
    tmrUpdate->setSingleShot(true);
    tmrUpdate->setInterval(kUpdateDelayMs);
    pm1 = new QMenu(this);
    pm1->setObjectName(QStringLiteral("pm1"));
    N1 = pm1->addAction(QString::fromUtf16(kExportMenuCaption));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = pm1->addAction(QString::fromUtf16(kPdfMenuCaption));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = pm1->addAction(QString::fromUtf16(kPrintMenuCaption));
    N3->setObjectName(QStringLiteral("N3"));
    N4 = pm1->addAction(QString::fromUtf16(kPictureMenuCaption));
    N4->setObjectName(QStringLiteral("N4"));
    N5 = pm1->addAction(QString::fromUtf16(kPhoneMenuCaption));
    N5->setObjectName(QStringLiteral("N5"));
    pm1->addSeparator();
    CopySelection = pm1->addAction(QString::fromUtf16(kCopyMenuCaption));
    CopySelection->setObjectName(QStringLiteral("CopySelection"));
    CopyAll = pm1->addAction(QString::fromUtf16(kCopyAllMenuCaption));
    CopyAll->setObjectName(QStringLiteral("CopyAll"));
    // 复制 has something to copy only while the page has a selection.
    connect(pm1, &QMenu::aboutToShow, this, [this] { CopySelection->setEnabled(wbKarvo->hasSelection()); });
    PrintShortcut = new QShortcut(QKeySequence::Print, wbKarvo, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    // A settings file that cannot be read or kept is told about once, in a box of the window's.
    SetSettingsNotice([this](const QString& text) { services_.Messages->Information(this, text); });
    export_ = std::make_unique<TReadingExport>(*this, *wbKarvo, services_);
    PrepareResultBrowser(*wbKarvo);
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->setObjectName(QStringLiteral("ApplicationEvents1"));
    Moment = new TMomentChooser(*PaintControl1, *imgShengXiao, Handler(&TFormKarvo::btnBeginClick));
    // The hour's label tells whose clock the typed time is (the tag says
    // 当地时间 as well; the form has no room for a longer caption).
    const auto showHourClock = [this] { lbl7->setToolTip(HourClockTip(Moment->Options())); };
    showHourClock();
    connect(Moment, &TMomentChooser::ChoicesChanged, this, showHourClock);
    // Every choice made in the panel shows on the page at once, so the tag
    // and the page never disagree; a burst of typing reads once.
    rereadTimer_ = new QTimer(this);
    rereadTimer_->setSingleShot(true);
    rereadTimer_->setInterval(kRereadDelayMs);
    connect(Moment, &TMomentChooser::ChoicesChanged, rereadTimer_, qOverload<>(&QTimer::start));
    connect(rereadTimer_, &QTimer::timeout, this, Handler(&TFormKarvo::ReadAgainIfComplete));
    SetUpHourUnknown();
    SetUpChartSwitch();
    // The script kept from the last start; a simplified one loads nothing.
    SetWindowScript(LoadWindowScript(*OpenWindowSettings()));
    SetUpScriptMenu();
    lblPeople = new TClickLabel(PaintControl1->parentWidget());
    lblPeople->setObjectName(QStringLiteral("lblPeople"));
    lblPeople->setText(QStringLiteral("亲友…"));
    lblPeople->setToolTip(QStringLiteral("保存、打开和查找亲友的生辰"));
    lblPeople->setAlignment(Qt::AlignCenter);
    lblPeople->setAttribute(Qt::WA_Hover);
    lblPeople->setCursor(Qt::PointingHandCursor);
    lblPeople->setStyleSheet(QuietTagStyle);
    PaintControl1->installEventFilter(this);
    PlacePeopleTag();
    Zoom = new TPageZoom(*this, *wbKarvo);
    // Made last: its strips' filters must run before the tags that place
    // themselves by the zodiac picture.
    new TWindowGrowth(*this, {btnBegin, btnWEB, imgShengXiao});

    for (TWebBrowseEx* browser : {wbKarvo, wbAD}) {
        browser->page()->setBackgroundColor(PagePaper);
        // Pages asking for a window of their own open in the user's browser.
        browser->setNewWindowHandler([this](const QUrl& url) { services_.OpenUrl(url); });
        // pm1 stands in for the engine's menu, for the menu key too.
        browser->Host().OnShowContextMenu = [this](TWebBrowseHost&, std::uint32_t, const TPoint* where, IUnknown*,
                                                   IDispatch*, HRESULT& result) {
            PopUpMenuOnce(where != nullptr ? QPoint(where->x, where->y) : QCursor::pos());
            result = S_OK;
        };
    }
    // A banner that cannot be loaded shows a line of the program's own instead.
    wbAD->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    for (QWidget* field : std::initializer_list<QWidget*>{edtName, edtYear, edtMonth, edtDay, edtHour}) {
        field->installEventFilter(this);
    }
    // Most names have three characters; none is ever cut short unseen.
    edtName->setRefusesOverflow(true);
    connect(edtName, &TGbkEdit::Overflowed, this, [this] { Inform(kNameTooLongMessage); });
    edtName->setFocus();
    edtName->selectAll();
    tmrUpdate->start();
}

void TFormKarvo::ConnectHandlers() {
    connect(btnBegin, &TImgButton::OnClick, this, Handler(&TFormKarvo::btnBeginClick));
    connect(btnWEB, &TImgButton::OnClick, this, Handler(&TFormKarvo::btnWEBClick));
    connect(lblLunar, &TClickLabel::OnClick, this, Handler(&TFormKarvo::lblLunarClick));
    connect(rbLunar, &QRadioButton::clicked, this, Handler(&TFormKarvo::lblLunarClick));
    connect(lblGregorian, &TClickLabel::OnClick, this, Handler(&TFormKarvo::lblGregorianClick));
    connect(rbGregorian, &QRadioButton::clicked, this, Handler(&TFormKarvo::lblGregorianClick));
    connect(lblLeap, &TClickLabel::OnClick, this, Handler(&TFormKarvo::lblLeapClick));
    connect(lblPeople, &TClickLabel::OnClick, this, Handler(&TFormKarvo::lblPeopleClick));
    // Another name or date typed is another person.
    connect(edtName, &QLineEdit::textEdited, this, Handler(&TFormKarvo::StartNewPerson));
    for (TSpinEdit* date : {edtYear, edtMonth, edtDay}) {
        connect(date, &TSpinEdit::Edited, this, Handler(&TFormKarvo::StartNewPerson));
    }
    connect(tmrUpdate, &QTimer::timeout, this, Handler(&TFormKarvo::tmrUpdateTimer));
    connect(N1, &QAction::triggered, this, Handler(&TFormKarvo::N1Click));
    connect(N2, &QAction::triggered, this, Handler(&TFormKarvo::N2Click));
    connect(N3, &QAction::triggered, this, Handler(&TFormKarvo::N3Click));
    connect(N4, &QAction::triggered, this, Handler(&TFormKarvo::N4Click));
    connect(N5, &QAction::triggered, this, Handler(&TFormKarvo::N5Click));
    connect(CopySelection, &QAction::triggered, this, Handler(&TFormKarvo::CopySelectionClick));
    connect(CopyAll, &QAction::triggered, this, Handler(&TFormKarvo::CopyAllClick));
    connect(PrintShortcut, &QShortcut::activated, this, Handler(&TFormKarvo::N3Click));
    connect(wbAD, &QWebEngineView::loadFinished, this,
            [this](bool loaded) { Guarded([this, loaded] { BannerLoaded(loaded); }); });
    ApplicationEvents1->OnMessage = [this](QObject* receiver, QEvent* message, bool& handled) {
        Guarded([&] { ApplicationEvents1Message(receiver, message, handled); });
    };
}

std::function<void()> TFormKarvo::Handler(void (TFormKarvo::*method)()) {
    return [this, method] { Guarded([this, method] { (this->*method)(); }); };
}

void TFormKarvo::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        ShowError(std::current_exception());
    }
}

void TFormKarvo::ShowError(std::exception_ptr error) {
    services_.Messages->Error(this, ExceptionText(error));
}

void TFormKarvo::Inform(std::string_view text) {
    services_.Messages->Information(this, Text(text));
}

bool TFormKarvo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PaintControl1 && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        PlacePeopleTag();
    }
    if (event->type() == QEvent::KeyPress) {
        Guarded([&] { edtNameKeyDown(watched, *static_cast<QKeyEvent*>(event)); });
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void TFormKarvo::FormCreate() {
    karvoInfo_ = std::make_unique<TKarvoInfo>();
    const QDateTime now = services_.Now();
    startup_ = {static_cast<std::uint16_t>(now.date().year()), static_cast<std::uint16_t>(now.date().month()),
                static_cast<std::uint16_t>(now.date().day())};
    edtYear->setText(QString::number(now.date().year()));
    edtMonth->setText(QString::number(now.date().month()));
    edtDay->setText(QString::number(now.date().day()));
    edtHour->setText(QString::number(now.time().hour()));
    try {
        // A Gregorian reading for now, with the design name and sex.
        ComputeReading();
        ShowSummary();
        ShowResultPage();
        ShowBannerPage();
    } catch (...) {
        // The window still opens with what was done; the error box follows
        // once it is up, as for any error no handler catches.
        const std::exception_ptr error = std::current_exception();
        export_->SetUnavailable(ExceptionText(error));
        QTimer::singleShot(0, this, [this, error] { ShowError(error); });
    }
}

void TFormKarvo::FormDestroy() {
    karvoInfo_.reset();
    RemoveResultPageFiles();
}

void TFormKarvo::RestoreMessage() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    showNormal();
    raise();
    activateWindow();
}

void TFormKarvo::tmrUpdateTimer() {
    if (const TDoUpdate doUpdate = services_.LoadUpdate ? services_.LoadUpdate() : nullptr) {
        const QByteArray notice = UpdateNoticeUrl().toLatin1();
        doUpdate(static_cast<std::uintptr_t>(winId()), notice.constData());
    }
    tmrUpdate->stop();
}

void TFormKarvo::ShowBannerPage() {
    bannerPlaceholderShown_ = false;
    wbAD->Navigate(BannerUrl());
}

namespace {
// Whether the page shows the full chart, in the window's settings.
const QString ChartShownKey = QStringLiteral("chart/shown");
}  // namespace

void TFormKarvo::SetUpHourUnknown() {
    HourUnknown = new TStripTag(*PaintControl1, *Moment->lblMoment, QStringLiteral("时辰不详"),
                                QStringLiteral("时辰不详 ✓"));
    HourUnknown->setObjectName(QStringLiteral("lblHourUnknown"));
    HourUnknown->setToolTip(QStringLiteral("不知道出生时辰时点这里：列出当天每个时辰的四柱与骨重"));
    connect(HourUnknown, &TStripTag::Switched, this, [this](bool on) {
        edtHour->setEnabled(!on);
        Guarded([this] { btnBeginClick(); });
    });
    wbKarvo->setLinkHandler([this](const QUrl& url) { return OpenCandidate(url); });
}

void TFormKarvo::SetUpScriptMenu() {
    auto* menu = pm1->addMenu(QStringLiteral("文字"));
    menu->setObjectName(QStringLiteral("pmScript"));
    auto* choices = new QActionGroup(menu);
    const std::pair<Script, QString> scripts[] = {{Script::Simplified, QStringLiteral("简体")},
                                                  {Script::Taiwan, QStringLiteral("繁體（台灣）")},
                                                  {Script::HongKong, QStringLiteral("繁體（香港）")},
                                                  {Script::Traditional, QStringLiteral("繁體")}};
    for (const auto& [script, caption] : scripts) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QStringLiteral("script_") + QString::fromUtf8(ScriptName(script).data()));
        action->setCheckable(true);
        action->setChecked(script == WindowScriptInForce());
        // Each choice reads as its own script does.
        KeepTextAsIs(*action);
        choices->addAction(action);
        connect(action, &QAction::triggered, this, [this, script = script] { ChooseScript(script); });
    }
}

void TFormKarvo::ChooseScript(Script script) {
    SetWindowScript(script);
    SaveWindowScript(*OpenWindowSettings(), script);
    ShowTextsInWindowScript(*this);
    if (bannerPlaceholderShown_) {
        wbAD->setHtml(BannerPlaceholderPage());
    }
    Guarded([this] { btnBeginClick(); });
}

void TFormKarvo::SetUpChartSwitch() {
    ChartSwitch = new TStripTag(*PaintControl1, *HourUnknown, QStringLiteral("八字详盘"), QStringLiteral("八字详盘 ✓"));
    ChartSwitch->setObjectName(QStringLiteral("lblChart"));
    ChartSwitch->setToolTip(QStringLiteral("在结果页加上八字详盘：十神、藏干、十二长生、纳音、空亡与大运流年"));
    ChartSwitch->SetOn(OpenWindowSettings()->value(ChartShownKey, false).toBool());
    connect(ChartSwitch, &TStripTag::Switched, this, [this](bool on) {
        OpenWindowSettings()->setValue(ChartShownKey, on);
        Guarded([this] { btnBeginClick(); });
    });
}

bool TFormKarvo::OpenCandidate(const QUrl& url) {
    const QString item = QString::fromUtf8(kCandidateQueryItem.data(), kCandidateQueryItem.size());
    const QUrlQuery query(url);
    if (!query.hasQueryItem(item) || url.adjusted(QUrl::RemoveQuery) != wbKarvo->url().adjusted(QUrl::RemoveQuery)) {
        return false;
    }
    bool number = false;
    const int hour = query.queryItemValue(item).toInt(&number);
    if (!number || hour < 0 || hour > kHourMaximum) {
        return true;
    }
    HourUnknown->SetOn(false);
    edtHour->setEnabled(true);
    edtHour->setText(QString::number(hour));
    QTimer::singleShot(0, this, [this] { Guarded([this] { btnBeginClick(); }); });
    return true;
}

void TFormKarvo::BannerLoaded(bool loaded) {
    if (loaded || bannerPlaceholderShown_) {
        return;
    }
    bannerPlaceholderShown_ = true;
    wbAD->setHtml(BannerPlaceholderPage());
}

// ---------------------------------------------------------------------------
// Input

BirthInput TFormKarvo::ReadBirthInput() const {
    BirthInput input;
    input.name = Utf8(edtName->text());
    input.sex = Utf8(cbbSex->currentText());
    input.mode = rbLunar->isChecked() ? CalendarMode::Lunar : CalendarMode::Gregorian;
    input.leap = chkLeap->isChecked();
    input.year = Utf8(edtYear->text());
    input.month = Utf8(edtMonth->text());
    input.day = Utf8(edtDay->text());
    input.hour = Utf8(edtHour->text());
    input.moment = Moment->Options();
    input.chart = ChartSwitch->IsOn();
    if (HourUnknown->IsOn()) {
        // Neither the hour nor a minute kept from another birth applies.
        input.hourUnknown = true;
        input.hour.clear();
        input.moment.minute.reset();
    }
    return input;
}

bool TFormKarvo::ValidateInputs() const {
    return InputsAreValid(ReadBirthInput());
}

void TFormKarvo::edtNameKeyDown(QObject* /*Sender*/, const QKeyEvent& Key) {
    if (Key.key() == Qt::Key_Return || Key.key() == Qt::Key_Enter) {
        btnBeginClick();
    }
}

void TFormKarvo::lblLunarClick() {
    rbLunar->setChecked(true);
    lblLeap->setEnabled(true);
    chkLeap->setEnabled(true);
}

void TFormKarvo::lblGregorianClick() {
    rbGregorian->setChecked(true);
    lblLeap->setEnabled(false);
    chkLeap->setChecked(false);
    chkLeap->setEnabled(false);
}

void TFormKarvo::lblLeapClick() {
    chkLeap->setChecked(!chkLeap->isChecked());
}

// ---------------------------------------------------------------------------
// People

// On the top edge of the summary strip, at its left end.
void TFormKarvo::PlacePeopleTag() {
    constexpr int TagInset = 8;
    PlaceOnStripEdge(*lblPeople, *PaintControl1, PaintControl1->x() + TagInset + lblPeople->sizeHint().width());
}

void TFormKarvo::lblPeopleClick() {
    if (People == nullptr) {
        TPeopleDialog::Hooks hooks;
        hooks.currentBirth = [this] { return ReadBirthInput(); };
        hooks.openBirth = [this](const BirthInput& input) { Guarded([&] { OpenBirth(input); }); };
        hooks.confirm = Confirm;
        hooks.inform = [this](QWidget* owner, const QString& text) { services_.Messages->Information(owner, text); };
        hooks.chooseFile = [](QWidget* owner, bool save) {
            const QString filter = InWindowScript(QStringLiteral("亲友 (*.json *.csv)"));
            return save ? QFileDialog::getSaveFileName(owner, InWindowScript(QStringLiteral("导出亲友")),
                                                       InWindowScript(QStringLiteral("亲友.json")), filter)
                        : QFileDialog::getOpenFileName(owner, InWindowScript(QStringLiteral("导入亲友")), QString(), filter);
        };
        People = new TPeopleDialog(this, std::move(hooks));
    }
    People->ShowList();
    People->show();
    People->raise();
    People->activateWindow();
}

void TFormKarvo::StartNewPerson() {
    if (HourUnknown->IsOn()) {
        HourUnknown->SetOn(false);
        edtHour->setEnabled(true);
    }
    Moment->ForgetBirth();
}

void TFormKarvo::ReadAgainIfComplete() {
    if (ValidateInputs()) {
        btnBeginClick();
    }
}

void TFormKarvo::OpenBirth(const BirthInput& input) {
    edtName->setText(QString::fromStdString(input.name));
    cbbSex->setCurrentText(QString::fromStdString(input.sex));
    if (input.mode == CalendarMode::Lunar) {
        lblLunarClick();
        chkLeap->setChecked(input.leap);
    } else {
        lblGregorianClick();
    }
    edtYear->setText(QString::fromStdString(input.year));
    edtMonth->setText(QString::fromStdString(input.month));
    edtDay->setText(QString::fromStdString(input.day));
    edtHour->setText(QString::fromStdString(input.hour));
    HourUnknown->SetOn(input.hourUnknown);
    edtHour->setEnabled(!input.hourUnknown);
    Moment->SetOptions(input.moment);
    btnBeginClick();
}

// ---------------------------------------------------------------------------
// The reading

void TFormKarvo::btnBeginClick() {
    rereadTimer_->stop();  // this reading has the panel's latest choices
    if (!ValidateInputs()) {
        Inform(kInputErrorMessage);
        return;
    }
    ComputeReading();
    ShowSummary();
    ShowResultPage();
}

void TFormKarvo::ComputeReading() {
    const BirthInput input = ReadBirthInput();
    const ReadingOutcome outcome = velmora::ComputeReading(input, startup_, qry1, *karvoInfo_);
    readInput_ = input;
    const std::string message = ReadingMessage(outcome, input);
    if (!message.empty()) {
        Inform(message);
    }
}

void TFormKarvo::ShowSummary() {
    const TKarvoInfo& reading = *karvoInfo_;
    SetCaption(lblSiZhu, reading.SiZhu);
    SetCaption(lblXingZuo, reading.XingZuo);
    SetCaption(lblWuXing, DescribeMissingElements(reading.WuXing));
    SetCaption(lblShuXiang, reading.ShuXiang);
    // The strip has room for one weight: an unknown hour's range is on the page.
    SetCaption(lblGuZhong, reading.HourUnknown ? std::string("不详") : reading.GuZhong);
    lblGuZhong->setToolTip(reading.HourUnknown ? QString::fromStdString("骨重在" + CandidateWeightRange(reading.Candidates) +
                                                                        "之间，各时辰见结果页的时辰表")
                                               : QString());
    DrawZodiacPicture(reading.ShuXiangIndex);
    // The tags and captions a reading changes follow the window's script.
    ShowTextsInWindowScript(*this);
}

// The animal's 50 x 50 picture goes onto the picture box's 49 x 48 bitmap at
// (0, -1), over what the bitmap holds: its top and bottom rows and its right
// column fall outside.
void TFormKarvo::DrawZodiacPicture(int index) {
    if (index < 0 || index >= il1.size()) {
        return;
    }
    QPixmap bitmap = imgShengXiao->pixmap();
    {
        QPainter canvas(&bitmap);
        canvas.drawPixmap(0, -1, il1[index]);
    }
    imgShengXiao->setPixmap(bitmap);
    imgShengXiao->repaint();
}

void TFormKarvo::ShowResultPage() {
    const std::string page =
        WriteResultPage(*karvoInfo_, Utf8(edtName->text()), Utf8(cbbSex->currentText()), WindowScriptInForce());
    wbKarvo->Navigate(QString::fromStdString(page));
    export_->SetReading(*karvoInfo_, edtName->text());
}

// ---------------------------------------------------------------------------
// The menu, the web button

void TFormKarvo::ApplicationEvents1Message(QObject* Receiver, QEvent* Msg, bool& Handled) {
    const bool rightButton = IsRightButtonMessage(*Msg);
    const bool menuKey = IsKeyboardContextMenu(*Msg);
    if (!rightButton && !menuKey && !IsMouseContextMenu(*Msg)) {
        return;
    }
    // Only widgets of this window: the window system's copy of a click reaches
    // its widget next, and the menu and other windows keep their clicks.
    const auto* target = qobject_cast<const QWidget*>(Receiver);
    if (target == nullptr || target->window() != this) {
        return;
    }
    if (!rightButton) {
        Handled = true;  // pm1 stands in for the controls' own menus
        if (menuKey) {
            PopUpMenuOnce(static_cast<const QContextMenuEvent*>(Msg)->globalPos());
        }
        return;
    }
    if (IsInside(target, wbKarvo) || IsInside(target, wbAD)) {
        Handled = true;
    }
    if (Msg->type() == QEvent::MouseButtonPress) {
        PopUpMenuOnce(QCursor::pos());
    }
}

// A press that a widget ignores travels on to its parents: one click, one menu.
void TFormKarvo::PopUpMenuOnce(const QPoint& where) {
    if (!pm1->isVisible()) {
        pm1->popup(where);
    }
}

void TFormKarvo::N1Click() {
    export_->SavePage();
}

void TFormKarvo::N2Click() {
    export_->SavePdf();
}

void TFormKarvo::N3Click() {
    export_->Print();
}

void TFormKarvo::N4Click() {
    export_->SavePicture();
}

void TFormKarvo::N5Click() {
    if (Phone == nullptr) {
        Phone = new TPhoneDialog(*this, con1, *services_.Messages);
    }
    Phone->Offer();
}

// The page's selection as its text; the engine's own copy needs the page to
// hold the keyboard focus, which the menu may have taken.
void TFormKarvo::CopySelectionClick() {
    wbKarvo->page()->runJavaScript(QStringLiteral("window.getSelection().toString()"), [](const QVariant& text) {
        if (!text.toString().isEmpty()) {
            QGuiApplication::clipboard()->setText(text.toString());
        }
    });
}

void TFormKarvo::CopyAllClick() {
    const std::string text = ReadingAsTextInScript(readInput_, *karvoInfo_, WindowScriptInForce());
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

// The program's own About page, in the result browser like a reading.
void TFormKarvo::btnWEBClick() {
    wbKarvo->Navigate(QString::fromStdString(WriteAboutPage(WindowScriptInForce())));
}

}  // namespace velmora

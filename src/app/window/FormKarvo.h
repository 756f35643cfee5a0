// TFormKarvo: the program's main window, made from its Designer form
// (FormKarvo.ui): the header strip with the input controls, the summary strip
// with the zodiac picture, the result browser and the banner strip.
//
// Creating the window runs FormCreate: today's date and hour go into the
// input fields and the first reading is shown at once. Each start-button
// click, or Enter in an input field, checks the input and runs a reading:
// ComputeReading, ShowSummary, ShowResultPage, each a thin caller of the
// reading core. A right click anywhere in the window, or the keyboard's menu
// key, opens the menu pm1 (save the result page, export it as a PDF, print
// it, save it as a picture, serve it to phones, copy the selection or the
// whole reading, choose the script); neither browser ever sees the right
// button nor shows a menu of its own. Ctrl+P in the result page prints it,
// Ctrl+plus, Ctrl+minus and Ctrl+0 zoom it. The window may grow beyond the
// form's size, which is its least.
// About five seconds after start-up the update library is called once.
// Destroying the window runs FormDestroy, which deletes the page files.
//
// Every handler runs guarded: an error it does not catch is shown in the
// error box with its own text, and the window goes on.
#pragma once

#include "Script.h"

#include "ApplicationEvents.h"
#include "FormServices.h"
#include "KarvoInfo.h"
#include "Reading.h"
#include "ReadingDatabase.h"
#include "ReadingExport.h"
#include "ui_FormKarvo.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

#include <exception>
#include <functional>
#include <memory>
#include <string_view>

class QAction;
class QShortcut;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QTimer;

namespace velmora {

inline constexpr int kClientWidth = 761;
inline constexpr int kClientHeight = 594;
// The form's 9 points at 96 pixels per inch; the layout is in pixels too.
inline constexpr int kFormFontPixels = 12;
inline constexpr int kUpdateDelayMs = 5000;
// A change in the exact-moment panel reads again this long after the last one.
inline constexpr int kRereadDelayMs = 250;
inline constexpr char16_t kExportMenuCaption[] = u"导出算命结果";
inline constexpr char16_t kPdfMenuCaption[] = u"导出PDF…";
inline constexpr char16_t kPrintMenuCaption[] = u"打印…";
inline constexpr char16_t kPictureMenuCaption[] = u"保存为图片…";
inline constexpr char16_t kPhoneMenuCaption[] = u"在手机上打开…";
inline constexpr char16_t kCopyMenuCaption[] = u"复制";
inline constexpr char16_t kCopyAllMenuCaption[] = u"复制全文";

class TClickLabel;
class TMomentChooser;
class TPageZoom;
class TPeopleDialog;
class TPhoneDialog;
class TStripTag;

inline constexpr std::string_view kNameTooLongMessage = "姓名最多可输入10个汉字或20个字母，多出的字没有输入";

class TFormKarvo : public QWidget, public Ui::FormKarvo {
    Q_OBJECT

public:
    // Makes the window and its components, then runs FormCreate.
    explicit TFormKarvo(TFormServices services, QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TFormKarvo() override;

    // The components without a window.
    QList<QPixmap> il1;  // the twelve zodiac pictures, 50 x 50, 鼠 to 猪
    TDatabaseConnection con1;
    TDatabaseQuery qry1;
    QTimer* tmrUpdate = nullptr;
    QMenu* pm1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;  // 导出PDF…
    QAction* N3 = nullptr;  // 打印…
    QAction* N4 = nullptr;  // 保存为图片…
    QAction* N5 = nullptr;  // 在手机上打开…
    QAction* CopySelection = nullptr;  // 复制: the page's selection
    QAction* CopyAll = nullptr;        // 复制全文: the reading as the command line's text
    TPageZoom* Zoom = nullptr;         // Ctrl+plus, Ctrl+minus, Ctrl+0 on the page
    QShortcut* PrintShortcut = nullptr;
    TApplicationEvents* ApplicationEvents1 = nullptr;
    // The exact birth moment: its tag on the summary strip and its panel.
    TMomentChooser* Moment = nullptr;
    // 亲友…: the tag on the summary strip and the people list it opens.
    TClickLabel* lblPeople = nullptr;
    TPeopleDialog* People = nullptr;  // made when the tag is first clicked
    TPhoneDialog* Phone = nullptr;    // made when 在手机上打开… is first chosen
    // 时辰不详: a switch beside the exact-moment tag; on, the hour box rests
    // and the reading lists every 时辰.
    TStripTag* HourUnknown = nullptr;
    // 八字详盘: a switch beside it that adds the full chart to the page; kept
    // between starts.
    TStripTag* ChartSwitch = nullptr;

    // Event handlers.
    void FormCreate();
    void FormDestroy();
    void btnBeginClick();
    // Enter in the name or a number box starts a reading; other keys pass on.
    void edtNameKeyDown(QObject* Sender, const QKeyEvent& Key);
    void lblLunarClick();
    void lblGregorianClick();
    void lblLeapClick();
    void btnWEBClick();
    void tmrUpdateTimer();
    // The right-button rule, for every event the application delivers.
    void ApplicationEvents1Message(QObject* Receiver, QEvent* Msg, bool& Handled);
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    // Serves the readings to the phones of the local network, once the user agrees.
    void N5Click();
    void CopySelectionClick();
    void CopyAllClick();
    // The restore message (0x0545) of a later start: the window comes back from
    // the task bar and to the front.
    void RestoreMessage();
    // Shows the people list, making it the first time.
    void lblPeopleClick();
    // Fills the form and the exact moment's choices with a birth and reads it.
    void OpenBirth(const BirthInput& input);
    // Another name or date was typed: the minute, the birthplace and an
    // unknown hour of the one before do not carry over.
    void StartNewPerson();
    // The panel's choices changed: the reading follows when the form is complete.
    void ReadAgainIfComplete();

    // The name, the four numbers filled in; the numbers digits only; the hour at most 23.
    bool ValidateInputs() const;
    void ComputeReading();
    void ShowSummary();
    void ShowResultPage();

    // The birth data the input controls hold now.
    BirthInput ReadBirthInput() const;
    // The current reading; all empty before the first.
    const TKarvoInfo& KarvoInfo() const { return *karvoInfo_; }
    const StartupDate& Startup() const { return startup_; }
    TReadingExport& Export() { return *export_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpWindow();
    void SetUpComponents();
    void ConnectHandlers();
    void ShowBannerPage();
    // A banner page that did not load gives way to the placeholder.
    void BannerLoaded(bool loaded);
    void SetUpHourUnknown();
    void SetUpChartSwitch();
    // 文字 in the menu: 简体, 繁體（台灣）, 繁體（香港）, 繁體; kept between starts.
    void SetUpScriptMenu();
    void ChooseScript(Script script);
    // A link of the page's table of 时辰: reads that 时辰. True when it was one.
    bool OpenCandidate(const QUrl& url);
    void DrawZodiacPicture(int index);
    void PlacePeopleTag();
    void PopUpMenuOnce(const QPoint& where);
    void Inform(std::string_view text);
    void ShowError(std::exception_ptr error);
    // Runs `action`; an error that escapes it goes to the error box.
    void Guarded(const std::function<void()>& action);
    // A handler as a slot, guarded.
    std::function<void()> Handler(void (TFormKarvo::*method)());

    TFormServices services_;
    std::unique_ptr<TReadingExport> export_;
    std::unique_ptr<TKarvoInfo> karvoInfo_;
    StartupDate startup_;
    BirthInput readInput_;  // the birth of the reading on show
    QTimer* rereadTimer_ = nullptr;
    bool bannerPlaceholderShown_ = false;
};

}  // namespace velmora

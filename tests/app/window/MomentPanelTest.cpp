// The exact-birth-moment panel as a user drives it: opened from the tag on
// the summary strip, filled with the mouse and the keyboard, its choices kept
// in a settings folder of the test's own and read back by a new window.
#include "FormKarvo.h"
#include "LabelledDatabase.h"
#include "MomentChooser.h"
#include "MomentPanel.h"
#include "MomentSettings.h"
#include "StripTag.h"
#include "ResultPage.h"
#include "SpinEdit.h"
#include "WindowTestSupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <filesystem>

namespace velmora {
namespace {

using namespace testing_support;

// The screen where the window is, the panel and its lists over it.
void SaveScreenOf(QWidget& window, const QString& name) {
    QTest::qWait(300);
    const QRect area = window.frameGeometry();
    window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(QStringLiteral(VELMORA_SCREENSHOT_DIR "/%1.png").arg(name));
}

class MomentPanel : public ::testing::Test {
protected:
    MomentPanel() {
        qputenv("XDG_CONFIG_HOME", settingsFolder_.path().toLocal8Bit());
    }

    // A window at the fixed clock, up with its first page.
    void Open() {
        form_ = std::make_unique<TFormKarvo>(services_.Make());
        QSignalSpy firstPage(form_->wbKarvo, &QWebEngineView::loadFinished);
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        ASSERT_TRUE(firstPage.count() > 0 || firstPage.wait(15000));
    }

    void Reopen() {
        form_.reset();
        Open();
    }

    TMomentPanel& Panel() { return *form_->Moment->panel; }
    QString Tag() const { return form_->Moment->lblMoment->text(); }

    void OpenPanel() {
        QTest::mouseClick(form_->Moment->lblMoment, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel()));
    }

    // The panel's own button: the panel closes and the page of the reading loads.
    bool ReadFromPanel() {
        return LoadsPage(*form_->wbKarvo, [this] { QTest::mouseClick(Panel().btnRead, Qt::LeftButton); });
    }

    bool ClickBegin() {
        return LoadsPage(*form_->wbKarvo, [&] { QTest::mouseClick(form_->btnBegin, Qt::LeftButton, {}, QPoint(40, 12)); });
    }

    // Opens a drop-down list and clicks its entry `text`.
    static void ChooseInList(QComboBox& box, const QString& text) {
        QTest::mouseClick(&box, Qt::LeftButton);
        QAbstractItemView* list = box.view();
        ASSERT_TRUE(WaitFor([list] { return list->isVisible(); }, 3000));
        const int row = box.findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        list->scrollTo(list->model()->index(row, 0));
        // A list that has just dropped down takes no click for a double-click's time.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
        ASSERT_TRUE(WaitFor([list] { return !list->isVisible(); }, 3000));
        EXPECT_EQ(box.currentText(), text);
    }

    QTemporaryDir settingsFolder_;
    ScratchWorkingFolder folder_{ScratchWorkingFolder::WithDatabase};
    FakeServices services_;
    std::unique_ptr<TFormKarvo> form_;
};

TEST_F(MomentPanel, APlaceFoundByTypingGivesTheSolarTimeAndNotesOnThePage) {
    Open();
    EXPECT_EQ(Tag(), QStringLiteral("精确时刻…"));
    SaveScreenshot(*form_, QStringLiteral("moment-panel-closed"));
    OpenPanel();
    TypeText(*Panel().edtPlace, QStringLiteral("成都"));
    QAbstractItemView* matches = Panel().placeCompleter->popup();
    ASSERT_TRUE(WaitFor([matches] { return matches->isVisible(); }, 3000));
    ASSERT_GT(matches->model()->rowCount(), 0);
    EXPECT_EQ(Panel().cbbCity->currentText(), QStringLiteral("成都市"));  // the lists follow what is typed
    const QModelIndex first = matches->model()->index(0, 0);
    EXPECT_TRUE(first.data().toString().startsWith(QStringLiteral("成都市"))) << first.data().toString().toStdString();
    SaveScreenOf(*form_, QStringLiteral("moment-panel-matches"));
    QTest::mouseClick(matches->viewport(), Qt::LeftButton, {}, matches->visualRect(first).center());

    EXPECT_EQ(Panel().edtPlace->text(), QStringLiteral("成都市"));
    EXPECT_EQ(Panel().cbbProvince->currentText(), QStringLiteral("四川省"));
    EXPECT_TRUE(Panel().chkPrecise->isChecked());  // a place implies precise mode
    EXPECT_FALSE(Panel().chkPrecise->isEnabled());
    EXPECT_EQ(Tag(), QStringLiteral("真太阳时 · 成都"));
    SaveScreenOf(*form_, QStringLiteral("moment-panel-open"));

    form_->edtYear->setText("1990");
    form_->edtMonth->setText("7");
    form_->edtDay->setText("15");
    form_->edtHour->setText("12");
    ASSERT_TRUE(ReadFromPanel());
    EXPECT_FALSE(Panel().isVisible());
    const TKarvoInfo& reading = form_->KarvoInfo();
    EXPECT_EQ(reading.Place, "成都市");
    EXPECT_TRUE(reading.Precise);
    ASSERT_FALSE(reading.SolarTime.empty());
    ASSERT_FALSE(reading.Notes.empty());
    EXPECT_EQ(form_->lblSiZhu->text().toStdString(), reading.SiZhu);
    const QString page = PageText(*form_->wbKarvo);
    EXPECT_TRUE(page.contains(QString::fromStdString(reading.SolarTime))) << page.toStdString();
    for (const std::string& note : reading.Notes) {
        EXPECT_TRUE(page.contains(QString::fromStdString(note))) << note;
    }
    form_->wbKarvo->page()->runJavaScript(QStringLiteral("window.scrollTo(0, document.body.scrollHeight)"));
    SaveScreenshot(*form_, QStringLiteral("moment-precise-reading"));
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());
}

TEST_F(MomentPanel, APlaceAbroadShowsWhereItIsAndTheHourIsItsLocalTime) {
    Open();
    EXPECT_EQ(form_->lbl7->toolTip(), QStringLiteral("所填时间为北京时间"));
    OpenPanel();
    // A name of several places asks for a choice.
    TypeText(*Panel().edtPlace, QStringLiteral("朝阳"));
    EXPECT_EQ(Panel().lblPlaceHint->text(), QStringLiteral("这个地名对应4个地点，请从列表中选定一个"));
    Panel().edtPlace->clear();
    TypeText(*Panel().edtPlace, QStringLiteral("倫敦"));
    QAbstractItemView* matches = Panel().placeCompleter->popup();
    ASSERT_TRUE(WaitFor([matches] { return matches->isVisible(); }, 3000));
    const QModelIndex first = matches->model()->index(0, 0);
    EXPECT_TRUE(first.data().toString().startsWith(QStringLiteral("伦敦（英国）"))) << first.data().toString().toStdString();
    QTest::mouseClick(matches->viewport(), Qt::LeftButton, {}, matches->visualRect(first).center());
    EXPECT_EQ(Panel().edtPlace->text(), QStringLiteral("伦敦（英国）"));
    EXPECT_EQ(Panel().lblPlaceHint->text(), QStringLiteral("西经 0.13°，北纬 51.51°，Europe/London 当地时间"));
    EXPECT_EQ(Tag(), QStringLiteral("真太阳时 · 伦敦（英国） · 当地时间"));
    EXPECT_EQ(form_->lbl7->toolTip(), QStringLiteral("所填时间为出生地的当地时间（含当地的夏令时）"));
    SaveScreenOf(*form_, QStringLiteral("moment-panel-abroad"));
}

TEST_F(MomentPanel, ProvinceThenCityLongitudeByHandAndOnlyThePreferencesSurviveARestart) {
    Open();
    OpenPanel();
    ChooseInList(*Panel().cbbProvince, QStringLiteral("新疆维吾尔自治区"));
    ChooseInList(*Panel().cbbCity, QStringLiteral("喀什市"));
    EXPECT_EQ(Panel().edtPlace->text(), QStringLiteral("喀什市"));
    EXPECT_EQ(Tag(), QStringLiteral("真太阳时 · 喀什"));

    // A longitude typed by hand takes the place's part; one past 180 cannot be typed.
    TypeText(*Panel().edtLongitude, QStringLiteral("181"));
    EXPECT_EQ(Panel().edtLongitude->text(), QStringLiteral("18"));
    EXPECT_TRUE(Panel().edtPlace->text().isEmpty());
    Panel().edtLongitude->setFocus();
    QTest::keyClick(Panel().edtLongitude, Qt::Key_A, Qt::ControlModifier);
    TypeText(*Panel().edtLongitude, QStringLiteral("-87.65"));
    TypeText(*Panel().edtLatitude, QStringLiteral("41.85"));
    EXPECT_EQ(Tag(), QStringLiteral("真太阳时 · 西经87.65°"));

    QTest::mouseClick(Panel().rbZiEarly, Qt::LeftButton);
    Panel().edtMinute->setFocus();
    TypeText(*Panel().edtMinute, QStringLiteral("35"));
    EXPECT_EQ(Tag(), QStringLiteral("真太阳时 · 西经87.65° · 35分 · 早子时"));
    // Enter in the panel runs the reading with the choices.
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { QTest::keyClick(Panel().edtMinute, Qt::Key_Return); }));
    EXPECT_EQ(form_->KarvoInfo().ZiSchoolName, "early");
    EXPECT_EQ(form_->KarvoInfo().Longitude.substr(0, 6), "-87.65");

    // The school is the user's; the minute and the place were that birth's.
    Reopen();
    EXPECT_EQ(Tag(), QStringLiteral("早子时"));
    OpenPanel();
    EXPECT_TRUE(Panel().edtLongitude->text().isEmpty());
    EXPECT_TRUE(Panel().edtMinute->text().isEmpty());
    EXPECT_TRUE(Panel().rbZiEarly->isChecked());
    EXPECT_EQ(form_->KarvoInfo().ZiSchoolName, "early");  // the first reading already uses it
    EXPECT_TRUE(form_->KarvoInfo().Longitude.empty());

    // Precise mode alone, then everything back to the classic reading.
    QTest::mouseClick(Panel().btnReset, Qt::LeftButton);
    EXPECT_EQ(Tag(), QStringLiteral("精确时刻…"));
    QTest::mouseClick(Panel().chkPrecise, Qt::LeftButton);
    EXPECT_EQ(Tag(), QStringLiteral("精确"));
    Reopen();
    OpenPanel();
    EXPECT_TRUE(Panel().chkPrecise->isChecked());
    EXPECT_TRUE(Panel().rbZiLate->isChecked());
    EXPECT_TRUE(form_->KarvoInfo().Precise);
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());
}

// The tag and the page never disagree: a choice reads at once; and one
// person's minute, place and unknown hour never reach the next.
TEST_F(MomentPanel, EveryChoiceReadsAtOnceAndANewNameOrDateIsANewPerson) {
    Open();
    OpenPanel();
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { QTest::mouseClick(Panel().rbZiEarly, Qt::LeftButton); }));
    EXPECT_EQ(form_->KarvoInfo().ZiSchoolName, "early");
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] {
        Panel().edtLongitude->setFocus();
        TypeText(*Panel().edtLongitude, QStringLiteral("87.6"));
    }));
    EXPECT_EQ(form_->KarvoInfo().Longitude.substr(0, 4), "87.6");  // the whole number typed, read once
    Panel().hide();
    QTest::mouseClick(form_->HourUnknown, Qt::LeftButton);
    ASSERT_TRUE(form_->HourUnknown->IsOn());
    ASSERT_EQ(Tag(), QStringLiteral("真太阳时 · 东经87.6° · 早子时"));

    // Another date typed: the place and the unknown hour go, the school stays.
    form_->edtDay->setFocus();
    QTest::keyClick(form_->edtDay, Qt::Key_A, Qt::ControlModifier);
    TypeText(*form_->edtDay, QStringLiteral("3"));
    EXPECT_EQ(Tag(), QStringLiteral("早子时"));
    EXPECT_FALSE(form_->HourUnknown->IsOn());
    EXPECT_TRUE(form_->edtHour->isEnabled());

    // A kept person reads with its own school and minute; the user's school stays early.
    BirthInput kept = form_->ReadBirthInput();
    kept.moment.zi = ZiSchool::Late;
    kept.moment.minute = 10;
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] { form_->OpenBirth(kept); }));
    EXPECT_EQ(form_->KarvoInfo().ZiSchoolName, "late");
    EXPECT_EQ(Tag(), QStringLiteral("10分"));
    EXPECT_EQ(LoadMomentOptions(*OpenWindowSettings()).zi, ZiSchool::Early);
    TypeText(*form_->edtName, QStringLiteral("新"));
    EXPECT_EQ(Tag(), QStringLiteral("早子时"));
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());
}

// The chart's switch sits on the strip beside the exact-moment tag and is kept.
TEST_F(MomentPanel, TheChartSwitchShowsTheFullChartAndIsKeptAfterARestart) {
    Open();
    ASSERT_NE(form_->ChartSwitch, nullptr);
    EXPECT_FALSE(PageText(*form_->wbKarvo).contains(QStringLiteral("八字详盘")));
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] {
        QTest::mouseClick(form_->ChartSwitch, Qt::LeftButton, {}, form_->ChartSwitch->rect().center());
    }));
    EXPECT_TRUE(WaitFor([&] { return PageText(*form_->wbKarvo).contains(QStringLiteral("大运")); }));
    SaveScreenOf(*form_, QStringLiteral("window-chart"));
    EXPECT_TRUE(RunScript(*form_->wbKarvo, QStringLiteral("var card = document.querySelector('.bazi-card details');"
                                                          "card.open = true; card.scrollIntoView(); card.open"))
                    .toBool());
    SaveScreenOf(*form_, QStringLiteral("window-chart-luck-open"));
    Reopen();
    EXPECT_TRUE(form_->ChartSwitch->IsOn());
    EXPECT_TRUE(WaitFor([&] { return PageText(*form_->wbKarvo).contains(QStringLiteral("八字详盘")); }));
}

// 文字 in the menu turns the whole window into traditional characters at once,
// the page and the panel too, and is kept; 简体 turns it back.
TEST_F(MomentPanel, TheWindowSpeaksTheChosenScriptAtOnceAndAfterARestart) {
    Open();
    auto* taiwan = form_->findChild<QAction*>(QStringLiteral("script_taiwan"));
    ASSERT_NE(taiwan, nullptr);
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] { taiwan->trigger(); }));
    EXPECT_EQ(form_->lblLunar->text(), QStringLiteral("農曆"));
    EXPECT_EQ(form_->N1->text(), QStringLiteral("導出算命結果"));
    EXPECT_TRUE(WaitFor([&] { return PageText(*form_->wbKarvo).contains(QStringLiteral("屬相")); }));
    EXPECT_TRUE(PageText(*form_->wbKarvo).contains(QStringLiteral("姓名：输入姓名"))) << "the typed name stays";
    OpenPanel();
    EXPECT_TRUE(form_->Moment->panel->findChild<QCheckBox*>() != nullptr);
    SaveScreenOf(*form_, QStringLiteral("window-taiwan-panel"));
    form_->Moment->panel->hide();

    Reopen();
    EXPECT_EQ(form_->lblLunar->text(), QStringLiteral("農曆"));
    EXPECT_TRUE(form_->findChild<QAction*>(QStringLiteral("script_taiwan"))->isChecked());
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] { form_->findChild<QAction*>(QStringLiteral("script_simplified"))->trigger(); }));
    EXPECT_EQ(form_->lblLunar->text(), QStringLiteral("农历"));
    EXPECT_EQ(form_->N1->text(), QStringLiteral("导出算命结果"));
}

TEST_F(MomentPanel, TheSkippedDaylightSavingHourIsToldAndThePreviousReadingStays) {
    Open();
    OpenPanel();
    QTest::mouseClick(Panel().chkPrecise, Qt::LeftButton);
    QTest::mouseClick(form_->Moment->lblMoment, Qt::LeftButton);  // the tag closes its panel
    ASSERT_TRUE(WaitFor([this] { return !Panel().isVisible(); }, 3000));
    ASSERT_TRUE(ClickBegin());
    ASSERT_TRUE(form_->KarvoInfo().Precise);
    const TKarvoInfo before = form_->KarvoInfo();
    // Clocks went from 2:00 to 3:00 on 1986-05-04.
    form_->edtYear->setText("1986");
    form_->edtMonth->setText("5");
    form_->edtDay->setText("4");
    form_->edtHour->setText("2");
    ClickBegin();
    EXPECT_EQ(ApplicationBoxes().Texts(RecordedBox::Information),
              QStringList{QString::fromUtf8(kSkippedClockTimeMessage.data(), kSkippedClockTimeMessage.size())});
    EXPECT_EQ(form_->KarvoInfo(), before);
}

// With every choice off the window's page is the kept page, byte for byte.
TEST(MomentPanelOff, TheWindowsPageIsTheGoldenPage) {
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    ScratchWorkingFolder folder(ScratchWorkingFolder::WithoutDatabase);
    std::filesystem::copy_file(testing::LabelledDatabaseFile(), folder.Path() / "Orsk.dll");
    FakeServices services;
    services.now = QDateTime(QDate(2026, 12, 8), QTime(9, 0));
    TFormKarvo form(services.Make());
    form.rbLunar->click();
    form.chkLeap->setChecked(true);
    form.edtYear->setText("2001");
    form.edtMonth->setText("4");
    form.edtDay->setText("1");
    form.edtHour->setText("7");
    form.edtName->setText(QStringLiteral("测试]"));
    form.cbbSex->setCurrentIndex(1);
    form.btnBeginClick();
    QFile page(QString::fromStdString(ResultPageLocation().page));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    QFile golden(QStringLiteral(VELMORA_TEST_DATA_DIR "/golden/result-page.html"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll() == golden.readAll());
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());
}

}  // namespace
}  // namespace velmora

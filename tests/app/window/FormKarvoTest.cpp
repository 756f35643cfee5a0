// The main window as the user meets it: started at a chosen moment of a fixed
// clock, driven with the mouse and the keyboard, its message boxes recorded.
#include "FormKarvo.h"
#include "ResultPage.h"
#include "UpdateLibrary.h"
#include "VendorSite.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <filesystem>

namespace velmora {
namespace {

// ---------------------------------------------------------------------------
// Start-up

TEST_F(Window, OpensWithTheReadingOfThisHour) {
    Open();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(form_->size(), QSize(761, 594));
    EXPECT_EQ(form_->minimumSize(), QSize(761, 594));
    EXPECT_TRUE(form_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(form_->wbKarvo->size(), QSize(741, 422));
    EXPECT_EQ(form_->wbAD->size(), QSize(761, 55));
    EXPECT_EQ(form_->font().pixelSize(), 12);

    EXPECT_EQ(form_->edtYear->text(), "2009");
    EXPECT_EQ(form_->edtMonth->text(), "9");
    EXPECT_EQ(form_->edtDay->text(), "21");
    EXPECT_EQ(form_->edtHour->text(), "7");
    EXPECT_EQ(form_->lblSiZhu->text(), QStringLiteral("己丑 癸酉 己巳 戊辰"));
    EXPECT_EQ(form_->lblWuXing->text(), QStringLiteral("土土 水金 土火 土土(五行缺木)"));
    EXPECT_EQ(form_->lblGuZhong->text(), QStringLiteral("三两九"));
    EXPECT_EQ(form_->lblXingZuo->text(), QStringLiteral("处女座"));
    EXPECT_EQ(form_->lblShuXiang->text(), QStringLiteral("牛"));
    EXPECT_EQ(form_->KarvoInfo().Age, "1岁(虚岁)");
    EXPECT_EQ(form_->KarvoInfo().Name, "输入姓名");
    EXPECT_EQ(form_->KarvoInfo().Sex, "男");
    for (QLabel* label : {form_->lblSiZhu, form_->lblWuXing, form_->lblGuZhong, form_->lblXingZuo}) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    }

    const QString page = PageText(*form_->wbKarvo);
    EXPECT_TRUE(page.contains(QStringLiteral("姓名：输入姓名"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("公历生日：2009年9月21日7时")));
    EXPECT_TRUE(page.contains(QStringLiteral("骨重解说")));
    EXPECT_EQ(form_->wbKarvo->url(), QUrl::fromLocalFile(QString::fromStdString(ResultPageLocation().page)));
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());

    EXPECT_TRUE(form_->tmrUpdate->isActive());
    EXPECT_TRUE(form_->tmrUpdate->isSingleShot());
    EXPECT_EQ(form_->tmrUpdate->interval(), 5000);
    ASSERT_EQ(form_->pm1->actions().size(), 9);  // with the sharing items, the phone, the copy items and the script
    EXPECT_EQ(form_->pm1->actions()[0], form_->N1);
    EXPECT_EQ(form_->N1->text(), QStringLiteral("导出算命结果"));
    SaveScreenshot(*form_, QStringLiteral("window-startup"));
}

// The animal's picture lands one row up, and what it does not cover stays.
TEST_F(Window, DrawsTheZodiacPictureOneRowUpOverTheDesignPicture) {
    Open();
    const QImage design(QStringLiteral(":/artwork/imgShengXiao.png"));
    const QImage shown = form_->imgShengXiao->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage ox = form_->il1[form_->KarvoInfo().ShuXiangIndex].toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(49, 48));
    ASSERT_EQ(form_->KarvoInfo().ShuXiangIndex, 1);
    for (const QPoint at : {QPoint(24, 24), QPoint(10, 30), QPoint(40, 12)}) {
        EXPECT_EQ(shown.pixel(at), ox.pixel(at.x(), at.y() + 1)) << at.x() << "," << at.y();
    }
    // The seal's corners are clear, so the design picture shows through there.
    EXPECT_EQ(qAlpha(ox.pixel(0, 1)), 0);
    EXPECT_EQ(QColor(shown.pixel(0, 0)).rgb(), QColor(design.pixel(0, 0)).rgb());
}

TEST_F(Window, StartedBeforeOneOClockItShowsHourZeroAndReadsZiHour) {
    Open(QDateTime(QDate(2009, 9, 21), QTime(0, 30)));
    EXPECT_EQ(form_->edtHour->text(), "0");
    EXPECT_EQ(form_->KarvoInfo().HourName, "子时");
    EXPECT_TRUE(form_->lblSiZhu->text().endsWith(QStringLiteral("甲子")));
    // Leaving the box for the next one keeps the hour: 0 is inside its range.
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(form_->edtHour, &leaving);
    EXPECT_EQ(form_->edtHour->text(), "0");
    EXPECT_TRUE(form_->ValidateInputs());
}

TEST_F(Window, WithoutTheDatabaseItStillOpensWithItsDesignCaptions) {
    ScratchWorkingFolder empty(ScratchWorkingFolder::WithoutDatabase);
    Open(QDateTime(QDate(2010, 3, 4), QTime(15, 5)));
    EXPECT_TRUE(form_->isVisible());
    ASSERT_TRUE(WaitFor([] { return !Errors().isEmpty(); }, 3000));
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains(QStringLiteral("Orsk.dll"))) << Errors()[0].toStdString();
    EXPECT_EQ(form_->edtYear->text(), "2010");
    EXPECT_EQ(form_->edtHour->text(), "15");
    EXPECT_EQ(form_->lblSiZhu->text(), QStringLiteral("己丑 癸酉 戊寅 甲寅"));
    EXPECT_EQ(form_->lblWuXing->text(), QStringLiteral("土土 水金 土木 木木(五行缺火 火 火)"));
    EXPECT_EQ(form_->lblGuZhong->text(), QStringLiteral("四两四"));
    EXPECT_EQ(form_->lblXingZuo->text(), QStringLiteral("天枰座"));
    EXPECT_EQ(form_->lblShuXiang->text(), QStringLiteral("牛"));
    EXPECT_EQ(form_->imgShengXiao->pixmap().toImage(),
              QPixmap(QStringLiteral(":/artwork/imgShengXiao.png")).toImage());
    EXPECT_TRUE(form_->wbKarvo->url().isEmpty());
    EXPECT_TRUE(form_->wbAD->url().isEmpty());
    SaveScreenshot(*form_, QStringLiteral("window-without-database"));

    // A reading asked for now fails the same way, and the window goes on.
    QTest::mouseClick(form_->btnBegin, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(Errors().size(), 2);
    EXPECT_EQ(form_->lblSiZhu->text(), QStringLiteral("己丑 癸酉 戊寅 甲寅"));
}

TEST_F(Window, ADamagedTextIsADatabaseErrorNotAnEmptyCommentary) {
    ScratchWorkingFolder damaged(ScratchWorkingFolder::WithDatabase);
    // The start-up reading of 2009-09-21 reads the year 己丑.
    velmora::testing::ChangeDatabase(damaged.Path() / "Orsk.dll",
                                     "UPDATE 软件数据 SET [年内容] = 'C0FFEE' WHERE [年份] = '己丑'");
    Open();
    ASSERT_TRUE(WaitFor([] { return !Errors().isEmpty(); }, 3000));
    EXPECT_TRUE(Errors()[0].contains(QStringLiteral("the text in column 年内容, key 己丑 does not decipher")))
        << Errors()[0].toStdString();
}

TEST_F(Window, TheBannerShowsItsPlaceholderWhenItsPageCannotBeLoaded) {
    Open();
    ASSERT_TRUE(WaitFor([this] { return PageText(*form_->wbAD).contains(QStringLiteral("Velmora")); }, 30000));
    EXPECT_TRUE(PageText(*form_->wbAD).contains(QStringLiteral("欢迎使用")));
    EXPECT_TRUE(BannerUrl().startsWith(QStringLiteral("http://www.velmora.example/")));
    EXPECT_TRUE(BannerUrl().endsWith(QStringLiteral("/ad/20107277_1.html")));
}

// ---------------------------------------------------------------------------
// Input

struct Typed {
    const char* name;
    const char* field;  // object name of the box the text goes into
    QString text;
    QString message;    // the information box, or none
    bool reads;         // a new reading is made
};

class TypedInput : public Window, public ::testing::WithParamInterface<Typed> {};

TEST_P(TypedInput, IsCheckedWhenEnterIsPressedInItsBox) {
    Open();
    const TKarvoInfo before = form_->KarvoInfo();
    auto* field = form_->findChild<QWidget*>(QString::fromLatin1(GetParam().field));
    ASSERT_NE(field, nullptr);
    form_->edtDay->setText("22");  // so that a reading shows
    Retype(*field, GetParam().text);
    const bool pageLoaded = EnterIn(*field);

    EXPECT_EQ(Informations(), GetParam().message.isEmpty() ? QStringList() : QStringList{GetParam().message});
    EXPECT_EQ(form_->KarvoInfo() != before, GetParam().reads);
    // A rejected input does not touch the page; a reading, even one that ends
    // with the date message, rebuilds it.
    EXPECT_EQ(pageLoaded, GetParam().message != InputMessage);
    // The box keeps the text as typed.
    EXPECT_EQ(field->property("text").toString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TypedInput,
    ::testing::Values(Typed{"HourTwentyFour", "edtHour", "24", InputMessage, false},
                    Typed{"HourZero", "edtHour", "0", {}, true},
                    Typed{"SignedHour", "edtHour", "-1", InputMessage, false},
                    Typed{"MonthThirteen", "edtMonth", "13", DateMessage + QStringLiteral("：月份应为1至12"), false},
                    Typed{"DayThirtyTwo", "edtDay", "32", DateMessage + QStringLiteral("：2009年9月只有30天"), false},
                    Typed{"EmptyYear", "edtYear", "", InputMessage, false},
                    Typed{"YearWithLeadingZero", "edtYear", "0200", {}, true},
                    Typed{"EmptyName", "edtName", "", InputMessage, false},
                    Typed{"TwoCharacterName", "edtName", QStringLiteral("张三"), {}, true}),
    [](const ::testing::TestParamInfo<Typed>& info) { return std::string(info.param.name); });

TEST_F(Window, TheNameBoxHoldsTenChineseCharactersAndSaysSoWhenOneMoreIsTyped) {
    Open();
    Retype(*form_->edtName, QStringLiteral("欧阳娜娜娜"));
    EXPECT_EQ(form_->edtName->text(), QStringLiteral("欧阳娜娜娜"));
    EXPECT_TRUE(Informations().isEmpty());
    ASSERT_TRUE(ClickBegin());
    EXPECT_TRUE(PageText(*form_->wbKarvo).contains(QStringLiteral("姓名：欧阳娜娜娜")));
    form_->edtName->end(false);
    TypeText(*form_->edtName, QStringLiteral("一二三四五六"));
    QTest::qWait(50);
    EXPECT_EQ(form_->edtName->text(), QStringLiteral("欧阳娜娜娜一二三四五"));
    EXPECT_TRUE(Informations().contains(QStringLiteral("姓名最多可输入10个汉字或20个字母，多出的字没有输入")));
}

TEST_F(Window, SwitchingTheCalendarChangesOnlyTheModeControls) {
    Open();
    const TKarvoInfo before = form_->KarvoInfo();
    EXPECT_TRUE(form_->rbGregorian->isChecked());
    EXPECT_FALSE(form_->chkLeap->isEnabled());
    EXPECT_FALSE(form_->lblLeap->isEnabled());

    Click(*form_->lblLeap);  // disabled: nothing happens
    EXPECT_FALSE(form_->chkLeap->isChecked());

    Click(*form_->lblLunar);
    EXPECT_TRUE(form_->rbLunar->isChecked());
    EXPECT_TRUE(form_->chkLeap->isEnabled());
    EXPECT_TRUE(form_->lblLeap->isEnabled());
    Click(*form_->lblLeap);
    EXPECT_TRUE(form_->chkLeap->isChecked());
    Click(*form_->lblLeap);
    EXPECT_FALSE(form_->chkLeap->isChecked());
    Click(*form_->lblLeap);

    Click(*form_->rbGregorian);
    EXPECT_TRUE(form_->rbGregorian->isChecked());
    EXPECT_FALSE(form_->chkLeap->isChecked());
    EXPECT_FALSE(form_->chkLeap->isEnabled());
    EXPECT_FALSE(form_->lblLeap->isEnabled());

    Click(*form_->rbLunar);
    EXPECT_TRUE(form_->chkLeap->isEnabled());
    Click(*form_->lblGregorian);
    EXPECT_TRUE(form_->rbGregorian->isChecked());

    // The numbers stay as they were, and no reading ran.
    EXPECT_EQ(form_->edtYear->text(), "2009");
    EXPECT_EQ(form_->edtMonth->text(), "9");
    EXPECT_EQ(form_->KarvoInfo(), before);
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());
}

TEST_F(Window, ALunarLeapMonthReading) {
    Open();
    Click(*form_->lblLunar);
    form_->edtYear->setText("2009");
    form_->edtMonth->setText("5");
    form_->edtDay->setText("15");
    form_->edtHour->setText("12");
    Retype(*form_->edtName, QStringLiteral("李四"));
    form_->cbbSex->setCurrentIndex(1);
    Click(*form_->lblLeap);
    ASSERT_TRUE(ClickBegin());
    EXPECT_TRUE(Informations().isEmpty());
    const TKarvoInfo& reading = form_->KarvoInfo();
    EXPECT_TRUE(reading.IsLeap);
    EXPECT_EQ(reading.LunarMonth, "5");
    EXPECT_EQ(reading.Year + "-" + reading.Month + "-" + reading.Day, "2009-7-7");
    EXPECT_EQ(reading.HourName, "午时");
    EXPECT_EQ(reading.Sex, "女");
    const QString page = PageText(*form_->wbKarvo);
    EXPECT_TRUE(page.contains(QStringLiteral("农历生日：2009年闰5月15日12时"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("公历生日：2009年7月7日12时")));
    EXPECT_TRUE(page.contains(QStringLiteral("姓名：李四")));
    EXPECT_TRUE(page.contains(QStringLiteral("性别：女")));
    SaveScreenshot(*form_, QStringLiteral("window-lunar-leap"));

    // The fifth month of 2010 is no leap month.
    form_->edtYear->setText("2010");
    ASSERT_TRUE(ClickBegin());
    EXPECT_EQ(Informations(), QStringList{DateMessage + QStringLiteral("：农历2010年没有闰月")});
    EXPECT_EQ(form_->KarvoInfo().Year, "2009");
}

// ---------------------------------------------------------------------------
// The right button

// Records the right-button presses, releases and double-clicks a widget gets.
class RightButtonWatch : public QObject {
public:
    explicit RightButtonWatch(QWidget& widget) { widget.installEventFilter(this); }
    int right = 0;
    int left = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
            event->type() == QEvent::MouseButtonDblClick) {
            (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton ? right : left) += 1;
        }
        return false;
    }
};

struct RightClickTarget {
    const char* name;
    std::function<QWidget*(TFormKarvo&)> widget;
    bool browser;
};

// The widget inside a browser that takes the mouse: the engine's view.
QWidget* BrowserSurface(TWebBrowseEx* browser) {
    return browser->focusProxy() != nullptr ? browser->focusProxy() : browser;
}

class RightClick : public Window, public ::testing::WithParamInterface<RightClickTarget> {};

TEST_P(RightClick, OpensTheMenuOnceAndNeverReachesABrowser) {
    Open();
    if (GetParam().browser) {
        ASSERT_TRUE(WaitFor([this] { return form_->wbAD->focusProxy() != nullptr; }, 30000));
    }
    QWidget* target = GetParam().widget(*form_);
    ASSERT_NE(target, nullptr);
    RightButtonWatch watch(*target);
    QSignalSpy shown(form_->pm1, &QMenu::aboutToShow);
    const QPoint inside = target->rect().center();

    QTest::mouseClick(target, Qt::RightButton, {}, inside);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(form_->pm1->isVisible());
    SaveScreenshot(*form_->pm1, QStringLiteral("window-menu"));
    form_->pm1->close();

    // A double click is one more menu, not one for each of its messages.
    QTest::mousePress(target, Qt::RightButton, {}, inside);
    QTest::mouseRelease(target, Qt::RightButton, {}, inside);
    QTest::mousePress(target, Qt::RightButton, {}, inside);
    QTest::mouseDClick(target, Qt::RightButton, {}, inside);
    QTest::mouseRelease(target, Qt::RightButton, {}, inside);
    EXPECT_EQ(shown.count(), 2);
    form_->pm1->close();

    QTest::mouseClick(target, Qt::LeftButton, {}, inside);
    EXPECT_GT(watch.left, 0);  // the left button passes on
    if (GetParam().browser) {
        EXPECT_EQ(watch.right, 0);
    } else {
        EXPECT_GT(watch.right, 0);  // outside the browsers the right button passes on too
    }
    EXPECT_TRUE(ApplicationBoxes().boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RightClick,
    ::testing::Values(RightClickTarget{"Label", [](TFormKarvo& f) -> QWidget* { return f.lbl8; }, false},
                    RightClickTarget{"NameBox", [](TFormKarvo& f) -> QWidget* { return f.edtName; }, false},
                    RightClickTarget{"ResultBrowser", [](TFormKarvo& f) { return BrowserSurface(f.wbKarvo); }, true},
                    RightClickTarget{"Banner", [](TFormKarvo& f) { return BrowserSurface(f.wbAD); }, true}),
    [](const ::testing::TestParamInfo<RightClickTarget>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The update call, the end (the web button: AboutWindowTest.cpp)

TEST_F(Window, TheUpdateLibraryIsCalledOnceAboutFiveSecondsAfterStartUp) {
    QTemporaryDir scratch;
    const QString log = scratch.filePath(QStringLiteral("calls.txt"));
    qputenv("VELMORA_FAKE_UPDATE_LOG", log.toLocal8Bit());
    updateFolder_ = QStringLiteral(VELMORA_FAKE_UPDATE_DIR);
    QElapsedTimer sinceStart;
    sinceStart.start();
    Open();
    for (int day = 1; day <= 20; ++day) {
        form_->edtDay->setText(QString::number(day));
        ASSERT_TRUE(ClickBegin());
    }
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(log).size() > 0; }, 10000));
    // A coarse timer may fire up to 5 % early: about five seconds.
    EXPECT_GE(sinceStart.elapsed(), 4750);
    QTest::qWait(500);
    QFile calls(log);
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    const QByteArray expected = QByteArray::number(static_cast<qulonglong>(form_->winId())) +
                                " http://www.velmora.example/SiteBack/updateTxt/7.txt\n";
    EXPECT_EQ(calls.readAll(), expected);
    EXPECT_FALSE(form_->tmrUpdate->isActive());
    qunsetenv("VELMORA_FAKE_UPDATE_LOG");
}

TEST_F(Window, ClosingTheWindowDeletesBothPageFiles) {
    Open();
    const ResultPagePaths files = ResultPageLocation();
    EXPECT_TRUE(std::filesystem::exists(files.page));
    EXPECT_TRUE(std::filesystem::exists(files.picture));
    form_->close();
    form_.reset();
    EXPECT_FALSE(std::filesystem::exists(files.page));
    EXPECT_FALSE(std::filesystem::exists(files.picture));
}

}  // namespace
}  // namespace velmora

// 官方网站 as the user meets it: the About page in the result view, which the
// menu's exports refuse, with a way back to the reading; and the window in a
// traditional script: the buttons' drawn captions, the banner's line, the
// About page, a message box and the people list.
#include "ClickLabel.h"
#include "FormKarvo.h"
#include "PeopleDialog.h"
#include "Places.h"
#include "Script.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace velmora {
namespace {

QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// The window's settings and people in folders of the test's own: a chosen script stays there.
class About : public Window {
protected:
    About() : kept_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", settings_.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", settings_.filePath(QStringLiteral("data")).toLocal8Bit());
    }
    ~About() override {
        form_.reset();
        qputenv("XDG_CONFIG_HOME", kept_);
        qunsetenv("XDG_DATA_HOME");
    }

    bool ClickAbout() {
        return LoadsPage(*form_->wbKarvo, [&] { QTest::mouseClick(form_->btnWEB, Qt::LeftButton, {}, QPoint(20, 12)); });
    }
    bool Choose(const char* script) {
        auto* action = form_->findChild<QAction*>(QStringLiteral("script_") + QLatin1String(script));
        return action != nullptr && LoadsPage(*form_->wbKarvo, [&] { action->trigger(); });
    }
    // Whether both image buttons show the artwork set named `suffix` ("" or "-traditional").
    bool ButtonsShow(const QString& suffix) const {
        const auto same = [&](const TImgButton* button) {
            const QImage drawn(QStringLiteral(":/artwork/%1%2-normal.png").arg(button->objectName(), suffix));
            return !drawn.isNull() && button->ImgNormal().toImage().convertToFormat(QImage::Format_RGB32) ==
                                          drawn.convertToFormat(QImage::Format_RGB32);
        };
        return same(form_->btnBegin) && same(form_->btnWEB);
    }
    void ScrollToTheEnd() {
        RunScript(*form_->wbKarvo, QStringLiteral("window.scrollTo(0, document.documentElement.scrollHeight)"));
    }

    QTemporaryDir settings_;
    QByteArray kept_;
};

TEST_F(About, TheWebButtonShowsTheAboutPageWhichTheExportsRefuseAndItsLinkLeadsBack) {
    Open();
    ASSERT_TRUE(ClickAbout());
    const QString page = PageText(*form_->wbKarvo);
    EXPECT_TRUE(page.contains(QStringLiteral("版本 " VELMORA_VERSION))) << page.left(200).toStdString();
    EXPECT_TRUE(page.contains(Text(PlaceDataAttribution())));
    EXPECT_TRUE(services_.openedUrls.empty()) << "nothing opens in the user's browser";
    SaveScreenshot(*form_, QStringLiteral("window-about"));
    ScrollToTheEnd();
    SaveScreenshot(*form_, QStringLiteral("window-about-credits"));

    form_->N2->trigger();
    EXPECT_TRUE(services_.proposedPaths.empty()) << "no save dialog for the About page";
    ASSERT_EQ(Informations().size(), 1);
    EXPECT_TRUE(Informations()[0].contains(QStringLiteral("不是算命结果")));

    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [&] {
        RunScript(*form_->wbKarvo, QStringLiteral("document.querySelector('a[href=\"template.html\"]').click()"));
    }));
    EXPECT_EQ(form_->wbKarvo->title(), QStringLiteral("算命结果"));
    form_->N2->trigger();
    EXPECT_EQ(services_.proposedPaths.size(), 1u) << "the reading exports again";
}

TEST_F(About, InTaiwanScriptTheDrawnCaptionsTheBannerThePageAndTheBoxesAreTraditional) {
    TDialogMessageBoxes boxes;
    messages_ = &boxes;
    Open();
    EXPECT_TRUE(ButtonsShow(QString()));
    ASSERT_TRUE(Choose("taiwan"));
    EXPECT_TRUE(ButtonsShow(QStringLiteral("-traditional")));
    EXPECT_TRUE(WaitFor([this] { return PageText(*form_->wbAD).contains(QStringLiteral("歡迎使用")); }, 30000));
    SaveScreenshot(*form_, QStringLiteral("window-taiwan"));
    ASSERT_TRUE(ClickAbout());
    EXPECT_TRUE(PageText(*form_->wbKarvo).contains(Text(ConvertText(PlaceDataAttribution(), Script::Taiwan))));
    SaveScreenshot(*form_, QStringLiteral("window-about-taiwan"));
    ScrollToTheEnd();
    SaveScreenshot(*form_, QStringLiteral("window-about-taiwan-credits"));

    QString box;
    QTimer::singleShot(300, [&] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = shown->text();
            SaveScreenshot(*shown, QStringLiteral("message-box-taiwan"));
            shown->accept();
        }
    });
    form_->edtDay->setText(QStringLiteral("32"));
    form_->btnBeginClick();
    QTest::qWait(400);  // the timer has fired, box or none
    EXPECT_TRUE(box.startsWith(Text(ConvertText(DateMessage.toStdString(), Script::Taiwan)))) << box.toStdString();

    form_->edtDay->setText(QStringLiteral("21"));
    ASSERT_TRUE(Choose("simplified"));
    EXPECT_TRUE(ButtonsShow(QString()));
}

// The people list speaks the script too, but a name stays as it was typed.
TEST_F(About, ThePeopleListInTaiwanScriptKeepsTheNameAsTyped) {
    Open();
    form_->edtName->setText(QStringLiteral("余华"));
    ASSERT_TRUE(ClickBegin());
    ASSERT_TRUE(Choose("taiwan"));
    Click(*form_->lblPeople);
    ASSERT_NE(form_->People, nullptr);
    Click(*form_->People->btnSave);
    ASSERT_EQ(form_->People->lstPeople->count(), 1);
    EXPECT_EQ(form_->People->lstPeople->item(0)->text(), QStringLiteral("余华  男  公曆 2009-9-21 7時"));
    EXPECT_EQ(form_->People->btnSave->text(), QStringLiteral("保存當前"));
    SaveScreenshot(*form_->People, QStringLiteral("people-taiwan"));

    // The question before a deletion is traditional around the name as typed.
    form_->People->lstPeople->setCurrentRow(0);
    QString question;
    QTimer::singleShot(300, [&question] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            question = box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    Click(*form_->People->btnDelete);
    EXPECT_EQ(question, QStringLiteral("提示|刪除 余华？此操作不能撤銷。"));
}

// One traditional set of pictures serves every traditional script.
TEST(AboutArtwork, EveryTraditionalScriptWritesTheButtonsCaptionsAsTheirArtworkDoes) {
    for (const Script script : {Script::Traditional, Script::Taiwan, Script::HongKong}) {
        EXPECT_EQ(ConvertText("开始推算", script), "開始推算");
        EXPECT_EQ(ConvertText("官方网站", script), "官方網站");
    }
}

}  // namespace
}  // namespace velmora

// 亲友 in the window: people saved from the form with their exact moment,
// kept across a restart, opened (the form filled and read at once), renamed,
// updated and deleted after a confirmation.
#include "ClickLabel.h"
#include "MomentChooser.h"
#include "PeopleDialog.h"
#include "StripTag.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace velmora {
namespace {

class People : public Window {
protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }

    TPeopleDialog& List() {
        if (form_->People == nullptr || !form_->People->isVisible()) Click(*form_->lblPeople);
        EXPECT_NE(form_->People, nullptr);
        return *form_->People;
    }

    QStringList Lines() {
        QStringList lines;
        for (int row = 0; row < List().lstPeople->count(); ++row) lines << List().lstPeople->item(row)->text();
        return lines;
    }

    void Select(const QString& start) {
        for (int row = 0; row < List().lstPeople->count(); ++row)
            if (List().lstPeople->item(row)->text().startsWith(start)) List().lstPeople->setCurrentRow(row);
    }

    // Types a birth into the form and reads it.
    void Read(const QString& name, const QString& year, const QString& month, const QString& day, const QString& hour) {
        Retype(*form_->edtName, name);
        Retype(*form_->edtYear, year);
        Retype(*form_->edtMonth, month);
        Retype(*form_->edtDay, day);
        Retype(*form_->edtHour, hour);
        ASSERT_TRUE(ClickBegin());
    }

    QTemporaryDir data_;
};

TEST_F(People, SavedPeopleOutliveARestartAndOpenRenameUpdateAndDelete) {
    Open();
    Read(QStringLiteral("张三"), QStringLiteral("1990"), QStringLiteral("5"), QStringLiteral("17"), QStringLiteral("8"));
    Click(*List().btnSave);
    Read(QStringLiteral("李四"), QStringLiteral("1984"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("23"));
    MomentOptions chengdu;
    chengdu.minute = 35;
    chengdu.place = "成都市";
    form_->Moment->SetOptions(chengdu);
    Click(*List().btnSave);
    form_->Moment->SetOptions({});
    Read(QStringLiteral("王五"), QStringLiteral("2001"), QStringLiteral("4"), QStringLiteral("1"), QStringLiteral("7"));
    Click(*List().btnSave);
    ASSERT_EQ(Lines().size(), 3) << Lines().join('\n').toStdString();

    // After a restart the list is there and opening a person reads it with its moment.
    form_.reset();
    Open();
    ASSERT_EQ(Lines().size(), 3);
    EXPECT_EQ(List().lblStatus->text(), QStringLiteral("共 3 人"));
    Select(QStringLiteral("李四"));
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { Click(*List().btnOpen); }));
    EXPECT_EQ(form_->edtName->text(), QStringLiteral("李四"));
    EXPECT_EQ(form_->edtHour->text(), QStringLiteral("23"));
    EXPECT_EQ(form_->KarvoInfo().Name, "李四");
    EXPECT_EQ(form_->KarvoInfo().Place, "成都市");
    EXPECT_EQ(form_->Moment->Options().minute, 35);
    for (const QString& name : {QStringLiteral("张三"), QStringLiteral("王五")}) {
        Select(name);
        ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { Click(*List().btnOpen); }));
        EXPECT_EQ(form_->KarvoInfo().Name, name.toStdString());
        EXPECT_TRUE(form_->KarvoInfo().Place.empty());  // the last person's place does not stay
    }

    // Search as you type.
    TypeText(*List().edtSearch, QStringLiteral("王"));
    EXPECT_EQ(Lines().size(), 1);
    List().edtSearch->clear();

    // Rename one; update another with the form's birth.
    Select(QStringLiteral("王五"));
    EXPECT_TRUE(List().RenameSelected(QStringLiteral("王六")));
    EXPECT_FALSE(List().RenameSelected(QString()));  // an empty name is refused, with a word
    EXPECT_FALSE(Informations().isEmpty());
    Select(QStringLiteral("张三"));
    Read(QStringLiteral("张三"), QStringLiteral("1990"), QStringLiteral("5"), QStringLiteral("17"), QStringLiteral("9"));
    Click(*List().btnUpdate);
    EXPECT_TRUE(Lines().filter(QStringLiteral("张三")).first().contains(QStringLiteral(" 9时"))) << Lines().join('\n').toStdString();
    SaveScreenshot(List(), QStringLiteral("people-list"));

    // Delete after a confirmation: the first answer is no, the second yes.
    Select(QStringLiteral("李四"));
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QTimer::singleShot(200, [answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) box->button(answer)->click();
        });
        Click(*List().btnDelete);
    }
    EXPECT_EQ(Lines().size(), 2);
    EXPECT_TRUE(Lines().filter(QStringLiteral("李四")).isEmpty());
    SaveScreenshot(*form_, QStringLiteral("people-tag"));
    EXPECT_FALSE(Lines().filter(QStringLiteral("王六")).isEmpty());

    // A birth whose hour is unknown is kept so and opens so.
    Select(QStringLiteral("张三"));
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { Click(*List().btnOpen); }));
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { Click(*form_->HourUnknown); }));
    Click(*List().btnUpdate);
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { Click(*form_->HourUnknown); }));
    EXPECT_FALSE(form_->KarvoInfo().HourUnknown);
    EXPECT_FALSE(Lines().filter(QStringLiteral("时辰不详")).isEmpty()) << Lines().join('\n').toStdString();
    Select(QStringLiteral("张三"));
    ASSERT_TRUE(LoadsPage(*form_->wbKarvo, [this] { Click(*List().btnOpen); }));
    EXPECT_TRUE(form_->HourUnknown->IsOn());
    EXPECT_TRUE(form_->KarvoInfo().HourUnknown);
}

}  // namespace
}  // namespace velmora

// The window's own input controls on their own: the number box's typing,
// stepping and range rules, and the GBK byte limit of the name box.
#include "GbkEdit.h"
#include "SpinEdit.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A month box as the form has it, focused and emptied, beside another
// control to move the focus to.
class MonthBox : public ::testing::Test {
protected:
    void SetUp() override {
        box_ = new TSpinEdit(&window_);
        box_->setMaxLength(2);
        box_->setMinValue(1);
        box_->setMaxValue(12);
        box_->setValue(12);
        other_ = new QLineEdit(&window_);
        other_->move(0, 40);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        window_.activateWindow();
        box_->setFocus();
        box_->selectAll();
    }

    void Type(const QString& text) {
        box_->selectAll();
        QTest::keyClick(box_, Qt::Key_Backspace);
        testing_support::TypeText(*box_, text);
    }

    void SendFocusOut(Qt::FocusReason reason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(box_, &out);
    }

    QWidget window_;
    TSpinEdit* box_ = nullptr;
    QLineEdit* other_ = nullptr;
};

struct TypedKey {
    const char* name;
    QString typed;
    QString shown;
    int refusals;
};

class MonthBoxTyping : public MonthBox, public ::testing::WithParamInterface<TypedKey> {};

TEST_P(MonthBoxTyping, TakesDigitsSignsAndTheSeparatorOnly) {
    QSignalSpy refused(box_, &TSpinEdit::Refused);
    Type(GetParam().typed);
    EXPECT_EQ(box_->text(), GetParam().shown);
    EXPECT_EQ(refused.count(), GetParam().refusals);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MonthBoxTyping,
    ::testing::Values(TypedKey{"Digits", "13", "13", 0}, TypedKey{"Letters", "1a2", "12", 1},
                    TypedKey{"Space", "1 ", "1", 1}, TypedKey{"Plus", "+1", "+1", 0},
                    TypedKey{"Minus", "-1", "-1", 0}, TypedKey{"DecimalPoint", "1.", "1.", 0},
                    TypedKey{"ChineseDigit", QStringLiteral("十"), "", 1}, TypedKey{"BeyondMaxLength", "123", "12", 0}),
    [](const ::testing::TestParamInfo<TypedKey>& info) { return std::string(info.param.name); });

TEST_F(MonthBox, EnterIsTakenWithoutARefusal) {
    QSignalSpy refused(box_, &TSpinEdit::Refused);
    Type("13");
    QTest::keyClick(box_, Qt::Key_Return);
    EXPECT_EQ(box_->text(), "13");
    EXPECT_EQ(refused.count(), 0);
}

TEST_F(MonthBox, PastedLettersAreRefused) {
    Type("1");
    QApplication::clipboard()->setText("x2");
    QTest::keyClick(box_, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box_->text(), "1");
}

struct Step {
    const char* name;
    QString start;
    Qt::Key key;
    QString shown;
};

class MonthBoxStepping : public MonthBox, public ::testing::WithParamInterface<Step> {};

TEST_P(MonthBoxStepping, StaysWithinTheRange) {
    Type(GetParam().start);
    QTest::keyClick(box_, GetParam().key);
    EXPECT_EQ(box_->text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, MonthBoxStepping,
    ::testing::Values(Step{"UpInside", "5", Qt::Key_Up, "6"}, Step{"UpAtMaximum", "12", Qt::Key_Up, "12"}, Step{"DownAtMinimum", "1", Qt::Key_Down, "1"},
                    Step{"DownFromAboveTheRange", "13", Qt::Key_Down, "12"},
                    Step{"UpFromAboveTheRange", "20", Qt::Key_Up, "12"},
                    Step{"UpFromBelowTheRange", "0", Qt::Key_Up, "1"},
                    Step{"UpFromNoNumber", "+", Qt::Key_Up, "2"}),
    [](const ::testing::TestParamInfo<Step>& info) { return std::string(info.param.name); });

TEST_F(MonthBox, LeavingForAnotherControlBringsTheNumberIntoRange) {
    Type("13");
    QTest::keyClick(box_, Qt::Key_Tab);
    EXPECT_TRUE(other_->hasFocus());
    EXPECT_EQ(box_->text(), "12");

    box_->setFocus();
    Type("0");
    SendFocusOut(Qt::MouseFocusReason);
    EXPECT_EQ(box_->text(), "1");
}

TEST_F(MonthBox, LeavingWithTheWindowKeepsTheNumberAsTyped) {
    Type("13");
    SendFocusOut(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(box_->text(), "13");
    SendFocusOut(Qt::PopupFocusReason);
    EXPECT_EQ(box_->text(), "13");
}

TEST_F(MonthBox, LeavingKeepsTextThatIsNoNumber) {
    Type("+");
    SendFocusOut(Qt::TabFocusReason);
    EXPECT_EQ(box_->text(), "+");
    EXPECT_EQ(box_->Value(), 1);  // no number counts as the minimum
}

// ---------------------------------------------------------------------------
// The name box

struct NameTyping {
    const char* name;
    QString typed;
    QString shown;
};

class NameBox : public ::testing::TestWithParam<NameTyping> {
protected:
    void SetUp() override {
        box_.setMaxByteLength(4);
        box_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box_));
        box_.setFocus();
    }
    TGbkEdit box_;
};

TEST_P(NameBox, HoldsFourGbkBytes) {
    testing_support::TypeText(box_, GetParam().typed);
    EXPECT_EQ(box_.text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameBox,
    ::testing::Values(NameTyping{"TwoChineseCharacters", QStringLiteral("张三"), QStringLiteral("张三")},
                    NameTyping{"AThirdCharacterIsRefused", QStringLiteral("张三丰"), QStringLiteral("张三")},
                    NameTyping{"FourLetters", "abcde", "abcd"},
                    NameTyping{"LettersAroundACharacter", QStringLiteral("a张bc"), QStringLiteral("a张b")},
                    NameTyping{"ACharacterNeverSplits", QStringLiteral("abc张"), QStringLiteral("abc")},
                    NameTyping{"OutsideGbkCountsFourBytes", QStringLiteral("a😀"), QStringLiteral("a")}),
    [](const ::testing::TestParamInfo<NameTyping>& info) { return std::string(info.param.name); });

TEST(NameBoxPaste, KeepsWhatFitsOfAPastedName) {
    TGbkEdit box;
    box.setMaxByteLength(4);
    box.setText(QStringLiteral("李"));
    box.end(false);
    QApplication::clipboard()->setText(QStringLiteral("四五六"));
    box.paste();
    EXPECT_EQ(box.text(), QStringLiteral("李四"));
    box.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("欧阳修文"));
    box.paste();
    EXPECT_EQ(box.text(), QStringLiteral("欧阳"));
}

TEST(NameBoxDesignText, IsTakenInFullAndCanOnlyShrink) {
    TGbkEdit box;
    box.setMaxByteLength(4);
    box.setText(QStringLiteral("输入姓名"));  // eight bytes, as the form has it
    EXPECT_EQ(box.text(), QStringLiteral("输入姓名"));
    box.end(false);
    box.insert(QStringLiteral("a"));
    EXPECT_EQ(box.text(), QStringLiteral("输入姓名"));
    box.backspace();
    EXPECT_EQ(box.text(), QStringLiteral("输入姓"));
}

}  // namespace
}  // namespace velmora

// TSpinEdit: a number box with spin buttons whose text is the user's, as
// typed: the window reads the text (leading zeros, an hour of 24 or a month
// of 13 included) and checks it itself.
//
// - The buttons, the arrow keys and the wheel step by Increment from the
//   number in the box, and the result is brought into MinValue..MaxValue.
// - Typed characters: digits, "+", "-", the decimal separator and control keys
//   (Enter among them). Any other character is refused with a beep.
// - A number outside the range is brought into it when the focus moves to
//   another control of the window. Focus that leaves with the window (a
//   message box, a menu) changes nothing, so a reading started with Enter
//   uses the number as typed.
#pragma once

#include <QAbstractSpinBox>

namespace velmora {

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE setIncrement)
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int MaxLength() const;
    void setMaxLength(int length);
    int MinValue() const { return min_; }
    void setMinValue(int value) { min_ = value; }
    int MaxValue() const { return max_; }
    void setMaxValue(int value) { max_ = value; }
    int Increment() const { return increment_; }
    void setIncrement(int step) { increment_ = step; }

    // The number in the box; MinValue when the text holds no whole number.
    int Value() const;
    // Shows the value brought into range.
    void setValue(int value);
    // The text as it stands, whatever it holds.
    void setText(const QString& text);

    // `value` brought into MinValue..MaxValue (when the range is not empty).
    int CheckValue(int value) const;
    // True for the characters the box takes as typed.
    bool IsValidChar(QChar c) const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    // A typed character was refused.
    void Refused(QChar c);
    // The user changed the number: typed, pasted or stepped.
    void Edited();

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int min_ = 0;
    int max_ = 0;
    int increment_ = 1;
};

}  // namespace velmora

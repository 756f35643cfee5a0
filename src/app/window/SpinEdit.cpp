#include "SpinEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <optional>

namespace velmora {

namespace {

std::optional<int> WholeNumberOf(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setAccelerated(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, &TSpinEdit::Edited);
}

int TSpinEdit::MaxLength() const {
    return lineEdit()->maxLength();
}

void TSpinEdit::setMaxLength(int length) {
    lineEdit()->setMaxLength(length > 0 ? length : 32767);
}

int TSpinEdit::Value() const {
    return WholeNumberOf(text()).value_or(min_);
}

void TSpinEdit::setValue(int value) {
    setText(QString::number(CheckValue(value)));
}

void TSpinEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

int TSpinEdit::CheckValue(int value) const {
    if (max_ <= min_) {
        return value;  // no range to keep to
    }
    return std::clamp(value, min_, max_);
}

bool TSpinEdit::IsValidChar(QChar c) const {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || QStringView(QLocale().decimalPoint()).contains(c) ||
           c.category() == QChar::Other_Control;
}

void TSpinEdit::stepBy(int steps) {
    setValue(Value() + steps * increment_);
    selectAll();
    emit Edited();
}

QValidator::State TSpinEdit::validate(QString& input, int& /*pos*/) const {
    // Pasted text follows the rule of typed text.
    return std::all_of(input.cbegin(), input.cend(), [this](QChar c) { return IsValidChar(c); }) ? QValidator::Acceptable
                                                                                               : QValidator::Invalid;
}

// A button is live while its step would change the text: at the maximum the
// up button rests, above it the up button still brings the number back.
QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    const auto changes = [this](int steps) { return QString::number(CheckValue(Value() + steps * increment_)) != text(); };
    StepEnabled enabled = StepNone;
    if (changes(1)) {
        enabled |= StepUpEnabled;
    }
    if (changes(-1)) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // the window has already started its reading; the text stays as typed
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && !IsValidChar(typed.front()) && !(event->modifiers() & Qt::ControlModifier)) {
        QApplication::beep();
        emit Refused(typed.front());
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    const bool leavesTheWindow =
        event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
    if (!leavesTheWindow) {
        const std::optional<int> typed = WholeNumberOf(text());
        if (typed && CheckValue(*typed) != *typed) {
            setValue(*typed);
        }
    }
    QAbstractSpinBox::focusOutEvent(event);
}

}  // namespace velmora

#include "GbkEdit.h"

#include "GbkCodec.h"

#include <QValidator>

namespace velmora {

namespace {

// The bytes of a text in GBK (a character outside GBK counts with its GB18030 length).
int GbkLength(const QString& text) {
    return static_cast<int>(GbkByteLength(text.toStdString()));
}

// The part of `inserted` that fits in `budget` GBK bytes, ending at a whole character.
QString GbkPrefixWithin(const QString& inserted, int budget) {
    int used = 0;
    qsizetype end = 0;
    while (end < inserted.size()) {
        // One character: a surrogate pair stays together.
        const qsizetype width = inserted.at(end).isHighSurrogate() && end + 1 < inserted.size() ? 2 : 1;
        used += GbkLength(inserted.mid(end, width));
        if (used > budget) {
            break;
        }
        end += width;
    }
    return inserted.left(end);
}

}  // namespace

// The edit box validates the text after every change; the limit compares it
// with the text before the change to find what was inserted, and keeps of the
// insertion only what fits.
class TGbkEdit::TLimit : public QValidator {
public:
    explicit TLimit(TGbkEdit& edit) : QValidator(&edit), edit_(edit) {
        connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
    }

    State validate(QString& input, int& pos) const override {
        const int limit = edit_.MaxByteLength();
        if (edit_.settingText_ || limit <= 0 || GbkLength(input) <= limit) {
            return Acceptable;
        }
        qsizetype head = 0;
        while (head < input.size() && head < before_.size() && input[head] == before_[head]) {
            ++head;
        }
        qsizetype tail = 0;
        while (tail < input.size() - head && tail < before_.size() - head &&
               input[input.size() - 1 - tail] == before_[before_.size() - 1 - tail]) {
            ++tail;
        }
        const QString inserted = input.mid(head, input.size() - head - tail);
        if (inserted.isEmpty()) {
            return Acceptable;  // only removed: a text set too long may shrink
        }
        const QString kept = input.left(head) + input.right(tail);
        const QString fitting = edit_.RefusesOverflow() ? QString() : GbkPrefixWithin(inserted, limit - GbkLength(kept));
        // Told after the edit settles, never from inside it.
        QMetaObject::invokeMethod(&edit_, &TGbkEdit::Overflowed, Qt::QueuedConnection);
        if (fitting.isEmpty()) {
            return Invalid;
        }
        input = input.left(head) + fitting + input.right(tail);
        pos = static_cast<int>(head + fitting.size());
        return Acceptable;
    }

private:
    TGbkEdit& edit_;
    QString before_;
};

TGbkEdit::TGbkEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new TLimit(*this));
}

void TGbkEdit::setText(const QString& text) {
    settingText_ = true;
    QLineEdit::setText(text);
    settingText_ = false;
}

void TGbkEdit::setMaxByteLength(int bytes) {
    maxBytes_ = bytes < 0 ? 0 : bytes;
}

}  // namespace velmora

// TGbkEdit: an edit box whose maximum length counts the bytes its text takes
// in GBK (two for a Chinese character, one for an ASCII one), as the name box
// of the window limits the name to two Chinese characters or four letters.
//
// Like a limited edit box of the system, the limit holds back what is typed
// or pasted, cutting an insertion short at a whole character; a text set by
// the program (the design text "输入姓名" is eight bytes) is taken as it is.
#pragma once

#include <QLineEdit>

namespace velmora {

class TGbkEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int MaxByteLength READ MaxByteLength WRITE setMaxByteLength)

public:
    explicit TGbkEdit(QWidget* parent = nullptr);

    // 0 means no limit.
    int MaxByteLength() const { return maxBytes_; }
    void setMaxByteLength(int bytes);

    // The program's own text, taken as it is, beyond the limit too.
    void setText(const QString& text);

    // Whether an insertion that does not fit is refused whole instead of cut short.
    bool RefusesOverflow() const { return refuseOverflow_; }
    void setRefusesOverflow(bool refuse) { refuseOverflow_ = refuse; }

signals:
    // An insertion did not fit the limit: it was cut short or refused.
    void Overflowed();

private:
    class TLimit;
    int maxBytes_ = 0;
    bool settingText_ = false;
    bool refuseOverflow_ = false;
};

}  // namespace velmora

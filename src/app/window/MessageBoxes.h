// The message boxes of the program: "提示" information boxes owned by the main
// window, and the error box of the top-level error handler, which carries the
// application title. Tests put a recorder in place of the dialogs.
#pragma once

#include <QString>

#include <exception>

class QWidget;

namespace velmora {

inline constexpr char16_t kApplicationTitle[] = u"Velmora";
inline constexpr char16_t kMessageCaption[] = u"提示";

class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    // Caption "提示", an information icon and an OK button.
    virtual void Information(QWidget* owner, const QString& text) = 0;
    // The error's own text, the application title as caption, an error icon.
    virtual void Error(QWidget* owner, const QString& text) = 0;
    // Caption "提示", a question icon, 是 and 否; true for 是.
    virtual bool Ask(QWidget* owner, const QString& text) = 0;
};

// A yes-or-no question in a modal box titled like the information boxes, in
// the window's script but for the `kept` words (a typed name); true for yes.
bool Confirm(QWidget* owner, const QString& question, const QString& kept = {});

// The text the error box shows for an exception: its own message.
QString ExceptionText(std::exception_ptr error);

// The real, modal dialogs.
class TDialogMessageBoxes final : public TMessageBoxes {
public:
    void Information(QWidget* owner, const QString& text) override;
    void Error(QWidget* owner, const QString& text) override;
    bool Ask(QWidget* owner, const QString& text) override;
};

}  // namespace velmora

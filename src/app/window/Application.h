// TApplication: the program's QApplication. It carries the application title,
// gives every window the program's look (the Fusion style in the colours of
// the result page, the form's 宋体 with a Chinese font to fall back on, Qt's
// own dialogs in Chinese), and
// is the top-level error handler: an exception that no handler caught is shown
// with its own text in the error box, and the program goes on.
#pragma once

#include <QApplication>

#include <exception>

namespace velmora {

class TMessageBoxes;

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);

    // Where the error box goes; none means standard error only.
    void SetMessageBoxes(TMessageBoxes* boxes) { boxes_ = boxes; }
    // Shows an exception that no handler caught.
    void ShowException(std::exception_ptr error);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void LoadQtTranslations();

    TMessageBoxes* boxes_ = nullptr;
};

// The palette of the program's windows, taken from the result page.
QPalette ProgramPalette();

}  // namespace velmora

// What the main window takes from outside, so that tests can stand in for
// it: the clock, the message boxes, the user's web browser, the update
// library, the file dialog and the print dialog.
#pragma once

#include "UpdateLibrary.h"
#include "WebBrowseEx.h"

#include <QDateTime>
#include <QUrl>

#include <functional>

class QPrinter;
class QWidget;

namespace velmora {

class TMessageBoxes;

struct TFormServices {
    // The computer's date and time.
    std::function<QDateTime()> Now;
    TMessageBoxes* Messages = nullptr;
    // Opens a web page in the user's browser.
    std::function<void(const QUrl&)> OpenUrl;
    // DoUpdate of the update library, or null without one.
    std::function<TDoUpdate()> LoadUpdate;
    // Asks where to save a file.
    TWebBrowseEx::TFileDialog AskSaveFile;
    // Lets the user set up `printer`; false when they cancel.
    std::function<bool(QWidget* parent, QPrinter& printer)> AskPrinter;
};

// The real ones: the system clock, `messages`, the desktop's browser, the
// update library in the program's folder and the platform's dialogs.
TFormServices DefaultFormServices(TMessageBoxes& messages);

}  // namespace velmora

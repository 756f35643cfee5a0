// What the main window takes from outside, so that tests can stand in for
// it: the clock, the message boxes, the user's web browser and the update
// library.
#pragma once

#include "UpdateLibrary.h"

#include <QDateTime>
#include <QUrl>

#include <functional>

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
};

// The real ones: the system clock, `messages`, the desktop's browser and the
// update library in the program's folder.
TFormServices DefaultFormServices(TMessageBoxes& messages);

}  // namespace velmora

// Key presses as the browser host sees them: queued key messages with
// virtual-key codes, and the state of the left and right modifier keys.
#pragma once

#include "WebBrowseHost.h"

#include <QtCore/qnamespace.h>

class QKeyEvent;

namespace velmora {

// The virtual-key code of a key event: capitals 0x41..0x5A for letters,
// 0x30..0x39 for digits (also when Shift turned them into symbols), the
// keypad, function, editing and punctuation keys; 0 for keys without one.
int VirtualKeyOf(const QKeyEvent& event);

// Which modifier keys are down, left and right told apart where the window
// system says which one it was. A modifier that the event reports without
// naming its side counts as the left one.
class TKeyboardState {
public:
    void Track(const QKeyEvent& event);
    // Negative while the key is down, as the system's key state reports it.
    std::int16_t KeyState(int virtualKey) const;

private:
    struct Sides {
        bool left = false;
        bool right = false;
    };
    static void TrackSide(Sides& sides, bool pressed, bool isLeft, bool isRight);
    static bool SideDown(bool held, const Sides& sides, bool wantLeft);

    Qt::KeyboardModifiers modifiers_;
    Sides control_;
    Sides alt_;
    Sides shift_;
};

// The queued message that a key press or release stands for.
TMsg KeyMessageOf(const QKeyEvent& event, HWND window);

}  // namespace velmora

#include "KeyMessages.h"

#include <QCursor>
#include <QKeyEvent>

#include <unordered_map>

namespace velmora {

namespace {

// Keysyms of the X window system that name a modifier's side.
constexpr quint32 XK_Shift_L = 0xFFE1;
constexpr quint32 XK_Shift_R = 0xFFE2;
constexpr quint32 XK_Control_L = 0xFFE3;
constexpr quint32 XK_Control_R = 0xFFE4;
constexpr quint32 XK_Alt_L = 0xFFE9;
constexpr quint32 XK_Alt_R = 0xFFEA;
constexpr quint32 XK_ISO_Level3_Shift = 0xFE03;  // the right Alt on many layouts

const std::unordered_map<int, int>& KeyTable() {
    static const std::unordered_map<int, int> table{
        {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09}, {Qt::Key_Return, 0x0D},
        {Qt::Key_Enter, 0x0D}, {Qt::Key_Shift, 0x10}, {Qt::Key_Control, 0x11}, {Qt::Key_Alt, 0x12},
        {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14}, {Qt::Key_Escape, 0x1B}, {Qt::Key_Space, 0x20},
        {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23}, {Qt::Key_Home, 0x24},
        {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26}, {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28},
        {Qt::Key_Print, 0x2C}, {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E}, {Qt::Key_Help, 0x2F},
        {Qt::Key_Meta, 0x5B}, {Qt::Key_Menu, 0x5D}, {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
        {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
        {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
        {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF},
        {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
        {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD},
        {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
        // Shifted digits of the usual layout.
        {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
        {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
    };
    return table;
}

constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F10 = 0x79;

int KeypadKeyOf(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return VK_NUMPAD0 + (key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: return 0;
    }
}

}  // namespace

int VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const int keypad = KeypadKeyOf(key); keypad != 0) {
            return keypad;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key;  // the virtual-key codes of letters and digits are their capitals
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return VK_F1 + (key - Qt::Key_F1);
    }
    const auto found = KeyTable().find(key);
    return found != KeyTable().end() ? found->second : 0;
}

void TKeyboardState::TrackSide(Sides& sides, bool pressed, bool isLeft, bool isRight) {
    if (isLeft) {
        sides.left = pressed;
    }
    if (isRight) {
        sides.right = pressed;
    }
}

void TKeyboardState::Track(const QKeyEvent& event) {
    const bool pressed = event.type() == QEvent::KeyPress;
    const quint32 keysym = event.nativeVirtualKey();
    TrackSide(control_, pressed, keysym == XK_Control_L, keysym == XK_Control_R);
    TrackSide(alt_, pressed, keysym == XK_Alt_L, keysym == XK_Alt_R || keysym == XK_ISO_Level3_Shift);
    TrackSide(shift_, pressed, keysym == XK_Shift_L, keysym == XK_Shift_R);
    // For a modifier key's own press or release the event's modifiers already
    // tell how things stand after it.
    modifiers_ = event.modifiers();
    const int key = event.key();
    if (key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_AltGr || key == Qt::Key_Shift) {
        return;
    }
    // A modifier that is no longer held has neither side down, whatever was missed.
    if (!modifiers_.testFlag(Qt::ControlModifier)) {
        control_ = {};
    }
    if (!modifiers_.testFlag(Qt::AltModifier)) {
        alt_ = {};
    }
    if (!modifiers_.testFlag(Qt::ShiftModifier)) {
        shift_ = {};
    }
}

bool TKeyboardState::SideDown(bool held, const Sides& sides, bool wantLeft) {
    if (!held) {
        return false;
    }
    if (wantLeft) {
        return sides.left || !sides.right;  // an unnamed side counts as the left one
    }
    return sides.right;
}

std::int16_t TKeyboardState::KeyState(int virtualKey) const {
    const bool ctrl = modifiers_.testFlag(Qt::ControlModifier);
    const bool alt = modifiers_.testFlag(Qt::AltModifier);
    const bool shift = modifiers_.testFlag(Qt::ShiftModifier);
    bool down = false;
    switch (virtualKey) {
    case VK_CONTROL: down = ctrl; break;
    case VK_LCONTROL: down = SideDown(ctrl, control_, true); break;
    case VK_RCONTROL: down = SideDown(ctrl, control_, false); break;
    case VK_MENU: down = alt; break;
    case VK_LMENU: down = SideDown(alt, alt_, true); break;
    case VK_RMENU: down = SideDown(alt, alt_, false); break;
    case VK_SHIFT: down = shift; break;
    case VK_LSHIFT: down = SideDown(shift, shift_, true); break;
    case VK_RSHIFT: down = SideDown(shift, shift_, false); break;
    default: break;
    }
    return down ? std::int16_t(-128) : std::int16_t(0);
}

TMsg KeyMessageOf(const QKeyEvent& event, HWND window) {
    const bool pressed = event.type() == QEvent::KeyPress;
    const int virtualKey = VirtualKeyOf(event);
    const bool alt = event.modifiers().testFlag(Qt::AltModifier);
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    // Alt without Ctrl, and F10, make the system variant of the message.
    const bool system = (alt && !ctrl) || virtualKey == VK_F10;
    TMsg msg;
    msg.hwnd = window;
    msg.message = pressed ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    msg.wParam = static_cast<std::uintptr_t>(virtualKey);
    std::uint32_t flags = 1 | ((event.nativeScanCode() & 0xFF) << 16);
    if (alt) {
        flags |= 1u << 29;
    }
    if (!pressed || event.isAutoRepeat()) {
        flags |= 1u << 30;  // the key was down before this message
    }
    if (!pressed) {
        flags |= 1u << 31;
    }
    msg.lParam = static_cast<std::intptr_t>(static_cast<std::int32_t>(flags));
    msg.time = static_cast<std::uint32_t>(event.timestamp());
    const QPoint cursor = QCursor::pos();
    msg.pt = {cursor.x(), cursor.y()};
    return msg;
}

}  // namespace velmora

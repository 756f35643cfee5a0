// Key events as the browser host's queued messages: virtual-key codes, the
// message kinds and the left and right modifiers.
#include "KeyMessages.h"

#include <QKeyEvent>

#include "TestRowNames.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing_support::PrintTo;

QKeyEvent Press(int key, Qt::KeyboardModifiers modifiers = {}, quint32 nativeKey = 0) {
    return QKeyEvent(QEvent::KeyPress, key, modifiers, 0, nativeKey, 0);
}

struct VirtualKeyRow {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    int virtualKey;
};

class VirtualKeys : public testing::TestWithParam<VirtualKeyRow> {};

TEST_P(VirtualKeys, Code) {
    const VirtualKeyRow& row = GetParam();
    EXPECT_EQ(VirtualKeyOf(Press(row.key, row.modifiers)), row.virtualKey);
}

const VirtualKeyRow virtualKeyRows[] = {
    {"LetterN", Qt::Key_N, Qt::ControlModifier, 0x4E},
    {"ShiftedLetterIsStillTheCapital", Qt::Key_N, Qt::ShiftModifier | Qt::ControlModifier, 0x4E},
    {"Digit", Qt::Key_5, {}, 0x35},
    {"ShiftedDigit", Qt::Key_Exclam, Qt::ShiftModifier, 0x31},
    {"KeypadDigit", Qt::Key_5, Qt::KeypadModifier, 0x65},
    {"KeypadPlus", Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
    {"Return", Qt::Key_Return, {}, 0x0D},
    {"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
    {"F1", Qt::Key_F1, {}, 0x70},
    {"F12", Qt::Key_F12, {}, 0x7B},
    {"Escape", Qt::Key_Escape, {}, 0x1B},
    {"Left", Qt::Key_Left, {}, 0x25},
    {"Delete", Qt::Key_Delete, {}, 0x2E},
    {"Semicolon", Qt::Key_Semicolon, {}, 0xBA},
    {"Minus", Qt::Key_Minus, {}, 0xBD},
    {"Unknown", Qt::Key_Launch0, {}, 0},
};
INSTANTIATE_TEST_SUITE_P(Keys, VirtualKeys, testing::ValuesIn(virtualKeyRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyMessages, KindsOfMessage) {
    EXPECT_EQ(KeyMessageOf(Press(Qt::Key_N, Qt::ControlModifier), 7).message, WM_KEYDOWN);
    EXPECT_EQ(KeyMessageOf(Press(Qt::Key_N, Qt::AltModifier), 7).message, WM_SYSKEYDOWN);
    EXPECT_EQ(KeyMessageOf(Press(Qt::Key_N, Qt::AltModifier | Qt::ControlModifier), 7).message, WM_KEYDOWN);
    EXPECT_EQ(KeyMessageOf(Press(Qt::Key_F10), 7).message, WM_SYSKEYDOWN);
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_N, Qt::NoModifier);
    const TMsg up = KeyMessageOf(release, 7);
    EXPECT_EQ(up.message, WM_KEYUP);
    EXPECT_EQ(up.hwnd, 7u);
    EXPECT_EQ(up.wParam, 0x4Eu);
    EXPECT_NE(up.lParam & (std::intptr_t(1) << 30), 0);  // the key was down before
}

TEST(KeyboardState, UnnamedCtrlCountsAsTheLeftOne) {
    TKeyboardState state;
    state.Track(Press(Qt::Key_N, Qt::ControlModifier));
    EXPECT_LT(state.KeyState(VK_CONTROL), 0);
    EXPECT_LT(state.KeyState(VK_LCONTROL), 0);
    EXPECT_EQ(state.KeyState(VK_RCONTROL), 0);
    EXPECT_EQ(state.KeyState(VK_MENU), 0);
}

// The window system names the side through the key's keysym. The press of a
// modifier key comes with the modifiers held before it, as the window system
// reports them.
TEST(KeyboardState, RightCtrlAndRightAltAreToldApart) {
    constexpr quint32 ControlR = 0xFFE4;
    constexpr quint32 AltR = 0xFFEA;
    TKeyboardState state;
    state.Track(Press(Qt::Key_Control, {}, ControlR));
    state.Track(Press(Qt::Key_Alt, Qt::ControlModifier, AltR));
    state.Track(Press(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier));
    EXPECT_LT(state.KeyState(VK_RCONTROL), 0);
    EXPECT_EQ(state.KeyState(VK_LCONTROL), 0);
    EXPECT_LT(state.KeyState(VK_RMENU), 0);
    EXPECT_EQ(state.KeyState(VK_LMENU), 0);
    EXPECT_LT(state.KeyState(VK_MENU), 0);

    // Once Ctrl is no longer held, neither side is down, whatever was missed.
    state.Track(Press(Qt::Key_N, Qt::AltModifier));
    EXPECT_EQ(state.KeyState(VK_RCONTROL), 0);
    EXPECT_EQ(state.KeyState(VK_CONTROL), 0);
}

TEST(KeyboardState, ReleasingTheRightCtrlLeavesTheLeft) {
    constexpr quint32 ControlL = 0xFFE3;
    constexpr quint32 ControlR = 0xFFE4;
    TKeyboardState state;
    state.Track(Press(Qt::Key_Control, {}, ControlL));
    state.Track(Press(Qt::Key_Control, {}, ControlR));
    EXPECT_LT(state.KeyState(VK_RCONTROL), 0);
    state.Track(QKeyEvent(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier, 0, ControlR, 0));
    state.Track(Press(Qt::Key_N, Qt::ControlModifier));
    EXPECT_LT(state.KeyState(VK_LCONTROL), 0);
    EXPECT_EQ(state.KeyState(VK_RCONTROL), 0);
}

}  // namespace
}  // namespace velmora

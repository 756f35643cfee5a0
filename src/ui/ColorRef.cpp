#include "ColorRef.h"

#include <QGuiApplication>
#include <QPalette>

namespace velmora {

namespace {

// The desktop scheme's colour indexes that have a palette counterpart.
QColor SchemeColor(std::uint32_t index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 1:  // desktop
    case 15:  // button face
        return palette.color(QPalette::Button);
    case 5:  // window
        return palette.color(QPalette::Base);
    case 6:  // window frame
    case 16:  // button shadow
        return palette.color(QPalette::Dark);
    case 8:  // window text
        return palette.color(QPalette::Text);
    case 13:  // highlight
        return palette.color(QPalette::Highlight);
    case 14:  // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 17:  // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:  // button text
        return palette.color(QPalette::ButtonText);
    case 20:  // button highlight
        return palette.color(QPalette::Light);
    case 23:  // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24:  // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Window);
    }
}

}  // namespace

QColor ColorFromColorRef(std::int32_t colorRef) {
    const auto value = static_cast<std::uint32_t>(colorRef);
    if (colorRef < 0) {
        return SchemeColor(value & 0xFF);
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

std::int32_t ColorRefFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

}  // namespace velmora

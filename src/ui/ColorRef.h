// Colours as the form's stored numbers give them: 0x00BBGGRR for an explicit
// colour, a negative number (0x80000000 | index) for a colour of the desktop
// scheme, which here comes from the application's palette.
#pragma once

#include <QColor>

#include <cstdint>

namespace velmora {

QColor ColorFromColorRef(std::int32_t colorRef);
// The explicit 0x00BBGGRR number of a colour; alpha is dropped.
std::int32_t ColorRefFromColor(const QColor& color);

}  // namespace velmora

// The window's artwork, compiled into the program under ":/artwork/":
// header.png, btnBegin-<state>.png and btnWEB-<state>.png (state normal,
// enter, down or disable) with their traditional sets btnBegin-traditional-
// <state>.png and btnWEB-traditional-<state>.png, zodiac-00.png to
// zodiac-11.png and imgShengXiao.png.
#pragma once

#include <QString>

namespace velmora {

// Makes the pictures available; call once before the first one is loaded
// (and before a form that names them is set up).
void InitArtwork();

inline constexpr int ZodiacPictureCount = 12;

// ":/artwork/zodiac-NN.png" for animal 0 (鼠) to 11 (猪); empty otherwise.
QString ZodiacPicturePath(int animal);

}  // namespace velmora

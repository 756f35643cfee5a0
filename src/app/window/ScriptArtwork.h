// The drawn captions of the form's image buttons in the window's script. A
// button whose pictures are the artwork named after it (btnBegin shows
// ":/artwork/btnBegin-<state>.png") shows the artwork's traditional set
// (btnBegin-traditional-<state>.png: 開始推算) in every traditional script,
// where the artwork has one, and its own set again in simplified.
#pragma once

#include "Script.h"

namespace velmora {

class TImgButton;

void ShowButtonArtworkInScript(TImgButton& button, Script script);

}  // namespace velmora

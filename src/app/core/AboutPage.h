// The program's About page: what a reading shows, how the bone weight is
// reckoned and its scale, the exact-moment choices, the version, and the
// sources and licences of the place data. Its text is compiled into the
// program (the resource "ABOUT" of type "MYHTML", UTF-8) and written beside
// the result page, whose style sheet and picture it takes, so the result
// browser shows it like a reading and a link leads back to the reading.
#pragma once

#include "Script.h"

#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kAboutPageResource = "ABOUT";
inline constexpr std::string_view kAboutPageFileName = "about.html";
// The window's script menu as the page names it, never converted.
inline constexpr std::string_view kScriptMenuChoices = "简体、繁體（台灣）、繁體（香港）或繁體";

// The page as UTF-8 text in the script: the version and the place data's
// attribution filled in, and a link back to the reading page when
// `linkToReading`.
std::string AboutPageText(Script script, bool linkToReading);

// Where the page lives: beside the result page.
std::string AboutPageLocation();

// Writes the page and the page's picture into the result page's folder,
// with the link back when a reading page is there. Gives the page's path.
// Errors are thrown.
std::string WriteAboutPage(Script script);

}  // namespace velmora

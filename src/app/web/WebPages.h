// The server's own pages: the form for a reading, the page of a problem,
// and the result page laid out for the width of the screen. Every value
// they show is HTML-escaped.
#pragma once

#include <string>
#include <string_view>

namespace velmora::web {

// A form for the reading, made for a 390-pixel phone first; works without
// script, its exact-moment choices folded away.
std::string FormPage();

// The problem with a request, under a heading in the page's language, with
// a way back to the form.
std::string ProblemPage(std::string_view problem);

// The result page (UTF-8 text from the page template) declared as UTF-8
// and fitted to the screen's width, with links back to the form and to
// the same reading as JSON, and `withFiles` as a PDF and a picture (`query`
// is the request's query, reused as is).
std::string ScreenPage(std::string page, std::string_view query, bool withFiles);

}  // namespace velmora::web

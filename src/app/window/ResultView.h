// How the result browser shows every reading page, without touching the
// page's text: each reading starts at the top, and the page's one-pixel
// frame (the border of its body) stays at the edges of the view however far
// the page is scrolled.
#pragma once

namespace velmora {

class TWebBrowseEx;

// Adds the behaviour to every page `browser` loads from now on.
void PrepareResultBrowser(TWebBrowseEx& browser);

}  // namespace velmora

// The reading as a PDF or a PNG without a window and without Qt in this
// process: velmora-render, the helper program beside velmora-cli, draws the
// page with the embedded browser (under Qt's offscreen platform when there is
// no display) and this process only starts it and waits.
#pragma once

#include <string>
#include <string_view>

namespace velmora::cli {

// The helper's path: VELMORA_RENDER when set, else velmora-render beside this program.
std::string RenderHelperPath();

// The bytes of the result page `pageBytes` rendered as `kind` ("pdf" or
// "png"). The page and its picture go to a private temporary folder, which
// is removed afterwards. Errors, the helper's failure among them, are thrown.
std::string RenderPage(std::string_view kind, const std::string& pageBytes);

// The same for a server, on a thread of its own: the process's signals stay
// the server's, and the helper ends within its time bound whatever happens.
std::string RenderPageForServer(std::string_view kind, const std::string& pageBytes);

// Whether the helper is there to be started.
bool RenderHelperAvailable();

}  // namespace velmora::cli

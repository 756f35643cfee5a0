// A page as a file for sharing: a vector A4 PDF made by the engine's own
// printing (text stays text, fonts embedded, backgrounds as on screen) and one
// picture of the whole page at its full height. The window and the rendering
// helper of velmora-cli both use these.
#pragma once

#include <QImage>
#include <QString>
#include <QUrl>

#include <stdexcept>

class QWebEnginePage;

namespace velmora {

// The embedded browser's engine needs its sandbox off when the program runs
// as root, and no graphics processor for the program's plain pages; the
// user's own settings in the environment stay. Call before the application exists.
void PrepareBrowserEnvironment();

// A page that could not be loaded, printed or drawn.
class ERenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kRenderTimeoutMs = 30000;
// The width the result page is laid out at in the window's browser.
inline constexpr int kResultPageWidth = 740;

// Loads `url` into `page` and returns once it has loaded; throws on failure.
void LoadPage(QWebEnginePage& page, const QUrl& url);

// Writes `bytes` to `path` through the safe output path (a temporary file
// renamed into place, the umask's mode); on failure throws "`what`没有写成"
// with the path and the reason in Chinese.
void WriteExportFile(const QString& path, const QByteArray& bytes, const QString& what);

// Writes what `page` shows as an A4 PDF to `path`; returns once it is written.
void WritePagePdf(QWebEnginePage& page, const QString& path);

// Writes `picture` as a PNG to `path`, as WriteExportFile does.
void WritePagePng(const QImage& picture, const QString& path);

// The whole page at `url`, laid out `cssWidth` pixels wide, drawn at `scale`
// picture pixels per page pixel: the picture is as tall as the page's
// scroll height times `scale`.
QImage WholePagePicture(const QUrl& url, int cssWidth, qreal scale);

}  // namespace velmora

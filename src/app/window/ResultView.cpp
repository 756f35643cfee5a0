#include "ResultView.h"

#include "WebBrowseEx.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace velmora {

namespace {

// The body's border, drawn by a fixed box over the whole view instead of
// around the body, which is only as tall as its first screen; the body keeps
// its border's width, so nothing moves. The engine would otherwise bring a
// page opened again at the same address back to the old scroll position.
const char* const ResultPageScript = R"JS(
(function () {
  history.scrollRestoration = 'manual';
  window.scrollTo(0, 0);
  var body = document.body;
  if (!body || document.getElementById('velmora-view-frame')) return;
  var style = getComputedStyle(body);
  if (parseFloat(style.borderTopWidth) <= 0) return;
  var frame = document.createElement('style');
  frame.id = 'velmora-view-frame';
  frame.textContent =
    'html::after{content:"";position:fixed;left:0;top:0;right:0;bottom:0;pointer-events:none;' +
    'z-index:2147483647;border:' + style.borderTopWidth + ' ' + style.borderTopStyle + ' ' +
    style.borderTopColor + '}' +
    'body{border-color:transparent!important}';
  (document.head || document.documentElement).appendChild(frame);
})();
)JS";

}  // namespace

void PrepareResultBrowser(TWebBrowseEx& browser) {
    QWebEngineScript script;
    script.setName(QStringLiteral("velmora-result-view"));
    script.setSourceCode(QString::fromUtf8(ResultPageScript));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    browser.page()->scripts().insert(script);
}

}  // namespace velmora

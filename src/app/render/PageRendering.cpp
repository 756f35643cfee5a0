#include "PageRendering.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfDocumentRenderOptions>
#include <QPageLayout>
#include <QPageSize>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <QLoggingCategory>

#include <functional>

#include "OutputFile.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace velmora {

namespace {

// Runs `start` and waits, at most kRenderTimeoutMs, until `done` is called.
bool WaitUntilDone(const std::function<void(std::function<void()> done)>& start) {
    QEventLoop loop;
    bool finished = false;
    QTimer::singleShot(kRenderTimeoutMs, &loop, &QEventLoop::quit);
    start([&finished, &loop] {
        finished = true;
        loop.quit();
    });
    if (!finished) {
        loop.exec();
    }
    return finished;
}

int RunScriptForInt(QWebEnginePage& page, const QString& script) {
    int value = 0;
    const bool answered = WaitUntilDone([&](std::function<void()> done) {
        page.runJavaScript(script, [&value, done](const QVariant& result) {
            value = result.toInt();
            done();
        });
    });
    if (!answered) {
        throw ERenderError("网页没有回答。");
    }
    return value;
}

}  // namespace

void PrepareBrowserEnvironment() {
#ifndef _WIN32
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
#endif
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }
    // The engine's report on its graphics set-up is for developers, not for every start.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

void LoadPage(QWebEnginePage& page, const QUrl& url) {
    bool loaded = false;
    const bool finished = WaitUntilDone([&](std::function<void()> done) {
        QObject::connect(&page, &QWebEnginePage::loadFinished, &page, [&loaded, done](bool ok) {
            loaded = ok;
            done();
        }, Qt::SingleShotConnection);
        page.load(url);
    });
    if (!finished || !loaded) {
        throw ERenderError(QStringLiteral("无法载入网页：%1").arg(url.toString()).toStdString());
    }
}

void WriteExportFile(const QString& path, const QByteArray& bytes, const QString& what) {
    const std::string name = QFile::encodeName(path).toStdString();
    if (const auto problem = WriteOutputFile(name, std::string_view(bytes.constData(), bytes.size()))) {
        throw ERenderError(QStringLiteral("%1没有写成：%2（%3）")
                               .arg(what, path, QString::fromStdString(ReasonInChinese(problem->error)))
                               .toStdString());
    }
}

void WritePagePdf(QWebEnginePage& page, const QString& path) {
    // Backgrounds print as the screen shows them: the motif comes along.
    page.settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                         QPageLayout::Millimeter);
    // Into memory first: the file is then written whole or not at all.
    QByteArray pdf;
    const bool finished = WaitUntilDone([&](std::function<void()> done) {
        page.printToPdf([&pdf, done](const QByteArray& bytes) {
            pdf = bytes;
            done();
        }, a4);
    });
    if (!finished || pdf.isEmpty()) {
        throw ERenderError(QStringLiteral("PDF 文件没有写成：%1").arg(path).toStdString());
    }
    WriteExportFile(path, pdf, QStringLiteral("PDF 文件"));
}

void WritePagePng(const QImage& picture, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG")) {
        throw ERenderError(QStringLiteral("图片没有保存：%1").arg(path).toStdString());
    }
    WriteExportFile(path, png, QStringLiteral("图片"));
}

QImage WholePagePicture(const QUrl& url, int cssWidth, qreal scale) {
    // The page laid out at the width asked for, never on screen, measured.
    QWebEngineView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(cssWidth, 600);
    view.show();
    LoadPage(*view.page(), url);
    // Folded parts (the chart's luck pillars) print their contents; opened
    // on screen too, the page measures as tall as it prints.
    const int cssHeight = RunScriptForInt(
        *view.page(), QStringLiteral("document.querySelectorAll('details').forEach(d => d.open = true);"
                                     "Math.max(document.documentElement.scrollHeight, document.body.scrollHeight)"));
    // Printed onto one sheet exactly as large as the page (a page pixel is
    // 0.75 point), then drawn at the picture's resolution: the engine draws
    // all of it in one go, however tall.
    const QPageLayout sheet(QPageSize(QSizeF(cssWidth * 0.75, cssHeight * 0.75), QPageSize::Point),
                            QPageLayout::Portrait, QMarginsF());
    view.page()->settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    QByteArray pdf;
    const bool printed = WaitUntilDone([&](std::function<void()> done) {
        view.page()->printToPdf([&pdf, done](const QByteArray& bytes) {
            pdf = bytes;
            done();
        }, sheet);
    });
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    if (!printed || pdf.isEmpty() || (document.load(&buffer), document.pageCount() < 1)) {
        throw ERenderError("网页没有画成图片。");
    }
    QPdfDocumentRenderOptions options;
    options.setRenderFlags(QPdfDocumentRenderOptions::RenderFlag::Annotations);
    QImage picture = document.render(0, QSize(qRound(cssWidth * scale), qRound(cssHeight * scale)), options);
    // Transparent where nothing is drawn: the page's paper shows there instead.
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, picture);
    return flat;
}

}  // namespace velmora

// velmora-render: the rendering helper of velmora-cli. It turns a result page
// file into a PDF or a PNG with the embedded browser, without a window on
// screen, so that velmora-cli itself needs no Qt.
//
//   velmora-render pdf|png PAGE OUTPUT
//
// Without a display it uses Qt's offscreen platform.
#include "PageRendering.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>
#include <QWebEnginePage>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "pdf") != 0 && std::strcmp(argv[1], "png") != 0)) {
        std::fprintf(stderr, "usage: velmora-render pdf|png PAGE OUTPUT\n");
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    velmora::PrepareBrowserEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QUrl page = QUrl::fromLocalFile(QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath());
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
    try {
        if (std::strcmp(argv[1], "pdf") == 0) {
            QWebEnginePage engine;
            velmora::LoadPage(engine, page);
            velmora::WritePagePdf(engine, output);
        } else {
            // Twice the scale of a plain screen, sharp on today's phones.
            velmora::WritePagePng(velmora::WholePagePicture(page, velmora::kResultPageWidth, 2.0), output);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora-render: %s\n", e.what());
        return 1;
    }
    return 0;
}

#include "ReadingExport.h"

#include "MessageBoxes.h"
#include "MomentSettings.h"
#include "OutputFile.h"
#include "PageRendering.h"
#include "ResultPage.h"
#include "WebBrowseEx.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QEventLoop>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace velmora {

namespace {

// The engine's single-file page keeps the style's relative address of the
// picture, which a page opened from an archive may not load from the disk:
// the address becomes one inside the archive, and the picture joins it as
// one more part under that address.
QByteArray WebArchiveWithPicture(const QString& archivePath) {
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EBrowserError(QStringLiteral("无法读取保存的网页：%1").arg(archivePath).toStdString());
    }
    QByteArray archive = file.readAll();
    file.close();
    const QRegularExpressionMatch boundary =
        QRegularExpression(QStringLiteral("boundary=\"([^\"]+)\"")).match(QString::fromLatin1(archive.left(4096)));
    const QByteArray end = "--" + boundary.captured(1).toLatin1() + "--";
    const qsizetype at = boundary.hasMatch() ? archive.lastIndexOf(end) : -1;
    if (at < 0) {
        throw EBrowserError(QStringLiteral("保存的网页不是单个文件网页：%1").arg(archivePath).toStdString());
    }
    const QByteArray pictureId = "page-picture@velmora";
    QByteArray part = "--" + boundary.captured(1).toLatin1() +
                      "\r\nContent-Type: image/gif\r\nContent-ID: <" + pictureId +
                      ">\r\nContent-Transfer-Encoding: base64\r\nContent-Location: cid:" + pictureId + "\r\n\r\n";
    const std::string_view bytes = PagePictureBytes();
    const QByteArray encoded = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64();
    for (qsizetype line = 0; line < encoded.size(); line += 76) {
        part += encoded.mid(line, 76) + "\r\n";
    }
    part += "\r\n";
    archive.insert(at, part);
    // The style sheets are quoted-printable, so a soft line break ("=" at a
    // line's end) may fall anywhere in the address. The engine writes the
    // picture's address quoted, as url("bg.gif").
    QString pattern;
    for (const QChar c : QStringLiteral(R"(url("bg.gif"))")) {
        pattern += (pattern.isEmpty() ? QString() : QStringLiteral("(?:=\r\n)?")) +
                   QRegularExpression::escape(QString(c));
    }
    QString text = QString::fromLatin1(archive);
    text.replace(QRegularExpression(pattern), QStringLiteral("url(\"cid:%1\")").arg(QString::fromLatin1(pictureId)));
    return text.toLatin1();
}

// A page saved without its picture is no saved page: it goes, and the
// reason is told as a failed save's.
[[noreturn]] void FailPageSave(const QString& pagePath, const OutputProblem& problem) {
    QFile::remove(pagePath);
    throw EBrowserError(QStringLiteral("网页保存失败：%1（%2）")
                            .arg(pagePath, QString::fromStdString(ReasonInChinese(problem.error)))
                            .toStdString());
}

const QString kLastFolderKey = QStringLiteral("export/folder");

using PageFormat = QWebEngineDownloadRequest::SavePageFormat;

}  // namespace

std::optional<ExportFormat> FormatNamedBy(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mhtml") || suffix == QLatin1String("mht")) return ExportFormat::WebArchive;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return ExportFormat::Page;
    if (suffix == QLatin1String("pdf")) return ExportFormat::Pdf;
    if (suffix == QLatin1String("png")) return ExportFormat::Png;
    return std::nullopt;
}

namespace {

// The engine's way of saving for the format a name asks for; a page as
// HTML keeps the way the dialog chose (complete, or the page alone).
PageFormat EnginePageFormat(ExportFormat format, PageFormat chosen) {
    if (format == ExportFormat::WebArchive) return QWebEngineDownloadRequest::MimeHtmlSaveFormat;
    return chosen == QWebEngineDownloadRequest::MimeHtmlSaveFormat ? QWebEngineDownloadRequest::CompleteHtmlSaveFormat
                                                                    : chosen;
}

ExportFormat FormatOfEngine(PageFormat format) {
    return format == QWebEngineDownloadRequest::MimeHtmlSaveFormat ? ExportFormat::WebArchive : ExportFormat::Page;
}

}  // namespace

TReadingExport::TReadingExport(QWidget& owner, TWebBrowseEx& browser, const TFormServices& services)
    : owner_(owner),
      browser_(browser),
      services_(services),
      baseName_(QString::fromUtf8(ReadingFileBaseName(TKarvoInfo{}, {}))),
      lastFolder_(OpenWindowSettings()->value(kLastFolderKey).toString()) {
    // The folder last saved to, kept between starts while it still exists;
    // else the documents folder, else home.
    if (lastFolder_.isEmpty() || !QFileInfo(lastFolder_).isDir()) {
        lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (lastFolder_.isEmpty() || !QFileInfo(lastFolder_).isDir()) {
        lastFolder_ = QDir::homePath();
    }
}

void TReadingExport::SetReading(const TKarvoInfo& reading, const QString& name) {
    baseName_ = QString::fromUtf8(ReadingFileBaseName(reading, name.toStdString()));
    shown_ = true;
    unavailableReason_.clear();
}

void TReadingExport::SetUnavailable(const QString& reason) {
    shown_ = false;
    unavailableReason_ = reason;
}

bool TReadingExport::ReadingShown(const QString& action) const {
    if (shown_) {
        return true;
    }
    QString text = QStringLiteral("现在没有显示算命结果，无法%1。").arg(action);
    if (!unavailableReason_.isEmpty()) {
        text += QStringLiteral("\n原因：%1").arg(unavailableReason_);
    }
    services_.Messages->Information(&owner_, text);
    return false;
}

QString TReadingExport::ProposedPath(const QString& extension) const {
    return QDir(lastFolder_).filePath(baseName_ + extension);
}

void TReadingExport::Remember(const QString& path) {
    if (!path.isEmpty()) {
        lastFolder_ = QFileInfo(path).absolutePath();
        const std::unique_ptr<QSettings> settings = OpenWindowSettings();
        settings->setValue(kLastFolderKey, lastFolder_);
        KeepWindowSettings(*settings);
    }
}

QString TReadingExport::AskFile(const QString& caption, const QString& extension, const QString& filter) {
    QString selected = filter;
    QString path = services_.AskSaveFile(&owner_, caption, ProposedPath(extension), filter, selected);
    if (path.isEmpty()) {
        return {};
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += extension;
    }
    return path;
}

// The folder is remembered only once the file is there: a failed save
// proposes the same folder again.
void TReadingExport::SaveAs(const QString& path, ExportFormat chosen, PageFormat pageFormat) {
    const ExportFormat format = FormatNamedBy(path).value_or(chosen);
    switch (format) {
    case ExportFormat::Page:
    case ExportFormat::WebArchive: SaveWholePage(path, EnginePageFormat(format, pageFormat)); break;
    case ExportFormat::Pdf: WritePagePdf(*browser_.page(), path); break;
    case ExportFormat::Png: WritePicture(path); break;
    }
    Remember(path);
}

// A single-file page carries its picture inside; the others find it beside
// them. Both go through the safe output path.
void TReadingExport::SaveWholePage(const QString& path, PageFormat format) {
    browser_.SavePageTo(path, format);
    std::optional<OutputProblem> problem;
    if (format == QWebEngineDownloadRequest::MimeHtmlSaveFormat) {
        const QByteArray archive = WebArchiveWithPicture(path);
        problem = WriteOutputFile(QFile::encodeName(path).toStdString(),
                                  std::string_view(archive.constData(), archive.size()));
    } else {
        const QString picture = QFileInfo(path).absoluteDir().filePath(
            QString::fromUtf8(kPagePictureFileName.data(), kPagePictureFileName.size()));
        problem = WriteOutputFile(QFile::encodeName(picture).toStdString(), PagePictureBytes(), OutputName::Beside);
    }
    if (problem) {
        FailPageSave(path, *problem);
    }
}

void TReadingExport::SavePage() {
    if (!ReadingShown(QStringLiteral("导出"))) {
        return;
    }
    PageFormat format = QWebEngineDownloadRequest::CompleteHtmlSaveFormat;
    const QString path =
        TWebBrowseEx::SaveAsDialogUsing(services_.AskSaveFile)(&owner_, ProposedPath(QStringLiteral(".html")), format);
    if (!path.isEmpty()) {
        SaveAs(path, FormatOfEngine(format), format);
    }
}

void TReadingExport::SavePdf() {
    if (!ReadingShown(QStringLiteral("导出PDF"))) {
        return;
    }
    const QString path = AskFile(QStringLiteral("导出PDF"), QStringLiteral(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"));
    if (!path.isEmpty()) {
        SaveAs(path, ExportFormat::Pdf);
    }
}

void TReadingExport::Print() {
    if (!ReadingShown(QStringLiteral("打印"))) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(baseName_);
    if (!services_.AskPrinter(&owner_, printer)) {
        return;
    }
    QEventLoop loop;
    bool finished = false;
    bool printed = false;
    QObject::connect(&browser_, &QWebEngineView::printFinished, &loop, [&](bool ok) {
        finished = true;
        printed = ok;
        loop.quit();
    });
    QTimer::singleShot(kRenderTimeoutMs, &loop, &QEventLoop::quit);
    browser_.print(&printer);
    if (!finished) {
        loop.exec();
    }
    if (!printed) {
        throw EBrowserError("算命结果没有打印出来。");
    }
}

void TReadingExport::SavePicture() {
    if (!ReadingShown(QStringLiteral("保存为图片"))) {
        return;
    }
    const QString path =
        AskFile(QStringLiteral("保存为图片"), QStringLiteral(".png"), QStringLiteral("PNG 图片 (*.png)"));
    if (!path.isEmpty()) {
        SaveAs(path, ExportFormat::Png);
    }
}

void TReadingExport::WritePicture(const QString& path) {
    // Twice the screen's own scale, sharp on the phones the picture is sent to.
    const qreal screenScale = owner_.screen() != nullptr ? owner_.screen()->devicePixelRatio() : 1.0;
    WritePagePng(WholePagePicture(browser_.url(), browser_.width(), 2 * screenScale), path);
}

}  // namespace velmora

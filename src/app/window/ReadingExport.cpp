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
    // The page's own save goes through the same proposal and the same folder.
    browser_.setSaveAsDialog([this](QWidget* parent, const QString& /*engineProposal*/,
                                    QWebEngineDownloadRequest::SavePageFormat& format) {
        const QString path =
            TWebBrowseEx::SaveAsDialogUsing(services_.AskSaveFile)(parent, ProposedPath(QStringLiteral(".html")), format);
        Remember(path);
        savedPagePath_ = path;
        savedPageFormat_ = format;
        return path;
    });
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
    if (shown_ && ShowsReadingPage()) {
        return true;
    }
    if (shown_) {
        services_.Messages->Information(
            &owner_, QStringLiteral("结果页现在显示的不是算命结果，无法%1。请先返回算命结果。").arg(action));
        return false;
    }
    QString text = QStringLiteral("现在没有显示算命结果，无法%1。").arg(action);
    if (!unavailableReason_.isEmpty()) {
        text += QStringLiteral("\n原因：%1").arg(unavailableReason_);
    }
    services_.Messages->Information(&owner_, text);
    return false;
}

// The browser may show another page of the program's (the About page)
// instead of the reading's page, which only its own address tells.
bool TReadingExport::ShowsReadingPage() const {
    const QUrl shown = browser_.url().adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    return shown == QUrl::fromLocalFile(QString::fromStdString(ResultPageLocation().page));
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
    Remember(path);
    return path;
}

void TReadingExport::SavePage() {
    if (!ReadingShown(QStringLiteral("导出"))) {
        return;
    }
    savedPagePath_.clear();
    browser_.ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_DODEFAULT);
    if (savedPagePath_.isEmpty() || !QFileInfo::exists(savedPagePath_)) {
        return;  // cancelled
    }
    // A single-file page carries its picture inside; the others find it
    // beside them. Both go through the safe output path.
    std::optional<OutputProblem> problem;
    if (savedPageFormat_ == QWebEngineDownloadRequest::MimeHtmlSaveFormat) {
        const QByteArray archive = WebArchiveWithPicture(savedPagePath_);
        problem = WriteOutputFile(QFile::encodeName(savedPagePath_).toStdString(),
                                  std::string_view(archive.constData(), archive.size()));
    } else {
        const QString picture =
            QFileInfo(savedPagePath_).absoluteDir().filePath(QString::fromUtf8(kPagePictureFileName.data(),
                                                                             kPagePictureFileName.size()));
        problem = WriteOutputFile(QFile::encodeName(picture).toStdString(), PagePictureBytes(), OutputName::Beside);
    }
    if (problem) {
        FailPageSave(savedPagePath_, *problem);
    }
}

void TReadingExport::SavePdf() {
    if (!ReadingShown(QStringLiteral("导出PDF"))) {
        return;
    }
    const QString path = AskFile(QStringLiteral("导出PDF"), QStringLiteral(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"));
    if (!path.isEmpty()) {
        WritePagePdf(*browser_.page(), path);
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
    if (path.isEmpty()) {
        return;
    }
    // Twice the screen's own scale, sharp on the phones the picture is sent to.
    const qreal screenScale = owner_.screen() != nullptr ? owner_.screen()->devicePixelRatio() : 1.0;
    WritePagePng(WholePagePicture(browser_.url(), browser_.width(), 2 * screenScale), path);
}

}  // namespace velmora

// The reading shown in the result browser as files to keep and share: the
// page itself (导出算命结果), a PDF (导出PDF…), a printout (打印…) and one
// picture of the whole page (保存为图片…).
//
// Every save dialog proposes the name and birth date of the reading as the
// file's name, in the folder last saved to. A name typed with the extension
// of another format (.mhtml, .html, .pdf, .png) is saved in that format.
// With no reading shown the commands say why instead of doing nothing.
// Errors are thrown.
#pragma once

#include "FormServices.h"
#include "KarvoInfo.h"

#include <QString>

#include <optional>
#include <QWebEngineDownloadRequest>

class QWidget;

namespace velmora {

class TWebBrowseEx;

enum class ExportFormat { Page, WebArchive, Pdf, Png };

// The format a file name asks for by its extension; none for another one.
std::optional<ExportFormat> FormatNamedBy(const QString& path);

class TReadingExport {
public:
    TReadingExport(QWidget& owner, TWebBrowseEx& browser, const TFormServices& services);

    // The reading the browser now shows, with the name it was made for.
    void SetReading(const TKarvoInfo& reading, const QString& name);
    // No reading is shown, for `reason`.
    void SetUnavailable(const QString& reason);

    void SavePage();
    void SavePdf();
    void Print();
    void SavePicture();

    QString LastFolder() const { return lastFolder_; }

private:
    // Tells why not when no reading is shown.
    bool ReadingShown(const QString& action) const;
    QString ProposedPath(const QString& extension) const;
    // The file dialog with the proposed path; remembers the folder chosen.
    QString AskFile(const QString& caption, const QString& extension, const QString& filter);
    void Remember(const QString& path);
    // Saves in the format the name asks for, else in `chosen`.
    void SaveAs(const QString& path, ExportFormat chosen,
                QWebEngineDownloadRequest::SavePageFormat pageFormat = QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
    void SaveWholePage(const QString& path, QWebEngineDownloadRequest::SavePageFormat format);
    void WritePicture(const QString& path);

    QWidget& owner_;
    TWebBrowseEx& browser_;
    const TFormServices& services_;
    QString baseName_;
    bool shown_ = false;
    QString unavailableReason_;
    QString lastFolder_;
};

}  // namespace velmora

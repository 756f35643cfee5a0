// The reading shown in the result browser as files to keep and share: the
// page itself (导出算命结果), a PDF (导出PDF…), a printout (打印…) and one
// picture of the whole page (保存为图片…).
//
// Every save dialog proposes the name and birth date of the reading as the
// file's name, in the folder last saved to. With no reading shown (none made,
// or the browser showing the About page instead) the commands say why
// instead of doing nothing. Errors are thrown.
#pragma once

#include "FormServices.h"
#include "KarvoInfo.h"

#include <QString>
#include <QWebEngineDownloadRequest>

class QWidget;

namespace velmora {

class TWebBrowseEx;

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
    bool ShowsReadingPage() const;
    QString ProposedPath(const QString& extension) const;
    // The file dialog with the proposed path; remembers the folder chosen.
    QString AskFile(const QString& caption, const QString& extension, const QString& filter);
    void Remember(const QString& path);

    QWidget& owner_;
    TWebBrowseEx& browser_;
    const TFormServices& services_;
    QString baseName_;
    bool shown_ = false;
    QString unavailableReason_;
    QString lastFolder_;
    QString savedPagePath_;
    QWebEngineDownloadRequest::SavePageFormat savedPageFormat_ = QWebEngineDownloadRequest::CompleteHtmlSaveFormat;
};

}  // namespace velmora

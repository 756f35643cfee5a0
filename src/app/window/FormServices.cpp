#include "FormServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace velmora {

TFormServices DefaultFormServices(TMessageBoxes& messages) {
    TFormServices services;
    services.Now = [] { return QDateTime::currentDateTime(); };
    services.Messages = &messages;
    services.OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    auto library = std::make_shared<TUpdateLibrary>(QCoreApplication::applicationDirPath());
    services.LoadUpdate = [library] { return library->Resolve(); };
    services.AskSaveFile = TWebBrowseEx::AskFileWithDesktopDialog;
    services.AskPrinter = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    return services;
}

}  // namespace velmora

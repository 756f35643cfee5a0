#include "MessageBoxes.h"

#include "WindowScript.h"

#include <QMessageBox>

#include <stdexcept>

namespace velmora {

QString ExceptionText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("发生了未知错误。");
    }
}

void TDialogMessageBoxes::Information(QWidget* owner, const QString& text) {
    QMessageBox::information(owner, InWindowScript(QString::fromUtf16(kMessageCaption)), InWindowScript(text),
                             QMessageBox::Ok);
}

bool Confirm(QWidget* owner, const QString& question, const QString& kept) {
    return QMessageBox::question(owner, InWindowScript(QString::fromUtf16(kMessageCaption)),
                                 InWindowScript(question, kept)) == QMessageBox::Yes;
}

void TDialogMessageBoxes::Error(QWidget* owner, const QString& text) {
    QMessageBox::critical(owner, QString::fromUtf16(kApplicationTitle), InWindowScript(text), QMessageBox::Ok);
}

bool TDialogMessageBoxes::Ask(QWidget* owner, const QString& text) { return Confirm(owner, text); }

}  // namespace velmora

// 在手机上打开…: the reading server of velmora-cli serve inside the window's
// process, on the computer's address in the local network, so that the
// phones of the house can read too. After the user agrees, a small dialog
// shows the address as text and as a QR code; the server stops with the
// dialog's button, when the dialog is closed, or with the window.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <memory>
#include <thread>

class QLabel;
class QPushButton;

namespace velmora {

class TDatabaseConnection;
class TMessageBoxes;

namespace cli {
class ReadingServer;
}

// The port tried first; when it is taken, any free one.
inline constexpr unsigned short kPhonePort = 8288;

// The first IPv4 address of a running interface that is no loopback; empty
// when the computer has none.
QString LocalNetworkAddress();

// The QR code of `text`, `moduleSize` pixels a module, with the quiet zone
// of four modules around it; a null image when it cannot be encoded.
QImage QrCodeImage(const QString& text, int moduleSize);

// The server on a thread of its own, serving a copy in memory of the
// window's database; stopped and waited for when destroyed.
class TPhoneServer {
public:
    // Listens on `address` at kPhonePort, or at a free port when that one is
    // taken. Throws with the reason when it cannot.
    TPhoneServer(const TDatabaseConnection& source, const QString& address);
    ~TPhoneServer();
    TPhoneServer(const TPhoneServer&) = delete;
    TPhoneServer& operator=(const TPhoneServer&) = delete;

    QString Url() const { return url_; }

private:
    std::unique_ptr<cli::ReadingServer> server_;
    QString url_;
    std::thread thread_;
};

class TPhoneDialog : public QDialog {
    Q_OBJECT

public:
    // A dialog of `owner`'s, serving `source`'s readings once offered; it
    // stops serving when `owner` closes.
    TPhoneDialog(QWidget& owner, const TDatabaseConnection& source, TMessageBoxes& messages);
    ~TPhoneDialog() override;

    // Asks the user, starts the server and shows the dialog; a server that
    // cannot start is told about in a box. When serving already, shows the
    // dialog again.
    void Offer();
    bool Serving() const { return server_ != nullptr; }
    QString Url() const;

    QLabel* lblUrl = nullptr;
    QLabel* imgQrCode = nullptr;
    QPushButton* btnStop = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void Start(const QString& address);
    void ShowServer();
    void StopServing();

    const TDatabaseConnection& source_;
    TMessageBoxes& messages_;
    std::unique_ptr<TPhoneServer> server_;
};

}  // namespace velmora

#include "PhoneDialog.h"

#include "MessageBoxes.h"
#include "ReadingDatabase.h"
#include "ReadingServer.h"
#include "WindowScript.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInterface>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <qrencode.h>

#include <stdexcept>

namespace velmora {

namespace {

constexpr int kQuietModules = 4;
constexpr int kQrModulePixels = 6;

QString FromUtf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QString LocalNetworkAddress() {
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : face.addressEntries()) {
            const QHostAddress ip = entry.ip();
            // A link-local address is what a computer gives itself without a network.
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback() && !ip.isLinkLocal()) {
                return ip.toString();
            }
        }
    }
    return {};
}

QImage QrCodeImage(const QString& text, int moduleSize) {
    const QByteArray bytes = text.toUtf8();
    QRcode* code = QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (code == nullptr) {
        return {};
    }
    const int width = code->width;
    const int side = (width + 2 * kQuietModules) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x) {
            // The lowest bit of a module is its colour: 1 is dark.
            if (code->data[y * width + x] & 1) {
                painter.fillRect((x + kQuietModules) * moduleSize, (y + kQuietModules) * moduleSize, moduleSize,
                                 moduleSize, Qt::black);
            }
        }
    }
    QRcode_free(code);
    return image;
}

// ---------------------------------------------------------------------------
// TPhoneServer

namespace {

// The reading server at the phone port, or at a free one when another
// program has that; a database that cannot be copied is no port's fault.
std::unique_ptr<cli::ReadingServer> ListenAt(const TDatabaseConnection& source, const std::string& host) {
    try {
        return std::make_unique<cli::ReadingServer>(source, host, kPhonePort);
    } catch (const EDatabaseError&) {
        throw;
    } catch (const std::runtime_error&) {
        return std::make_unique<cli::ReadingServer>(source, host, 0);
    }
}

}  // namespace

TPhoneServer::TPhoneServer(const TDatabaseConnection& source, const QString& address)
    : server_(ListenAt(source, address.toStdString())) {
    url_ = QStringLiteral("http://%1:%2/").arg(address).arg(server_->Server().Port());
    web::WebServer& server = server_->Server();
    thread_ = std::thread([&server] {
        try {
            server.Serve();
        } catch (const std::exception&) {
            // Serving ends; the dialog still stops and waits for this thread.
        }
    });
}

TPhoneServer::~TPhoneServer() {
    server_->Server().Stop();
    thread_.join();
}

// ---------------------------------------------------------------------------
// TPhoneDialog

TPhoneDialog::TPhoneDialog(QWidget& owner, const TDatabaseConnection& source, TMessageBoxes& messages)
    : QDialog(&owner), source_(source), messages_(messages) {
    setObjectName(QStringLiteral("PhoneDialog"));
    setWindowTitle(QStringLiteral("在手机上打开"));
    auto* hint = new QLabel(
        QStringLiteral("用手机扫描二维码，或在手机的浏览器里输入下面的地址。手机要和这台电脑连在同一个网络上。"), this);
    hint->setWordWrap(true);
    imgQrCode = new QLabel(this);
    imgQrCode->setObjectName(QStringLiteral("imgQrCode"));
    imgQrCode->setAlignment(Qt::AlignCenter);
    lblUrl = new QLabel(this);
    lblUrl->setObjectName(QStringLiteral("lblUrl"));
    lblUrl->setAlignment(Qt::AlignCenter);
    lblUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblUrl->setStyleSheet(QStringLiteral("font-size: 16px; font-weight: bold;"));
    KeepTextAsIs(*lblUrl);
    btnStop = new QPushButton(QStringLiteral("停止"), this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setToolTip(QStringLiteral("停止在局域网中提供算命网页"));
    connect(btnStop, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnStop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(imgQrCode);
    layout->addWidget(lblUrl);
    layout->addLayout(buttons);
    setFixedWidth(340);
    owner.installEventFilter(this);
}

TPhoneDialog::~TPhoneDialog() = default;

QString TPhoneDialog::Url() const { return server_ ? server_->Url() : QString(); }

void TPhoneDialog::Offer() {
    if (server_) {
        ShowServer();
        return;
    }
    const QString address = LocalNetworkAddress();
    if (address.isEmpty()) {
        messages_.Information(parentWidget(), QStringLiteral("这台电脑没有连在局域网上（找不到它在网络中的地址），"
                                                             "手机无法打开。请先连上无线网或有线网络。"));
        return;
    }
    const QString question =
        QStringLiteral("在手机上打开会让这台电脑在局域网地址 %1（端口 %2，被占用时另选空闲端口）上提供算命网页，"
                       "同一网络中的手机、平板和电脑都能打开，直到您按“停止”或关闭程序。\n\n现在开始吗？")
            .arg(address)
            .arg(kPhonePort);
    if (!messages_.Ask(parentWidget(), question)) {
        return;
    }
    Start(address);
}

void TPhoneDialog::Start(const QString& address) {
    try {
        server_ = std::make_unique<TPhoneServer>(source_, address);
    } catch (const EDatabaseError& error) {
        messages_.Information(parentWidget(), QStringLiteral("算命数据库没能读入，无法在手机上打开：") +
                                                  FromUtf8(error.what()));
        return;
    } catch (const std::exception& error) {
        messages_.Information(parentWidget(),
                              QStringLiteral("没能在 %1 上提供算命网页（地址或端口不能用）：").arg(address) +
                                  FromUtf8(error.what()));
        return;
    }
    ShowServer();
}

void TPhoneDialog::ShowServer() {
    lblUrl->setText(server_->Url());
    imgQrCode->setPixmap(QPixmap::fromImage(QrCodeImage(server_->Url(), kQrModulePixels)));
    ShowTextsInWindowScript(*this);
    adjustSize();
    show();
    raise();
    activateWindow();
}

void TPhoneDialog::StopServing() { server_.reset(); }

bool TPhoneDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Close) {
        StopServing();
        hide();
    }
    return QDialog::eventFilter(watched, event);
}

// Every way the dialog goes (the button, Esc, its close box) stops serving.
void TPhoneDialog::done(int result) {
    StopServing();
    QDialog::done(result);
}

}  // namespace velmora

#include "SingleCopy.h"

#include "UnitPublic.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include <cstdio>
#include <exception>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

QString UserName() {
#ifdef _WIN32
    return qEnvironmentVariable("USERNAME");
#else
    if (const passwd* user = getpwuid(geteuid())) {
        return QString::fromLocal8Bit(user->pw_name);
    }
    return QString::number(geteuid());
#endif
}

QString PrivateFolder() {
    try {
        return QString::fromStdString(GetTempFolder());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora: %s; a second start cannot find this one\n", e.what());
        return {};
    }
}

}  // namespace

QByteArray LittleEndianWords(std::initializer_list<std::uint32_t> words) {
    QByteArray bytes(static_cast<qsizetype>(words.size() * 4), '\0');
    char* at = bytes.data();
    for (const std::uint32_t word : words) {
        qToLittleEndian(word, at);
        at += 4;
    }
    return bytes;
}

TSingleCopyGuard::TSingleCopyGuard(const QString& lockName, const QString& folder) {
    const QString base = folder.isEmpty() ? PrivateFolder() : folder;
    if (base.isEmpty()) {
        return;
    }
    lockPath_ = QDir(base).filePath(lockName + QStringLiteral(".lock"));
    serverName_ = QDir(base).filePath(lockName + QLatin1Char('-') + UserName() + QStringLiteral(".socket"));
}

TSingleCopyGuard::~TSingleCopyGuard() {
    delete server_.data();
}

bool TSingleCopyGuard::Acquire() {
    if (lockPath_.isEmpty()) {
        return true;
    }
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Only a dead holder makes a lock stale, never its age.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    if (lock_->error() == QLockFile::LockFailedError) {
        return false;
    }
    std::fprintf(stderr, "velmora: cannot create the lock %s; running without it\n", qPrintable(lockPath_));
    return true;
}

bool TSingleCopyGuard::Listen(std::function<void()> onRestore) {
    if (serverName_.isEmpty()) {
        return false;
    }
    onRestore_ = std::move(onRestore);
    // The server goes with the application at the latest, never after it.
    server_ = new QLocalServer(QCoreApplication::instance());
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a copy that died is in the way; the lock says it is ours now.
    QLocalServer::removeServer(serverName_);
    if (!server_->listen(serverName_)) {
        std::fprintf(stderr, "velmora: cannot listen on %s: %s\n", qPrintable(serverName_),
                     qPrintable(server_->errorString()));
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(socket); });
            Answer(socket);
        }
    });
    return true;
}

// Handles one message once all of it has arrived; anything but the restore
// message is dropped with its connection.
void TSingleCopyGuard::Answer(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kEncodedMessageSize) {
        return;
    }
    const QByteArray bytes = socket->read(kEncodedMessageSize);
    if (qFromLittleEndian<std::uint32_t>(bytes.constData()) == kRestoreMessage && onRestore_) {
        onRestore_();
        socket->write(LittleEndianWords({0}));  // the handler's result
        socket->flush();
    }
    socket->disconnectFromServer();
}

bool TSingleCopyGuard::AskRunningCopyToRestore(int timeoutMs) {
    if (serverName_.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(LittleEndianWords({kRestoreMessage, 0, 0}));
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    // The running copy answers once its window has been restored.
    while (socket.bytesAvailable() < kResultSize) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora

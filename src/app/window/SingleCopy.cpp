#include "SingleCopy.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmora {

namespace {

using Clock = std::chrono::steady_clock;
// How long an address that is taken but refuses connections may stay so
// before it counts as another's: a copy of ours listens right after it binds.
constexpr auto kListenGrace = std::chrono::seconds(1);

// A socket descriptor closed with its owner unless released.
class Descriptor {
public:
    Descriptor() : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

struct AbstractAddress {
    explicit AbstractAddress(const std::string& name) {
        address.sun_family = AF_UNIX;
        // sun_path[0] stays zero: the abstract namespace.
        const std::size_t length = std::min(name.size(), sizeof(address.sun_path) - 1);
        std::memcpy(address.sun_path + 1, name.data(), length);
        size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address); }

    sockaddr_un address{};
    socklen_t size;
};

bool RunsAsThisUser(int connectedSocket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(connectedSocket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

enum class Holder { Nobody, ThisUser, OtherUser };

// Who holds `address`; with ThisUser, `connected` is a connection to it.
Holder HolderOf(const std::string& address, Descriptor& connected) {
    const AbstractAddress where(address);
    if (connect(connected.get(), where.get(), where.size) != 0) {
        return Holder::Nobody;  // no one, or not listening (yet)
    }
    return RunsAsThisUser(connected.get()) ? Holder::ThisUser : Holder::OtherUser;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = send(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done),
                                     MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool ReadWithin(int fd, char* buffer, std::size_t size, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (std::size_t done = 0; done < size;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd, POLLIN, 0};
        if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0) {
            return false;
        }
        const ssize_t got = recv(fd, buffer + done, size - done, 0);
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::string SingleCopyAddress(const QString& lockName, unsigned userId, int number) {
    std::string address = lockName.toStdString() + '-' + std::to_string(userId);
    if (number > 0) {
        address += '.' + std::to_string(number);
    }
    return address;
}

QByteArray LittleEndianWords(std::initializer_list<std::uint32_t> words) {
    QByteArray bytes(static_cast<qsizetype>(words.size() * 4), '\0');
    char* at = bytes.data();
    for (const std::uint32_t word : words) {
        qToLittleEndian(word, at);
        at += 4;
    }
    return bytes;
}

TSingleCopyGuard::TSingleCopyGuard(const QString& lockName) : lockName_(lockName) {}

TSingleCopyGuard::~TSingleCopyGuard() {
    if (heldSocket_ >= 0) {
        close(heldSocket_);
    }
    delete server_.data();
}

bool TSingleCopyGuard::HoldsLock() const {
    return heldSocket_ >= 0 || !server_.isNull();
}

QString TSingleCopyGuard::ServerName() const {
    return address_.empty() ? QString() : QLatin1Char('@') + QString::fromStdString(address_);
}

bool TSingleCopyGuard::Acquire() {
    for (int number = 0; number < kSingleCopyAddresses; ++number) {
        const std::string address = SingleCopyAddress(lockName_, geteuid(), number);
        const AbstractAddress where(address);
        const auto giveUpAt = Clock::now() + kListenGrace;
        for (;;) {
            Descriptor lock;
            if (bind(lock.get(), where.get(), where.size) == 0) {
                // Listening at once queues every later start until the
                // window's event loop answers it.
                if (listen(lock.get(), SOMAXCONN) != 0) {
                    break;
                }
                heldSocket_ = lock.release();
                address_ = address;
                return true;
            }
            if (errno != EADDRINUSE) {
                std::fprintf(stderr, "velmora: cannot take the single-copy lock: %s; running without it\n",
                             std::strerror(errno));
                return true;
            }
            Descriptor probe;
            const Holder holder = HolderOf(address, probe);
            if (holder == Holder::ThisUser) {
                address_ = address;
                return false;
            }
            if (holder == Holder::OtherUser || Clock::now() >= giveUpAt) {
                break;  // not ours: the next address
            }
            // Taken but not answering: a copy between binding and listening,
            // or one that has just ended.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::fprintf(stderr, "velmora: other users hold every address of the single-copy lock; running without it\n");
    return true;
}

bool TSingleCopyGuard::Listen(std::function<void()> onRestore) {
    if (heldSocket_ < 0) {
        return false;
    }
    onRestore_ = std::move(onRestore);
    // The server goes with the application at the latest, never after it.
    auto* server = new QLocalServer(QCoreApplication::instance());
    if (!server->listen(heldSocket_)) {
        std::fprintf(stderr, "velmora: cannot listen on %s: %s\n", qPrintable(ServerName()),
                     qPrintable(server->errorString()));
        delete server;
        return false;
    }
    heldSocket_ = -1;  // the server's now
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // Only this user's own starts may bring the window back.
            if (!RunsAsThisUser(static_cast<int>(socket->socketDescriptor()))) {
                socket->abort();
                continue;
            }
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
    for (int number = 0; number < kSingleCopyAddresses; ++number) {
        const std::string address = SingleCopyAddress(lockName_, geteuid(), number);
        Descriptor copy;
        if (HolderOf(address, copy) != Holder::ThisUser) {
            continue;
        }
        address_ = address;
        char result[kResultSize];
        // The running copy answers once its window has been restored.
        return WriteAll(copy.get(), LittleEndianWords({kRestoreMessage, 0, 0})) &&
               ReadWithin(copy.get(), result, sizeof result, timeoutMs);
    }
    return false;
}

}  // namespace velmora

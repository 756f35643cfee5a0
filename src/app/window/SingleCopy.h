// One copy of the program per user, whatever the environment of a start.
// The first copy holds the named lock "@@@--VelmoraV3.0--@@@": a local socket
// in the system's abstract namespace whose address is that name and the
// user's id. Nothing on disk can be planted in its way, the environment does
// not enter into it, and the system lets go of it when the process ends,
// however it ends. A later start finds the address taken, checks that the
// copy behind it runs as the same user, sends the restore message 0x0545
// through it, waits until the running copy has handled it, and ends without a
// window. When another user holds an address first, the next one in a short
// series is used; every start walks the series the same way.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace velmora {

inline constexpr char16_t kSingleCopyLockName[] = u"@@@--VelmoraV3.0--@@@";
// The user-message base 0x0400 plus 325.
inline constexpr std::uint32_t kRestoreMessage = 0x0545;
// Addresses tried before the program gives up on the lock: enough that
// another user would have to hold them all on purpose.
inline constexpr int kSingleCopyAddresses = 16;

// The abstract socket address of a lock (without its leading zero byte):
// the lock's name, the user's id and, after the first, the address's number.
std::string SingleCopyAddress(const QString& lockName, unsigned userId, int number);

class TSingleCopyGuard : public QObject {
    Q_OBJECT

public:
    explicit TSingleCopyGuard(const QString& lockName = QString::fromUtf16(kSingleCopyLockName));
    ~TSingleCopyGuard() override;

    // True when this copy may run: it now holds the lock, or no lock can be
    // had at all (the program then runs unguarded and says so). False while
    // another copy of this user holds it.
    bool Acquire();
    bool HoldsLock() const;

    // In the copy that holds the lock: answers restore messages of this user
    // by calling `onRestore`. False when it holds no lock.
    bool Listen(std::function<void()> onRestore);

    // In a later copy: sends the restore message and waits, at most
    // `timeoutMs`, until it has been handled. False when no copy answered.
    bool AskRunningCopyToRestore(int timeoutMs = 5000);

    // The address held or last found, for messages ("@" for the zero byte).
    QString ServerName() const;

private:
    void Answer(QLocalSocket* socket);

    QString lockName_;
    std::string address_;
    int heldSocket_ = -1;  // bound and listening, until Listen hands it on
    QPointer<QLocalServer> server_;
    std::function<void()> onRestore_;
};

// Numbers as they travel through the socket, 32 bits little-endian each: a
// window message is its number, wParam and lParam; the answer is one number.
QByteArray LittleEndianWords(std::initializer_list<std::uint32_t> words);
inline constexpr int kEncodedMessageSize = 12;
inline constexpr int kResultSize = 4;

}  // namespace velmora

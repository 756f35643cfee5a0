// One copy of the program per user. The first copy holds the named lock
// "@@@--VelmoraV3.0--@@@", a lock file in the user's private temporary folder
// that the system lets go of when the process ends, however it ends: the lock
// of a copy that died is stale and the next start takes it over. The first
// copy also listens on a local socket beside the lock; a later start finds
// the lock held, sends the restore message 0x0545 through the socket, waits
// until the running copy has handled it, and ends without a window.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace velmora {

inline constexpr char16_t kSingleCopyLockName[] = u"@@@--VelmoraV3.0--@@@";
// The user-message base 0x0400 plus 325.
inline constexpr std::uint32_t kRestoreMessage = 0x0545;

class TSingleCopyGuard : public QObject {
    Q_OBJECT

public:
    // `folder` holds the lock and the socket: the private temporary folder
    // unless a test gives another one.
    explicit TSingleCopyGuard(const QString& lockName = QString::fromUtf16(kSingleCopyLockName),
                              const QString& folder = {});
    ~TSingleCopyGuard() override;

    // True when this copy may run: it now holds the lock, or no lock can be
    // made at all (the program then runs unguarded). False while another copy
    // holds it.
    bool Acquire();
    bool HoldsLock() const { return lock_ && lock_->isLocked(); }

    // In the copy that holds the lock: answers restore messages by calling
    // `onRestore`. False when the socket cannot be opened.
    bool Listen(std::function<void()> onRestore);

    // In a later copy: sends the restore message and waits, at most
    // `timeoutMs`, until it has been handled. False when no copy answered.
    // Needs a QCoreApplication.
    bool AskRunningCopyToRestore(int timeoutMs = 5000);

    QString LockPath() const { return lockPath_; }
    QString ServerName() const { return serverName_; }

private:
    void Answer(QLocalSocket* socket);

    QString lockPath_;
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QPointer<QLocalServer> server_;
    std::function<void()> onRestore_;
};

// Numbers as they travel through the socket, 32 bits little-endian each: a
// window message is its number, wParam and lParam; the answer is one number.
QByteArray LittleEndianWords(std::initializer_list<std::uint32_t> words);
inline constexpr int kEncodedMessageSize = 12;
inline constexpr int kResultSize = 4;

}  // namespace velmora

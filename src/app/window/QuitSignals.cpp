#include "QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace velmora {

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t quitPipe = -1;

extern "C" void WriteQuitByte(int) {
    const char byte = 1;
    if (quitPipe >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(quitPipe, &byte, 1);
    }
}

}  // namespace

TQuitSignals::TQuitSignals(QCoreApplication& app) : QObject(&app) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals keep their usual effect
    }
    quitPipe = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, &app, [this, &app] {
        char bytes[16];
        while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
        }
        app.quit();
    });
    struct sigaction quit {};
    quit.sa_handler = WriteQuitByte;
    sigemptyset(&quit.sa_mask);
    quit.sa_flags = SA_RESTART;
    for (const int signal : kQuitSignals) {
        sigaction(signal, &quit, nullptr);
    }
}

TQuitSignals::~TQuitSignals() {
    for (const int signal : kQuitSignals) {
        std::signal(signal, SIG_DFL);
    }
    quitPipe = -1;
    for (const int end : pipe_) {
        if (end >= 0) {
            ::close(end);
        }
    }
}

}  // namespace velmora

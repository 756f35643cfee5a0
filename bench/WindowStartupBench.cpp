// The program as a user starts it, timed: from the moment the script started
// the process (VELMORA_BENCH_STARTED_NS, nanoseconds of the system clock) to
// the first result page loaded, then, for a number of readings, from the
// start button's click to its page loaded. Prints one figure a line:
//   startup_ms 812.4
//   reading_ms 41.0
// and closes the window. bench/window-startup.sh runs it and takes medians.
#include "FormKarvo.h"
#include "Program.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWebEngineView>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Readings = 20;

double MillisecondsSinceStart() {
    const char* started = std::getenv("VELMORA_BENCH_STARTED_NS");
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    return started == nullptr ? 0.0 : static_cast<double>(now - std::atoll(started)) / 1e6;
}

// Clicks the start button once the previous page has loaded, each time for
// another day, so that every reading looks up its own texts.
class ReadingClicker : public QObject {
public:
    explicit ReadingClicker(velmora::TFormKarvo& form) : QObject(&form), form_(form) {
        connect(form_.wbKarvo, &QWebEngineView::loadFinished, this, &ReadingClicker::PageLoaded);
    }

private:
    void PageLoaded(bool ok) {
        if (!ok) {
            std::fprintf(stderr, "window_startup_bench: a page did not load\n");
            form_.close();
            return;
        }
        if (done_ == 0) {
            std::printf("startup_ms %.1f\n", MillisecondsSinceStart());
        } else {
            std::printf("reading_ms %.1f\n", static_cast<double>(clicked_.nsecsElapsed()) / 1e6);
        }
        std::fflush(stdout);
        if (done_++ == Readings) {
            form_.close();
            return;
        }
        QTimer::singleShot(0, this, [this] {
            form_.edtDay->setText(QString::number(1 + done_ % 28));
            clicked_.start();
            emit form_.btnBegin->OnClick();
        });
    }

    velmora::TFormKarvo& form_;
    QElapsedTimer clicked_;
    int done_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    return velmora::RunProgram(argc, argv, [](velmora::TFormKarvo& form) { new ReadingClicker(form); });
}

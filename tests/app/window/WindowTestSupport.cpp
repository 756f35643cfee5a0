#include "WindowTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace velmora::testing_support {

void RecordingMessageBoxes::Information(QWidget* /*owner*/, const QString& text) {
    boxes.push_back({RecordedBox::Information, text});
}

void RecordingMessageBoxes::Error(QWidget* /*owner*/, const QString& text) {
    boxes.push_back({RecordedBox::Error, text});
}

bool RecordingMessageBoxes::Ask(QWidget* /*owner*/, const QString& text) {
    boxes.push_back({RecordedBox::Question, text});
    return agrees;
}

QStringList RecordingMessageBoxes::Texts(RecordedBox::Kind kind) const {
    QStringList texts;
    for (const RecordedBox& box : boxes) {
        if (box.kind == kind) {
            texts << box.text;
        }
    }
    return texts;
}

RecordingMessageBoxes& ApplicationBoxes() {
    static RecordingMessageBoxes boxes;
    return boxes;
}

namespace {

const std::filesystem::path& WithReadingDatabase(const std::filesystem::path& folder,
                                                 ScratchWorkingFolder::Database database) {
    if (database == ScratchWorkingFolder::WithDatabase) {
        std::filesystem::copy_file(VELMORA_READING_DB_FILE, folder / "Orsk.dll");
    }
    return folder;
}

}  // namespace

ScratchWorkingFolder::ScratchWorkingFolder(Database database)
    : inside_(WithReadingDatabase(folder_.Path(), database)) {}

TFormServices FakeServices::Make() {
    TFormServices services;
    services.Now = [this] { return now; };
    services.Messages = &ApplicationBoxes();
    services.OpenUrl = [this](const QUrl& url) { openedUrls.push_back(url); };
    services.LoadUpdate = [] { return TDoUpdate(nullptr); };
    services.AskSaveFile = [this](QWidget*, const QString&, const QString& proposedPath, const QString&,
                                  QString& selectedFilter) {
        proposedPaths.push_back(proposedPath);
        return answerSave ? answerSave(proposedPath, selectedFilter) : QString();
    };
    services.AskPrinter = [this](QWidget*, QPrinter& printer) { return answerPrint && answerPrint(printer); };
    return services;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

bool LoadsPage(QWebEngineView& view, const std::function<void()>& trigger, int timeoutMs) {
    QSignalSpy finished(&view, &QWebEngineView::loadFinished);
    trigger();
    return finished.count() > 0 || finished.wait(timeoutMs);
}

QVariant RunScript(QWebEngineView& view, const QString& script) {
    bool done = false;
    QVariant result;
    view.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    WaitFor([&] { return done; }, 10000);
    return result;
}

QString PageText(QWebEngineView& view) {
    return RunScript(view, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

void TypeText(QWidget& widget, const QString& text) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, width);
        const QChar first = character.front();
        // Letters and digits have key codes of their own; other characters come as text only.
        const int key = first.unicode() < 0x80 && first.isLetterOrNumber() ? int(first.toUpper().unicode()) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, character);
        QApplication::sendEvent(&widget, &press);
        QApplication::sendEvent(&widget, &release);
        i += width;
    }
}

void SaveScreenshot(QWidget& widget, const QString& name) {
    // The engine paints a moment after it reports the page.
    QTest::qWait(300);
    QDir().mkpath(QStringLiteral(VELMORA_SCREENSHOT_DIR));
    widget.grab().save(QStringLiteral(VELMORA_SCREENSHOT_DIR "/%1.png").arg(name));
}

}  // namespace velmora::testing_support

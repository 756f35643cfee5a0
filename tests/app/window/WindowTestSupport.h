// What the window tests share: message boxes that record instead of showing,
// a scratch working folder with or without the reading database, waiting for
// the browsers, and screenshots for a person to look at.
#pragma once

#include "FormServices.h"
#include "MessageBoxes.h"
#include "ReadingTestSupport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

class QPrinter;
class QWebEngineView;
class QWidget;

namespace velmora::testing_support {

struct RecordedBox {
    enum Kind { Information, Error, Question } kind;
    QString text;
};

class RecordingMessageBoxes final : public TMessageBoxes {
public:
    void Information(QWidget* owner, const QString& text) override;
    void Error(QWidget* owner, const QString& text) override;
    // Records the question and answers with `agrees`.
    bool Ask(QWidget* owner, const QString& text) override;

    std::vector<RecordedBox> boxes;
    bool agrees = false;
    QStringList Texts(RecordedBox::Kind kind) const;
};

// The boxes the test application shows its errors in; cleared per test.
RecordingMessageBoxes& ApplicationBoxes();

// A fresh working folder for the test's life; with the database, the
// program's own Orsk.dll is copied into it.
class ScratchWorkingFolder {
public:
    enum Database { WithDatabase, WithoutDatabase };
    explicit ScratchWorkingFolder(Database database);
    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    velmora::testing::ScratchFolder folder_;
    velmora::testing::WorkingDirectory inside_;
};

// Services for the window: a fixed clock, the recording boxes, a recorder of
// opened pages, no update library unless a test sets one, and file and print
// dialogs that record what they are offered and cancel unless a test answers.
struct FakeServices {
    QDateTime now = QDateTime(QDate(2009, 9, 21), QTime(7, 30));
    std::vector<QUrl> openedUrls;
    std::vector<QString> proposedPaths;
    std::function<QString(const QString& proposedPath, QString& selectedFilter)> answerSave;
    std::function<bool(QPrinter& printer)> answerPrint;
    TFormServices Make();
};

// Waits until `condition` holds, at most `timeoutMs`, events going on meanwhile.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 15000);

// Runs `trigger` and waits until the view has finished a load; false on timeout.
bool LoadsPage(QWebEngineView& view, const std::function<void()>& trigger, int timeoutMs = 15000);

// The value of `script` run in the page.
QVariant RunScript(QWebEngineView& view, const QString& script);

// What the page shows, as the user reads it.
QString PageText(QWebEngineView& view);

// Types `text` into the widget with the keyboard, one character at a time,
// Chinese characters too.
void TypeText(QWidget& widget, const QString& text);

// Saves a PNG of the window into the build folder's screenshots.
void SaveScreenshot(QWidget& widget, const QString& name);

}  // namespace velmora::testing_support

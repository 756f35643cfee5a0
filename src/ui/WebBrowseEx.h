// TWebBrowseEx: the embedded browser through which the program shows HTML,
// the result page and the banner strip.
//
// It owns a TWebBrowseHost (WebBrowseHost.h) and puts it between the engine
// and the program: the host flags decide the frame, the scroll bars and text
// selection; JavaScript message boxes, the context menu, navigation requests,
// key presses, help, focus and size changes go through the host's calls and
// events, and the engine's own behaviour runs where the host's answer asks
// for it.
//
// Start-up: call TWebBrowseEx::InitializeProcess() before the QApplication
// is created.
#pragma once

#include "KeyMessages.h"
#include "WebBrowseHost.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineView>

#include <functional>
#include <stdexcept>

namespace velmora {

// A failure of the browser: a page that cannot be opened, a command it does
// not know, a page that does not load in time, a save that went wrong.
class EBrowserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Command numbers and options of ExecWB.
inline constexpr int OLECMDID_CUT = 11;
inline constexpr int OLECMDID_COPY = 12;
inline constexpr int OLECMDID_PASTE = 13;
inline constexpr int OLECMDID_SAVEAS = 4;
inline constexpr int OLECMDID_UNDO = 15;
inline constexpr int OLECMDID_REDO = 16;
inline constexpr int OLECMDID_SELECTALL = 17;
inline constexpr int OLECMDID_REFRESH = 22;
inline constexpr int OLECMDID_STOP = 23;
inline constexpr int OLECMDEXECOPT_DODEFAULT = 0;
inline constexpr int OLECMDEXECOPT_SHOWHELP = 3;

class TWebBrowseEx : public QWebEngineView {
    Q_OBJECT
    Q_PROPERTY(QString HelpFile READ HelpFile WRITE setHelpFile)
    Q_PROPERTY(TEnterModeValue EnterModeOnEdit READ EnterModeOnEdit WRITE setEnterModeOnEdit)
    Q_PROPERTY(QString DisableCtrlShortcuts READ DisableCtrlShortcuts WRITE setDisableCtrlShortcuts)
    Q_PROPERTY(TUserInterfaceOptionFlags UserInterfaceOptions READ UserInterfaceOptions WRITE setUserInterfaceOptions)

public:
    // The host options as flags of a form property: bit n for the option of ordinal n.
#define VELMORA_OPTION_FLAG(name, ordinal, flag) name = 1u << ordinal,
    enum TUserInterfaceOptionFlag : quint32 { VELMORA_USER_INTERFACE_OPTIONS(VELMORA_OPTION_FLAG) };
#undef VELMORA_OPTION_FLAG
    Q_DECLARE_FLAGS(TUserInterfaceOptionFlags, TUserInterfaceOptionFlag)
    Q_FLAG(TUserInterfaceOptionFlags)
    enum TEnterModeValue : quint8 {
        emFlagP = static_cast<quint8>(TEnterMode::emFlagP),
        emFlagDiv = static_cast<quint8>(TEnterMode::emFlagDiv)
    };
    Q_ENUM(TEnterModeValue)

    // Asks the user where to save the page: `suggestedPath` proposes a file,
    // `format` comes in as the proposed format and goes out as the chosen
    // one. An empty result cancels the save.
    using TSaveAsDialog = std::function<QString(QWidget* parent, const QString& suggestedPath,
                                                QWebEngineDownloadRequest::SavePageFormat& format)>;

    // A file dialog: caption, proposed path, filters (";;" between them) and
    // the chosen filter in and out. An empty result means cancelled.
    using TFileDialog = std::function<QString(QWidget* parent, const QString& caption, const QString& proposedPath,
                                              const QString& filters, QString& selectedFilter)>;
    // Opens a page that asked for a new window (a target=_blank link, window.open).
    using TNewWindowHandler = std::function<void(const QUrl& url)>;
    // A clicked link the program answers itself: true when it took the link,
    // and the page stays where it is.
    using TLinkHandler = std::function<bool(const QUrl& url)>;

    // How long LoadBlankPage and WriteDocument wait for the page, and ExecWB
    // for a save once the file is chosen.
    static constexpr int LoadTimeoutMs = 15000;
    static constexpr int SaveTimeoutMs = 30000;

    // The save dialog offering the engine's three ways of saving a page, asked through `askFile`.
    static TSaveAsDialog SaveAsDialogUsing(TFileDialog askFile);
    // The desktop's own file dialog.
    static QString AskFileWithDesktopDialog(QWidget* parent, const QString& caption, const QString& proposedPath,
                                            const QString& filters, QString& selectedFilter);

    // Prepares the process for the engine; call once before the QApplication exists.
    static void InitializeProcess();

    explicit TWebBrowseEx(QWidget* parent = nullptr);
    ~TWebBrowseEx() override;

    TWebBrowseHost& Host() { return host_; }
    const TWebBrowseHost& Host() const { return host_; }

    QString HelpFile() const;
    void setHelpFile(const QString& file);
    TEnterModeValue EnterModeOnEdit() const;
    void setEnterModeOnEdit(TEnterModeValue mode);
    QString DisableCtrlShortcuts() const;
    void setDisableCtrlShortcuts(const QString& characters);
    TUserInterfaceOptionFlags UserInterfaceOptions() const;
    void setUserInterfaceOptions(TUserInterfaceOptionFlags options);

    // Opens a URL, or a local file given by its absolute path.
    void Navigate(const QString& urlOrPath);
    // Runs a browser command; OLECMDID_SAVEAS asks where to save the page and
    // returns when the engine has saved it (or the user cancelled).
    void ExecWB(int command, int option);
    // Replaces the document with `html` and returns once it shows.
    virtual void WriteDocument(const QString& html);
    // Opens about:blank; unless `noWait`, returns once it has loaded.
    void LoadBlankPage(bool noWait);

    // Replaces the save dialog (the tests give a path instead of asking).
    void setSaveAsDialog(TSaveAsDialog dialog);
    // Saves the page to `path` as the engine does, without asking: returns
    // when it is saved; a failed save leaves nothing behind and is thrown
    // with its reason.
    void SavePageTo(const QString& path, QWebEngineDownloadRequest::SavePageFormat format);
    // The longest wait for the engine to write a page once its file is chosen.
    void setSaveTimeoutMs(int timeoutMs) { saveTimeoutMs_ = timeoutMs; }
    // Where pages asking for a new window go; the desktop's browser unless replaced.
    void setNewWindowHandler(TNewWindowHandler handler);
    // Links of the program's own, answered before the engine follows them.
    void setLinkHandler(TLinkHandler handler);

signals:
    void SaveSettled();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum class SaveState { Idle, Pending, Saved, Cancelled, Failed };

    HWND WindowHandle() const;
    void ApplyHostInfo();
    void ApplyFrame(bool framed);
    void InstallPageScript(const QString& css, bool paragraphOnEnter);
    bool FilterKey(QKeyEvent& event);
    void HandleDownload(QWebEngineDownloadRequest* request);
    void SettleSave(SaveState state, const QString& error = {});
    void SavePageAs();
    void WaitForLoad(const std::function<void()>& start, const char* what);

    TWebBrowseHost host_;
    TKeyboardState keyboard_;
    TSaveAsDialog saveAsDialog_;
    SaveState saveState_ = SaveState::Idle;
    QString saveError_;
    QString savePath_;
    int saveTimeoutMs_ = SaveTimeoutMs;
    bool framed_ = true;
    QWidget* focusFrame_ = nullptr;
    QObject* enterKeyGuard_ = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TWebBrowseEx::TUserInterfaceOptionFlags)

}  // namespace velmora

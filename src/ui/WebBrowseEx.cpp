#include "WebBrowseEx.h"

#include "OutputFile.h"
#include "TaskMemory.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <qdrawutil.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

namespace {

// A page file starts with markup ("<", after a byte-order mark or white
// space), a single-file page with its mail header ("From: ...").
bool PageStartIsRight(const QByteArray& start, QWebEngineDownloadRequest::SavePageFormat format) {
    if (format == QWebEngineDownloadRequest::MimeHtmlSaveFormat) {
        return start.startsWith("From:") || start.startsWith("MIME-Version:") || start.startsWith("Content-");
    }
    QByteArray text = start.startsWith("\xef\xbb\xbf") ? start.mid(3) : start;
    return text.trimmed().startsWith('<');
}

// Why a page the engine says it saved is not whole (missing, empty, not a
// page), as the system's error number; 0 when it reads back right. The
// engine reports a save on a full disk as done, so the folder is asked.
int SavedPageError(const QString& path, QWebEngineDownloadRequest::SavePageFormat format) {
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return errno;
    }
    struct stat info {};
    QByteArray start(512, '\0');
    ssize_t read = -1;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) {
        read = ::read(descriptor, start.data(), start.size());
    }
    const int error = errno;
    ::close(descriptor);
    if (read < 0 && error != 0 && S_ISREG(info.st_mode)) {
        return error;
    }
    if (read > 0 && PageStartIsRight(start.left(read), format)) {
        return 0;
    }
    const int folderError = FolderWriteError(QFile::encodeName(QFileInfo(path).absolutePath()).toStdString());
    return folderError != 0 ? folderError : EIO;
}

// The words for a failed save, with the system's reason in Chinese when
// there is one, else the engine's.
QString SaveFailure(const QString& path, int error, const QString& engineReason) {
    const QString reason =
        error != 0 ? QString::fromStdString(ReasonInChinese(error)) : (engineReason.isEmpty() ? QStringLiteral("原因不明") : engineReason);
    return QStringLiteral("网页保存失败：%1（%2）").arg(path, reason);
}

// What a failed save leaves goes: the page, and the folder of its parts
// when this save made it.
void RemoveFailedSave(const QString& path, bool partsFolderWasThere) {
    QFile::remove(path);
    const QFileInfo page(path);
    const QString parts = page.absoluteDir().filePath(page.completeBaseName() + QStringLiteral("_files"));
    if (!partsFolderWasThere && QFileInfo(parts).isDir() && !QFileInfo(parts).isSymLink()) {
        QDir(parts).removeRecursively();
    }
}

constexpr std::uint32_t MB_OK = 0x0;
constexpr std::uint32_t MB_OKCANCEL = 0x1;
constexpr std::uint32_t MB_ICONQUESTION = 0x20;
constexpr std::uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr std::int32_t IDOK = 1;
constexpr std::uint32_t DOCHOSTUITYPE_BROWSE = 0;
constexpr std::uint32_t HH_DISPLAY_TOPIC = 0;
constexpr std::uint32_t CONTEXT_MENU_DEFAULT = 0;
constexpr std::uint32_t CONTEXT_MENU_IMAGE = 1;
constexpr std::uint32_t CONTEXT_MENU_CONTROL = 2;
constexpr std::uint32_t CONTEXT_MENU_TEXTSELECT = 4;
constexpr std::uint32_t CONTEXT_MENU_ANCHOR = 5;
constexpr int FrameWidth = 2;
// Beyond this size the engine cannot take a document as text.
constexpr qsizetype MaxWrittenDocumentBytes = 2 * 1024 * 1024;
const QString HostScriptName = QStringLiteral("velmora-host-settings");
const char16_t* const MessageCaption = u"来自网页的消息";

// The engine's page, with its message boxes and navigation requests put to
// the host first.
class TWebBrowsePage : public QWebEnginePage {
public:
    TWebBrowsePage(TWebBrowseHost& host, std::function<HWND()> window, QObject* parent)
        : QWebEnginePage(parent), host_(&host), window_(std::move(window)) {}

    TWebBrowseEx::TNewWindowHandler openNewWindow;
    TWebBrowseEx::TLinkHandler takeLink;

    // From now on the engine decides alone: the host is going away.
    void Detach() { host_ = nullptr; }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        std::int32_t answer = 0;
        if (host_ == nullptr || Ask(message, MB_OK | MB_ICONEXCLAMATION, answer) != S_OK) {
            ShowModal([&] { QWebEnginePage::javaScriptAlert(origin, message); });
        }
    }

    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        std::int32_t answer = 0;
        if (host_ != nullptr && Ask(message, MB_OKCANCEL | MB_ICONQUESTION, answer) == S_OK) {
            return answer == IDOK;
        }
        bool confirmed = false;
        ShowModal([&] { confirmed = QWebEnginePage::javaScriptConfirm(origin, message); });
        return confirmed;
    }

    // The host may translate the address of a page that is about to open.
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeLinkClicked && takeLink && takeLink(url)) {
            return false;
        }
        if (host_ == nullptr || !isMainFrame || url == redirectedTo_) {
            redirectedTo_.clear();
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        }
        const std::u16string in = url.toString().toStdU16String();
        char16_t* out = nullptr;
        if (host_->TranslateUrl(0, in.c_str(), &out) == S_OK) {
            const TaskMemPtr translated(out);
            const QUrl target(QString::fromUtf16(translated.get()));
            if (target.isValid() && target != url) {
                redirectedTo_ = target;
                QTimer::singleShot(0, this, [this, target] { setUrl(target); });
                return false;
            }
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

    // A page asking for a new window gets a page of its own that hands its
    // first address on and goes.
    QWebEnginePage* createWindow(WebWindowType /*type*/) override {
        auto* opened = new QWebEnginePage(profile(), this);
        connect(opened, &QWebEnginePage::urlChanged, this, [this, opened](const QUrl& url) {
            if (url.isEmpty() || url == QUrl(QStringLiteral("about:blank"))) {
                return;
            }
            disconnect(opened, nullptr, this, nullptr);
            opened->deleteLater();
            if (openNewWindow) {
                openNewWindow(url);
            }
        });
        return opened;
    }

private:
    HRESULT Ask(const QString& message, std::uint32_t type, std::int32_t& answer) {
        const std::u16string text = message.toStdU16String();
        return host_->ShowMessage(window_(), text.c_str(), MessageCaption, type, nullptr, 0, &answer);
    }

    // The engine's own dialog is modal: the host hears of it first.
    void ShowModal(const std::function<void()>& show) {
        if (host_ != nullptr) {
            host_->EnableModeless(false);
        }
        show();
        if (host_ != nullptr) {
            host_->EnableModeless(true);
        }
    }

    TWebBrowseHost* host_;
    std::function<HWND()> window_;
    QUrl redirectedTo_;
};

// A frame over the page while it has the keyboard focus: the page itself
// shows none, so a keyboard user would not see that they are in it.
class TFocusFrame : public QWidget {
public:
    explicit TFocusFrame(QWidget* view) : QWidget(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void Follow(bool focused) {
        setGeometry(parentWidget()->rect());
        raise();
        setVisible(focused);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::Highlight), FocusFrameWidth, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }

private:
    static constexpr int FocusFrameWidth = 2;
};

bool IsEnterKey(const QEvent* event) {
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The engine hands a key that the page did not cancel on to the view's
// parent, and that round asks the application's shortcuts again: while the
// page has the focus, Enter stays the page's and starts no shortcut.
class TEnterKeyGuard : public QObject {
public:
    explicit TEnterKeyGuard(QWidget* view) : QObject(view), view_(view) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride || !IsEnterKey(event)) {
            return false;
        }
        const QWidget* engine = view_->focusProxy();
        if (engine == nullptr || !engine->hasFocus()) {
            return false;
        }
        event->accept();
        return true;
    }

private:
    QWidget* view_;
};

// The context the host's context-menu event hears about.
std::uint32_t ContextMenuKind(const QWebEngineContextMenuRequest* request) {
    if (request == nullptr) {
        return CONTEXT_MENU_DEFAULT;
    }
    if (!request->linkUrl().isEmpty()) {
        return CONTEXT_MENU_ANCHOR;
    }
    if (request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage) {
        return CONTEXT_MENU_IMAGE;
    }
    if (request->isContentEditable()) {
        return CONTEXT_MENU_CONTROL;
    }
    if (!request->selectedText().isEmpty()) {
        return CONTEXT_MENU_TEXTSELECT;
    }
    return CONTEXT_MENU_DEFAULT;
}

QString SaveFilterOf(QWebEngineDownloadRequest::SavePageFormat format) {
    switch (format) {
    case QWebEngineDownloadRequest::MimeHtmlSaveFormat: return QStringLiteral("网页，单个文件 (*.mhtml *.mht)");
    case QWebEngineDownloadRequest::SingleHtmlSaveFormat: return QStringLiteral("网页，仅 HTML (*.html *.htm)");
    default: return QStringLiteral("网页，全部 (*.html *.htm)");
    }
}

// The save dialog through `askFile`, offering the three ways the engine saves a page.
QString AskWhereToSave(const TWebBrowseEx::TFileDialog& askFile, QWidget* parent, const QString& suggestedPath,
                       QWebEngineDownloadRequest::SavePageFormat& format) {
    const QWebEngineDownloadRequest::SavePageFormat formats[] = {
        QWebEngineDownloadRequest::CompleteHtmlSaveFormat, QWebEngineDownloadRequest::MimeHtmlSaveFormat,
        QWebEngineDownloadRequest::SingleHtmlSaveFormat};
    QStringList filters;
    for (const auto f : formats) {
        filters << SaveFilterOf(f);
    }
    QString selected = SaveFilterOf(format);
    QString path = askFile(parent, QStringLiteral("保存网页"), suggestedPath, filters.join(";;"), selected);
    if (path.isEmpty()) {
        return {};
    }
    format = formats[std::max<qsizetype>(0, filters.indexOf(selected))];
    if (QFileInfo(path).suffix().isEmpty()) {
        path += format == QWebEngineDownloadRequest::MimeHtmlSaveFormat ? ".mhtml" : ".html";
    }
    return path;
}

// The page's title as the file's name, in the engine's download folder; the
// first choice is the complete page as HTML.
QString SuggestedSavePath(const QWebEnginePage& page) {
    QString name = page.title();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")), QStringLiteral("_"));
    if (name.trimmed().isEmpty()) {
        name = QStringLiteral("网页");
    }
    return QDir(page.profile()->downloadPath()).filePath(name + ".html");
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and process start

void TWebBrowseEx::InitializeProcess() {
    // The engine shares its drawing contexts with the window's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

TWebBrowseEx::TSaveAsDialog TWebBrowseEx::SaveAsDialogUsing(TFileDialog askFile) {
    return [askFile = std::move(askFile)](QWidget* parent, const QString& suggestedPath,
                                          QWebEngineDownloadRequest::SavePageFormat& format) {
        return AskWhereToSave(askFile, parent, suggestedPath, format);
    };
}

QString TWebBrowseEx::AskFileWithDesktopDialog(QWidget* parent, const QString& caption, const QString& proposedPath,
                                               const QString& filters, QString& selectedFilter) {
    return QFileDialog::getSaveFileName(parent, caption, proposedPath, filters, &selectedFilter);
}

TWebBrowseEx::TWebBrowseEx(QWidget* parent)
    : QWebEngineView(parent), saveAsDialog_(SaveAsDialogUsing(AskFileWithDesktopDialog)) {
    auto* ownPage = new TWebBrowsePage(host_, [this] { return WindowHandle(); }, this);
    ownPage->openNewWindow = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    setPage(ownPage);
    host_.GetKeyState = [this](int virtualKey) { return keyboard_.KeyState(virtualKey); };
    host_.OpenHelpFile = [](HWND, const std::string& file, std::uint32_t, std::uint32_t) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file)));
    };
    host_.AmbientPropertyChanged = [this] { ApplyHostInfo(); };
    connect(page(), &QWebEnginePage::loadStarted, this, &TWebBrowseEx::ApplyHostInfo);
    connect(page(), &QWebEnginePage::loadFinished, this, [this] { host_.UpdateUI(); });
    connect(page(), &QWebEnginePage::selectionChanged, this, [this] { host_.UpdateUI(); });
    connect(page()->profile(), &QWebEngineProfile::downloadRequested, this, &TWebBrowseEx::HandleDownload);
    enterKeyGuard_ = new TEnterKeyGuard(this);
    focusFrame_ = new TFocusFrame(this);
    ApplyHostInfo();
}

// The engine's objects outlive this part of the view by a little: none of
// them may reach the host from here on.
TWebBrowseEx::~TWebBrowseEx() {
    if (auto* own = dynamic_cast<TWebBrowsePage*>(page())) {
        own->Detach();
    }
    disconnect(page(), nullptr, this, nullptr);
    disconnect(page()->profile(), nullptr, this, nullptr);
    for (QObject* child : children()) {
        child->removeEventFilter(this);
    }
    delete enterKeyGuard_;
}

HWND TWebBrowseEx::WindowHandle() const {
    return static_cast<HWND>(effectiveWinId());
}

// ---------------------------------------------------------------------------
// Properties

QString TWebBrowseEx::HelpFile() const {
    return QString::fromStdString(host_.HelpFile);
}

void TWebBrowseEx::setHelpFile(const QString& file) {
    host_.HelpFile = file.toStdString();
}

TWebBrowseEx::TEnterModeValue TWebBrowseEx::EnterModeOnEdit() const {
    return static_cast<TEnterModeValue>(host_.EnterModeOnEdit);
}

void TWebBrowseEx::setEnterModeOnEdit(TEnterModeValue mode) {
    host_.EnterModeOnEdit = static_cast<TEnterMode>(mode);
    ApplyHostInfo();
}

QString TWebBrowseEx::DisableCtrlShortcuts() const {
    return QString::fromStdString(host_.DisableCtrlShortcuts);
}

void TWebBrowseEx::setDisableCtrlShortcuts(const QString& characters) {
    host_.DisableCtrlShortcuts = characters.toStdString();
}

TWebBrowseEx::TUserInterfaceOptionFlags TWebBrowseEx::UserInterfaceOptions() const {
    return TUserInterfaceOptionFlags::fromInt(host_.UserInterfaceOptions().Mask());
}

void TWebBrowseEx::setUserInterfaceOptions(TUserInterfaceOptionFlags options) {
    host_.SetUserInterfaceOptions(TUserInterfaceOptions::FromMask(options.toInt()));
}

// ---------------------------------------------------------------------------
// What the host flags do to the engine

// The engine asks for the host's flags when a page starts to load and when
// the host says they changed.
void TWebBrowseEx::ApplyHostInfo() {
    TDOCHOSTUIINFO info;
    host_.GetHostInfo(&info);
    QString css;
    if (info.pchHostCss != nullptr) {
        css = QString::fromUtf16(info.pchHostCss);
    }
    TaskMemFree(info.pchHostCss);
    TaskMemFree(info.pchHostNS);
    if ((info.dwFlags & DOCHOSTUIFLAG_DIALOG) != 0) {
        css += QStringLiteral("*{-webkit-user-select:none!important;user-select:none!important}");
    }
    ApplyFrame((info.dwFlags & DOCHOSTUIFLAG_NO3DBORDER) == 0);
    page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars,
                                     (info.dwFlags & DOCHOSTUIFLAG_SCROLL_NO) == 0);
    InstallPageScript(css, (info.dwFlags & DOCHOSTUIFLAG_DIV_BLOCKDEFAULT) == 0);
}

// A sunken frame around the page, unless the host asks for none.
void TWebBrowseEx::ApplyFrame(bool framed) {
    framed_ = framed;
    const int margin = framed ? FrameWidth : 0;
    setContentsMargins(margin, margin, margin, margin);
    update();
}

// The host's style and the Enter key's paragraph kind reach every document
// through one script, which also runs on the document shown now.
void TWebBrowseEx::InstallPageScript(const QString& css, bool paragraphOnEnter) {
    QWebEngineScriptCollection& scripts = page()->scripts();
    for (const QWebEngineScript& old : scripts.find(HostScriptName)) {
        scripts.remove(old);
    }
    const QString cssLiteral = QString::fromUtf8(QJsonDocument(QJsonArray{css}).toJson(QJsonDocument::Compact));
    QString source = QStringLiteral(
                         "(function(){var css=%1[0];var id='velmora-host-style';"
                         "var s=document.getElementById(id);"
                         "if(css&&!s){s=document.createElement('style');s.id=id;"
                         "(document.head||document.documentElement).appendChild(s);}"
                         "if(s){s.textContent=css;}")
                         .arg(cssLiteral);
    if (paragraphOnEnter) {
        source += QStringLiteral("document.execCommand('defaultParagraphSeparator',false,'p');");
    }
    source += QStringLiteral("})();");
    QWebEngineScript script;
    script.setName(HostScriptName);
    script.setSourceCode(source);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    scripts.insert(script);
    page()->runJavaScript(source, QWebEngineScript::ApplicationWorld);
}

void TWebBrowseEx::paintEvent(QPaintEvent* event) {
    QWebEngineView::paintEvent(event);
    if (framed_) {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), true, FrameWidth);
    }
}

// ---------------------------------------------------------------------------
// Keys, focus, size and the context menu

bool TWebBrowseEx::event(QEvent* event) {
    // The engine's own widget is a child that appears later; its keys and
    // focus changes come through here.
    if (event->type() == QEvent::ChildPolished) {
        auto* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            child->installEventFilter(this);
        }
    }
    return QWebEngineView::event(event);
}


bool TWebBrowseEx::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (FilterKey(*static_cast<QKeyEvent*>(event))) {
            return true;
        }
        break;
    case QEvent::FocusIn:
        static_cast<TFocusFrame*>(focusFrame_)->Follow(true);
        host_.OnDocWindowActivate(true);
        host_.ShowUI(DOCHOSTUITYPE_BROWSE, nullptr, nullptr, nullptr, nullptr);
        break;
    case QEvent::FocusOut:
        static_cast<TFocusFrame*>(focusFrame_)->Follow(false);
        host_.HideUI();
        host_.OnDocWindowActivate(false);
        break;
    default:
        break;
    }
    return QWebEngineView::eventFilter(watched, event);
}

// True when the key is swallowed: a masked Ctrl shortcut, a key the host's
// accelerator handler took, or F1 when the host showed help.
bool TWebBrowseEx::FilterKey(QKeyEvent& event) {
    keyboard_.Track(event);
    const TMsg msg = KeyMessageOf(event, WindowHandle());
    if (host_.FilterCtrlShortcut(msg)) {
        return true;
    }
    if (host_.TranslateAccelerator(&msg, nullptr, 0) == S_OK) {
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == static_cast<std::uintptr_t>(VK_F1)) {
        return host_.ShowHelp(msg.hwnd, nullptr, HH_DISPLAY_TOPIC, 0, msg.pt, nullptr) == S_OK;
    }
    return false;
}

void TWebBrowseEx::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        host_.OnFrameWindowActivate(isActiveWindow());
    }
    QWebEngineView::changeEvent(event);
}

void TWebBrowseEx::resizeEvent(QResizeEvent* event) {
    QWebEngineView::resizeEvent(event);
    focusFrame_->setGeometry(rect());
    const TRect border{0, 0, width(), height()};
    host_.ResizeBorder(&border, nullptr, true);
}

// Only the host's S_OK means that it showed a menu of its own; any other
// answer lets the engine show its menu.
void TWebBrowseEx::contextMenuEvent(QContextMenuEvent* event) {
    const TPoint where{event->globalPos().x(), event->globalPos().y()};
    QWebEngineContextMenuRequest* request = lastContextMenuRequest();
    if (host_.ShowContextMenu(ContextMenuKind(request), &where, nullptr, nullptr) == S_OK || request == nullptr) {
        event->accept();  // the host showed its menu, or the engine has none to show
        return;
    }
    QWebEngineView::contextMenuEvent(event);
}

// ---------------------------------------------------------------------------
// Navigation and documents

void TWebBrowseEx::Navigate(const QString& urlOrPath) {
    const QString text = urlOrPath.trimmed();
    if (text.isEmpty()) {
        throw EBrowserError("没有要打开的网址。");
    }
    QUrl url;
    if (QDir::isAbsolutePath(text) && !text.contains(QStringLiteral("://"))) {
        if (!QFileInfo::exists(text)) {
            throw EBrowserError(QStringLiteral("找不到要显示的文件：%1").arg(text).toStdString());
        }
        url = QUrl::fromLocalFile(text);
    } else {
        url = QUrl::fromUserInput(text);
    }
    if (!url.isValid()) {
        throw EBrowserError(QStringLiteral("无法打开网址：%1").arg(text).toStdString());
    }
    setUrl(url);
}

// Waits, with a limit, for the load that `start` begins; events go on
// meanwhile, so callers must allow for other handlers running.
void TWebBrowseEx::WaitForLoad(const std::function<void()>& start, const char* what) {
    QEventLoop loop;
    bool loaded = false;
    const auto finished = connect(page(), &QWebEnginePage::loadFinished, &loop, [&](bool) {
        loaded = true;
        loop.quit();
    });
    QTimer::singleShot(LoadTimeoutMs, &loop, &QEventLoop::quit);
    start();
    if (!loaded) {
        loop.exec();
    }
    disconnect(finished);
    if (!loaded) {
        throw EBrowserError(QStringLiteral("%1在 %2 秒内没有载入。")
                                .arg(QString::fromUtf8(what))
                                .arg(LoadTimeoutMs / 1000)
                                .toStdString());
    }
}

void TWebBrowseEx::LoadBlankPage(bool noWait) {
    const auto open = [this] { Navigate(QStringLiteral("about:blank")); };
    if (noWait) {
        open();
        return;
    }
    WaitForLoad(open, "空白页");
}

void TWebBrowseEx::WriteDocument(const QString& html) {
    if (html.toUtf8().size() > MaxWrittenDocumentBytes) {
        throw EBrowserError("要写入的网页太大（超过 2 MB），无法显示。");
    }
    // Relative addresses in the text keep resolving against the page shown now.
    const QUrl base = url().isValid() && !url().isEmpty() ? url() : QUrl(QStringLiteral("about:blank"));
    WaitForLoad([&] { setHtml(html, base); }, "网页");
}

// ---------------------------------------------------------------------------
// Commands and saving

void TWebBrowseEx::ExecWB(int command, int option) {
    if (option < OLECMDEXECOPT_DODEFAULT || option > OLECMDEXECOPT_SHOWHELP) {
        throw EBrowserError(QStringLiteral("浏览器命令 %1 的执行选项 %2 无效。").arg(command).arg(option).toStdString());
    }
    switch (command) {
    case OLECMDID_SAVEAS: SavePageAs(); return;
    case OLECMDID_CUT: triggerPageAction(QWebEnginePage::Cut); return;
    case OLECMDID_COPY: triggerPageAction(QWebEnginePage::Copy); return;
    case OLECMDID_PASTE: triggerPageAction(QWebEnginePage::Paste); return;
    case OLECMDID_UNDO: triggerPageAction(QWebEnginePage::Undo); return;
    case OLECMDID_REDO: triggerPageAction(QWebEnginePage::Redo); return;
    case OLECMDID_SELECTALL: triggerPageAction(QWebEnginePage::SelectAll); return;
    case OLECMDID_REFRESH: triggerPageAction(QWebEnginePage::Reload); return;
    case OLECMDID_STOP: triggerPageAction(QWebEnginePage::Stop); return;
    default: break;
    }
    throw EBrowserError(QStringLiteral("浏览器不支持命令 %1。").arg(command).toStdString());
}

void TWebBrowseEx::setSaveAsDialog(TSaveAsDialog dialog) {
    saveAsDialog_ = dialog ? std::move(dialog) : SaveAsDialogUsing(AskFileWithDesktopDialog);
}

void TWebBrowseEx::setNewWindowHandler(TNewWindowHandler handler) {
    if (auto* own = dynamic_cast<TWebBrowsePage*>(page())) {
        own->openNewWindow = std::move(handler);
    }
}

void TWebBrowseEx::setLinkHandler(TLinkHandler handler) {
    if (auto* own = dynamic_cast<TWebBrowsePage*>(page())) {
        own->takeLink = std::move(handler);
    }
}

// The dialog picks the file first; only then does the engine save the page
// there, so a cancelled dialog never reaches the engine (which, told to drop
// a page it offered, hangs on the next save of it). Like a modal save
// dialog, this returns when the page is saved or the user cancelled. The
// wait is bounded from the moment the engine starts writing.
void TWebBrowseEx::SavePageAs() {
    if (saveState_ == SaveState::Pending) {
        throw EBrowserError("网页正在保存，请稍候。");
    }
    auto format = QWebEngineDownloadRequest::CompleteHtmlSaveFormat;
    const QString path = saveAsDialog_(this, SuggestedSavePath(*page()), format);
    if (!path.isEmpty()) {
        SavePageTo(path, format);
    }
}

void TWebBrowseEx::SavePageTo(const QString& path, QWebEngineDownloadRequest::SavePageFormat format) {
    if (saveState_ == SaveState::Pending) {
        throw EBrowserError("网页正在保存，请稍候。");
    }
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        throw EBrowserError(QStringLiteral("网页保存失败：%1（文件夹不存在或不可写）").arg(path).toStdString());
    }
    const QFileInfo target(path);
    const bool partsFolderWasThere =
        QFileInfo::exists(target.absoluteDir().filePath(target.completeBaseName() + QStringLiteral("_files")));
    saveState_ = SaveState::Pending;
    saveError_.clear();
    savePath_ = path;
    QEventLoop loop;
    QTimer::singleShot(saveTimeoutMs_, &loop, &QEventLoop::quit);
    connect(this, &TWebBrowseEx::SaveSettled, &loop, &QEventLoop::quit);
    page()->save(path, format);
    if (saveState_ == SaveState::Pending) {
        loop.exec();
    }

    const SaveState outcome = saveState_;
    saveState_ = SaveState::Idle;
    if (outcome == SaveState::Pending) {
        throw EBrowserError(QStringLiteral("网页在 %1 秒内没有保存完。").arg(saveTimeoutMs_ / 1000).toStdString());
    }
    if (outcome != SaveState::Saved && outcome != SaveState::Failed) {
        return;
    }
    // Done or not, what is on the disk decides: a whole page, or nothing.
    const int error = outcome == SaveState::Failed
                          ? FolderWriteError(QFile::encodeName(target.absolutePath()).toStdString())
                          : SavedPageError(path, format);
    if (outcome == SaveState::Failed || error != 0) {
        RemoveFailedSave(path, partsFolderWasThere);
        throw EBrowserError(SaveFailure(path, error, saveError_).toStdString());
    }
    // The engine makes its files private; a saved page gets the mode every export gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(path).constData(), 0666 & ~mask);
}

void TWebBrowseEx::SettleSave(SaveState state, const QString& error) {
    if (saveState_ != SaveState::Pending) {
        return;
    }
    saveState_ = state;
    saveError_ = error;
    emit SaveSettled();
}

// The engine's download of the page that SavePageAs asked for, to the
// file already chosen.
void TWebBrowseEx::HandleDownload(QWebEngineDownloadRequest* request) {
    if (request->page() != page() || !request->isSavePageDownload() || saveState_ != SaveState::Pending) {
        return;  // another view's download, not a page, or no save of ours
    }
    const QString path = savePath_;
    const QPointer<QWebEngineDownloadRequest> watched(request);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, watched, path] {
        if (watched == nullptr || !watched->isFinished()) {
            return;
        }
        if (watched->state() == QWebEngineDownloadRequest::DownloadCompleted) {
            SettleSave(SaveState::Saved);
        } else {
            // Only an interrupted download has a reason; asking a cancelled
            // one (the engine cancels a single-file page it cannot write)
            // crashes the engine.
            SettleSave(SaveState::Failed, watched->state() == QWebEngineDownloadRequest::DownloadInterrupted
                                              ? watched->interruptReasonString()
                                              : QString());
        }
    });
    request->accept();
}

}  // namespace velmora

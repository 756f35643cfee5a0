// TWebBrowseEx on the real engine (under a display): the host flags as the
// form sets them, no frame and no scroll bars for the banner, saving the page
// to a file the test names, message boxes, URL translation, the key filter,
// Enter, the context menu, documents written and blank pages.
#include "TaskMemory.h"
#include "UiTestSupport.h"
#include "WebBrowseEx.h"
#include "ui_BrowserStripForm.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineSettings>
#include <QWindow>

#include <functional>

namespace velmora {
namespace {

constexpr int WaitMs = 15000;

bool WaitUntil(const std::function<bool()>& done, int ms = WaitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QTest::qWait(20);
    }
    return true;
}

QVariant RunJs(QWebEngineView& view, const QString& code) {
    QVariant result;
    bool finished = false;
    view.page()->runJavaScript(code, [&](const QVariant& value) {
        result = value;
        finished = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return finished; })) << code.toStdString();
    return result;
}

bool NavigateAndWait(TWebBrowseEx& view, const QString& urlOrPath) {
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.Navigate(urlOrPath);
    return loaded.wait(WaitMs) && loaded.first().first().toBool();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A page much larger than either view, in the result page's colours.
QByteArray TallPage(const QByteArray& marker) {
    QByteArray rows;
    for (int i = 0; i < 80; ++i) {
        rows += "<p>第 " + QByteArray::number(i) + " 行：骨重四两四，此命福气果如何，僧道门中衣禄多。</p>";
    }
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>算命结果</title>"
           "<style>body{font:12px/150% sans-serif;color:#333;background:#fffaf6 url(bg.png) no-repeat fixed 220px 70px;"
           "margin:0;padding:10px;width:1400px}h2{color:#db6200}</style></head><body><h2>" +
           marker + "</h2><img src='bg.png' alt=''>" + rows + "</body></html>";
}

QByteArray SmallPng() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor(0xe5, 0x94, 0x53));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The two browsers of the window, set up from a form as the window sets them up.
class Browsers : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        form_.setupUi(&window_);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        pagePath_ = dir_.filePath(QStringLiteral("template.html"));
        WriteFile(pagePath_, TallPage("VELMORA-MARKER"));
        WriteFile(dir_.filePath(QStringLiteral("bg.png")), SmallPng());
    }

    QTemporaryDir dir_;
    QWidget window_;
    Ui::BrowserStripForm form_;
    QString pagePath_;
};

TEST_F(Browsers, FormSetsTheHostProperties) {
    TDOCHOSTUIINFO info;
    EXPECT_EQ(form_.wbKarvo->Host().HostFlags(), 0x40004u);
    form_.wbKarvo->Host().GetHostInfo(&info);
    EXPECT_EQ(info.dwFlags, 0x40104u);
    EXPECT_EQ(form_.wbAD->Host().HostFlags(), 0x4000Cu);
    form_.wbAD->Host().GetHostInfo(&info);
    EXPECT_EQ(info.dwFlags, 0x4010Cu);
    EXPECT_EQ(form_.wbAD->DisableCtrlShortcuts(), QStringLiteral("N"));
    EXPECT_EQ(form_.wbAD->EnterModeOnEdit(), TWebBrowseEx::emFlagDiv);
    EXPECT_EQ(form_.wbAD->UserInterfaceOptions(),
              TWebBrowseEx::DontUse3DBorders | TWebBrowseEx::DontUseScrollBars | TWebBrowseEx::EnableThemes);
}

int ScrollBarWidth(TWebBrowseEx& view) {
    return RunJs(view, QStringLiteral("window.innerWidth - document.documentElement.clientWidth")).toInt();
}

TEST_F(Browsers, BannerShowsNoFrameAndNoScrollBars) {
    ASSERT_TRUE(NavigateAndWait(*form_.wbAD, pagePath_));
    ASSERT_TRUE(NavigateAndWait(*form_.wbKarvo, pagePath_));
    EXPECT_EQ(form_.wbAD->contentsMargins(), QMargins());
    EXPECT_EQ(form_.wbKarvo->contentsMargins(), QMargins());
    EXPECT_EQ(ScrollBarWidth(*form_.wbAD), 0);
    EXPECT_GT(ScrollBarWidth(*form_.wbKarvo), 0);  // the result page keeps its scroll bars
    // Give the compositor a moment, then look: page colour right up to the edge.
    QTest::qWait(300);
    const QImage banner = testing_support::Render(*form_.wbAD);
    EXPECT_PIXEL(banner, 0, 0, QColor(0xff, 0xfa, 0xf6));
    EXPECT_PIXEL(banner, banner.width() - 1, banner.height() - 1, QColor(0xff, 0xfa, 0xf6));
    testing_support::SaveScreenshot(window_, QStringLiteral("browsers-result-and-banner"));
    testing_support::SaveScreenshot(*form_.wbAD, QStringLiteral("browser-banner"));
}

TEST_F(Browsers, WithoutOptionsTheBrowserHasAFrameAndScrollBars) {
    TWebBrowseEx plain(&window_);
    plain.setGeometry(100, 100, 300, 200);
    plain.show();
    ASSERT_TRUE(NavigateAndWait(plain, pagePath_));
    EXPECT_EQ(plain.contentsMargins(), QMargins(2, 2, 2, 2));
    EXPECT_GT(ScrollBarWidth(plain), 0);
    QTest::qWait(300);
    const QImage shot = testing_support::Render(plain);
    EXPECT_NE(QColor(shot.pixel(0, 100)), QColor(0xff, 0xfa, 0xf6));  // the frame, not the page
    testing_support::SaveScreenshot(plain, QStringLiteral("browser-framed"));
    // Turning the banner's options on takes the frame away at once and the
    // scroll bars from the next page on.
    plain.setUserInterfaceOptions(TWebBrowseEx::DontUse3DBorders | TWebBrowseEx::DontUseScrollBars);
    EXPECT_EQ(plain.contentsMargins(), QMargins());
    ASSERT_TRUE(NavigateAndWait(plain, pagePath_));
    EXPECT_EQ(ScrollBarWidth(plain), 0);
}

TEST_F(Browsers, SaveAsWritesThePageWhereTheDialogSays) {
    ASSERT_TRUE(NavigateAndWait(*form_.wbKarvo, pagePath_));
    const QString target = dir_.filePath(QStringLiteral("saved/结果.html"));
    QDir().mkpath(QFileInfo(target).absolutePath());
    QString suggested;
    form_.wbKarvo->setSaveAsDialog(
        [&](QWidget*, const QString& proposal, QWebEngineDownloadRequest::SavePageFormat& format) {
            suggested = proposal;
            EXPECT_EQ(format, QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
            return target;
        });
    form_.wbKarvo->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_DODEFAULT);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral(".html"))) << suggested.toStdString();
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray content = saved.readAll();
    EXPECT_TRUE(content.contains("VELMORA-MARKER"));
    EXPECT_TRUE(QString::fromUtf8(content).contains(QStringLiteral("骨重四两四")));
    // The complete page brings its pictures along.
    const QDir files(dir_.filePath(QStringLiteral("saved/结果_files")));
    EXPECT_TRUE(files.exists());
    EXPECT_FALSE(files.entryList({QStringLiteral("*.png")}).isEmpty());
}

TEST_F(Browsers, SaveAsAsSingleFile) {
    ASSERT_TRUE(NavigateAndWait(*form_.wbKarvo, pagePath_));
    const QString target = dir_.filePath(QStringLiteral("page.mhtml"));
    form_.wbKarvo->setSaveAsDialog([&](QWidget*, const QString&, QWebEngineDownloadRequest::SavePageFormat& format) {
        format = QWebEngineDownloadRequest::MimeHtmlSaveFormat;
        return target;
    });
    form_.wbKarvo->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_DODEFAULT);
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("VELMORA-MARKER"));
}

TEST_F(Browsers, CancelledSaveIsNoError) {
    ASSERT_TRUE(NavigateAndWait(*form_.wbKarvo, pagePath_));
    int asked = 0;
    form_.wbKarvo->setSaveAsDialog([&](QWidget*, const QString&, QWebEngineDownloadRequest::SavePageFormat&) {
        ++asked;
        return QString();
    });
    EXPECT_NO_THROW(form_.wbKarvo->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_DODEFAULT));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // the page and its picture only
}

TEST_F(Browsers, FailedSaveRaisesAnError) {
    ASSERT_TRUE(NavigateAndWait(*form_.wbKarvo, pagePath_));
    const QString blocker = dir_.filePath(QStringLiteral("not-a-folder"));
    WriteFile(blocker, "x");
    form_.wbKarvo->setSaveAsDialog([&](QWidget*, const QString&, QWebEngineDownloadRequest::SavePageFormat&) {
        return blocker + QStringLiteral("/page.html");  // inside a file: cannot be written
    });
    EXPECT_THROW(form_.wbKarvo->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_DODEFAULT), EBrowserError);
}

TEST_F(Browsers, UnknownCommandsAndOptionsRaiseErrors) {
    EXPECT_THROW(form_.wbKarvo->ExecWB(9999, OLECMDEXECOPT_DODEFAULT), EBrowserError);
    EXPECT_THROW(form_.wbKarvo->ExecWB(OLECMDID_SAVEAS, 17), EBrowserError);
    EXPECT_THROW(form_.wbKarvo->Navigate(QString()), EBrowserError);
    EXPECT_THROW(form_.wbKarvo->Navigate(dir_.filePath(QStringLiteral("missing.html"))), EBrowserError);
    try {
        form_.wbKarvo->Navigate(QStringLiteral("   "));
        ADD_FAILURE() << "no error";
    } catch (const EBrowserError& error) {
        EXPECT_FALSE(std::string(error.what()).empty());
    }
}

TEST_F(Browsers, JavaScriptMessageBoxesGoToTheHost) {
    TWebBrowseEx& view = *form_.wbKarvo;
    ASSERT_TRUE(NavigateAndWait(view, pagePath_));
    std::u16string text;
    std::u16string caption;
    std::uint32_t type = 99;
    view.Host().OnShowMessage = [&](TWebBrowseHost&, HWND, const char16_t* t, const char16_t* c, std::uint32_t ty,
                                    const char16_t*, std::uint32_t, std::int32_t& result) {
        text = t;
        caption = c;
        type = ty;
        result = 1;  // OK
        return S_OK;
    };
    RunJs(view, QStringLiteral("alert('对不起，输入有误！'); 1"));
    EXPECT_EQ(text, u"对不起，输入有误！");
    EXPECT_FALSE(caption.empty());
    EXPECT_EQ(type, 0x30u);
    EXPECT_EQ(RunJs(view, QStringLiteral("confirm('保存吗？')")).toBool(), true);
    EXPECT_EQ(text, u"保存吗？");
    EXPECT_EQ(type, 0x21u);
}

TEST_F(Browsers, TranslatedUrlIsWhereTheBrowserGoes) {
    TWebBrowseEx& view = *form_.wbAD;
    const QString banner = dir_.filePath(QStringLiteral("banner.html"));
    WriteFile(banner, "<html><head><title>banner</title></head><body>ad</body></html>");
    std::u16string asked;
    view.Host().OnTranslateUrl = [&](TWebBrowseHost&, const char16_t* in, std::u16string& out) {
        asked = in;
        if (asked.find(u"velmora.invalid") != std::u16string::npos) {
            out = QUrl::fromLocalFile(banner).toString().toStdU16String();
        }
    };
    const std::size_t blocks = TaskMemBlocksInUse();
    view.Navigate(QStringLiteral("http://velmora.invalid/ad/20107277_1.html"));
    EXPECT_TRUE(WaitUntil([&] { return view.title() == QStringLiteral("banner"); }));
    EXPECT_EQ(view.url(), QUrl::fromLocalFile(banner));
    EXPECT_EQ(TaskMemBlocksInUse(), blocks);  // the translated text was freed
}

// A page that records the keys it receives.
const char* const KeyPage =
    "<html><body><script>window.keys=[];"
    "document.addEventListener('keydown',function(e){window.keys.push((e.ctrlKey?'ctrl+':'')+e.key);});"
    "</script>keys</body></html>";

QString KeysSeen(TWebBrowseEx& view) {
    return RunJs(view, QStringLiteral("window.keys.join(' ')")).toString();
}

TEST_F(Browsers, CtrlNIsSwallowedAndEnterReachesThePage) {
    TWebBrowseEx& view = *form_.wbKarvo;
    const QString page = dir_.filePath(QStringLiteral("keys.html"));
    WriteFile(page, KeyPage);
    ASSERT_TRUE(NavigateAndWait(view, page));
    std::string masked;
    view.Host().OnMaskedCtrlChar = [&](TWebBrowseHost&, char c) { masked += c; };
    // The window's own shortcut for Enter must not take the key from the page.
    QAction enterAction(&window_);
    enterAction.setShortcut(Qt::Key_Return);
    window_.addAction(&enterAction);
    QSignalSpy actionTriggered(&enterAction, &QAction::triggered);

    QWidget* engine = view.focusProxy();
    ASSERT_NE(engine, nullptr);
    window_.activateWindow();
    engine->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return engine->hasFocus(); }));
    // Through the window, as the window system delivers keys, shortcuts included.
    QWindow* window = window_.windowHandle();
    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_M, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return KeysSeen(view).contains(QStringLiteral("Enter")); }))
        << KeysSeen(view).toStdString();
    const QString seen = KeysSeen(view);
    EXPECT_FALSE(seen.contains(QStringLiteral("ctrl+n"))) << seen.toStdString();
    EXPECT_TRUE(seen.contains(QStringLiteral("ctrl+m"))) << seen.toStdString();
    EXPECT_EQ(masked, "N") << seen.toStdString();
    EXPECT_EQ(actionTriggered.count(), 0);
}

TEST_F(Browsers, AcceleratorHandlerCanTakeAKey) {
    TWebBrowseEx& view = *form_.wbKarvo;
    const QString page = dir_.filePath(QStringLiteral("keys.html"));
    WriteFile(page, KeyPage);
    ASSERT_TRUE(NavigateAndWait(view, page));
    view.Host().OnTranslateAccelerator = [](TWebBrowseHost&, const TMsg* msg, const TGuid*, std::uint32_t,
                                            bool& done) { done = msg->wParam == 'Q'; };
    QWidget* engine = view.focusProxy();
    engine->setFocus();
    QTest::keyClick(engine, Qt::Key_Q);
    QTest::keyClick(engine, Qt::Key_W);
    EXPECT_TRUE(WaitUntil([&] { return KeysSeen(view).contains(QStringLiteral("w")); }));
    EXPECT_FALSE(KeysSeen(view).contains(QStringLiteral("q")));
}

TEST_F(Browsers, FocusShowsAndHidesTheHostsUserInterface) {
    TWebBrowseEx& view = *form_.wbKarvo;
    ASSERT_TRUE(NavigateAndWait(view, pagePath_));
    std::vector<std::string> heard;
    view.Host().OnShowUI = [&](TWebBrowseHost&, std::uint32_t, IOleInPlaceActiveObject*, IOleCommandTarget*,
                               IOleInPlaceFrame*, IOleInPlaceUIWindow*, HRESULT&) { heard.push_back("show"); };
    view.Host().OnHideUI = [&](TWebBrowseHost&, HRESULT&) { heard.push_back("hide"); };
    view.Host().OnOnDocWindowActivate = [&](TWebBrowseHost&, bool on) { heard.push_back(on ? "on" : "off"); };
    window_.activateWindow();
    view.focusProxy()->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return !heard.empty(); }));
    form_.wbAD->focusProxy()->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return heard.size() >= 4; }));
    // Focus coming in shows the host's interface, focus going away hides it.
    std::string sequence;
    for (const std::string& step : heard) {
        sequence += step + " ";
    }
    EXPECT_EQ(sequence.rfind("on show hide off", 0), 0u) << sequence;
}

TEST_F(Browsers, ContextMenuHandlerDecidesAboutTheMenu) {
    TWebBrowseEx& view = *form_.wbKarvo;
    ASSERT_TRUE(NavigateAndWait(view, pagePath_));
    int asked = 0;
    std::uint32_t kind = 99;
    view.Host().OnShowContextMenu = [&](TWebBrowseHost&, std::uint32_t id, const TPoint*, IUnknown*, IDispatch*,
                                        HRESULT& result) {
        ++asked;
        kind = id;
        result = S_OK;  // the host showed its own
    };
    QTest::mouseClick(view.focusProxy(), Qt::RightButton, {}, QPoint(300, 200));
    ASSERT_TRUE(WaitUntil([&] { return asked > 0; }));
    EXPECT_EQ(kind, 0u);
    QTest::qWait(200);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(Browsers, NoTextSelectionWhenTheHostAsks) {
    TWebBrowseEx& view = *form_.wbKarvo;
    view.setUserInterfaceOptions(view.UserInterfaceOptions() | TWebBrowseEx::DisableTextSelect);
    ASSERT_TRUE(NavigateAndWait(view, pagePath_));
    EXPECT_TRUE(WaitUntil([&] {
        return RunJs(view, QStringLiteral("getComputedStyle(document.body).userSelect")).toString() ==
               QStringLiteral("none");
    }));
    view.setUserInterfaceOptions(TWebBrowseEx::DontUse3DBorders);
    ASSERT_TRUE(NavigateAndWait(view, pagePath_));
    EXPECT_EQ(RunJs(view, QStringLiteral("getComputedStyle(document.body).userSelect")).toString(),
              QStringLiteral("auto"));
}

TEST_F(Browsers, BlankPageAndWrittenDocuments) {
    TWebBrowseEx& view = *form_.wbKarvo;
    view.LoadBlankPage(false);
    EXPECT_EQ(view.url(), QUrl(QStringLiteral("about:blank")));
    view.WriteDocument(QStringLiteral("<p id='x'>你好，Velmora</p>"));
    EXPECT_EQ(RunJs(view, QStringLiteral("document.getElementById('x').textContent")).toString(),
              QStringLiteral("你好，Velmora"));
    view.WriteDocument(QString());
    EXPECT_EQ(RunJs(view, QStringLiteral("document.body ? document.body.innerHTML : ''")).toString(), QString());
    EXPECT_THROW(view.WriteDocument(QString(3 * 1024 * 1024, QLatin1Char('x'))), EBrowserError);
}

TEST_F(Browsers, WrittenDocumentResolvesAgainstThePageShown) {
    TWebBrowseEx& view = *form_.wbKarvo;
    ASSERT_TRUE(NavigateAndWait(view, pagePath_));
    view.WriteDocument(QStringLiteral("<img id='i' src='bg.png'>"));
    EXPECT_TRUE(WaitUntil([&] {
        return RunJs(view, QStringLiteral("document.getElementById('i').naturalWidth")).toInt() == 8;
    }));
}


// A page in the result page's style with the page background the build drew:
// the motif shows, faintly, where the style puts it.
TEST_F(Browsers, ResultPageShowsItsBackgroundFaintly) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_PAGE_BACKGROUND_GIF), dir_.filePath(QStringLiteral("BG.gif"))));
    QByteArray items;
    for (const char* heading : {"骨重解说", "属相解说", "星座解说", "综合解说"}) {
        items += QByteArray("<div class='item'><h2>") + heading +
                 "</h2><p><strong>[诗曰]</strong>此命推来福禄宏，不须愁虑苦劳心。荣华富贵已天定，正笏垂绅拜紫宸。"
                 "早年行运，在落不实，中年渐好，晚景兴隆。</p></div>";
    }
    const QByteArray page =
        "<html><head><meta charset='utf-8'><title>算命结果</title><style type='text/css'>"
        "body {font:12px/150% arial;color:#333;background:#fffaf6 url(BG.gif) no-repeat fixed 220px 70px;"
        "border:1px solid #e59453;margin:0;padding:10px}"
        "#container {width:590px;position:absolute;left:50%;margin-left:-285px;}"
        "table {color:#db6200;font-size:12px} table td {height:20px}"
        ".item h2{font:700 12px/150% arial;padding:.6em 0;margin:0}"
        ".item p {padding:0 0 0 20px;margin:0;color:#666} .item p strong {color:#db6200}"
        "</style></head><body><div id='container'><table>"
        "<tr><td width='140'>姓名：输入姓名</td><td width='140'>性别：男</td><td>公历生日：2009年9月21日7时</td></tr>"
        "<tr><td>属相：牛</td><td>年龄：18</td><td>农历生日：2009年8月3日7时</td></tr>"
        "<tr><td>骨重：四两四</td><td>星座：处女座</td><td>四柱五行：土土 水金 土木 木木(五行缺火)</td></tr>"
        "<tr><td>纳音五行：城头土</td></tr></table>" +
        items + "</div></body></html>";
    const QString path = dir_.filePath(QStringLiteral("result.html"));
    WriteFile(path, page);
    ASSERT_TRUE(NavigateAndWait(*form_.wbKarvo, path));
    ASSERT_TRUE(WaitUntil([&] {
        return RunJs(*form_.wbKarvo, QStringLiteral("(function(){var i=new Image();i.src='BG.gif';return i.complete&&i.naturalWidth;})()"))
                   .toInt() == 339;
    }));
    QTest::qWait(300);
    testing_support::SaveScreenshot(*form_.wbKarvo, QStringLiteral("browser-result-page"));
    // The outer ring of the motif crosses the picture's top edge region at its centre column.
    const QImage shot = testing_support::Render(*form_.wbKarvo);
    int tinted = 0;
    for (int y = 70; y < 70 + 192; ++y) {
        const QColor c(shot.pixel(220 + 169, y));
        tinted += c != QColor(0xff, 0xfa, 0xf6) && c.red() > 0xe0 && c.green() > 0xc8 ? 1 : 0;
    }
    EXPECT_GT(tinted, 10);
}


// Destroyed with the focus in its page, the view goes without a crash and
// without raising its events on the way.
TEST_F(Browsers, DestroyedWhileTheFocusIsInThePage) {
    auto* view = new TWebBrowseEx(&window_);
    view->setGeometry(0, 0, 200, 100);
    view->show();
    ASSERT_TRUE(NavigateAndWait(*view, pagePath_));
    bool gone = false;
    int callsAfterwards = 0;
    const auto count = [&] { callsAfterwards += gone ? 1 : 0; };
    view->Host().OnHideUI = [&](TWebBrowseHost&, HRESULT&) { count(); };
    view->Host().OnOnDocWindowActivate = [&](TWebBrowseHost&, bool) { count(); };
    view->Host().OnUpdateUI = [&](TWebBrowseHost&, HRESULT&) { count(); };
    window_.activateWindow();
    view->focusProxy()->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return view->focusProxy()->hasFocus(); }));
    gone = true;
    delete view;
    QTest::qWait(100);
    EXPECT_EQ(callsAfterwards, 0);
}

}  // namespace
}  // namespace velmora

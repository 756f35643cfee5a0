// Saving, printing and sharing the reading from the window's menu, the files
// checked with tools of their own: the engine for saved pages, poppler for
// PDFs, Qt's image reader for pictures.
#include "ReadingExport.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWebEngineScript>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ReadingTestSupport.h"

namespace velmora {
namespace {

// The output of a command-line tool, or empty when it did not run.
QString ToolOutput(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The text poppler reads out of a PDF.
QString PdfText(const QString& pdf) {
    return ToolOutput(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, "-"});
}

class Export : public Window {
protected:
    void SetUp() override {
        ASSERT_TRUE(out_.isValid());
        Open();
        Retype(*form_->edtName, QStringLiteral("张三"));
        ASSERT_TRUE(ClickBegin());
    }

    // Picks a menu item with the mouse, as the user does after a right click.
    void Choose(QAction* item) {
        QTest::mouseClick(form_->lblGuZhong, Qt::RightButton);
        ASSERT_TRUE(form_->pm1->isVisible());
        QTest::mouseClick(form_->pm1, Qt::LeftButton, {}, form_->pm1->actionGeometry(item).center());
    }

    // The save dialog answers `name` in the scratch folder, with `filter` chosen when given.
    void AnswerSave(const QString& name, const QString& filter = {}) {
        services_.answerSave = [this, name, filter](const QString&, QString& selected) {
            if (!filter.isEmpty()) {
                selected = filter;
            }
            return out_.filePath(name);
        };
    }

    // The page in `file` in a view of its own, drawn with and without the
    // body's background picture: they differ when the picture shows.
    bool ShowsMotif(const QString& file, const QString& screenshot) {
        QWebEngineView view;
        view.resize(760, 560);
        view.show();
        if (!LoadsPage(view, [&] { view.load(QUrl::fromLocalFile(file)); })) {
            return false;
        }
        SaveScreenshot(view, screenshot);
        const QImage with = view.grab().toImage();
        // The script's own world, which a single-file page's sandbox lets run.
        view.page()->runJavaScript(QStringLiteral("var s=document.createElement('style');"
                                                  "s.textContent='body{background-image:none!important}';"
                                                  "document.head.appendChild(s);"),
                                   QWebEngineScript::ApplicationWorld);
        QTest::qWait(500);
        return view.grab().toImage() != with;
    }

    QTemporaryDir out_;
};

// The engine's three ways of saving a page, each with the motif.
struct PageFormat {
    const char* name;
    QString filter;
    QString file;
};

class SavedPage : public Export, public ::testing::WithParamInterface<PageFormat> {};

TEST_P(SavedPage, ShowsTheMotifWhenOpenedFromItsFolder) {
    AnswerSave(GetParam().file, GetParam().filter);
    Choose(form_->N1);
    const QString saved = out_.filePath(GetParam().file);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(saved).size() > 0; }));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
    EXPECT_TRUE(ShowsMotif(saved, QStringLiteral("saved-page-%1").arg(GetParam().name)));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SavedPage,
    ::testing::Values(PageFormat{"Complete", QStringLiteral("网页，全部 (*.html *.htm)"), QStringLiteral("full.html")},
                      PageFormat{"SingleFile", QStringLiteral("网页，单个文件 (*.mhtml *.mht)"),
                                 QStringLiteral("one.mhtml")},
                      PageFormat{"HtmlOnly", QStringLiteral("网页，仅 HTML (*.html *.htm)"), QStringLiteral("bare.html")}),
    [](const ::testing::TestParamInfo<PageFormat>& info) { return std::string(info.param.name); });

TEST_F(Export, TheMenuOffersTheWaysToShareInOrder) {
    QStringList captions;
    for (const QAction* item : form_->pm1->actions()) {
        captions << item->text();
    }
    EXPECT_EQ(captions, (QStringList{"导出算命结果", "导出PDF…", "打印…", "保存为图片…", "在手机上打开…", "", "复制", "复制全文", "文字"}));
}

// The extension typed decides the format, whichever item asked.
struct NamedFormat {
    const char* name;
    int item;  // 1 导出算命结果, 2 导出PDF…, 4 保存为图片…
    QString file;
    QByteArray start;  // what the file holds near its start
};

class FormatByName : public Export, public ::testing::WithParamInterface<NamedFormat> {};

TEST_P(FormatByName, FollowsTheExtensionTyped) {
    AnswerSave(GetParam().file);
    Choose(GetParam().item == 1 ? form_->N1 : GetParam().item == 2 ? form_->N2 : form_->N4);
    QFile saved(out_.filePath(GetParam().file));
    ASSERT_TRUE(WaitFor([&] { return saved.size() > 0; }, 30000));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.read(400).contains(GetParam().start)) << GetParam().file.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, FormatByName,
    ::testing::Values(NamedFormat{"PictureFromThePdfItem", 2, QStringLiteral("x.png"), "\x89PNG"},
                      NamedFormat{"PdfFromThePictureItem", 4, QStringLiteral("y.PDF"), "%PDF"},
                      NamedFormat{"PdfFromThePageItem", 1, QStringLiteral("v.pdf"), "%PDF"},
                      NamedFormat{"SingleFileFromThePageItem", 1, QStringLiteral("z.mhtml"), "multipart/related"},
                      NamedFormat{"PageFromThePdfItem", 2, QStringLiteral("w.html"), "<html"}),
    [](const ::testing::TestParamInfo<NamedFormat>& info) { return std::string(info.param.name); });

// A save that fails says why and proposes the same folder next time.
TEST_F(Export, AFailedSaveKeepsTheLastFolderAndSaysWhy) {
    AnswerSave(QStringLiteral("first.pdf"));
    Choose(form_->N2);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(out_.filePath(QStringLiteral("first.pdf"))).size() > 0; }, 30000));
    ASSERT_EQ(form_->Export().LastFolder(), out_.path());
    const std::pair<QAction*, QString> saves[] = {{form_->N1, QStringLiteral("gone/reading.html")},
                                                  {form_->N2, QStringLiteral("gone/reading.pdf")},
                                                  {form_->N4, QStringLiteral("gone/reading.png")}};
    for (const auto& [item, file] : saves) {
        ApplicationBoxes().boxes.clear();
        AnswerSave(file);
        Choose(item);
        ASSERT_TRUE(WaitFor([] { return !Errors().isEmpty(); }, 30000)) << file.toStdString();
        const QString error = Errors().join('\n');
        EXPECT_TRUE(error.contains(file) && error.contains(QRegularExpression(QStringLiteral("不存在|找不到"))))
            << error.toStdString();
        EXPECT_EQ(form_->Export().LastFolder(), out_.path());
    }
}

// A user who takes longer than the save's bound in the dialog still saves.
TEST_F(Export, ASlowSaveDialogDoesNotRunIntoTheBoundOfTheSave) {
    form_->wbKarvo->setSaveTimeoutMs(1000);
    services_.answerSave = [this](const QString&, QString&) {
        QTest::qWait(1800);
        return out_.filePath(QStringLiteral("slow.html"));
    };
    Choose(form_->N1);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(out_.filePath(QStringLiteral("slow.html"))).size() > 0; }));
    QTest::qWait(200);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
}

// Saved, cancelled, saved again: the third waited out the bound once.
TEST_F(Export, ASaveAfterACancelledOneStillSaves) {
    AnswerSave(QStringLiteral("first.html"));
    Choose(form_->N1);
    services_.answerSave = nullptr;
    Choose(form_->N1);
    AnswerSave(QStringLiteral("again.html"));
    form_->wbKarvo->setSaveTimeoutMs(5000);
    Choose(form_->N1);
    EXPECT_TRUE(QFileInfo(out_.filePath(QStringLiteral("again.html"))).size() > 0);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
}

TEST_F(Export, ThePdfIsAnA4PageWithTheReadingAsTextInAnEmbeddedChineseFont) {
    AnswerSave(QStringLiteral("reading.pdf"));
    Choose(form_->N2);
    const QString pdf = out_.filePath(QStringLiteral("reading.pdf"));
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(pdf).size() > 0; }, 30000));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();

    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("张三"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(form_->KarvoInfo().GuZhong))) << text.toStdString();
    EXPECT_TRUE(ToolOutput(QStringLiteral("pdfinfo"), {pdf}).contains(QStringLiteral("(A4)")));
    // Every font is embedded, a Chinese one among them.
    const QStringList fonts = ToolOutput(QStringLiteral("pdffonts"), {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    bool chinese = false;
    for (const QString& font : fonts) {
        EXPECT_TRUE(font.contains(QStringLiteral(" yes "))) << font.toStdString();
        chinese = chinese || font.contains(QStringLiteral("WenQuanYi")) || font.contains(QStringLiteral("CJK"));
    }
    EXPECT_TRUE(chinese) << fonts.join('\n').toStdString();
    // The first page as a picture, for a person to look at.
    QDir().mkpath(QStringLiteral(VELMORA_SCREENSHOT_DIR));
    QFile::remove(QStringLiteral(VELMORA_SCREENSHOT_DIR "/reading.pdf"));
    QFile::copy(pdf, QStringLiteral(VELMORA_SCREENSHOT_DIR "/reading.pdf"));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                                   QStringLiteral("-singlefile"), pdf,
                                                   QStringLiteral(VELMORA_SCREENSHOT_DIR "/reading-pdf")});
}

// Ctrl+P in the result page prints; the printer here writes a PDF.
TEST_F(Export, CtrlPInTheResultPagePrintsTheReading) {
    const QString printed = out_.filePath(QStringLiteral("printed.pdf"));
    services_.answerPrint = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    };
    QWidget* page = form_->wbKarvo->focusProxy();
    ASSERT_NE(page, nullptr);
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([&] { return page->hasFocus(); }));
    QTest::keyClick(page, Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(printed).size() > 0; }, 30000));
    // The engine prints pictures of the pages: poppler finds A4 pages with one picture each.
    EXPECT_TRUE(ToolOutput(QStringLiteral("pdfinfo"), {printed}).contains(QStringLiteral("(A4)")));
    EXPECT_GE(ToolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), printed}).count(QStringLiteral(" image ")), 1);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
                                                   QStringLiteral("-singlefile"), printed,
                                                   QStringLiteral(VELMORA_SCREENSHOT_DIR "/reading-printed")});
}

TEST_F(Export, ThePictureIsTheWholePageAtTwiceTheScreensScale) {
    AnswerSave(QStringLiteral("reading.png"));
    Choose(form_->N4);
    const QString file = out_.filePath(QStringLiteral("reading.png"));
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(file).size() > 0; }, 30000));
    const QImage picture(file);
    const int scrollHeight = RunScript(*form_->wbKarvo, QStringLiteral("document.body.scrollHeight")).toInt();
    const qreal scale = 2 * form_->screen()->devicePixelRatio();
    ASSERT_GT(scrollHeight, form_->wbKarvo->height());  // the page is longer than the view
    EXPECT_EQ(picture.height(), qRound(scrollHeight * scale));
    EXPECT_EQ(picture.width(), qRound(form_->wbKarvo->width() * scale));
    // Its last rows are drawn too, not left blank by a view that stopped short.
    EXPECT_NE(picture.pixelColor(picture.width() / 2, picture.height() - 3), QColor(Qt::transparent));
    picture.scaledToWidth(380, Qt::SmoothTransformation).save(QStringLiteral(VELMORA_SCREENSHOT_DIR "/reading-picture.png"));
}

// Each dialog proposes the name and birth date, in the folder last saved to.
TEST_F(Export, DialogsProposeNameAndBirthDateInTheLastFolder) {
    const QString sub = out_.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(sub));
    services_.answerSave = [&](const QString&, QString&) { return sub + QStringLiteral("/first.pdf"); };
    Choose(form_->N2);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(sub + QStringLiteral("/first.pdf")).size() > 0; }, 30000));
    services_.answerSave = nullptr;  // cancels
    Choose(form_->N4);
    Choose(form_->N1);
    ASSERT_EQ(services_.proposedPaths.size(), 3u);
    EXPECT_TRUE(services_.proposedPaths[0].endsWith(QStringLiteral("/张三 2009年9月21日.pdf")))
        << services_.proposedPaths[0].toStdString();
    EXPECT_EQ(services_.proposedPaths[1], sub + QStringLiteral("/张三 2009年9月21日.png"));
    EXPECT_EQ(services_.proposedPaths[2], sub + QStringLiteral("/张三 2009年9月21日.html"));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();

    // The folder is still proposed after the window starts again.
    form_.reset();
    Open();
    Choose(form_->N2);
    ASSERT_EQ(services_.proposedPaths.size(), 4u);
    EXPECT_EQ(QFileInfo(services_.proposedPaths[3]).absolutePath(), sub);
}

// Every export on a full disk: a clear message with the reason in Chinese,
// and no file left, not even an empty one. A PDF or picture already there
// stays (the engine itself overwrites a page before it finds the disk full).
struct FullDiskExport {
    const char* name;
    QString file;
    QString filter;  // the page's save format, for the page
    QString message;
    bool overEarlier;  // tries over an earlier export too
};

class ExportOnAFullDisk : public Export, public ::testing::WithParamInterface<FullDiskExport> {};

TEST_P(ExportOnAFullDisk, SaysSoAndLeavesNoFile) {
    const velmora::testing::FullDisk disk;
    if (!disk.Mounted()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    // An earlier export under the same name, when there is room for it.
    std::filesystem::remove(disk.Path() / "filler");
    const std::filesystem::path earlier = disk.Path() / ("earlier-" + GetParam().file.toStdString());
    std::ofstream(earlier) << "earlier";
    disk.Fill();
    const QString folder = QString::fromStdString(disk.Path().string());
    QStringList names{GetParam().file};
    if (GetParam().overEarlier) {
        names << QString::fromStdString(earlier.filename().string());
    }
    for (const QString& name : names) {
        ApplicationBoxes().boxes.clear();
        services_.answerSave = [&](const QString&, QString& selected) {
            if (!GetParam().filter.isEmpty()) {
                selected = GetParam().filter;
            }
            return folder + QLatin1Char('/') + name;
        };
        Choose(GetParam().name == std::string("Pdf") ? form_->N2
               : GetParam().name == std::string("Png") ? form_->N4 : form_->N1);
        ASSERT_TRUE(WaitFor([] { return !Errors().isEmpty(); }, 30000)) << name.toStdString();
        EXPECT_TRUE(Errors().join('\n').contains(GetParam().message)) << Errors().join('\n').toStdString();
        EXPECT_TRUE(Errors().join('\n').contains(QStringLiteral("磁盘空间不足"))) << Errors().join('\n').toStdString();
    }
    EXPECT_EQ(velmora::testing::ReadBytes(earlier), "earlier");
    QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, (QStringList{QString::fromStdString(earlier.filename().string()), QStringLiteral("filler")}));
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ExportOnAFullDisk,
    ::testing::Values(
        FullDiskExport{"Complete", QStringLiteral("full.html"), QStringLiteral("网页，全部 (*.html *.htm)"),
                       QStringLiteral("网页保存失败"), false},
        FullDiskExport{"SingleFile", QStringLiteral("one.mhtml"), QStringLiteral("网页，单个文件 (*.mhtml *.mht)"),
                       QStringLiteral("网页保存失败"), false},
        FullDiskExport{"HtmlOnly", QStringLiteral("bare.html"), QStringLiteral("网页，仅 HTML (*.html *.htm)"),
                       QStringLiteral("网页保存失败"), false},
        FullDiskExport{"Pdf", QStringLiteral("reading.pdf"), {}, QStringLiteral("PDF 文件没有写成"), true},
        FullDiskExport{"Png", QStringLiteral("reading.png"), {}, QStringLiteral("图片没有写成"), true}),
    [](const ::testing::TestParamInfo<FullDiskExport>& info) { return std::string(info.param.name); });

// Every export gets the mode the user's umask leaves, the page the engine
// writes too.
TEST_F(Export, EveryExportTakesTheUmasksMode) {
    const mode_t previous = ::umask(027);
    struct Item {
        QAction* action;
        QString file;
    };
    for (const Item& item : {Item{form_->N1, QStringLiteral("mode.html")}, Item{form_->N2, QStringLiteral("mode.pdf")},
                             Item{form_->N4, QStringLiteral("mode.png")}}) {
        AnswerSave(item.file);
        Choose(item.action);
        const QString file = out_.filePath(item.file);
        ASSERT_TRUE(WaitFor([&] { return QFileInfo(file).size() > 0; }, 30000)) << item.file.toStdString();
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0640u) << item.file.toStdString();
    }
    ::umask(previous);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
}

// With no reading shown each item says why, and asks for no file.
TEST_F(Window, WithoutTheDatabaseEachShareItemSaysWhyThereIsNothingToShare) {
    ScratchWorkingFolder empty(ScratchWorkingFolder::WithoutDatabase);
    Open();
    ASSERT_TRUE(WaitFor([] { return !Errors().isEmpty(); }, 3000));
    ApplicationBoxes().boxes.clear();
    for (QAction* item : {form_->N1, form_->N2, form_->N3, form_->N4}) {
        item->trigger();
    }
    const QStringList told = Informations();
    ASSERT_EQ(told.size(), 4);
    for (const QString& text : told) {
        EXPECT_TRUE(text.startsWith(QStringLiteral("现在没有显示算命结果"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("原因："))) << text.toStdString();
    }
    EXPECT_TRUE(services_.proposedPaths.empty());
}

}  // namespace
}  // namespace velmora

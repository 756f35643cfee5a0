#include "Application.h"

#include "WindowScript.h"

#include "MessageBoxes.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>

#include <cstdio>

namespace velmora {

namespace {

// 宋体 where it is installed, else a Chinese font of the system.
void SubstituteFormFont() {
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                                QStringLiteral("Droid Sans Fallback")});
}

// Fusion, with a slimmer drop-down arrow: the form's sex box is 36 pixels
// wide and must still show its 男 or 女 in full.
class TProgramStyle : public QProxyStyle {
public:
    TProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        if (control == CC_ComboBox && (part == SC_ComboBoxArrow || part == SC_ComboBoxEditField)) {
            constexpr int ArrowWidth = 13;
            const QRect frame = option->rect;
            return part == SC_ComboBoxArrow
                       ? QRect(frame.right() - ArrowWidth, frame.top() + 1, ArrowWidth, frame.height() - 2)
                       : QRect(frame.left() + 3, frame.top() + 2, frame.width() - ArrowWidth - 4, frame.height() - 4);
        }
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
};

}  // namespace

// The program speaks Chinese whatever the desktop's language: Qt's own
// dialogs and buttons too, from the translations the system ships.
void TApplication::LoadQtTranslations() { InstallQtTranslations(*this, WindowScriptInForce()); }

QPalette ProgramPalette() {
    const QColor paper(0xff, 0xfa, 0xf6);   // the page's background
    const QColor face(0xfb, 0xef, 0xe4);    // a warm button face
    const QColor accent(0xe5, 0x94, 0x53);  // the page's border
    const QColor ink(0x33, 0x33, 0x33);     // the page's text
    QPalette palette(face, face);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::WindowText, ink);
    palette.setColor(QPalette::Base, paper);
    palette.setColor(QPalette::AlternateBase, face);
    palette.setColor(QPalette::Text, ink);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, ink);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, paper);
    palette.setColor(QPalette::ToolTipText, ink);
    palette.setColor(QPalette::Link, QColor(0xdb, 0x62, 0x00));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9a, 0x8c, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x9a, 0x8c, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x9a, 0x8c, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    return palette;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: the window system would add it to every title, and
    // the 提示 boxes are titled 提示 alone.
    setApplicationName(QString::fromUtf16(kApplicationTitle));
    // The desktop's menu entry, so that a window system that asks (Wayland)
    // groups the window with its entry and icon.
    setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    LoadQtTranslations();
    setStyle(new TProgramStyle);
    setPalette(ProgramPalette());
    SubstituteFormFont();
}

void TApplication::ShowException(std::exception_ptr error) {
    const QString text = ExceptionText(error);
    if (boxes_ == nullptr) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    boxes_->Error(activeWindow(), text);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}

}  // namespace velmora

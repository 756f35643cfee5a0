#include "WindowScript.h"

#include "ImgButton.h"
#include "ScriptArtwork.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTranslator>
#include <QWidget>

#include <memory>
#include <vector>

namespace velmora {
namespace {

Script inForce = Script::Simplified;
const QString ScriptKey = QStringLiteral("script/name");

// What a text holder showed last in a script, and the simplified text it
// stands for. A text the program has set since is taken as its new original.
const char* const OriginalProperty = "velmoraSimplifiedText";
const char* const ShownProperty = "velmoraShownText";
const char* const OriginalTipProperty = "velmoraSimplifiedTip";
const char* const ShownTipProperty = "velmoraShownTip";
const char* const KeepProperty = "velmoraKeepText";

// One text of an object (a text or a tool tip) brought into the script.
template <typename Get, typename Set>
void ShowInScript(QObject& holder, const char* originalName, const char* shownName, Get get, Set set) {
    const QString current = get();
    const QVariant shown = holder.property(shownName);
    const QString original =
        shown.isValid() && shown.toString() == current ? holder.property(originalName).toString() : current;
    const QString converted = InWindowScript(original);
    holder.setProperty(originalName, original);
    holder.setProperty(shownName, converted);
    if (converted != current) {
        set(converted);
    }
}

// A list's items keep their simplified text in a role of their own.
constexpr int OriginalItemRole = Qt::UserRole + 0x5c5;

void ShowComboTexts(QComboBox& box) {
    for (int i = 0; i < box.count(); ++i) {
        const QString original = SimplifiedItemText(box, i);
        box.setItemData(i, original, OriginalItemRole);
        const QString converted = InWindowScript(original);
        if (converted != box.itemText(i)) {
            box.setItemText(i, converted);
        }
    }
}

void ShowWidgetTexts(QWidget& widget) {
    if (widget.property(KeepProperty).toBool()) {
        return;
    }
    ShowInScript(widget, OriginalTipProperty, ShownTipProperty, [&] { return widget.toolTip(); },
                 [&](const QString& text) { widget.setToolTip(text); });
    if (auto* label = qobject_cast<QLabel*>(&widget); label != nullptr && label->pixmap().isNull()) {
        ShowInScript(widget, OriginalProperty, ShownProperty, [&] { return label->text(); },
                     [&](const QString& text) { label->setText(text); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        ShowInScript(widget, OriginalProperty, ShownProperty, [&] { return button->text(); },
                     [&](const QString& text) { button->setText(text); });
    }
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        ShowInScript(widget, "velmoraSimplifiedHint", "velmoraShownHint", [&] { return line->placeholderText(); },
                     [&](const QString& text) { line->setPlaceholderText(text); });
    }
    if (auto* box = qobject_cast<QComboBox*>(&widget)) {
        ShowComboTexts(*box);
    }
    if (auto* picture = qobject_cast<TImgButton*>(&widget)) {
        ShowButtonArtworkInScript(*picture, inForce);
    }
    if (!widget.windowTitle().isEmpty() && widget.isWindow()) {
        ShowInScript(widget, "velmoraSimplifiedTitle", "velmoraShownTitle", [&] { return widget.windowTitle(); },
                     [&](const QString& text) { widget.setWindowTitle(text); });
    }
}

void ShowMenuTexts(QMenu& menu) {
    ShowInScript(menu, OriginalProperty, ShownProperty, [&] { return menu.title(); },
                 [&](const QString& text) { menu.setTitle(text); });
    for (QAction* action : menu.actions()) {
        if (action->property(KeepProperty).toBool()) {
            continue;
        }
        ShowInScript(*action, OriginalProperty, ShownProperty, [&] { return action->text(); },
                     [&](const QString& text) { action->setText(text); });
    }
}

}  // namespace

Script WindowScriptInForce() { return inForce; }

void SetWindowScript(Script script) {
    inForce = script;
    if (auto* application = QCoreApplication::instance()) {
        InstallQtTranslations(*application, script);
    }
}

Script LoadWindowScript(QSettings& settings) {
    return ParseScript(settings.value(ScriptKey).toString().toStdString()).value_or(Script::Simplified);
}

void SaveWindowScript(QSettings& settings, Script script) {
    settings.setValue(ScriptKey, QString::fromUtf8(ScriptName(script).data(), ScriptName(script).size()));
}

QString InWindowScript(const QString& simplified, const QString& kept) {
    if (inForce == Script::Simplified || simplified.isEmpty()) {
        return simplified;
    }
    if (kept.isEmpty()) {
        return QString::fromStdString(ConvertText(simplified.toStdString(), inForce));
    }
    const std::string keptWords[] = {kept.toStdString()};
    return QString::fromStdString(ConvertText(simplified.toStdString(), inForce, keptWords));
}

void ShowTextsInWindowScript(QWidget& root) {
    ShowWidgetTexts(root);
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        ShowWidgetTexts(*widget);
    }
    for (QMenu* menu : root.findChildren<QMenu*>()) {
        ShowMenuTexts(*menu);
    }
}

QString SimplifiedItemText(const QComboBox& box, int index) {
    const QVariant kept = box.itemData(index, OriginalItemRole);
    return kept.isValid() ? kept.toString() : box.itemText(index);
}

void KeepTextAsIs(QObject& textHolder) { textHolder.setProperty(KeepProperty, true); }

void InstallQtTranslations(QCoreApplication& application, Script script) {
    static std::vector<std::unique_ptr<QTranslator>> installed;
    for (const auto& translator : installed) {
        application.removeTranslator(translator.get());
    }
    installed.clear();
    const QString region = script == Script::Simplified ? QStringLiteral("zh_CN") : QStringLiteral("zh_TW");
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& catalogue : {QStringLiteral("qtbase_"), QStringLiteral("qtwebengine_")}) {
        auto translator = std::make_unique<QTranslator>();
        // The engine has no zh_TW catalogue; its few texts then stay zh_CN's.
        if (translator->load(catalogue + region, folder) || translator->load(catalogue + QStringLiteral("zh_CN"), folder)) {
            application.installTranslator(translator.get());
            installed.push_back(std::move(translator));
        }
    }
}

}  // namespace velmora

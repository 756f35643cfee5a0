// The script the window speaks: simplified, or one of the traditional ones.
// The window's own texts (labels, buttons, tool tips, menus), its message
// boxes, the strip and the page all follow it, and so do Qt's dialogs; a
// change takes effect at once. The choice is kept between starts.
#pragma once

#include "Script.h"

#include <QString>

class QComboBox;
class QCoreApplication;
class QObject;
class QSettings;
class QWidget;

namespace velmora {

Script WindowScriptInForce();
// Makes `script` the window's, with Qt's own translations to match.
void SetWindowScript(Script script);

// The script kept in the window's settings; simplified when none is.
Script LoadWindowScript(QSettings& settings);
void SaveWindowScript(QSettings& settings, Script script);

// A text of the program (simplified) in the window's script; `kept` words
// in it (a typed name) stay as they are.
QString InWindowScript(const QString& simplified, const QString& kept = {});

// Shows every text under `root` in the window's script: each widget's
// text and tool tip, each menu's actions, from the simplified text the
// program gave it, and the captions drawn into image buttons. Texts marked with KeepTextAsIs stay as they are.
void ShowTextsInWindowScript(QWidget& root);
void KeepTextAsIs(QObject& textHolder);

// A list item's text as the program gave it, whatever the script shows.
QString SimplifiedItemText(const QComboBox& box, int index);

// Qt's own translations for a script (zh_CN for simplified, zh_TW else).
void InstallQtTranslations(QCoreApplication& application, Script script);

}  // namespace velmora

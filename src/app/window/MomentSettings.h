// The exact-birth-moment choices between starts: kept with Qt's settings in
// the user's configuration folder (an INI file, so a test can point Qt at a
// folder of its own), and the short line that shows them in the window.
#pragma once

#include "MomentOptions.h"

#include <QString>

#include <functional>
#include <memory>

class QSettings;

namespace velmora {

// Where the window keeps its choices: Velmora/velmora.ini in the user's
// configuration folder (XDG_CONFIG_HOME, else ~/.config).
QString WindowSettingsPath();

// Looks at the settings file without waiting on it: a pipe, a device or a
// folder at its path, or a file over 1 MB (damaged), is refused, and the
// window then starts with the classic choices and leaves the file alone.
// The program does this before it takes the single-copy lock; the first
// OpenWindowSettings does it otherwise.
void CheckWindowSettingsFile();

// The settings file of the window's own choices; for a refused file a
// stand-in that reads and keeps nothing.
std::unique_ptr<QSettings> OpenWindowSettings();

// Writes the choices out. The first time the file cannot be read or written
// (read-only, a full disk) the window says so, once; it goes on either way.
void KeepWindowSettings(QSettings& settings);

// Who tells the user about the settings file: the window's message boxes;
// standard error until one is set.
void SetSettingsNotice(std::function<void(const QString&)> notice);

// What of the choices is a preference of the user's rather than a fact of one
// birth: precise mode and the 子时 school. Only these are kept between starts
// and given to a new person; a minute and a birthplace belong to a person.
MomentOptions MomentPreferences(const MomentOptions& options);

// The choices as last kept; the classic reading's when none were kept.
MomentOptions LoadMomentOptions(QSettings& settings);
void SaveMomentOptions(QSettings& settings, const MomentOptions& options);

// What is in force at a glance, e.g. "真太阳时 · 成都", "真太阳时 · 伦敦（英国） · 当地时间"
// or "精确 · 35分 · 早子时";
// empty when every choice is the classic reading's.
QString MomentSummary(const MomentOptions& options);

// Whether the typed time is the local time of a birthplace or zone with a
// clock of its own (Hong Kong, Macau, Taiwan, abroad) rather than Beijing time.
bool OnOwnClock(const MomentOptions& options);

// What the hour's label tells about whose clock the typed time is.
QString HourClockTip(const MomentOptions& options);

// A longitude or latitude as the window shows it: up to two decimals.
QString DegreesText(double degrees);

}  // namespace velmora

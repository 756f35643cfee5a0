// The exact-birth-moment choices between starts: kept with Qt's settings in
// the user's configuration folder (an INI file, so a test can point Qt at a
// folder of its own), and the short line that shows them in the window.
#pragma once

#include "MomentOptions.h"

#include <QString>

#include <memory>

class QSettings;

namespace velmora {

// The settings file of the window's own choices.
std::unique_ptr<QSettings> OpenWindowSettings();

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

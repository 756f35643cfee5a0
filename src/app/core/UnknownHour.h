// A birth whose hour is not known (时辰不详): the reading of the date with
// every 时辰 as a candidate, each read at the middle of its 时辰.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "KarvoInfo.h"
#include "MomentOptions.h"
#include "MomentReading.h"

namespace velmora {

// The deciding time of one candidate on the birth date.
struct CandidateTime {
    int hour = 0, minute = 0;
    bool lateZi = false;  // 夜子时: 23:00-24:00 of the date under the late school
};

// 子时 at 00:00, 丑时 at 02:00 … 亥时 at 22:00, then 夜子时 at 23:30 under
// the late school.
std::vector<CandidateTime> CandidateTimes(ZiSchool school);

// Reads the birth date at one candidate's deciding time; nothing when the
// calendar does not reach it.
using CandidateReader = std::function<std::optional<TKarvoInfo>(const CandidateTime&, ChartDetail)>;

// Fills `record` with the reading of an unknown hour: the commentaries that
// do not depend on the hour from the reading at noon, the pillars all
// candidates share, the candidates, and a note. False when the calendar does
// not reach the date. `solarTime` says whether the deciding time is true solar time.
bool ReadUnknownHour(const CandidateReader& read, ZiSchool school, bool solarTime, TKarvoInfo& record);

// The range of the candidates' bone weights, e.g. 三两二至四两五 (or the one
// weight all of them share).
std::string CandidateWeightRange(const std::vector<HourCandidate>& candidates);

}  // namespace velmora

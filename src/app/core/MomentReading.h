// The reading's side of the exact birth moment: the options applied to a
// clock time, the fields that say what was applied, and the notes on what
// lies near a boundary.
#pragma once

#include <functional>
#include <optional>

#include "BirthMoment.h"
#include "KarvoInfo.h"
#include "Reading.h"

namespace velmora {

// What a reading with moment options says for a year outside the moments' years.
inline constexpr std::string_view kMomentYearsNote =
    "精确时刻只能推算公元2年至3000年的出生时间，本次按传统规则排盘，所填的分钟、出生地与子时选项都未采用。";

// How much of a chart to read: the whole reading, or what a note compares
// (pillars, lunar date, animal and bone weight, without the commentaries).
enum class ChartDetail { Whole, BoneWeight };

// Reads the chart of one moment of the birth into a record; nothing when the
// lunar calendar does not reach its day.
using ChartReader = std::function<std::optional<TKarvoInfo>(const ChartMoment&, ChartDetail)>;

// A reading with moment options: `clock` is the working date with the hour
// and minute as typed, in a year of InMomentYears. On Complete `record` holds the chart, the moment's
// fields and the notes; otherwise it is left as it was.
ReadingOutcome ReadExactMoment(const CivilTime& clock, const MomentOptions& options, const ChartReader& read,
                               TKarvoInfo& record);

// The chart of the moment whose deciding time (the time the hour pillar
// follows: Beijing standard time, or true solar time with a birthplace or
// longitude) is `deciding`; nothing for an unknown place. The year of
// `deciding` must satisfy InMomentYears.
std::optional<ChartMoment> ChartAtDecidingTime(const CivilTime& deciding, const MomentOptions& options);

// What is wrong with the options' birthplace, zone or longitude, if anything:
// an unknown or ambiguous place, an unknown zone, a longitude out of range.
std::optional<ReadingOutcome> WhereProblem(const MomentOptions& options);

// The fields that say which moment options a reading applied, for a
// reading without a clock time of its own (an unknown hour).
void WriteMomentChoices(const MomentOptions& options, TKarvoInfo& record);

// What is wrong with options that ReadExactMoment refused, in words for the
// user: the places an ambiguous name fits, or the change of a zone's clocks
// that skipped the typed local time. Empty when there is nothing to add to
// the outcome's message.
std::string DescribeMomentProblem(const CivilTime& clock, const MomentOptions& options);

// The notes a classic reading carries: a sectional term on the birth day
// whose moment gives other pillars, and a clock time of a daylight-saving
// period. `record` holds the classic chart.
void AddClassicNotes(const CivilTime& clock, const ChartReader& read, TKarvoInfo& record);

}  // namespace velmora

// A reading: from a birth input to a filled TKarvoInfo, with the pillars,
// elements, Nayin, animal, star sign, age, bone weight and the commentaries
// read from the reading database.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KarvoInfo.h"
#include "MomentOptions.h"

namespace velmora {

class TDatabaseQuery;

enum class CalendarMode { Gregorian, Lunar };

// The values the window's input controls hold when a reading starts.
struct BirthInput {
    std::string name;  // edtName
    std::string sex;   // cbbSex, 男 or 女
    CalendarMode mode = CalendarMode::Gregorian;
    bool leap = false;  // chkLeap
    std::string year, month, day, hour;  // edtYear, edtMonth, edtDay, edtHour as typed
    bool hourUnknown = false;  // 时辰不详: the hour is left out and every 时辰 becomes a candidate
    MomentOptions moment;  // the exact birth moment; all off gives the classic reading
    bool chart = false;    // add the full 八字 chart with its luck pillars
};

// The day the reading is made on (the computer's date when the window was
// made, or a date asked for): the age counts to it, a birth after it has no
// age yet, and the chart's current luck pillar and year are of its year.
struct StartupDate {
    std::uint16_t year = 0, month = 0, day = 0;
};

enum class ReadingOutcome {
    Complete,
    DateError,          // the date does not exist
    OutsideLunarRange,  // a date the lunar calendar does not cover
    NoGregorianDate,    // a lunar date without a Gregorian date: no message
    SkippedClockTime,   // a clock time that a daylight-saving change skipped
    UnknownPlace,       // a birthplace the place list does not know
    AmbiguousPlace,     // a birthplace name that fits several places
};

inline constexpr std::string_view kDateErrorMessage = "日期出错，请确认此日期是否存在";
inline constexpr std::string_view kLunarRangeMessage = "农历数据仅支持公元前849年至公元2100年";
inline constexpr std::string_view kSkippedClockTimeMessage =
    "这一时刻不存在：当天实行夏令时，时钟向前拨快了一小时，请核对出生时间";
// The age of a birth after the day of the reading.
inline constexpr std::string_view kNotYetBornAge = "尚未出生";
inline constexpr std::string_view kUnknownPlaceMessage = "找不到这个出生地，请从地点列表中选择或直接输入经度";
inline constexpr std::string_view kAmbiguousPlaceMessage = "这个地名对应多个地点，请从中选择一个";

// The message a caller shows for an outcome; empty when there is none.
std::string_view OutcomeMessage(ReadingOutcome outcome);

// The message for an outcome of this input: a date that does not exist says
// which part of it is wrong, an ambiguous birthplace lists the places it
// fits, a local time a zone skipped names the zone's change (on a line of
// its own); empty when there is nothing to say.
std::string ReadingMessage(ReadingOutcome outcome, const BirthInput& input);

// Why the birth's date does not exist, as a reading tells it ("日期出错，请确认此
// 日期是否存在：2001年2月只有28天"); empty for a date that exists.
std::string BirthDateProblem(const BirthInput& input);

// Computes one reading into `record`. Only a complete reading changes the
// record; every other outcome, and an error of the database (EDatabaseError,
// passed on to the caller), leaves it exactly as it was.
ReadingOutcome ComputeReading(const BirthInput& input, const StartupDate& startup, TDatabaseQuery& query,
                              TKarvoInfo& record);

// The words of a space-separated field, e.g. the four pillars of SiZhu.
std::vector<std::string> SpaceSeparated(const std::string& text);

// Lines ended by CR LF, CR or LF; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The decimal integer a text holds, or `fallback` when it holds none.
int ParseIntOr(std::string_view text, int fallback);

}  // namespace velmora

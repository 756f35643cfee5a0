#include "MomentReading.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ChineseCalendar.h"
#include "DaylightSaving.h"
#include "Places.h"
#include "TermMoments.h"
#include "ZoneClock.h"

namespace velmora {
namespace {

constexpr BeijingSeconds kMinute = 60;
constexpr int kNearBoundaryMinutes = 15;

std::string Printf(const char* format, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string DateText(const CivilTime& t) { return Printf("%d年%d月%d日", t.year, t.month, t.day); }
std::string HourMinute(const CivilTime& t) { return FormatHourMinute(t.hour, t.minute); }
std::string HourMinute(BeijingSeconds s) { return HourMinute(ToCivilTime(s)); }
std::string MomentText(BeijingSeconds s) { return FormatDateTime(ToCivilTime(s)); }

// "+6分12秒", "-1小时3分28秒"
std::string SignedDuration(double seconds)
{
    const long long whole = std::llround(std::fabs(seconds));
    const char* sign = seconds < 0 ? "-" : "+";
    if (whole >= 3600) return Printf("%s%lld小时%lld分%lld秒", sign, whole / 3600, whole / 60 % 60, whole % 60);
    return Printf("%s%lld分%lld秒", sign, whole / 60, whole % 60);
}

std::string LongitudeText(double degrees) { return Printf("%s%.2f°", degrees < 0 ? "西经" : "东经", std::fabs(degrees)); }

// "闰2月1日": the lunar month and day of a record, with its leap mark.
std::string LunarDateText(const TKarvoInfo& r) { return (r.IsLeap ? "闰" : "") + r.LunarMonth + "月" + r.LunarDay + "日"; }

// Whether two charts of the same birth read alike in everything a note compares.
bool ChartsAgree(const TKarvoInfo& a, const TKarvoInfo& b)
{
    return a.SiZhu == b.SiZhu && LunarDateText(a) == LunarDateText(b) && a.ShuXiang == b.ShuXiang &&
           a.GuZhong == b.GuZhong;
}

// How close a boundary is: "只有5分钟", or "不到1分钟" within the minute.
std::string Closeness(long long seconds)
{
    return seconds < kMinute ? "不到1分钟" : "只有" + std::to_string(seconds / kMinute) + "分钟";
}

// What another chart of the same birth changes, e.g. "时柱变为丙午，骨重变为四两二（现为三两八）".
std::string Differences(const TKarvoInfo& now, const TKarvoInfo& other)
{
    static const char* const kPillarNames[4] = {"年柱", "月柱", "日柱", "时柱"};
    const auto a = SpaceSeparated(now.SiZhu), b = SpaceSeparated(other.SiZhu);
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : "，") + part; };
    for (std::size_t i = 0; i < 4 && i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) add(std::string(kPillarNames[i]) + "变为" + b[i]);
    if (LunarDateText(now) != LunarDateText(other)) add("农历日期变为" + LunarDateText(other));
    if (now.ShuXiang != other.ShuXiang) add("生肖变为" + other.ShuXiang);
    if (text.empty()) add("四柱不变");
    add(now.GuZhong != other.GuZhong ? "骨重变为" + other.GuZhong + "（现为" + now.GuZhong + "）"
                                     : "骨重不变（" + now.GuZhong + "）");
    return text;
}

struct TermAt {
    int index = 0;
    BeijingSeconds moment = 0;
};

// The sectional terms just before (or at) and just after a moment.
std::pair<TermAt, TermAt> SectionalTermsAround(BeijingSeconds moment)
{
    const int year = ToCivilTime(moment).year;
    TermAt before{-1, 0}, after{-1, 0};
    for (int y = std::max(year - 1, kFirstMomentYear); y <= std::min(year + 1, kLastMomentYear); ++y) {
        const YearTerms& terms = TermMomentsOfYear(y);
        for (int i = 0; i < kTermCount; i += 2) {
            if (terms[i] <= moment && (before.index < 0 || terms[i] > before.moment)) before = {i, terms[i]};
            if (terms[i] > moment && (after.index < 0 || terms[i] < after.moment)) after = {i, terms[i]};
        }
    }
    return {before, after};
}

// The clock a typed time was read on: Beijing time with China's
// daylight-saving table, or a zone of the tz database.
struct BirthClock {
    std::string zone;  // empty for Beijing time
    ZoneReading reading;
    bool Zoned() const { return !zone.empty(); }
};

std::string ClockChange(const ZoneReading& reading)
{
    const int step = (reading.offsetAfter - reading.offsetBefore) / 60;
    return "当地时间" + MomentText(reading.change - kBeijingUtcOffset + reading.offsetBefore).substr(0, 16) + "起由UTC" +
           UtcOffsetText(reading.offsetBefore) + "改为UTC" + UtcOffsetText(reading.offsetAfter) + "（时钟拨" +
           (step > 0 ? "快" : "慢") + std::to_string(std::abs(step)) + "分钟）";
}

class NoteWriter {
public:
    NoteWriter(const ChartMoment& chart, const MomentRules& rules, const ChartReader& read, TKarvoInfo& record)
        : chart_(chart), rules_(rules), read_(read), record_(record)
    {
    }

    // What the precise mode applied, in the order it applied it.
    void Applied(const CivilTime& clock, const std::optional<Place>& place, std::optional<double> latitude,
                 const BirthClock& birthClock)
    {
        if (birthClock.Zoned())
            Add("本次按精确时刻排盘。出生时间" + DateText(clock) + " " + HourMinute(clock) + "是" + birthClock.zone +
                "时区的当地时间（UTC" + UtcOffsetText(birthClock.reading.offsetSeconds) + "），即北京时间" +
                DateText(ToCivilTime(chart_.standard)) + " " + HourMinute(chart_.standard) + "。");
        else if (InDaylightSaving(chart_.standard))
            Add("本次按精确时刻排盘。出生时的钟表时间" + DateText(clock) + " " + HourMinute(clock) +
                "正值夏令时，比北京标准时间快一小时，已拨回一小时，按北京标准时间" + HourMinute(chart_.standard) +
                "计算。");
        else
            Add("本次按精确时刻排盘，出生时间" + DateText(clock) + " " + HourMinute(clock) + "即北京标准时间。");
        const auto [before, after] = SectionalTermsAround(chart_.standard);
        if (before.index >= 0 && after.index >= 0)
            Add("年柱以立春、月柱以各节的交节时刻为界：出生在" + std::string(TermName(before.index)) + "（" +
                MomentText(before.moment) + "）之后、" + std::string(TermName(after.index)) + "（" +
                MomentText(after.moment) + "）之前。");
        if (rules_.longitude) {
            const std::string where = place ? "出生地" + place->DisplayName() + "（" + LongitudeText(place->longitude) + "）"
                                            : "所填经度" + LongitudeText(*rules_.longitude) +
                                                  (latitude ? Printf("、%s%.2f°", *latitude < 0 ? "南纬" : "北纬",
                                                                     std::fabs(*latitude))
                                                            : "");
            Add("真太阳时按" + where + "计算：经度时差" + SignedDuration(chart_.longitudeMinutes * 60) + "，均时差" +
                SignedDuration(chart_.equationOfTime) + "，真太阳时为" + DateText(chart_.dayTime) + " " +
                HourMinute(chart_.dayTime) + "。日柱、时柱与农历日按真太阳时排定，节气仍按交节的确切时刻。");
        }
    }

    void School()
    {
        Add(rules_.zi == ZiSchool::Early ? "子时按早子时：23:00起日柱与农历日都按次日计算。"
                                         : "子时按晚子时（默认）：23:00至24:00仍算当天，只取次日的时干。");
    }

    // A birth known to the minute close to a 时辰 boundary.
    void NearHourBoundary()
    {
        const CivilTime& t = chart_.dayTime;
        const int start = t.hour % 2 == 1 ? t.hour : t.hour - 1;  // the 时辰 opens at an odd hour
        const long long sinceStart = (t.hour - start) * 3600LL + t.minute * 60LL + t.second;
        const long long untilNext = 7200 - sinceStart;
        BeijingSeconds other = 0;
        int boundary = 0;
        std::string side;
        if (sinceStart <= kNearBoundaryMinutes * kMinute) {
            other = chart_.standard - sinceStart - kMinute;
            boundary = (start + 24) % 24;
            side = "早于";
        } else if (untilNext <= kNearBoundaryMinutes * kMinute) {
            other = chart_.standard + untilNext;
            boundary = (start + 2) % 24;
            side = "在";
        } else {
            return;
        }
        const long long minutes = std::min(sinceStart, untilNext) / 60;
        const auto otherRecord = ReadAt(other, rules_);
        if (!otherRecord) return;
        const std::string hourLabel = rules_.longitude ? "（真太阳时）" : "";
        const int opened = ShichenOfHour(boundary);
        Add("出生时间" + HourMinute(t) + hourLabel + "距" + BranchName((opened + 11) % 12) + "时与" + BranchName(opened) +
            "时的交界" + FormatHourMinute(boundary, 0) + "只有" + std::to_string(minutes) + "分钟。若实际出生" + side +
            FormatHourMinute(boundary, 0) + (side == "在" ? "之后" : "") + "，" + Differences(record_, *otherRecord) +
            "。请以出生证明等可靠记录核对到分钟。");
    }

    // A birth known to the minute close to midnight of the day the day pillar
    // follows: the day pillar and the lunar day change there under the late
    // school, and on a term's civil day the classic rule's month as well.
    void NearMidnight()
    {
        const CivilTime& t = chart_.dayTime;
        const long long sinceMidnight = t.hour * 3600LL + t.minute * 60LL + t.second;
        const long long untilNext = 86400 - sinceMidnight;
        BeijingSeconds boundary = 0;
        if (sinceMidnight <= kNearBoundaryMinutes * kMinute)
            boundary = chart_.standard - sinceMidnight;
        else if (untilNext <= kNearBoundaryMinutes * kMinute)
            boundary = chart_.standard + untilNext;
        else
            return;
        const auto otherRecord = ReadAcross(boundary, rules_);
        if (!otherRecord || ChartsAgree(record_, *otherRecord)) return;
        const bool before = chart_.standard < boundary;
        const CivilTime midnight = ToCivilTime(boundary + (ToBeijingSeconds(t) - chart_.standard));
        const std::string hourLabel = rules_.longitude ? "（真太阳时）" : "";
        Add("出生时间" + HourMinute(t) + hourLabel + "距午夜" + DateText(midnight) + " 00:00" +
            Closeness(std::min(sinceMidnight, untilNext)) + "。若实际出生" + (before ? "在00:00之后" : "早于00:00") +
            "，" + Differences(record_, *otherRecord) + "。请以出生证明等可靠记录核对到分钟。");
    }

    // A precise birth known to the minute close to a sectional term's moment,
    // on either side and across midnight, or with the moment inside the
    // typed minute (read as its first second).
    void NearSectionalTerm()
    {
        const auto [before, after] = SectionalTermsAround(chart_.standard);
        const BeijingSeconds near = kNearBoundaryMinutes * kMinute;
        TermAt term;
        if (after.index >= 0 && after.moment - chart_.standard <= near)
            term = after;
        else if (before.index >= 0 && chart_.standard - before.moment <= near)
            term = before;
        else
            return;
        const auto otherRecord = ReadAcross(term.moment, rules_);
        if (!otherRecord || ChartsAgree(record_, *otherRecord)) return;
        const std::string differences = Differences(record_, *otherRecord);
        const std::string name(TermName(term.index));
        const bool beforeTerm = chart_.standard < term.moment;
        const std::string moment = "北京时间" + MomentText(term.moment);
        const bool insideMinute = term.moment >= chart_.standard && term.moment < chart_.standard + kMinute;
        if (!insideMinute && differences == termDayDifferences_) return;  // the term day's note says it
        if (insideMinute) {
            const std::string second = FormatDateTime(ToCivilTime(term.moment)).substr(11);
            Add(name + "的交节时刻" + moment + "就在所填的这一分钟" + HourMinute(chart_.standard) +
                "之内。本次按" + HourMinute(chart_.standard) + ":00排盘，算在交节" + (beforeTerm ? "之前" : "之后") +
                "；若实际出生在" + second + (beforeTerm ? "之后" : "之前") + "，" + differences +
                "。请以出生证明等可靠记录核对到秒。");
            return;
        }
        Add("出生时间北京标准时间" + HourMinute(chart_.standard) + "距" + name + "的交节时刻（" + moment + "）" +
            Closeness(std::llabs(term.moment - chart_.standard)) + "。若实际出生在交节" +
            (beforeTerm ? "之后" : "之前") + "，" + differences + "。请以出生证明等可靠记录核对到分钟。");
    }

    // A precise birth known to the minute close to a change of the clocks,
    // when one clock may not have been changed yet or another already was:
    // around the moment they went forward, and just after the hour they went
    // back over (that hour itself has the repeated hour's note).
    void NearClockChange()
    {
        const long long near = kNearBoundaryMinutes * kMinute;
        for (const DaylightSavingPeriod& period : ChinaDaylightSavingPeriods()) {
            const long long sinceStart = chart_.standard - period.start;
            const long long sinceRepeat = chart_.standard - (period.end + 3600);
            if (std::llabs(sinceStart) <= near) {
                const bool after = sinceStart >= 0;
                ClockChangeNote(after ? 3600 : -3600,
                                DateText(ToCivilTime(period.start)) + "北京标准时间" + HourMinute(period.start) +
                                    "起实行夏令时，时钟拨快了一小时，出生时间距改钟" + Closeness(std::llabs(sinceStart)) +
                                    "。若记下出生时间的钟表当时" + (after ? "尚未拨快" : "已经拨快"));
                return;
            }
            if (sinceRepeat >= 0 && sinceRepeat <= near) {
                ClockChangeNote(-3600, DateText(ToCivilTime(period.end)) + "北京标准时间" + HourMinute(period.end) +
                                           "夏令时结束，时钟拨回了一小时，" + HourMinute(period.end) + "至" +
                                           HourMinute(period.end + 3600) + "的钟表时间出现了两次；出生时间在其后" +
                                           Closeness(sinceRepeat) + "。若记下出生时间的钟表当时尚未拨回");
                return;
            }
        }
    }

    // A birth on the day of a sectional term whose moment and civil day give
    // different year or month pillars.
    void OnTermDay(const CivilTime& clock)
    {
        if (!rules_.precise && !NearSectionalTermDay(clock)) return;  // the terms' moments are not needed
        if (!OtherRuleChangesYearOrMonth()) return;
        MomentRules other = rules_;
        other.precise = !rules_.precise;
        const ChartMoment otherChart = ChartAt(chart_.standard, other, chart_.equationOfTime);
        const auto [before, after] = SectionalTermsAround(chart_.standard);
        const TermAt term = chart_.standard - before.moment < after.moment - chart_.standard ? before : after;
        const auto otherRecord = read_(otherChart, ChartDetail::BoneWeight);
        if (term.index < 0 || !otherRecord) return;
        const std::string name(TermName(term.index));
        const bool beforeTerm = chart_.standard < term.moment;
        const std::string intro = "出生当天是" + name + "，交节时刻为北京时间" + MomentText(term.moment) + "。";
        if (rules_.precise) {
            termDayDifferences_ = Differences(record_, *otherRecord);
            Add(intro + "本次按交节的确切时刻排盘（出生在交节" + (beforeTerm ? "之前" : "之后") +
                "）；若按传统的整日规则，" + termDayDifferences_ + "。");
        } else {
            Add(intro + "传统排法把当天整日算作交节" + (beforeTerm ? "之后" : "之前") + "；按交节的确切时刻，出生时间" +
                HourMinute(clock) + "在交节" + (beforeTerm ? "之前" : "之后") + "，" +
                Differences(record_, *otherRecord) + "。如需按交节时刻排盘，请选择精确模式。");
        }
    }

    // A clock time of a daylight-saving period, read as typed.
    void ClockAhead(const CivilTime& clock)
    {
        const ClockReading reading = ReadClock(ToBeijingSeconds(clock));
        if (reading.Skipped()) {
            Add(DateText(clock) + " " + HourMinute(clock) +
                "这一钟表时间并不存在：当晚开始实行夏令时，时钟拨快了一小时。本次按所填时间排盘，请核对出生时间。");
            return;
        }
        if (!reading.Ahead()) return;
        const auto otherRecord = ReadAt(*reading.first, rules_);
        if (!otherRecord) return;
        Add(DateText(clock) + "正值中国实行夏令时，当时的钟表比北京标准时间快一小时。若出生时间是按当时的钟表记下的，"
            "北京标准时间应为" + HourMinute(*reading.first) + "，" + Differences(record_, *otherRecord) +
            "。如需据此排盘，请选择精确模式。");
    }

    // The hour the clocks went back over: the second time it was shown.
    void Repeated(const CivilTime& clock, BeijingSeconds second)
    {
        const auto otherRecord = ReadAt(second, rules_);
        if (!otherRecord) return;
        Add(DateText(clock) + " " + HourMinute(clock) + "这一钟表时间在夏令时结束的当晚出现了两次。本次按第一次（夏令时，"
            "北京标准时间" + HourMinute(chart_.standard) + "）排盘；若是第二次（北京标准时间" + HourMinute(second) +
            "），" + Differences(record_, *otherRecord) + "。");
    }

    // A local time abroad that the clocks went back over.
    void ZoneRepeated(const CivilTime& clock, const BirthClock& birthClock)
    {
        const ZoneReading& reading = birthClock.reading;
        const auto otherRecord = ReadAt(*reading.second, rules_);
        if (!otherRecord) return;
        Add(DateText(clock) + " " + HourMinute(clock) + "这一当地时间在" + birthClock.zone + "时区出现了两次：" +
            ClockChange(reading) + "。本次按第一次（UTC" + UtcOffsetText(reading.offsetSeconds) + "，北京时间" +
            HourMinute(chart_.standard) + "）排盘；若是第二次（UTC" + UtcOffsetText(reading.secondOffsetSeconds) +
            "，北京时间" + HourMinute(*reading.second) + "），" + Differences(record_, *otherRecord) + "。");
    }

private:
    // Whether the classic rule (for a precise reading) or the precise one
    // (for a classic reading) gives another year or month pillar.
    bool OtherRuleChangesYearOrMonth() const
    {
        const CivilTime& t = chart_.dayTime;
        const int year = rules_.precise ? YearPillar(t.year, t.month, t.day) : PreciseYearPillar(chart_.standard);
        const int month = rules_.precise ? MonthPillar(t.year, t.month, t.day) : PreciseMonthPillar(chart_.standard);
        return year != chart_.pillars[0] || month != chart_.pillars[1];
    }

    // Another moment close to the reading's: its equation of time is the same.
    std::optional<TKarvoInfo> ReadAt(BeijingSeconds standard, const MomentRules& rules)
    {
        return read_(ChartAt(standard, rules, chart_.equationOfTime), ChartDetail::BoneWeight);
    }
    // A note on a clock that read `shift` seconds off the standard time the
    // reading took, when that gives another chart; `intro` names the change.
    void ClockChangeNote(long long shift, const std::string& intro)
    {
        const BeijingSeconds other = chart_.standard + shift;
        const auto otherRecord = ReadAt(other, rules_);
        if (!otherRecord || ChartsAgree(record_, *otherRecord)) return;
        Add(intro + "，北京标准时间应为" + HourMinute(other) + "，" + Differences(record_, *otherRecord) +
            "。请以出生证明等可靠记录核对。");
    }

    // The chart on the other side of a boundary at `boundary`: from it on, or
    // the minute before it.
    std::optional<TKarvoInfo> ReadAcross(BeijingSeconds boundary, const MomentRules& rules)
    {
        return ReadAt(chart_.standard < boundary ? boundary : boundary - kMinute, rules);
    }
    void Add(std::string note) { record_.Notes.push_back(std::move(note)); }

    const ChartMoment& chart_;
    const MomentRules& rules_;
    const ChartReader& read_;
    TKarvoInfo& record_;
    std::string termDayDifferences_;  // what the term day's note said would change
};

bool ValidLongitude(double degrees) { return std::isfinite(degrees) && std::fabs(degrees) <= 180; }

// The birthplace and clock of the options; an outcome when they are unusable.
struct Whereabouts {
    std::optional<Place> place;
    std::string placeNote;  // why a place of several was taken
    std::optional<double> longitude, latitude;
    std::string zone;       // empty: Beijing time
};

std::optional<ReadingOutcome> FindWhereabouts(const MomentOptions& options, Whereabouts& where)
{
    where.longitude = options.longitude;
    where.latitude = options.latitude;
    where.zone = options.timeZone;
    if (!options.place.empty()) {
        PlaceMatch match = LookUpPlace(options.place);
        if (!match.place)
            return match.candidates.empty() ? ReadingOutcome::UnknownPlace : ReadingOutcome::AmbiguousPlace;
        where.place = std::move(match.place);
        where.placeNote = std::move(match.note);
        where.longitude = where.place->longitude;
        where.latitude = where.place->latitude;
        where.zone = where.place->timeZone;
    }
    if (where.longitude && !ValidLongitude(*where.longitude)) return ReadingOutcome::UnknownPlace;
    // Beijing time keeps China's own daylight-saving table.
    if (where.zone == kChinaTimeZone) where.zone.clear();
    if (!where.zone.empty() && !KnownTimeZone(where.zone)) return ReadingOutcome::UnknownPlace;
    return std::nullopt;
}

// "1990-05-17 08:30"
std::string MinuteMoment(const CivilTime& t) { return FormatDateTime(t).substr(0, 16); }

// Whether a time lies in the 子时 around midnight, 23:00 to 01:00.
bool InMidnightShichen(const CivilTime& t) { return t.hour == 23 || t.hour == 0; }

// Where and when, beside the moments, in a precise reading.
void WriteZoneFields(const ChartMoment& chart, const Whereabouts& where, int utcOffset, TKarvoInfo& r)
{
    r.TimeZone = where.zone.empty() ? std::string(kChinaTimeZone) : where.zone;
    r.UtcOffset = UtcOffsetText(utcOffset);
    const std::string utc = MinuteMoment(ToCivilTime(chart.standard - kBeijingUtcOffset));
    r.BirthUtc = utc.substr(0, 10) + "T" + utc.substr(11) + "Z";
    if (where.latitude) r.Latitude = Printf("%.2f", *where.latitude);
}

}  // namespace

std::optional<ChartMoment> ChartAtDecidingTime(const CivilTime& deciding, const MomentOptions& options)
{
    Whereabouts where;
    if (FindWhereabouts(options, where)) return std::nullopt;
    const MomentRules rules{options.IsPrecise(), where.longitude, options.zi};
    BeijingSeconds standard = ToBeijingSeconds(deciding);
    if (where.longitude) {
        // True solar time runs ahead of Beijing time by the longitude's
        // minutes and the equation of time; the latter moves by well under a
        // second over the difference, so one step finds the moment.
        const double longitudeSeconds = (*where.longitude - 120.0) * 240.0;
        const BeijingSeconds guess = standard - std::llround(longitudeSeconds);
        standard = guess - std::llround(EquationOfTime(guess));
    }
    return ChartAt(standard, rules);
}

ReadingOutcome ReadExactMoment(const CivilTime& clock, const MomentOptions& options, const ChartReader& read,
                               TKarvoInfo& record)
{
    if (clock.hour < 0 || clock.hour > 23 || clock.minute < 0 || clock.minute > 59) return ReadingOutcome::DateError;
    Whereabouts where;
    if (const auto problem = FindWhereabouts(options, where)) return *problem;
    const std::optional<Place>& place = where.place;
    const std::optional<double>& longitude = where.longitude;

    const bool precise = options.IsPrecise();
    BirthClock birthClock{where.zone, {}};
    const ClockReading reading = ReadClock(ToBeijingSeconds(clock));
    std::optional<BeijingSeconds> first = reading.first;
    if (birthClock.Zoned()) {
        birthClock.reading = *ReadZoneClock(birthClock.zone, clock);
        first = birthClock.reading.first;
    }
    if (precise && !first) return ReadingOutcome::SkippedClockTime;
    const BeijingSeconds standard = precise ? *first : ToBeijingSeconds(clock);
    const MomentRules rules{precise, longitude, options.zi};
    const ChartMoment chart = ChartAt(standard, rules);
    std::optional<TKarvoInfo> result = read(chart, ChartDetail::Whole);
    if (!result) return ReadingOutcome::OutsideLunarRange;

    TKarvoInfo& r = *result;
    r.ClockTime = HourMinute(clock);
    if (precise) {
        r.StandardTime = HourMinute(standard);
        r.BeijingMoment = MinuteMoment(ToCivilTime(standard));
    }
    if (longitude) {
        r.SolarTime = HourMinute(chart.dayTime);
        r.SolarMoment = MinuteMoment(chart.dayTime);
        r.Longitude = Printf("%.2f", *longitude);
    }
    if (place) r.Place = place->DisplayName();
    r.Precise = precise;
    r.ZiSchoolName = std::string(ZiSchoolName(options.zi));
    if (precise)
        WriteZoneFields(chart, where,
                          birthClock.Zoned() ? birthClock.reading.offsetSeconds
                                             : kBeijingUtcOffset + (InDaylightSaving(standard) ? 3600 : 0),
                          r);

    NoteWriter notes(chart, rules, read, r);
    if (!where.placeNote.empty()) r.Notes.push_back(where.placeNote);
    if (precise) notes.Applied(clock, place, place ? std::nullopt : options.latitude, birthClock);
    // The school only matters for a birth around midnight, or when it was chosen.
    if (options.zi == ZiSchool::Early || (precise && InMidnightShichen(chart.dayTime))) notes.School();
    if (precise && birthClock.Zoned() && birthClock.reading.Repeated()) notes.ZoneRepeated(clock, birthClock);
    if (precise && !birthClock.Zoned() && reading.Repeated()) notes.Repeated(clock, *reading.second);
    if (!precise) notes.ClockAhead(clock);
    notes.OnTermDay(clock);
    if (options.minute) {
        notes.NearHourBoundary();
        notes.NearMidnight();
        if (precise) {
            notes.NearSectionalTerm();
            notes.NearClockChange();
        }
    }
    record = std::move(r);
    return ReadingOutcome::Complete;
}

std::string DescribeMomentProblem(const CivilTime& clock, const MomentOptions& options)
{
    Whereabouts where;
    const auto problem = FindWhereabouts(options, where);
    if (problem == ReadingOutcome::AmbiguousPlace) {
        std::string names;
        for (const Place& place : LookUpPlace(options.place).candidates)
            names += (names.empty() ? "" : "、") + place.DisplayName();
        return "“" + options.place + "”对应多个地点：" + names + "。请填写其中一个的全称。";
    }
    if (problem || !options.IsPrecise()) return {};
    if (!where.zone.empty()) {
        const auto reading = ReadZoneClock(where.zone, clock);
        if (reading && reading->Skipped())
            return "当地时间" + DateText(clock) + " " + HourMinute(clock) + "在" + where.zone + "时区并不存在：" +
                   ClockChange(*reading) + "。请核对出生时间。";
    }
    return {};
}

std::optional<ReadingOutcome> WhereProblem(const MomentOptions& options)
{
    Whereabouts where;
    return FindWhereabouts(options, where);
}

void WriteMomentChoices(const MomentOptions& options, TKarvoInfo& record)
{
    Whereabouts where;
    const bool known = !FindWhereabouts(options, where);
    record.Precise = options.IsPrecise();
    record.ZiSchoolName = std::string(ZiSchoolName(options.zi));
    if (known && where.place) record.Place = where.place->DisplayName();
    if (known && where.longitude) record.Longitude = Printf("%.2f", *where.longitude);
}

void AddClassicNotes(const CivilTime& clock, const ChartReader& read, TKarvoInfo& record)
{
    if (!InMomentYears(clock.year) || clock.hour < 0 || clock.hour > 23) return;
    const MomentRules rules;
    const ChartMoment chart = ChartAt(ToBeijingSeconds(clock), rules);
    NoteWriter notes(chart, rules, read, record);
    notes.ClockAhead(clock);
    notes.OnTermDay(clock);
}

}  // namespace velmora

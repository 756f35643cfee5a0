#include "Reading.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <sstream>

#include "ChineseCalendar.h"
#include "DESCrypt.h"
#include "GbkCodec.h"
#include "MomentReading.h"
#include "ReadingDatabase.h"
#include "ReadingChart.h"
#include "ReadingStatements.h"
#include "UnknownHour.h"
#include "UnitPublic.h"

namespace velmora {
namespace {

struct GregorianDate {
    int year = 0, month = 0, day = 0;
};

// The four numbers typed, with the defaults that stand in for a text that
// is no number.
struct TypedNumbers {
    int year, month, day, hour;

    explicit TypedNumbers(const BirthInput& input)
        : year(ParseIntOr(input.year, 2000)),
          month(ParseIntOr(input.month, 12)),
          day(ParseIntOr(input.day, 21)),
          hour(ParseIntOr(input.hour, 0))
    {
    }
};

// Writes the lunar date of the working date; false when the lunar calendar
// does not reach it.
bool WriteLunarDate(const GregorianDate& date, TKarvoInfo& record)
{
    int lunarYear = 0, lunarMonth = 0, lunarDay = 0;
    bool isLeap = false;
    if (!GregorianToLunar(date.year, date.month, date.day, lunarYear, lunarMonth, lunarDay, isLeap)) return false;
    record.LunarYear = std::to_string(lunarYear);
    record.LunarMonth = std::to_string(lunarMonth);
    record.LunarDay = std::to_string(lunarDay);
    record.IsLeap = isLeap;
    return true;
}

// The working date of a Gregorian input, and its date fields as typed.
ReadingOutcome TakeGregorianDate(const BirthInput& input, const TypedNumbers& typed, GregorianDate& date,
                                 TKarvoInfo& record)
{
    try {
        CheckDate(typed.year, typed.month, typed.day);
    } catch (const EDateException&) {
        // A date that exists but that the calendar cannot count is far past
        // the lunar calendar's years: that is what the user is told.
        return IsPastCountedRange(typed.year, typed.month, typed.day) ? ReadingOutcome::OutsideLunarRange
                                                                        : ReadingOutcome::DateError;
    }
    date = {typed.year, typed.month, typed.day};
    record.Year = input.year;
    record.Month = input.month;
    record.Day = input.day;
    record.Hour = input.hour;
    return WriteLunarDate(date, record) ? ReadingOutcome::Complete : ReadingOutcome::OutsideLunarRange;
}

bool InLunarYears(int lunarYear) { return lunarYear >= -849 && lunarYear <= 2100; }

// The working date of a lunar input; the lunar fields are those of the
// working date, not the numbers typed.
ReadingOutcome TakeLunarDate(const BirthInput& input, const TypedNumbers& typed, GregorianDate& date,
                             TKarvoInfo& record)
{
    try {
        CheckLunarDate(typed.year, typed.month, typed.day, input.leap);
    } catch (const EDateException&) {
        return ReadingOutcome::DateError;
    }
    if (!InLunarYears(typed.year)) return ReadingOutcome::OutsideLunarRange;
    if (!LunarToGregorian(typed.year, typed.month, typed.day, input.leap, date.year, date.month, date.day))
        return ReadingOutcome::NoGregorianDate;
    record.Year = std::to_string(date.year);
    record.Month = std::to_string(date.month);
    record.Day = std::to_string(date.day);
    record.Hour = input.hour;
    return WriteLunarDate(date, record) ? ReadingOutcome::Complete : ReadingOutcome::OutsideLunarRange;
}

std::string JoinWithSpaces(const std::string (&parts)[4])
{
    return parts[0] + " " + parts[1] + " " + parts[2] + " " + parts[3];
}

// Bone weights are tenths of a liang; no single one reaches ten liang.
constexpr int kLowestWeight = 0;
constexpr int kHighestWeight = 100;

// A stored text deciphers to GBK text: nothing but whole characters, and no
// control character but line breaks and tabs. Damaged bytes almost never do.
bool IsCommentaryText(const std::string& gbk)
{
    if (gbk.empty()) return false;
    for (const char c : gbk)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t') return false;
    const auto again = Utf8ToGbk(GbkToUtf8(gbk));
    return again && *again == gbk;
}

std::string Where(std::string_view column, std::string_view key)
{
    return "column " + std::string(column) + ", key " + std::string(key);
}

// A stored commentary as the page shows it. An empty cell is an empty text;
// a cell that does not decipher is damage, never an empty text.
std::string CommentaryHtml(const std::string& stored, std::string_view column, std::string_view key)
{
    if (stored.empty()) return {};
    const std::string gbk = DecryptStoredText(stored);
    if (!IsCommentaryText(gbk))
        throw EDatabaseError("The reading database is damaged: the text in " + Where(column, key) +
                             " does not decipher to text.");
    return TextToHtml(GbkToUtf8(gbk));
}

// Runs one lookup; the statement replaces the previous one. Every key of a
// reading has its row in the database: a lookup without one reads a damaged
// or incomplete file, never an empty commentary.
void RunLookup(TDatabaseQuery& query, std::string_view statement, std::initializer_list<std::string_view> keys)
{
    query.SetSQL(FormatStatement(statement, keys));
    query.Open();
    if (query.Eof())
        throw EDatabaseError("The reading database is damaged or incomplete: it has no row for the key " +
                             std::string(keys.end()[-1]) + " (reading \"" + query.SQL() + "\").");
}

// One weight, with its commentary when `text` asks for it.
int LookUpWeightAndText(TDatabaseQuery& query, std::string_view statement, std::string_view key,
                        std::string_view weightColumn, std::string_view textColumn, std::string* text)
{
    RunLookup(query, statement, {key});
    if (text) *text = CommentaryHtml(query.FieldAsString(textColumn), textColumn, key);
    const int weight = query.FieldAsInteger(weightColumn);
    if (weight < kLowestWeight || weight > kHighestWeight)
        throw EDatabaseError("The reading database holds the weight " + std::to_string(weight) + " in " +
                             Where(weightColumn, key) + "; a weight is " + std::to_string(kLowestWeight) + " to " +
                             std::to_string(kHighestWeight) + ".");
    return weight;
}

std::string LookUpText(TDatabaseQuery& query, std::string_view statement, std::string_view key,
                       std::string_view column)
{
    RunLookup(query, statement, {key});
    return CommentaryHtml(query.FieldAsString(column), column, key);
}

// The four weights' lookups and the bone weight worded from them; with
// `texts` the four commentaries too.
void LookUpBoneWeight(TDatabaseQuery& query, const std::string& yearPillarName, TKarvoInfo& r, bool texts)
{
    const int yearWeight = LookUpWeightAndText(query, kYearStatement, yearPillarName, kYearWeightColumn,
                                               kYearTextColumn, texts ? &r.YearText : nullptr);
    const int monthWeight = LookUpWeightAndText(query, kMonthStatement, r.LunarMonth, kMonthWeightColumn,
                                                kMonthTextColumn, texts ? &r.MonthText : nullptr);
    const int dayWeight = LookUpWeightAndText(query, kDayStatement, r.LunarDay, kDayWeightColumn, kDayTextColumn,
                                              texts ? &r.DayText : nullptr);
    const int hourWeight = LookUpWeightAndText(query, kHourStatement, r.HourName, kHourWeightColumn,
                                               kHourTextColumn, texts ? &r.HourText : nullptr);
    // Weights are tenths of a liang; the wording is in liang.
    r.BoneWeightTenths = yearWeight + monthWeight + dayWeight + hourWeight;
    r.GuZhong = FormatBoneWeight(r.BoneWeightTenths / 10.0);
}

// The seven lookups of a reading, in their order, with the bone weight
// worded from the four weights.
void LookUpCommentaries(TDatabaseQuery& query, const std::string& yearPillarName, TKarvoInfo& r)
{
    query.Close();
    LookUpBoneWeight(query, yearPillarName, r, true);

    const bool male = r.Sex == "男";
    r.GuZhongText = LookUpText(query, male ? kMaleBoneStatement : kFemaleBoneStatement, r.GuZhong,
                               male ? kMaleBoneTextColumn : kFemaleBoneTextColumn);
    r.XingZuoText = LookUpText(query, kStarSignStatement, r.XingZuo, kStarSignTextColumn);

    RunLookup(query, kAnimalStatement, {r.LunarMonth, r.ShuXiang});
    const std::string monthColumn = AnimalMonthColumn(r.LunarMonth);
    r.ShuXiangText = CommentaryHtml(query.FieldAsString(kAnimalTextColumn), kAnimalTextColumn, r.ShuXiang) + "<br>" +
                     CommentaryHtml(query.FieldAsString(monthColumn), monthColumn, r.ShuXiang);
}

// A birth after the day of the reading, e.g. one planned: it has no age yet.
bool BornAfter(const TKarvoInfo& r, const StartupDate& today)
{
    const int birth[3] = {ParseIntOr(r.Year, 0), ParseIntOr(r.Month, 0), ParseIntOr(r.Day, 0)};
    const int now[3] = {today.year, today.month, today.day};
    return std::lexicographical_compare(std::begin(now), std::end(now), std::begin(birth), std::end(birth));
}

// Everything that follows from the four pillars and the day of the star
// sign; gives the name of the year pillar, the key of the year's lookup.
std::string WriteChart(const int (&pillars)[4], int month, int day, const StartupDate& startup, TKarvoInfo& r)
{
    const long long birthYear = ParseIntOr(r.Year, 0);
    r.Age = BornAfter(r, startup) ? std::string(kNotYetBornAge) : std::to_string(startup.year - birthYear + 1) + "岁(虚岁)";

    std::string names[4], elements[4];
    for (int i = 0; i < 4; ++i) {
        names[i] = SexagenaryName(pillars[i]);
        elements[i] = PillarElements(pillars[i]);
    }
    r.SiZhu = JoinWithSpaces(names);
    r.WuXing = JoinWithSpaces(elements);
    r.HourName = PillarBranchName(pillars[3]) + "时";
    r.XingZuo = StarSignName(StarSign(month, day)) + "座";
    // The Nayin comes from the day pillar; the animal from the year pillar,
    // so it changes at 立春 together with it.
    r.NaYin = NayinOfPillar(names[2]);
    r.ShuXiangIndex = pillars[0] % 12;
    r.ShuXiang = AnimalName(r.ShuXiangIndex);
    return names[0];
}

// The classic chart: the working date's pillars, the hour as typed.
std::string WriteClassicChart(const GregorianDate& date, int hour, const StartupDate& startup, TKarvoInfo& r)
{
    const int pillars[4] = {YearPillar(date.year, date.month, date.day), MonthPillar(date.year, date.month, date.day),
                            DayPillar(date.year, date.month, date.day),
                            HourPillar(date.year, date.month, date.day, hour)};
    return WriteChart(pillars, date.month, date.day, startup, r);
}

// A chart's commentaries, or only its bone weight.
void LookUp(TDatabaseQuery& query, const std::string& yearPillarName, ChartDetail detail, TKarvoInfo& r)
{
    if (detail == ChartDetail::Whole)
        LookUpCommentaries(query, yearPillarName, r);
    else
        LookUpBoneWeight(query, yearPillarName, r, false);
}

// A reading of an unknown hour, its candidates read by the moment's rules
// when `exactMoment`, else by the classic ones.
ReadingOutcome ReadWithoutHour(const MomentOptions& options, bool exactMoment, const CandidateReader& read,
                               TKarvoInfo& record)
{
    TKarvoInfo next = record;
    const ZiSchool school = exactMoment ? options.zi : ZiSchool::Late;
    const bool solarTime = exactMoment && (!options.place.empty() || options.longitude);
    if (const auto problem = exactMoment ? WhereProblem(options) : std::nullopt) return *problem;
    if (!ReadUnknownHour(read, school, solarTime, next)) return ReadingOutcome::OutsideLunarRange;
    if (exactMoment) WriteMomentChoices(options, next);
    if (options.AnyGiven() && !exactMoment) next.Notes.push_back(std::string(kMomentYearsNote));
    record = std::move(next);
    return ReadingOutcome::Complete;
}

// The fields of the exact birth moment start empty in every reading.
void ClearMomentFields(TKarvoInfo& r)
{
    const TKarvoInfo blank;
    r.ClockTime = blank.ClockTime;
    r.StandardTime = blank.StandardTime;
    r.SolarTime = blank.SolarTime;
    r.Place = blank.Place;
    r.Longitude = blank.Longitude;
    r.Precise = blank.Precise;
    r.ZiSchoolName = blank.ZiSchoolName;
    r.TimeZone = blank.TimeZone;
    r.UtcOffset = blank.UtcOffset;
    r.BirthUtc = blank.BirthUtc;
    r.BeijingMoment = blank.BeijingMoment;
    r.SolarMoment = blank.SolarMoment;
    r.Latitude = blank.Latitude;
    r.Notes = blank.Notes;
    r.HourUnknown = blank.HourUnknown;
    r.Candidates = blank.Candidates;
    r.FullChart = blank.FullChart;
}


}  // namespace

std::vector<std::string> SpaceSeparated(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

int ParseIntOr(std::string_view text, int fallback)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
    return value;
}

std::string_view OutcomeMessage(ReadingOutcome outcome)
{
    switch (outcome) {
    case ReadingOutcome::DateError: return kDateErrorMessage;
    case ReadingOutcome::OutsideLunarRange: return kLunarRangeMessage;
    case ReadingOutcome::SkippedClockTime: return kSkippedClockTimeMessage;
    case ReadingOutcome::UnknownPlace: return kUnknownPlaceMessage;
    case ReadingOutcome::AmbiguousPlace: return kAmbiguousPlaceMessage;
    case ReadingOutcome::Complete:
    case ReadingOutcome::NoGregorianDate: break;
    }
    return {};
}

namespace {

std::string Number(int n) { return std::to_string(n); }

// Which part of a Gregorian date that does not exist is wrong.
std::string GregorianDateProblem(int year, int month, int day)
{
    if (year == 0) return "公元0年不存在，公元前1年之后就是公元1年";
    if (month < 1 || month > 12) return "月份应为1至12";
    if (day < 1) return "日期应从1日开始";
    const int length = DaysInMonth(year, month);
    if (day > length) return Number(year) + "年" + Number(month) + "月只有" + Number(length) + "天";
    if (CalendarKindOf(year, month, day) == CalendarKind::DroppedDay) return "1582年10月5日至14日因改历并不存在";
    return {};
}

// Which part of a lunar date that does not exist is wrong.
std::string LunarDateProblem(int year, int month, int day, bool leap)
{
    if (month < 1 || month > 12) return "农历月份应为1至12";
    if (day < 1 || day > 30) return "农历日期应为1至30";
    const std::string yearText = "农历" + Number(year) + "年";
    if (leap) {
        const int leapMonth = LeapMonthOf(year);
        if (leapMonth == 0) return yearText + "没有闰月";
        if (leapMonth != month)
            return yearText + "没有闰" + Number(month) + "月，这一年闰" + Number(leapMonth) + "月";
    }
    if (day == 30) return yearText + (leap ? "闰" : "") + Number(month) + "月只有29天";
    return {};
}

}  // namespace

namespace {

// What the moment's options did wrong, beyond the outcome's message: the
// places an ambiguous name fits, or the zone's change that skipped the typed
// local time. A lunar date's working day is the reading's own, so only a
// place's problem is told for it.
std::string MomentProblem(ReadingOutcome outcome, const BirthInput& input)
{
    const bool gregorian = input.mode == CalendarMode::Gregorian;
    if (!input.moment.IsPrecise() || (!gregorian && outcome != ReadingOutcome::AmbiguousPlace)) return {};
    const TypedNumbers typed(input);
    const CivilTime clock{typed.year, typed.month, typed.day, typed.hour, input.moment.minute.value_or(0), 0};
    return DescribeMomentProblem(clock, input.moment);
}

}  // namespace

std::string ReadingMessage(ReadingOutcome outcome, const BirthInput& input)
{
    const std::string message(OutcomeMessage(outcome));
    if (outcome == ReadingOutcome::AmbiguousPlace || outcome == ReadingOutcome::SkippedClockTime) {
        const std::string problem = MomentProblem(outcome, input);
        return problem.empty() ? message : message + "\n" + problem;
    }
    if (outcome != ReadingOutcome::DateError) return message;
    const TypedNumbers typed(input);
    const std::string problem = input.mode == CalendarMode::Lunar
                                    ? LunarDateProblem(typed.year, typed.month, typed.day, input.leap)
                                    : GregorianDateProblem(typed.year, typed.month, typed.day);
    return problem.empty() ? message : message + "：" + problem;
}

std::string BirthDateProblem(const BirthInput& input)
{
    const TypedNumbers typed(input);
    try {
        if (input.mode == CalendarMode::Lunar)
            CheckLunarDate(typed.year, typed.month, typed.day, input.leap);
        else
            CheckDate(typed.year, typed.month, typed.day);
    } catch (const EDateException&) {
        if (input.mode == CalendarMode::Gregorian && IsPastCountedRange(typed.year, typed.month, typed.day)) return {};
        return ReadingMessage(ReadingOutcome::DateError, input);
    }
    return {};
}

ReadingOutcome ComputeReading(const BirthInput& input, const StartupDate& startup, TDatabaseQuery& query,
                              TKarvoInfo& record)
{
    // The reading is built on a copy, so that one which ends early, or fails
    // in the database, leaves the previous reading whole.
    TKarvoInfo next = record;
    const TypedNumbers typed(input);
    GregorianDate date;
    const ReadingOutcome dates = input.mode == CalendarMode::Lunar ? TakeLunarDate(input, typed, date, next)
                                                                   : TakeGregorianDate(input, typed, date, next);
    if (dates != ReadingOutcome::Complete) return dates;

    next.Name = input.name;
    next.Sex = input.sex;
    ClearMomentFields(next);
    // A chart of another moment of the same birth, for the moment's options
    // and the notes: the record's lunar date, pillars and commentaries.
    const ChartReader readChart = [&](const ChartMoment& chart, ChartDetail detail) -> std::optional<TKarvoInfo> {
        TKarvoInfo other = next;
        const CivilTime& d = chart.lunarDate;
        if (!WriteLunarDate({d.year, d.month, d.day}, other)) return std::nullopt;
        LookUp(query, WriteChart(chart.pillars, chart.dayTime.month, chart.dayTime.day, startup, other), detail, other);
        return other;
    };
    // The classic chart of the working date at an hour.
    const auto readClassic = [&](int hour, ChartDetail detail) {
        TKarvoInfo other = next;
        LookUp(query, WriteClassicChart(date, hour, startup, other), detail, other);
        return other;
    };
    const CivilTime clock{date.year, date.month, date.day, typed.hour, input.moment.minute.value_or(0), 0};
    const bool exactMoment = input.moment.AnyGiven() && InMomentYears(clock.year);
    if (input.hourUnknown) {
        // Each candidate is the reading of the date at its deciding time.
        const CandidateReader readCandidate = [&](const CandidateTime& time,
                                                  ChartDetail detail) -> std::optional<TKarvoInfo> {
            if (!exactMoment) return readClassic(time.hour, detail);
            const auto chart =
                ChartAtDecidingTime({date.year, date.month, date.day, time.hour, time.minute, 0}, input.moment);
            return chart ? readChart(*chart, detail) : std::nullopt;
        };
        const ReadingOutcome outcome = ReadWithoutHour(input.moment, exactMoment, readCandidate, next);
        if (outcome != ReadingOutcome::Complete) return outcome;
    } else if (exactMoment) {
        const ReadingOutcome moment = ReadExactMoment(clock, input.moment, readChart, next);
        if (moment != ReadingOutcome::Complete) return moment;
    } else {
        next = readClassic(typed.hour, ChartDetail::Whole);
        if (input.moment.AnyGiven()) next.Notes.push_back(std::string(kMomentYearsNote));
        AddClassicNotes(clock, readChart, next);
    }
    if (input.chart) next.FullChart = ChartOfReading(input, next, startup);
    record = std::move(next);
    return ReadingOutcome::Complete;
}

}  // namespace velmora

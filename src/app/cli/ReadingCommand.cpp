// velmora-cli reading: one reading against the reading database, as text,
// JSON, the finished result page, or that page as a PDF or a picture.
#include <chrono>
#include <climits>
#include <ctime>
#include <filesystem>
#include <optional>
#include <ostream>

#include "ChineseCalendar.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "OutputFile.h"
#include "BirthMoment.h"
#include "RenderHelper.h"
#include "InputCheck.h"
#include "MessageText.h"
#include "PlaceSearch.h"
#include "ZoneClock.h"
#include "Reading.h"
#include "ReadingDatabase.h"
#include "ReadingFormats.h"
#include "ResultPage.h"

namespace velmora::cli {
namespace {

// The formats of a reading's output: one row each.
struct ReadingFormat {
    std::string_view name;
    std::string_view content;  // for the help text
    // Everything in the script but the typed name.
    std::string (*render)(const BirthInput& input, const TKarvoInfo& record, Script script);
    // The page's picture goes beside an output file, where the page finds it.
    bool pictureBeside = false;
};

std::string AsJson(const BirthInput& input, const TKarvoInfo& r, Script script)
{
    const std::string keptName[] = {input.name};
    auto json = ReadingAsJson(input, r);
    ConvertJsonValues(json, script, keptName);
    return JsonDocument(json);
}

std::string AsPage(const BirthInput& input, const TKarvoInfo& r, Script script)
{
    return RenderResultPage(r, input.name, input.sex, script);
}

std::string AsPdf(const BirthInput& input, const TKarvoInfo& r, Script script)
{
    return RenderPage("pdf", AsPage(input, r, script));
}

std::string AsPng(const BirthInput& input, const TKarvoInfo& r, Script script)
{
    return RenderPage("png", AsPage(input, r, script));
}

constexpr ReadingFormat kFormats[] = {
    {"text", "a short summary", ReadingAsTextInScript},
    {"json", "every field by name", AsJson},
    {"html", "the result page as the window shows it, GBK, its picture beside an output file", AsPage, true},
    {"pdf", "the page as an A4 PDF (needs velmora-render)", AsPdf},
    {"png", "the whole page as one picture at twice the scale (needs velmora-render)", AsPng},
};

std::vector<std::string_view> FormatNames()
{
    std::vector<std::string_view> names;
    for (const ReadingFormat& format : kFormats) names.push_back(format.name);
    return names;
}

std::string FormatHelp()
{
    std::string help;
    for (const ReadingFormat& format : kFormats)
        help.append(help.empty() ? "" : "; ").append(format.name).append(": ").append(format.content);
    return help;
}

const ReadingFormat& FormatNamed(std::string_view name)
{
    for (const ReadingFormat& format : kFormats)
        if (format.name == name) return format;
    return kFormats[0];
}

struct ReadingRequest {
    BirthInput input;
    std::string_view format = "text";
    std::optional<std::string> output;
    std::optional<std::string> database;
    Script script = Script::Simplified;
    StartupDate asOf;  // the day the reading is made on
};

// The exact birth moment's options; every value has passed its rule.
MomentOptions MakeMomentOptions(const ParsedArguments& args)
{
    MomentOptions moment;
    int minute = 0;
    double degrees = 0;
    if (const auto text = args.Value("--minute"); text && ParseMinute(*text, minute)) moment.minute = minute;
    moment.precise = args.Has("--precise");
    // A name the list fits is kept as typed, so the reading can tell how it
    // settled it; one found only through its other spellings by that place's name.
    if (const auto place = args.Value("--place"))
        moment.place = LookUpPlace(*place).place ? *place : PlaceNamedInAnyScript(*place)->DisplayName();
    if (const auto zone = args.Value("--timezone")) moment.timeZone = *zone;
    if (const auto text = args.Value("--longitude"); text && ParseLongitude(*text, degrees)) moment.longitude = degrees;
    if (const auto text = args.Value("--latitude"); text && ParseLatitude(*text, degrees)) moment.latitude = degrees;
    if (const auto text = args.Value("--zi")) ParseZiSchool(*text, moment.zi);
    return moment;
}

// A name the place list knows, or why not.
std::optional<std::string> PlaceProblem(std::string_view name)
{
    if (!IsPlainUtf8(name)) return "the place is not plain UTF-8 text";
    const PlaceMatch match = LookUpPlace(name);
    if (match.place || (match.candidates.empty() && PlaceNamedInAnyScript(name))) return std::nullopt;
    std::string same;
    for (const Place& place : match.candidates) same += (same.empty() ? "" : ", ") + place.DisplayName();
    if (!same.empty()) return "several places have this name; give one of " + same;
    return "no such place in the list (velmora-cli places TEXT finds names; --longitude works for any place)";
}

std::optional<std::string> TimeZoneProblem(std::string_view zone)
{
    if (KnownTimeZone(zone)) return std::nullopt;
    return "no such time zone in the system's tz database (an IANA name such as America/New_York)";
}

constexpr std::string_view kUnknownHour = "unknown";

ValueRule HourRule()
{
    const ValueRule number = NumberFrom(0, kHourMaximum, "the hour is 0 to 23, or unknown");
    return [=](std::string_view value) -> std::optional<std::string> {
        if (value == kUnknownHour) return std::nullopt;
        return number(value);
    };
}

}  // namespace

std::optional<std::string> CheckBirthTogether(const ParsedArguments& args)
{
    if (args.Value("--hour") == kUnknownHour && args.Has("--minute"))
        return "--hour unknown and --minute exclude each other: a birth whose hour is unknown has no minute";
    return std::nullopt;
}

namespace {

// A day of the Gregorian calendar between the years 1 and 9999.
ValueRule DayOfReading()
{
    const ValueRule text = DateText(false);
    return [=](std::string_view value) -> std::optional<std::string> {
        if (auto problem = text(value)) return problem;
        const Date day = *ParseDate(value, false).date;
        if (day.year < 1 || day.year > 9999 || !IsValidGregorianDate(day.year, day.month, day.day))
            return "the day of the reading is a date of the years 1 to 9999 that exists";
        return std::nullopt;
    };
}

ValueRule ParsedBy(bool (*parse)(std::string_view, double&), std::string words)
{
    return [=](std::string_view value) -> std::optional<std::string> {
        double degrees = 0;
        if (parse(value, degrees)) return std::nullopt;
        return words;
    };
}

// The request the parsed options make; every value has passed its rule.
StartupDate Today()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<std::uint16_t>(local.tm_year + 1900), static_cast<std::uint16_t>(local.tm_mon + 1),
            static_cast<std::uint16_t>(local.tm_mday)};
}

ReadingRequest MakeRequest(const ParsedArguments& args)
{
    ReadingRequest request;
    BirthInput& input = request.input;
    input.name = *args.Value("--name");
    input.sex = *args.Value("--sex");
    input.mode = args.Has("--lunar") ? CalendarMode::Lunar : CalendarMode::Gregorian;
    input.leap = args.Has("--leap");
    const TypedDate date = *ParseDate(*args.Value(args.Has("--lunar") ? "--lunar" : "--gregorian"), false).typed;
    input.year = date.year;
    input.month = date.month;
    input.day = date.day;
    input.hourUnknown = *args.Value("--hour") == kUnknownHour;
    input.hour = input.hourUnknown ? "" : *args.Value("--hour");
    input.moment = MakeMomentOptions(args);
    if (const auto format = args.Value("--format")) request.format = FormatNamed(*format).name;
    request.output = args.Value("--output");
    request.database = args.Value("--database");
    request.script = ChosenScript(args);
    input.chart = args.Has("--chart");
    request.asOf = Today();
    if (const auto asOf = args.Value("--as-of")) {
        const Date day = *ParseDate(*asOf, false).date;
        request.asOf = {static_cast<std::uint16_t>(day.year), static_cast<std::uint16_t>(day.month),
                        static_cast<std::uint16_t>(day.day)};
    }
    return request;
}


std::string ConnectionStringFor(const std::optional<std::string>& database)
{
    if (!database) return std::string(kReadingConnectionString);
    return WithDataSource(kReadingConnectionString, *database);
}

// What an output may never be: the database this job reads and the
// programs of the package, which sit beside this one.
std::vector<KeptFile> KeptFiles(const std::string& database)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    std::vector<KeptFile> kept = {{database, "the reading database"}, {RenderHelperPath(), "the rendering helper"}};
    if (!error) kept.push_back({self.parent_path() / "velmora-cli", "the program velmora-cli"});
    return kept;
}

// Why the output, or the picture a page gets beside it, may not be written,
// found before anything is.
std::optional<OutputProblem> OutputProblemOf(const std::string& output, const ReadingFormat& format,
                                             const std::string& database)
{
    if (auto problem = RefuseOutput(output, KeptFiles(database))) return problem;
    if (!format.pictureBeside) return std::nullopt;
    const std::filesystem::path picture =
        std::filesystem::absolute(output).parent_path() / std::string(kPagePictureFileName);
    return RefuseReplacing(picture.string(), OutputName::Beside);
}

// The reading a request asks for, against an open database; a problem
// ends it with its status and message. Errors of the database are thrown.
ReadingAnswer Answer(const ReadingRequest& request, TDatabaseQuery& query)
{
    ReadingAnswer answer;
    answer.input = request.input;
    answer.script = request.script;
    // The options' rules have checked every value; this is the window's own
    // check, kept as the last word on what a reading accepts.
    if (!InputsAreValid(request.input)) {
        answer.status = kExitUsage;
        answer.problem = kInputErrorMessage;
        return answer;
    }
    const ReadingOutcome outcome = ComputeReading(request.input, request.asOf, query, answer.record);
    if (outcome == ReadingOutcome::UnknownPlace || outcome == ReadingOutcome::AmbiguousPlace) {
        answer.status = kExitUsage;
        answer.problem = ReadingMessage(outcome, request.input);
    } else if (outcome != ReadingOutcome::Complete) {
        // Without a window a reading that ends early still needs a word.
        const std::string message = ReadingMessage(outcome, request.input);
        answer.status = kExitFailure;
        answer.problem = message.empty() ? std::string(kDateErrorMessage) : message;
    }
    return answer;
}

int RunReading(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    if (args.Has("--person"))
        return RunPersonReading(args, ReadingCommand(), [&](const ParsedArguments& birth) {
            return RunReading(birth, out, err);
        }, err);
    const ReadingRequest request = MakeRequest(args);
    try {
        // The connection opens at the first lookup, after the input's check.
        TDatabaseConnection con1(ConnectionStringFor(request.database), DatabaseUse::SharedReading);
        TDatabaseQuery qry1(con1);
        const ReadingAnswer answer = Answer(request, qry1);
        if (answer.status != kExitOk) {
            err << answer.problem << "\n";
            return answer.status;
        }
        // The database is still open here, so it is among the files the
        // output may not be.
        const ReadingFormat& format = FormatNamed(request.format);
        if (request.output) {
            if (const auto problem = OutputProblemOf(*request.output, format, con1.FilePath())) {
                err << "velmora-cli reading: " << problem->words << "\n";
                return kExitFailure;
            }
        }
        const int status = EmitOutput(format.render(request.input, answer.record, request.script), request.output,
                                      "reading", out, err);
        if (status == kExitOk && format.pictureBeside && request.output &&
            std::filesystem::is_regular_file(*request.output))
            WritePagePictureInto(std::filesystem::absolute(*request.output).parent_path().string());
        return status;
    } catch (const std::exception& e) {
        err << "velmora-cli reading: " << e.what() << "\n";
        return kExitFailure;
    }
}

// The birth's options, or a stored person instead, and the output's.
std::vector<OptionSpec> ReadingOptions()
{
    std::vector<OptionSpec> options = BirthOptions();
    OptionSpec person{"--person", "ID", "the birth of a person kept with velmora-cli people add (people list shows "
                      "the ids), with the choices it was kept with; no birth option beside it",
                      NumberFrom(1, INT_MAX, "the id is a whole number from 1")};
    person.standsFor = kBirthPart;
    options.push_back(std::move(person));
    options.insert(options.end(), {
        {"--chart", "", "add the full 八字 chart: each pillar's ten god, hidden stems, growth stage and "
         "Nayin, the void branches, and the luck pillars (大运) with their exact start and their years"},
        {"--as-of", "Y-M-D", "the day the reading is made on (today when not given): the age counts to it, "
         "and the chart marks its luck pillar and year as the current ones", DayOfReading()},
        {"--format", "FORMAT", FormatHelp() + " (text when not given)",
         OneOf(FormatNames(), "the format")},
        {"--output", "FILE", "write to FILE instead of standard output"},
        {"--database", "PATH", "read this reading database instead of Orsk.dll"},
        ScriptOption(),
    });
    return options;
}

}  // namespace

std::vector<OptionSpec> BirthOptions()
{
    std::vector<OptionSpec> options = {
            {"--name", "TEXT", "the name", PlainText("the name"), Need::Required},
            {"--sex", "男|女", "the sex", OneOf({"男", "女"}, "the sex"), Need::Required},
            {"--gregorian", "Y-M-D", "the birth date in the Gregorian calendar", DateText(false), Need::Required,
             "date"},
            {"--lunar", "Y-M-D", "the birth date in the Chinese lunar calendar", DateText(false), Need::Required,
             "date"},
            {"--leap", "", "the lunar month is a leap month", {}, Need::Optional, {}, "--lunar"},
            {"--hour", "H|unknown", "the birth hour, 0 to 23, or unknown (时辰不详): the reading then lists "
             "every 时辰 with its pillars and bone weight", HourRule(), Need::Required},
            {"--minute", "M", "the birth minute, 0 to 59 (0 when not given)",
             NumberFrom(0, 59, "the minute is 0 to 59")},
            {"--precise", "", "the year and month change at the exact moments of 立春 and the other sectional "
             "terms, and a clock time of China's daylight saving is turned back an hour"},
            {"--place", "NAME", "the birthplace (velmora-cli places lists them), in China or abroad, by its "
             "Chinese, traditional or English name: the day and hour follow true solar time there, and outside "
             "the mainland the typed time is the local clock time of its zone; implies --precise", PlaceProblem,
             Need::Optional, "where"},
            {"--longitude", "DEG", "the birthplace's longitude, degrees east (west negative), instead of "
             "--place; implies --precise",
             ParsedBy(ParseLongitude, "the longitude is a number of degrees from -180 to 180"), Need::Optional,
             "where"},
            {"--timezone", "ZONE", "the time zone of the typed time with --longitude, an IANA name such as "
             "America/New_York, read through the system's tz database with its history (Beijing time when not "
             "given); implies --precise", TimeZoneProblem, Need::Optional, {}, "--longitude"},
            {"--latitude", "DEG", "the birthplace's latitude, -90 to 90, noted with the longitude",
             ParsedBy(ParseLatitude, "the latitude is a number of degrees from -90 to 90"), Need::Optional, {},
             "--longitude"},
            {"--zi", "late|early", "the 子时 school: late keeps 23:00-24:00 on its day (the default), early "
             "takes the next day's day pillar and lunar day from 23:00", OneOf({"late", "early"}, "the 子时 school")},
    };
    for (OptionSpec& option : options) option.part = kBirthPart;
    return options;
}

CommandSpec ReadingCommand()
{
    return {
        .name = "reading",
        .summary = "One reading from a birth date and hour, against the reading database Orsk.dll, looked for "
                   "in the working folder, the program's folder and the installed data folder.",
        .words = {},
        .options = ReadingOptions(),
        .examples = {"velmora-cli reading --name 张三 --sex 男 --gregorian 1984-2-4 --hour 23",
                     "velmora-cli reading --name=李四 --sex 女 --lunar 2001-4-1 --leap --hour 7 --format json",
                     "velmora-cli reading --name 王五 --sex 男 --gregorian 2024-2-4 --hour 10 --minute 5 --place 成都",
                     "velmora-cli reading --name 赵六 --sex 女 --gregorian 1990-5-17 --hour unknown",
                     "velmora-cli reading --name 张三 --sex 女 --gregorian 1983-2-15 --hour 20 --precise --chart "
                     "--as-of 2026-12-08 --format json",
                     "velmora-cli reading --person 3 --format pdf --output 王五.pdf"},
        .check = CheckBirthTogether,
        .run = RunReading,
    };
}

ReadingAnswer AnswerReading(const std::vector<std::string>& args, TDatabaseQuery& query)
{
    static const CommandSpec command = ReadingCommand();
    const auto refused = [](std::string problem) {
        ReadingAnswer answer;
        answer.status = kExitUsage;
        answer.problem = std::move(problem);
        return answer;
    };
    const ParseResult parsed = ParseArguments(command, args);
    if (!parsed.arguments) return refused(parsed.problem);
    if (command.check)
        if (const auto problem = command.check(*parsed.arguments)) return refused(*problem);
    // The people are kept on this computer for its own user alone.
    if (parsed.arguments->Has("--person")) return refused("--person is not for other front ends");
    return Answer(MakeRequest(*parsed.arguments), query);
}

std::string ReadingJsonDocument(const ReadingAnswer& answer)
{
    return AsJson(answer.input, answer.record, answer.script);
}

}  // namespace velmora::cli

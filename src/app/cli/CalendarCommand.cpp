// velmora-cli calendar FROM TO
#include <cstdio>
#include <ostream>
#include <string>

#include "ChineseCalendar.h"
#include "CliArguments.h"
#include "CliCommands.h"

namespace velmora::cli {
namespace {

// The day after a valid date, stepping over the dropped days of 1582 and
// from year -1 straight to year 1.
Date NextDate(Date date)
{
    if (date.year == 1582 && date.month == 10 && date.day == 4) return {1582, 10, 15};
    if (date.day < DaysInMonth(date.year, date.month)) return {date.year, date.month, date.day + 1};
    if (date.month < 12) return {date.year, date.month + 1, 1};
    return {date.year == -1 ? 1 : date.year + 1, 1, 1};
}

void AppendDate(std::string& line, const Date& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%04d-%02d-%02d", date.year < 0 ? "-" : "",
                  date.year < 0 ? -date.year : date.year, date.month, date.day);
    line += text;
}

void AppendDayLine(std::string& out, const Date& date)
{
    AppendDate(out, date);
    int lunarYear = 0, lunarMonth = 0, lunarDay = 0;
    bool isLeap = false;
    if (GregorianToLunar(date.year, date.month, date.day, lunarYear, lunarMonth, lunarDay, isLeap)) {
        char text[64];
        std::snprintf(text, sizeof text, "\t%d\t%d\t%d\t%d", lunarYear, lunarMonth, isLeap ? 1 : 0, lunarDay);
        out += text;
    } else {
        out += "\t-\t-\t-\t-";
    }
    for (const int pillar : {YearPillar(date.year, date.month, date.day),
                             MonthPillar(date.year, date.month, date.day),
                             DayPillar(date.year, date.month, date.day)}) {
        out += '\t';
        out += SexagenaryName(pillar);
    }
    out += '\n';
}

// The rule of FROM and TO: a date that exists, within the years the
// calendar computes.
std::optional<std::string> CalendarDateProblem(std::string_view text)
{
    const DateParse parse = ParseDate(text, true);
    if (!parse.date) return parse.problem;
    const Date& date = *parse.date;
    if (IsValidGregorianDate(date.year, date.month, date.day)) return std::nullopt;
    if (IsPastCountedRange(date.year, date.month, date.day)) return "the date is past the range the calendar computes";
    return "there is no such date";
}

int RunCalendar(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const Date from = *ParseDate(args.Words()[0], true).date;
    const Date to = *ParseDate(args.Words()[1], true).date;
    if (CompareDates(from.year, from.month, from.day, to.year, to.month, to.day) > 0) {
        err << "velmora-cli calendar: FROM " << args.Words()[0] << " is later than TO " << args.Words()[1] << "\n";
        return kExitUsage;
    }

    std::string buffer;
    constexpr std::size_t kFlushSize = 1 << 16;
    for (Date date = from;; date = NextDate(date)) {
        AppendDayLine(buffer, date);
        if (buffer.size() >= kFlushSize) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
        if (CompareDates(date.year, date.month, date.day, to.year, to.month, to.day) == 0) break;
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.flush();
    if (!out) {
        err << "velmora-cli calendar: could not write the output\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

CommandSpec CalendarCommand()
{
    return {
        .name = "calendar",
        .summary = "One line per day from FROM to TO, tab-separated: the date, the lunar year, month, leap flag "
                   "(0 or 1) and day, then the year, month and day pillars; '-' in the lunar columns outside the "
                   "lunar calendar's range.",
        .words = {{"FROM", "the first day, Y-M-D (Gregorian; -Y for years before year 1)", CalendarDateProblem},
                  {"TO", "the last day, Y-M-D", CalendarDateProblem}},
        .options = {},
        .examples = {"velmora-cli calendar 2023-3-1 2023-3-31"},
        .run = RunCalendar,
    };
}

}  // namespace velmora::cli

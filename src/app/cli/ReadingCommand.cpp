// velmora-cli reading: one reading against the reading database, as text,
// JSON or the finished result page.
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include "CliCommands.h"
#include "InputCheck.h"
#include "Reading.h"
#include "ReadingDatabase.h"
#include "ResultPage.h"
#include "UnitPublic.h"

namespace velmora::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: velmora-cli reading --name TEXT --sex 男|女 (--gregorian Y-M-D | --lunar Y-M-D [--leap]) --hour H "
    "[--format text|json|html] [--output FILE] [--database PATH]";

struct ReadingRequest {
    BirthInput input;
    std::string format = "text";
    std::optional<std::string> output;
    std::optional<std::string> database;
};

// Splits "Y-M-D" into its three texts as typed (leading zeros kept).
bool SplitTypedDate(const std::string& text, BirthInput& input)
{
    const auto first = text.find('-');
    const auto second = first == std::string::npos ? std::string::npos : text.find('-', first + 1);
    if (second == std::string::npos || text.find('-', second + 1) != std::string::npos) return false;
    input.year = text.substr(0, first);
    input.month = text.substr(first + 1, second - first - 1);
    input.day = text.substr(second + 1);
    return true;
}

// Parses the options; on a bad argument gives its one-line explanation.
std::optional<ReadingRequest> ParseRequest(const std::vector<std::string>& args, std::string& problem)
{
    ReadingRequest request;
    bool hasName = false, hasSex = false, hasDate = false, hasHour = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--leap") {
            request.input.leap = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            problem = "'" + option + "' needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (option == "--name") {
            request.input.name = value;
            hasName = true;
        } else if (option == "--sex") {
            if (value != "男" && value != "女") {
                problem = "--sex is 男 or 女";
                return std::nullopt;
            }
            request.input.sex = value;
            hasSex = true;
        } else if (option == "--gregorian" || option == "--lunar") {
            if (hasDate || !SplitTypedDate(value, request.input)) {
                problem = hasDate ? "give one date, --gregorian or --lunar" : "'" + value + "' is not Y-M-D";
                return std::nullopt;
            }
            request.input.mode = option == "--lunar" ? CalendarMode::Lunar : CalendarMode::Gregorian;
            hasDate = true;
        } else if (option == "--hour") {
            request.input.hour = value;
            hasHour = true;
        } else if (option == "--format") {
            if (value != "text" && value != "json" && value != "html") {
                problem = "--format is text, json or html";
                return std::nullopt;
            }
            request.format = value;
        } else if (option == "--output") {
            request.output = value;
        } else if (option == "--database") {
            request.database = value;
        } else {
            problem = "unknown option '" + option + "'";
            return std::nullopt;
        }
    }
    if (!hasName || !hasSex || !hasDate || !hasHour) {
        problem = "--name, --sex, a date and --hour are needed";
        return std::nullopt;
    }
    if (request.input.leap && request.input.mode != CalendarMode::Lunar) {
        problem = "--leap goes with --lunar";
        return std::nullopt;
    }
    return request;
}

StartupDate Today()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<std::uint16_t>(local.tm_year + 1900), static_cast<std::uint16_t>(local.tm_mon + 1),
            static_cast<std::uint16_t>(local.tm_mday)};
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string AsJson(const TKarvoInfo& r)
{
    const std::pair<const char*, const std::string*> texts[] = {
        {"Year", &r.Year},         {"Month", &r.Month},           {"Day", &r.Day},
        {"Hour", &r.Hour},         {"LunarYear", &r.LunarYear},   {"LunarMonth", &r.LunarMonth},
        {"LunarDay", &r.LunarDay}, {"HourName", &r.HourName},     {"Name", &r.Name},
        {"Sex", &r.Sex},           {"Age", &r.Age},               {"SiZhu", &r.SiZhu},
        {"WuXing", &r.WuXing},     {"GuZhong", &r.GuZhong},       {"XingZuo", &r.XingZuo},
        {"ShuXiang", &r.ShuXiang}, {"NaYin", &r.NaYin},           {"YearText", &r.YearText},
        {"MonthText", &r.MonthText}, {"DayText", &r.DayText},     {"HourText", &r.HourText},
        {"GuZhongText", &r.GuZhongText}, {"XingZuoText", &r.XingZuoText}, {"ShuXiangText", &r.ShuXiangText}};
    std::string json = "{\n";
    for (const auto& [name, value] : texts) {
        json += "  " + JsonString(name) + ": " + JsonString(*value) + ",\n";
        if (std::string_view(name) == "Hour") json += "  \"IsLeap\": " + std::string(r.IsLeap ? "true" : "false") + ",\n";
        if (std::string_view(name) == "ShuXiang")
            json += "  \"ShuXiangIndex\": " + std::to_string(r.ShuXiangIndex) + ",\n";
    }
    json += "  \"WuXingSummary\": " + JsonString(DescribeMissingElements(r.WuXing)) + "\n}\n";
    return json;
}

std::string AsText(const TKarvoInfo& r)
{
    std::ostringstream text;
    text << "姓名：" << r.Name << "  性别：" << r.Sex << "  年龄：" << r.Age << "\n"
         << "公历生日：" << r.Year << "年" << r.Month << "月" << r.Day << "日" << r.Hour << "时\n"
         << "农历生日：" << r.LunarYear << "年" << (r.IsLeap ? "闰" : "") << r.LunarMonth << "月" << r.LunarDay
         << "日 " << r.HourName << "\n"
         << "四柱八字：" << r.SiZhu << "\n"
         << "四柱五行：" << DescribeMissingElements(r.WuXing) << "\n"
         << "纳音五行：" << r.NaYin << "  属相：" << r.ShuXiang << "  星座：" << r.XingZuo << "\n"
         << "骨重：" << r.GuZhong << "\n";
    return text.str();
}

std::string Render(const ReadingRequest& request, const TKarvoInfo& record)
{
    if (request.format == "json") return AsJson(record);
    if (request.format == "html") return RenderResultPage(record, request.input.name, request.input.sex);
    return AsText(record);
}

std::string ConnectionStringFor(const std::optional<std::string>& database)
{
    if (!database) return std::string(kReadingConnectionString);
    return WithDataSource(kReadingConnectionString, *database);
}

int Emit(const std::string& bytes, const std::optional<std::string>& output, std::ostream& out, std::ostream& err)
{
    if (output) {
        std::ofstream file(*output, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            err << "velmora-cli reading: cannot write " << *output << "\n";
            return kExitFailure;
        }
        return kExitOk;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        err << "velmora-cli reading: could not write the output\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

int RunReadingCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto request = ParseRequest(args, problem);
    if (!request) {
        err << "velmora-cli reading: " << problem << "\n" << kUsage << "\n";
        return kExitUsage;
    }
    if (!InputsAreValid(request->input)) {
        err << kInputErrorMessage << "\n";
        return kExitUsage;
    }
    try {
        TDatabaseConnection con1(ConnectionStringFor(request->database));
        TDatabaseQuery qry1(con1);
        TKarvoInfo record;
        const ReadingOutcome outcome = ComputeReading(request->input, Today(), qry1, record);
        if (outcome != ReadingOutcome::Complete) {
            // Without a window a reading that ends early still needs a word.
            const std::string_view message = OutcomeMessage(outcome);
            err << (message.empty() ? kDateErrorMessage : message) << "\n";
            return kExitFailure;
        }
        return Emit(Render(*request, record), request->output, out, err);
    } catch (const std::exception& e) {
        err << "velmora-cli reading: " << e.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace velmora::cli

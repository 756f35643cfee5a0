#include "CliArguments.h"

#include <algorithm>
#include <charconv>

namespace velmora::cli {

std::optional<int> ParseInt(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

DateParse ParseDate(std::string_view text, bool negativeYears)
{
    DateParse result;
    const bool negative = negativeYears && !text.empty() && text.front() == '-';
    const std::string_view body = negative ? text.substr(1) : text;
    const auto first = body.find('-');
    const auto second = first == std::string_view::npos ? first : body.find('-', first + 1);
    const std::string_view parts[3] = {body.substr(0, first),
                                       body.substr(first + 1, second - first - 1),
                                       second == std::string_view::npos ? std::string_view() : body.substr(second + 1)};
    const auto isDigits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (second == std::string_view::npos || !std::all_of(std::begin(parts), std::end(parts), isDigits)) {
        result.problem = "a date is Y-M-D in digits";
        return result;
    }
    constexpr const char* kNames[3] = {"year", "month", "day"};
    int numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
        const auto number = ParseInt(parts[i]);
        if (!number) {
            result.problem = std::string("the ") + kNames[i] + " " + std::string(parts[i]) + " is too large";
            return result;
        }
        numbers[i] = *number;
    }
    std::string year(parts[0]);
    if (negative) year.insert(0, 1, '-');
    result.typed = TypedDate{year, std::string(parts[1]), std::string(parts[2])};
    result.date = Date{negative ? -numbers[0] : numbers[0], numbers[1], numbers[2]};
    return result;
}

namespace {

std::vector<std::string_view> ScriptNames()
{
    std::vector<std::string_view> names;
    for (Script script : kScripts) names.push_back(ScriptName(script));
    return names;
}

}  // namespace

OptionSpec ScriptOption()
{
    return {"--script", "SCRIPT",
            "the characters of the output: simplified (the default), traditional, taiwan or hongkong (traditional "
            "characters as OpenCC's s2t, s2tw and s2hk write them, with this field's words kept right); a "
            "reading's name stays as typed",
            OneOf(ScriptNames(), "the script")};
}

Script ChosenScript(const ParsedArguments& args)
{
    const auto name = args.Value("--script");
    return name ? ParseScript(*name).value_or(Script::Simplified) : Script::Simplified;
}

}  // namespace velmora::cli

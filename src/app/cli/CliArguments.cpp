#include "CliArguments.h"

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

std::optional<Date> ParseIsoDate(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view body = negative ? text.substr(1) : text;
    const auto monthDash = body.find('-');
    if (monthDash == std::string_view::npos || monthDash == 0) return std::nullopt;
    const std::string_view yearText = body.substr(0, monthDash);
    const std::string_view rest = body.substr(monthDash + 1);
    if (rest.size() != 5 || rest[2] != '-') return std::nullopt;
    for (const std::string_view part : {yearText, rest.substr(0, 2), rest.substr(3)})
        for (const char c : part)
            if (c < '0' || c > '9') return std::nullopt;
    const auto year = ParseInt(yearText);
    if (!year) return std::nullopt;
    return Date{negative ? -*year : *year, *ParseInt(rest.substr(0, 2)), *ParseInt(rest.substr(3))};
}

}  // namespace velmora::cli

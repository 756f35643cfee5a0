#include "WebQuery.h"

#include <algorithm>

namespace velmora::web {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Decode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded += ' ';
        } else if (text[i] == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int high = HexDigit(text[i + 1]);
            const int low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

constexpr std::string_view kSwitchOn[] = {"1", "on", "true"};
constexpr std::string_view kSwitchOff[] = {"0", "off", "false"};

bool IsOneOf(std::string_view value, const auto& choices)
{
    return std::find(std::begin(choices), std::end(choices), value) != std::end(choices);
}

}  // namespace

std::optional<QueryItems> ParseQuery(std::string_view query)
{
    QueryItems items;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view item = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (item.empty()) continue;
        const std::size_t equals = item.find('=');
        auto name = Decode(item.substr(0, equals));
        auto value = Decode(equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1));
        if (!name || !value) return std::nullopt;
        items.emplace_back(std::move(*name), std::move(*value));
    }
    return items;
}

QueryArguments ArgumentsFromQuery(const QueryItems& items, const std::vector<ParameterSpec>& parameters)
{
    QueryArguments result;
    std::string calendar = "gregorian";
    for (const auto& [name, value] : items)
        if (name == "calendar" && (value == "gregorian" || value == "lunar")) calendar = value;
    for (const auto& [name, value] : items) {
        if (name == "calendar" && (value == "gregorian" || value == "lunar")) continue;
        const std::string option = "--" + (name == "date" ? calendar : name);
        const auto parameter = std::find_if(parameters.begin(), parameters.end(),
                                       [&](const ParameterSpec& p) { return "--" + std::string(p.name) == option; });
        if (parameter == parameters.end() || name.starts_with("-")) {
            result.problem = "no parameter '" + name + "'";
            return result;
        }
        if (value.empty()) continue;
        if (!parameter->isSwitch) {
            result.args.insert(result.args.end(), {option, value});
        } else if (IsOneOf(value, kSwitchOn)) {
            result.args.push_back(option);
        } else if (!IsOneOf(value, kSwitchOff)) {
            result.problem = name + "=" + value + ": a switch is 1, on or true (0, off or false when not set)";
            return result;
        }
    }
    return result;
}

}  // namespace velmora::web

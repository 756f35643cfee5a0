// The query of a URL and the reading's options it stands for: each
// parameter is an option of `velmora-cli reading` without its dashes
// (name=张三 is --name 张三), a switch given as 1, on or true.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::web {

using QueryItems = std::vector<std::pair<std::string, std::string>>;

// name=value pairs split at '&', '+' as a space and %XX decoded; nothing
// when an escape is broken (%G1, a lone %).
std::optional<QueryItems> ParseQuery(std::string_view query);

// The parameters a request may give, as the options they stand for.
struct ParameterSpec {
    std::string_view name;  // "as-of"
    bool isSwitch = false;  // leap, precise, chart
};

// The arguments for the reading command, or the problem with the query.
struct QueryArguments {
    std::vector<std::string> args;
    std::string problem;
};

// Maps the items onto "--name value" pairs. An empty value is no value (a
// form sends its empty fields); the form's calendar=lunar&date=D is --lunar D.
// Parameters that are no option of `parameters` are a problem, so nothing a
// request says reaches an option it may not use (--output, --database).
QueryArguments ArgumentsFromQuery(const QueryItems& items, const std::vector<ParameterSpec>& parameters);

}  // namespace velmora::web

// Parsing that velmora-cli's commands share: dates, numbers and the script.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "CliOptions.h"
#include "Script.h"

namespace velmora::cli {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

// A typed date's three numbers as they were typed (leading zeros kept).
struct TypedDate {
    std::string year, month, day;
};

// "Y-M-D" with one or more digits each (2023-3-1, 2023-03-01); with
// `negativeYears` a leading '-' marks a year before year 1. On a problem,
// its words ("a date is Y-M-D", "the month 99999999999 is too large").
struct DateParse {
    std::optional<TypedDate> typed;
    std::optional<Date> date;
    std::string problem;
};
DateParse ParseDate(std::string_view text, bool negativeYears);

// A decimal integer that fits in an int, optionally signed.
std::optional<int> ParseInt(std::string_view text);

// --script, one row for every command that writes Chinese text.
OptionSpec ScriptOption();

// The script --script chose; simplified when not given.
Script ChosenScript(const ParsedArguments& args);

}  // namespace velmora::cli

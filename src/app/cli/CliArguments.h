// Parsing of the arguments velmora-cli's commands share.
#pragma once

#include <optional>
#include <string_view>

namespace velmora::cli {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

// "YYYY-MM-DD" (a leading '-' for years before year 1), as numbers; no
// validity check. Nothing when the text does not have that shape.
std::optional<Date> ParseIsoDate(std::string_view text);

// A decimal integer that fits in an int, optionally signed.
std::optional<int> ParseInt(std::string_view text);

}  // namespace velmora::cli

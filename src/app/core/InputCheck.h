// The check of the typed birth data before a reading starts.
#pragma once

#include <string_view>

#include "Reading.h"

namespace velmora {

inline constexpr std::string_view kInputErrorMessage = "对不起，输入有误！不能推算！";
// The largest hour the hour box takes.
inline constexpr int kHourMaximum = 23;

// True when the name, year, month, day and hour are all filled in, the four
// numbers are digits only, and the hour is at most kHourMaximum. Ranges of
// the date and its existence are left to the reading. An unknown hour takes
// an empty hour text and no minute.
bool InputsAreValid(const BirthInput& input);

}  // namespace velmora

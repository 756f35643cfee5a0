#include "InputCheck.h"

#include "UnitPublic.h"

namespace velmora {

bool InputsAreValid(const BirthInput& input)
{
    for (const std::string* text : {&input.name, &input.year, &input.month, &input.day})
        if (text->empty()) return false;
    for (const std::string* number : {&input.year, &input.month, &input.day})
        if (!IsDigitsOnly(*number)) return false;
    // An unknown hour has no hour text, and no minute either.
    if (input.hourUnknown) return input.hour.empty() && !input.moment.minute;
    if (input.hour.empty() || !IsDigitsOnly(input.hour)) return false;
    // Digits only, so anything that does not fit an int is far above the maximum.
    return ParseIntOr(input.hour, kHourMaximum + 1) <= kHourMaximum;
}

}  // namespace velmora

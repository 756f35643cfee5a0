// The options of an exact birth moment. With every option at its default a
// reading is the classic one: the day and month change on the civil days of
// the terms and the hour is the clock hour as typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Which day the hour from 23:00 belongs to.
enum class ZiSchool {
    Late,   // 晚子时: 23:00-24:00 keeps its day; only the hour stem is the next day's (the default)
    Early,  // 早子时: from 23:00 the day pillar and the lunar day are the next day's
};

inline std::string_view ZiSchoolName(ZiSchool school) { return school == ZiSchool::Early ? "early" : "late"; }

struct MomentOptions {
    std::optional<int> minute;             // 0..59; not given reads as minute 0
    bool precise = false;                  // year and month change at the terms' moments
    std::string place;                     // a name PlaceNamed knows; implies precise mode
    std::optional<double> longitude;       // typed instead of a place (degrees east); implies precise mode
    std::optional<double> latitude;        // optional with a typed longitude
    std::string timeZone;                  // IANA zone of the typed time, with a typed longitude; empty: Beijing time
    ZiSchool zi = ZiSchool::Late;

    // True when any option differs from the classic reading.
    bool AnyGiven() const
    {
        return minute.has_value() || precise || !place.empty() || longitude.has_value() || !timeZone.empty() ||
               zi != ZiSchool::Late;
    }
    // Precise mode is on by itself or through a birthplace.
    bool IsPrecise() const { return precise || !place.empty() || longitude.has_value() || !timeZone.empty(); }
};

}  // namespace velmora

// The typed parts of an exact birth moment: a place name, a longitude, a
// latitude, a minute and a school, then a chart from whatever they parse to.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "BirthMoment.h"
#include "DaylightSaving.h"
#include "Places.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Fields split at tabs: place, longitude, latitude, minute, school, seconds.
    std::string_view fields[6];
    std::string_view rest = text;
    for (std::string_view& field : fields) {
        const std::size_t tab = rest.find('\t');
        field = rest.substr(0, tab);
        rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    }
    FindPlaces(fields[0], 5);
    const auto place = PlaceNamed(fields[0]);
    if (place) place->DisplayName();
    double longitude = 0, latitude = 0;
    int minute = 0;
    ZiSchool school = ZiSchool::Late;
    const bool hasLongitude = ParseLongitude(fields[1], longitude);
    ParseLatitude(fields[2], latitude);
    ParseMinute(fields[3], minute);
    ParseZiSchool(fields[4], school);
    // A moment of the years around China's last summer times (a handful of
    // years, so that their terms are computed once and the runs stay fast).
    std::uint64_t seed = 0;
    for (const char c : fields[5]) seed = seed * 131 + static_cast<unsigned char>(c);
    const BeijingSeconds first = ToBeijingSeconds({1985, 1, 1, 0, 0, 0});
    const BeijingSeconds last = ToBeijingSeconds({1992, 12, 31, 0, 0, 0});
    const BeijingSeconds moment = first + static_cast<BeijingSeconds>(seed % static_cast<std::uint64_t>(last - first));
    ReadClock(moment + minute * 60);
    MomentRules rules{true, std::nullopt, school};
    if (place) rules.longitude = place->longitude;
    if (hasLongitude) rules.longitude = longitude;
    ChartAt(moment, rules);
    return 0;
}

// The built-in list of birthplaces with their coordinates and time zones:
// China's divisions and the world's cities of 15,000 people or more, found
// by their Chinese names (simplified or traditional) and, abroad, their
// English names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The level of a city abroad; China's divisions are 0 to 2.
inline constexpr int kAbroadLevel = 3;
inline constexpr std::string_view kChinaTimeZone = "Asia/Shanghai";

// Whether a zone's name is a clock of its own, not Beijing time (none named is Beijing time).
inline bool IsOwnClock(std::string_view zone) { return !zone.empty() && zone != kChinaTimeZone; }

struct Place {
    std::string name;       // the place's own name, e.g. 成都市, 伦敦 (abroad the English name when it has no Chinese one)
    std::string province;   // its provincial-level division, e.g. 四川省; abroad its country's Chinese name
    std::string prefecture; // its prefecture-level division for a county, else empty; abroad the first-order division
    int level = 0;          // 0 provincial-level, 1 prefecture-level, 2 county-level, kAbroadLevel a city abroad
    double longitude = 0;   // degrees, east positive
    double latitude = 0;    // degrees, north positive
    std::string timeZone;   // IANA name: Asia/Shanghai on the mainland, the zone's own elsewhere
    long long population = 0;  // abroad only

    bool Abroad() const { return level == kAbroadLevel; }
    // Whether the place keeps Beijing time (and China's daylight-saving table).
    bool OnBeijingTime() const { return timeZone == kChinaTimeZone; }
    // The name that identifies the place in the whole list: in China the
    // plain name when it is unique, otherwise with its province, e.g.
    // "朝阳区（北京市）"; abroad always with the country, e.g. "伦敦（英国）".
    std::string DisplayName() const;

    std::string displayName;  // set by the list
};

// What a typed name stands for.
struct PlaceMatch {
    std::optional<Place> place;     // the one place, when the name is not ambiguous
    std::vector<Place> candidates;  // the places an ambiguous name fits, when none is taken
    std::string note;               // why a place of several was taken (the far more populous city abroad)
};

// A name fits a place when it is the place's whole name, its display name,
// or its name without the administrative suffix with at least two
// characters left (宁蒗 for 宁蒗彝族自治县; a province only by its whole name);
// the same holds for the traditional and English forms of the name. Of
// several cities abroad, one ten times as populous as each other is taken.
PlaceMatch LookUpPlace(std::string_view name);

// The place LookUpPlace takes for a name, if any.
std::optional<Place> PlaceNamed(std::string_view name);

// Places a name fits first, then those whose name or another form begins
// with `text`, then those whose display name contains it (larger divisions
// and more populous cities first), at most `limit` of them. Empty for an
// empty text.
std::vector<Place> FindPlaces(std::string_view text, std::size_t limit = 50);

// China's provincial-level divisions, in the order of their division codes.
std::vector<std::string> Provinces();

// The places of one province: its capital first, then the prefecture seats,
// then the counties.
std::vector<Place> PlacesInProvince(std::string_view province);

// Every place: China's by province and level, then the cities abroad, most
// populous first.
const std::vector<Place>& AllPlaces();

// The attribution the place data's licences ask for (one line of text).
std::string_view PlaceDataAttribution();

}  // namespace velmora

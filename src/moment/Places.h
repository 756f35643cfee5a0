// The built-in list of birthplaces in China with their coordinates, found by
// their Chinese names, for true solar time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct Place {
    std::string name;       // the place's own name, e.g. 成都市
    std::string province;   // its provincial-level division, e.g. 四川省
    std::string prefecture; // its prefecture-level division for a county, else empty
    int level = 0;          // 0 provincial-level, 1 prefecture-level, 2 county-level
    double longitude = 0;   // degrees, east positive
    double latitude = 0;    // degrees, north positive

    // The name that identifies the place in the whole list: the plain name
    // when it is unique, otherwise with its province, e.g. "朝阳区（北京市）".
    std::string DisplayName() const;
};

// Places whose name (or display name) contains `text`, best matches first
// (exact name, then prefix, then the rest; larger divisions first), at most
// `limit` of them. Empty for an empty text.
std::vector<Place> FindPlaces(std::string_view text, std::size_t limit = 50);

// The one place a name stands for: its display name, or a plain name that
// only one place has, or a name without its division suffix (成都 for 成都市)
// when it points to one largest division. Nothing for an unknown or
// ambiguous name.
std::optional<Place> PlaceNamed(std::string_view name);

// The provincial-level divisions, in the order of their division codes.
std::vector<std::string> Provinces();

// The places of one province: its capital first, then the prefecture seats,
// then the counties.
std::vector<Place> PlacesInProvince(std::string_view province);

// The attribution the place data's licence asks for (one line of text).
std::string_view PlaceDataAttribution();

}  // namespace velmora

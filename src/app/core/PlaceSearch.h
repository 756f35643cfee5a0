// Finding birthplaces by a name typed in any script. The place list is kept
// in simplified characters; traditional input (臺北, 廣州, 乾安縣) is matched
// against each place's name as every script writes it, since converting the
// input back would lose information (乾安縣 would become 干安县).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Places.h"

namespace velmora {

// The simplified stretches of place names that some script writes as
// `text` (台北 for 臺北, 乾安 for 乾安), each once; `text` itself is not among them.
std::vector<std::string> SimplifiedPlaceSpellings(std::string_view text);

// FindPlaces for `text`; when that finds nothing, FindPlaces for each of its
// simplified spellings, without repeats, at most `limit` places.
std::vector<Place> FindPlacesInAnyScript(std::string_view text, std::size_t limit = 50);

// PlaceNamed for `text`, else for the one place its simplified spellings name.
std::optional<Place> PlaceNamedInAnyScript(std::string_view name);

}  // namespace velmora

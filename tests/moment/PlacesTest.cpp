// The built-in place list: coverage, the names that fit a place, zones and search.
#include <gtest/gtest.h>

#include "Places.h"

namespace velmora {
namespace {

TEST(Places, CoversEveryProvincialAndPrefectureLevelDivision)
{
    const auto provinces = Provinces();
    EXPECT_EQ(provinces.size(), 34u);
    int prefectures = 0;
    for (const std::string& province : provinces) {
        const auto places = PlacesInProvince(province);
        ASSERT_FALSE(places.empty()) << province;
        EXPECT_EQ(places.front().level, 0) << province;
        for (const Place& place : places) {
            prefectures += place.level == 1;
            // Every coordinate lies in or near China's extent.
            EXPECT_TRUE(place.longitude > 73 && place.longitude < 135 && place.latitude > 3 && place.latitude < 54)
                << place.name;
        }
    }
    EXPECT_GE(prefectures, 333 + 22);  // the mainland's and Taiwan's
}

TEST(Places, NamesFindOnePlace)
{
    struct Row {
        const char* typed;
        const char* name;
        double longitude, latitude;  // the seat's, to a tenth of a degree (GeoNames where it has the seat)
    };
    const Row rows[] = {
        {"成都市", "成都市", 104.1, 30.6},
        {"成都", "成都市", 104.1, 30.6},
        {"喀什市", "喀什市", 76.0, 39.5},
        {"哈尔滨", "哈尔滨市", 126.6, 45.8},
        {"香港", "香港特别行政区", 114.2, 22.3},
        {"澳门", "澳门特别行政区", 113.5, 22.2},
        {"台北市", "台北市", 121.5, 25.0},
        {"臺北", "台北市", 121.5, 25.0},
        {"朝阳区（北京市）", "朝阳区", 116.5, 39.9},
        // The audit's seats: 渝中区, 翠屏区, 乌兰浩特, 芒市, 博乐, 克拉玛依区.
        {"重庆", "重庆市", 106.55, 29.55},
        {"宜宾市", "宜宾市", 104.6, 28.8},
        {"兴安盟", "兴安盟", 122.05, 46.1},
        {"德宏", "德宏傣族景颇族自治州", 98.6, 24.4},
        {"博尔塔拉", "博尔塔拉蒙古自治州", 82.1, 44.9},
        {"克拉玛依市", "克拉玛依市", 84.9, 45.6},
        // A short name that only one place has; a prefecture rather than the province.
        {"吉林", "吉林市", 126.6, 43.8},
        {"宁蒗", "宁蒗彝族自治县", 100.8, 27.3},
        {"吉林省", "吉林省", 125.3, 43.9},
        // Abroad, by Chinese, traditional and English names.
        {"纽约", "纽约", -74.0, 40.7},
        {"New York", "纽约", -74.0, 40.7},
        {"悉尼", "悉尼", 151.2, -33.9},
        {"新加坡", "新加坡", 103.85, 1.3},
        {"吉隆坡", "吉隆坡", 101.7, 3.1},
        {"温哥华", "温哥华", -123.1, 49.25},
        {"旧金山", "旧金山", -122.4, 37.8},
        {"多伦多", "多伦多", -79.4, 43.7},
        {"東京", "东京", 139.7, 35.7},
        {"seoul", "首尔", 127.0, 37.6},
        {"巴黎（法国）", "巴黎", 2.35, 48.85},
    };
    for (const Row& row : rows) {
        const auto place = PlaceNamed(row.typed);
        ASSERT_TRUE(place) << row.typed;
        EXPECT_EQ(place->name, row.name);
        EXPECT_NEAR(place->longitude, row.longitude, 0.15) << row.typed;
        EXPECT_NEAR(place->latitude, row.latitude, 0.15) << row.typed;
        EXPECT_EQ(PlaceNamed(place->DisplayName())->DisplayName(), place->DisplayName());
    }
    for (const char* unknown : {"", "成", "四川", "台湾", "成都市市", "\xff\xfe", "Yor"})
        EXPECT_FALSE(LookUpPlace(unknown).place || !LookUpPlace(unknown).candidates.empty()) << unknown;
}

TEST(Places, ANameOfSeveralPlacesIsRefusedWithThemUnlessOneCityAbroadIsFarLarger)
{
    struct Row {
        const char* typed;
        std::size_t candidates;  // 0: taken
        const char* taken;
    };
    const Row rows[] = {
        {"朝阳", 4, ""}, {"通州", 2, ""}, {"鼓楼", 4, ""}, {"永安", 2, ""}, {"宜宾", 2, ""}, {"喀什", 2, ""},
        {"伦敦", 0, "伦敦（英国）"}, {"london", 0, "伦敦（英国）"}, {"倫敦", 0, "伦敦（英国）"},
        {"伦敦（加拿大）", 0, "伦敦（加拿大）"},
    };
    for (const Row& row : rows) {
        const PlaceMatch match = LookUpPlace(row.typed);
        EXPECT_EQ(match.candidates.size(), row.candidates) << row.typed;
        EXPECT_EQ(match.place.has_value(), row.candidates == 0) << row.typed;
        if (match.place) {
            EXPECT_EQ(match.place->DisplayName(), row.taken) << row.typed;
        }
        // The note names the others only when there were others.
        EXPECT_EQ(match.note.find("伦敦（加拿大）") != std::string::npos, row.typed == std::string_view("伦敦") ||
                                                                            row.typed == std::string_view("london") ||
                                                                            row.typed == std::string_view("倫敦"))
            << row.typed;
    }
}

TEST(Places, TimeZonesOfTheRegionsAndAbroad)
{
    const std::pair<const char*, const char*> rows[] = {
        {"成都", "Asia/Shanghai"}, {"香港", "Asia/Hong_Kong"}, {"澳门", "Asia/Macau"}, {"高雄市", "Asia/Taipei"},
        {"纽约", "America/New_York"}, {"伦敦（英国）", "Europe/London"}, {"加德满都", "Asia/Kathmandu"},
    };
    for (const auto& [typed, zone] : rows) EXPECT_EQ(PlaceNamed(typed)->timeZone, zone) << typed;
}

TEST(Places, SearchRanksFittingNamesFirstAndKeepsTheLimit)
{
    const auto found = FindPlaces("朝阳");
    ASSERT_GE(found.size(), 4u);
    EXPECT_EQ(found.front().name, "朝阳市");
    EXPECT_EQ(FindPlaces("区", 7).size(), 7u);
    EXPECT_TRUE(FindPlaces("").empty());
    EXPECT_EQ(FindPlaces("Vancouver").front().name, "温哥华");
    EXPECT_EQ(FindPlaces("倫").front().DisplayName(), "伦敦（英国）");
    EXPECT_FALSE(PlaceDataAttribution().empty());
}

}  // namespace
}  // namespace velmora

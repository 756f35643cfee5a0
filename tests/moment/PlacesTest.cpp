// The built-in place list: coverage and lookups.
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
    EXPECT_GE(prefectures, 330);
}

TEST(Places, NamesFindOnePlace)
{
    struct Row {
        const char* typed;
        const char* name;
        double longitude, latitude;
    };
    // Reference coordinates of the city centres, to a tenth of a degree.
    const Row rows[] = {
        {"成都市", "成都市", 104.1, 30.6},   {"成都", "成都市", 104.1, 30.6},   {"喀什", "喀什地区", 76.0, 39.5},
        {"喀什市", "喀什市", 76.0, 39.5},   {"哈尔滨", "哈尔滨市", 126.6, 45.8}, {"香港", "香港特别行政区", 114.2, 22.3},
        {"澳门", "澳门特别行政区", 113.5, 22.2}, {"台北市", "台北市", 121.5, 25.0},
        {"朝阳区（北京市）", "朝阳区", 116.5, 39.9},
    };
    for (const Row& row : rows) {
        const auto place = PlaceNamed(row.typed);
        ASSERT_TRUE(place) << row.typed;
        EXPECT_EQ(place->name, row.name);
        EXPECT_NEAR(place->longitude, row.longitude, 0.15) << row.typed;
        EXPECT_NEAR(place->latitude, row.latitude, 0.15) << row.typed;
        EXPECT_EQ(PlaceNamed(place->DisplayName())->DisplayName(), place->DisplayName());
    }
    for (const char* unknown : {"", "朝阳区", "巴黎", "成都市市", "\xff\xfe"}) EXPECT_FALSE(PlaceNamed(unknown)) << unknown;
}

TEST(Places, SearchRanksExactNamesFirstAndKeepsTheLimit)
{
    const auto found = FindPlaces("朝阳");
    ASSERT_GE(found.size(), 3u);
    EXPECT_EQ(found.front().name, "朝阳市");
    EXPECT_EQ(FindPlaces("区", 7).size(), 7u);
    EXPECT_TRUE(FindPlaces("").empty());
    EXPECT_FALSE(PlaceDataAttribution().empty());
}

}  // namespace
}  // namespace velmora

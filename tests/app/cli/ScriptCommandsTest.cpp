// velmora-cli in traditional characters: --script on terms and places, and
// place search with traditional input.
#include <gtest/gtest.h>

#include "CliRun.h"
#include "PlaceSearch.h"

namespace velmora::cli {
namespace {

TEST(ScriptOption, ConvertsTheTermNamesOnly)
{
    const CliRun simplified = RunCommand("terms", {"2024"});
    const CliRun taiwan = RunCommand("terms", {"2024", "--script", "taiwan"});
    ASSERT_EQ(taiwan.status, kExitOk) << taiwan.err;
    const auto plain = Lines(simplified.out), converted = Lines(taiwan.out);
    ASSERT_EQ(converted.size(), plain.size());
    // 惊蛰 and 谷雨; the numbers and moments stay.
    EXPECT_EQ(converted[4], "2024\t驚蟄" + plain[4].substr(plain[4].find('\t', 5)));
    EXPECT_EQ(converted[7], "2024\t穀雨" + plain[7].substr(plain[7].find('\t', 5)));
    EXPECT_EQ(RunCommand("terms", {"2024", "--script", "s2twp"}).status, kExitUsage);
}

struct TypedPlace {
    const char* typed;
    const char* found;  // the first place found, simplified
};

class TraditionalPlaceInput : public testing::TestWithParam<TypedPlace> {};

// Converting 乾安縣 back would give 干安县, which is no place.
TEST_P(TraditionalPlaceInput, FindsThePlace)
{
    const auto places = FindPlacesInAnyScript(GetParam().typed);
    ASSERT_FALSE(places.empty()) << GetParam().typed;
    EXPECT_EQ(places.front().DisplayName(), GetParam().found);
    ASSERT_TRUE(PlaceNamedInAnyScript(GetParam().found));
}

INSTANTIATE_TEST_SUITE_P(Places, TraditionalPlaceInput,
                         testing::Values(TypedPlace{"臺北", "台北市"}, TypedPlace{"臺北市", "台北市"},
                                         TypedPlace{"廣州", "广州市"}, TypedPlace{"乾安縣", "乾安县"},
                                         TypedPlace{"成都", "成都市"}));

TEST(PlacesCommand, TakesTraditionalInputAndWritesTheScript)
{
    const CliRun run = RunCommand("places", {"廣州", "--script", "hongkong"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.out.starts_with("廣州市\t廣東省\t113.")) << run.out;
    EXPECT_EQ(PlaceNamedInAnyScript("臺北市")->DisplayName(), "台北市");
    EXPECT_FALSE(PlaceNamedInAnyScript("干安县"));
    EXPECT_EQ(RunCommand("places", {"干安縣"}).status, kExitFailure);
}

}  // namespace
}  // namespace velmora::cli

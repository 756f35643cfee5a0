// A URL's query as the reading's arguments.
#include <gtest/gtest.h>

#include "WebQuery.h"

namespace velmora::web {
namespace {

const std::vector<ParameterSpec> kParameters = {{"name"}, {"gregorian"}, {"lunar"}, {"leap", true}, {"hour"}};

TEST(WebQuery, DecodesEscapesAndRefusesBrokenOnes)
{
    const struct {
        std::string_view query;
        std::optional<QueryItems> items;
    } cases[] = {
        {"name=%E5%BC%A0+%E4%B8%89&hour=3", QueryItems{{"name", "张 三"}, {"hour", "3"}}},
        {"a=%3C%2fb%3e&&c", QueryItems{{"a", "</b>"}, {"c", ""}}},
        {"a=%", std::nullopt},
        {"a=%4", std::nullopt},
        {"a=%G1", std::nullopt},
        {"%=1", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseQuery(c.query), c.items) << c.query;
}

TEST(WebQuery, MapsParametersOntoOptionsAndRefusesOthers)
{
    const struct {
        QueryItems items;
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {{{"name", "a"}, {"leap", "on"}, {"hour", ""}}, {"--name", "a", "--leap"}, ""},
        {{{"leap", "0"}, {"leap", "false"}}, {}, ""},
        {{{"leap", "yes"}}, {}, "leap=yes: a switch is 1, on or true (0, off or false when not set)"},
        // The form's calendar choice, in either order.
        {{{"date", "2001-4-1"}, {"calendar", "lunar"}}, {"--lunar", "2001-4-1"}, ""},
        {{{"date", "2001-4-1"}}, {"--gregorian", "2001-4-1"}, ""},
        // Nothing reaches an option the request may not give.
        {{{"output", "/tmp/x"}}, {}, "no parameter 'output'"},
        {{{"-name", "a"}}, {}, "no parameter '-name'"},
        {{{"calendar", "julian"}}, {}, "no parameter 'calendar'"},
    };
    for (const auto& c : cases) {
        const QueryArguments mapped = ArgumentsFromQuery(c.items, kParameters);
        EXPECT_EQ(mapped.problem, c.problem);
        if (c.problem.empty()) {
            EXPECT_EQ(mapped.args, c.args);
        }
    }
}

}  // namespace
}  // namespace velmora::web

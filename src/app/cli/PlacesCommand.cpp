// velmora-cli places [TEXT]: the built-in birthplaces and their coordinates.
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>

#include "CliArguments.h"
#include "CliCommands.h"
#include "PlaceSearch.h"

namespace velmora::cli {
namespace {

std::string PlaceLine(const Place& place)
{
    char coordinates[64];
    std::snprintf(coordinates, sizeof coordinates, "\t%.4f\t%.4f\t", place.longitude, place.latitude);
    return place.DisplayName() + "\t" + place.province + coordinates + place.timeZone + "\n";
}

int RunPlaces(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const bool filtered = !args.Words().empty();
    const std::vector<Place> places =
        filtered ? FindPlacesInAnyScript(args.Words()[0], std::numeric_limits<std::size_t>::max()) : AllPlaces();
    if (places.empty()) {
        err << "velmora-cli places: no place matches '" << args.Words()[0]
            << "'; a longitude (--longitude) works for any place\n";
        return kExitFailure;
    }
    std::string text;
    for (const Place& place : places) text += PlaceLine(place);
    return FinishOutput(ConvertText(text, ChosenScript(args)), "places", out, err);
}

}  // namespace

CommandSpec PlacesCommand()
{
    static const std::string summary =
        "The built-in birthplaces, in China and abroad, whose name holds TEXT (all of them without TEXT), best "
        "matches first, one a line, tab-separated: the name --place takes, the province (abroad the country), "
        "longitude and latitude in degrees, and the time zone. TEXT may be a Chinese name in simplified or "
        "traditional characters or an English name. " +
        std::string(PlaceDataAttribution()) + ".";
    return {
        .name = "places",
        .summary = summary,
        .words = {{"TEXT", "part of a place's name", PlainText("the text"), Need::Optional}},
        .options = {ScriptOption()},
        .examples = {"velmora-cli places 成都", "velmora-cli places 朝阳区", "velmora-cli places 倫敦",
                     "velmora-cli places Vancouver", "velmora-cli places 臺北 --script taiwan"},
        .run = RunPlaces,
    };
}

}  // namespace velmora::cli

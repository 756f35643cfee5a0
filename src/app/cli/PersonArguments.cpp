#include "PersonArguments.h"

#include <charconv>
#include <string_view>

#include "BirthMoment.h"
#include "MessageText.h"
#include "Places.h"

namespace velmora::cli {

using people::Person;

namespace {

std::string NumberText(double number)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, number).ptr;  // the shortest that reads back the same
    return std::string(text, end);
}

// One option of the birth and the field of a person it stands for. In the
// order of the table a later option sets what it changes after an earlier one
// (--leap after the dates, --latitude after --longitude).
struct PersonOption {
    std::string_view option;
    std::string_view field;  // the name in an export
    // The option's value for the person ("" for a switch that is on), or
    // nothing when the person does not give it.
    std::optional<std::string> (*of)(const Person&);
    // Sets the field from a given option's value ("" for a switch).
    void (*set)(Person&, const std::string&);
    // An option of the reading's birth; the others are people add's own.
    bool ofBirth = true;
};

std::optional<std::string> Given(const std::string& text)
{
    return text.empty() ? std::nullopt : std::optional(text);
}

const PersonOption kPersonOptions[] = {
    {"--name", "Name", [](const Person& p) { return std::optional(p.name); },
     [](Person& p, const std::string& v) { p.name = v; }},
    {"--sex", "Sex", [](const Person& p) { return std::optional(p.sex); },
     [](Person& p, const std::string& v) { p.sex = v; }},
    {"--gregorian", "Date",
     [](const Person& p) { return p.calendar == "gregorian" ? std::optional(p.date) : std::nullopt; },
     [](Person& p, const std::string& v) { p.calendar = "gregorian", p.date = v, p.leap = false; }},
    {"--lunar", "Date", [](const Person& p) { return p.calendar == "lunar" ? std::optional(p.date) : std::nullopt; },
     [](Person& p, const std::string& v) { p.calendar = "lunar", p.date = v, p.leap = false; }},
    {"--leap", "Leap", [](const Person& p) { return p.leap ? std::optional<std::string>("") : std::nullopt; },
     [](Person& p, const std::string&) { p.leap = true; }},
    {"--hour", "Hour", [](const Person& p) { return std::optional(p.hour); },
     [](Person& p, const std::string& v) { p.hour = v; }},
    {"--minute", "Minute",
     [](const Person& p) { return p.minute ? std::optional(std::to_string(*p.minute)) : std::nullopt; },
     [](Person& p, const std::string& v) {
         int minute = 0;
         if (ParseMinute(v, minute)) p.minute = minute;
     }},
    {"--precise", "Precise", [](const Person& p) { return p.precise ? std::optional<std::string>("") : std::nullopt; },
     [](Person& p, const std::string&) { p.precise = true; }},
    // A place and a longitude each replace the other.
    {"--place", "Place", [](const Person& p) { return Given(p.place); },
     [](Person& p, const std::string& v) {
         const auto place = PlaceNamed(v);
         p.place = place ? place->DisplayName() : v;
         p.longitude.reset(), p.latitude.reset();
     }},
    {"--longitude", "Longitude",
     [](const Person& p) { return p.longitude ? std::optional(NumberText(*p.longitude)) : std::nullopt; },
     [](Person& p, const std::string& v) {
         double degrees = 0;
         if (ParseLongitude(v, degrees)) p.longitude = degrees;
         p.place.clear(), p.latitude.reset();
     }},
    {"--latitude", "Latitude",
     [](const Person& p) { return p.latitude ? std::optional(NumberText(*p.latitude)) : std::nullopt; },
     [](Person& p, const std::string& v) {
         double degrees = 0;
         if (ParseLatitude(v, degrees)) p.latitude = degrees;
     }},
    {"--timezone", "TimeZone", [](const Person& p) { return Given(p.timeZone); },
     [](Person& p, const std::string& v) { p.timeZone = v; }},
    // The traditional school is the reading's own default.
    {"--zi", "ZiSchool", [](const Person& p) { return p.ziSchool == "late" ? std::nullopt : std::optional(p.ziSchool); },
     [](Person& p, const std::string& v) { p.ziSchool = v; }},
    {"--note", "Note", [](const Person& p) { return Given(p.note); },
     [](Person& p, const std::string& v) { p.note = v; }, false},
};

const OptionSpec* FindOption(const CommandSpec& command, std::string_view name)
{
    for (const OptionSpec& option : command.options)
        if (option.name == name) return &option;
    return nullptr;
}

}  // namespace

void ApplyPersonOptions(const ParsedArguments& args, Person& person)
{
    for (const PersonOption& row : kPersonOptions)
        if (const auto value = args.Value(row.option)) row.set(person, *value);
}

namespace {

std::vector<std::string> ArgumentsOf(const Person& person, bool birthOnly)
{
    std::vector<std::string> args;
    for (const PersonOption& row : kPersonOptions) {
        if (birthOnly && !row.ofBirth) continue;
        const auto value = row.of(person);
        // A switch has no value; every value goes after '=', so none is taken for an option.
        if (value) args.push_back(std::string(row.option) + (value->empty() ? "" : "=" + *value));
    }
    return args;
}

}  // namespace

std::vector<std::string> BirthArguments(const Person& person)
{
    return ArgumentsOf(person, true);
}

std::optional<people::RowProblem> PersonProblem(const Person& person, const CommandSpec& options)
{
    if (person.calendar != "gregorian" && person.calendar != "lunar")
        return people::RowProblem{0, "Calendar", "gregorian or lunar"};
    // Each value by its option's own rule, so the problem names its field.
    for (const PersonOption& row : kPersonOptions) {
        const auto value = row.of(person);
        if (!value) continue;
        const OptionSpec* option = FindOption(options, row.option);
        if (!option) return people::RowProblem{0, std::string(row.field), "this velmora-cli does not take it"};
        if (option->rule && !option->valueName.empty())
            if (const auto wrong = option->rule(*value))
                return people::RowProblem{0, std::string(row.field), Quoted(*value) + ": " + *wrong};
    }
    // Then the options together: what is needed, what excludes what.
    const ParseResult whole = ParseArguments(options, ArgumentsOf(person, false));
    if (whole.arguments) return std::nullopt;
    // The field of the option the problem names first.
    const PersonOption* first = nullptr;
    std::size_t firstAt = std::string::npos;
    for (const PersonOption& row : kPersonOptions) {
        const std::size_t at = whole.problem.find(row.option);
        if (at < firstAt) first = &row, firstAt = at;
    }
    return people::RowProblem{0, first ? std::string(first->field) : "", whole.problem};
}

}  // namespace velmora::cli

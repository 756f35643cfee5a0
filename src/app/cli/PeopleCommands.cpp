// velmora-cli people ...: the people kept in the people store, and the
// reading of one of them (reading --person ID).
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>

#include "CliArguments.h"
#include "CliCommands.h"
#include "MessageText.h"
#include "OutputFile.h"
#include "PeopleFile.h"
#include "PeopleStore.h"
#include "PersonArguments.h"

namespace velmora::cli {

using people::PeopleStore;
using people::Person;

namespace {

const ValueRule kIdRule = NumberFrom(1, INT_MAX, "the id is a whole number from 1");

long long IdWord(const ParsedArguments& args)
{
    return *ParseInt(args.Words().at(0));
}

OptionSpec NoteOption()
{
    return {"--note", "TEXT", "a note of your own, kept with the person", PlainText("the note")};
}

// people add's options: the reading's birth and a note. They are also the
// check of every person that is stored.
const CommandSpec& AddSpec();

// Runs `work` with the people store; a store that cannot be opened or used is
// a failure with its reason.
int WithStore(std::string_view command, std::ostream& err, const std::function<int(PeopleStore&)>& work)
{
    try {
        PeopleStore store;
        return work(store);
    } catch (const people::PeopleStoreError& e) {
        err << "velmora-cli " << command << ": " << e.what() << "\n";
        return kExitFailure;
    }
}

int NoSuchPerson(std::string_view command, long long id, std::ostream& err)
{
    err << "velmora-cli " << command << ": no person has the id " << id << " (velmora-cli people list shows them)\n";
    return kExitFailure;
}

int RunAdd(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    Person person;
    ApplyPersonOptions(args, person);
    return WithStore("people add", err, [&](PeopleStore& store) {
        return FinishOutput(std::to_string(store.Add(person)) + "\n", "people add", out, err);
    });
}

std::string ListLine(const Person& p)
{
    return std::to_string(p.id) + "\t" + p.name + "\t" + p.sex + "\t" + p.calendar + "\t" + p.date + "\t" +
           (p.leap ? "1" : "0") + "\t" + p.hour + "\t" + p.note + "\n";
}

int RunList(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const std::string text = args.Words().empty() ? "" : args.Words()[0];
    return WithStore("people list", err, [&](PeopleStore& store) {
        std::string lines;
        for (const Person& person : store.List(text)) lines += ListLine(person);
        return FinishOutput(lines, "people list", out, err);
    });
}

int RunShow(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const long long id = IdWord(args);
    return WithStore("people show", err, [&](PeopleStore& store) {
        const auto person = store.Find(id);
        if (!person) return NoSuchPerson("people show", id, err);
        // Each field of the export on a line of its own, as the CSV has it.
        std::string text;
        for (const auto& [field, value] : people::PersonFieldTexts(*person))
            text.append(field).append(": ").append(value).append("\n");
        return FinishOutput(text, "people show", out, err);
    });
}

// A kept person must be a birth a reading takes: its date must exist, which
// the reading itself tells only when it is read.
std::optional<std::string> CheckKeptBirth(const ParsedArguments& args)
{
    if (auto problem = CheckBirthTogether(args)) return problem;
    const bool lunar = args.Has("--lunar");
    const auto value = args.Value(lunar ? "--lunar" : "--gregorian");
    if (!value) return std::nullopt;
    const Date date = *ParseDate(*value, false).date;
    BirthInput input;
    input.mode = lunar ? CalendarMode::Lunar : CalendarMode::Gregorian;
    input.leap = args.Has("--leap");
    input.year = std::to_string(date.year);
    input.month = std::to_string(date.month);
    input.day = std::to_string(date.day);
    const std::string problem = BirthDateProblem(input);
    if (problem.empty()) return std::nullopt;
    return (lunar ? "--lunar " : "--gregorian ") + Quoted(*value) + ": " + problem;
}

// The people edit's options: the birth's, none needed, and the clearing ones.
std::vector<OptionSpec> EditOptions()
{
    std::vector<OptionSpec> options = BirthOptions();
    // Nothing is needed, and what goes with what is checked on the person
    // the edit makes (--latitude for a person kept with a longitude).
    for (OptionSpec& option : options) {
        option.need = Need::Optional;
        option.goesWith = {};
        if (option.name == "--precise") option.group = "precise";
    }
    options.push_back({"--no-precise", "", "read by the traditional rules again (a place or longitude still implies "
                       "precise mode)", {}, Need::Optional, "precise"});
    options.push_back({"--no-place", "", "forget the birthplace or longitude (and latitude)", {}, Need::Optional,
                       "where"});
    options.push_back(NoteOption());
    return options;
}

int RunEdit(const ParsedArguments& args, std::ostream&, std::ostream& err)
{
    const long long id = IdWord(args);
    return WithStore("people edit", err, [&](PeopleStore& store) {
        std::string refusal;
        const auto outcome = store.Edit(
            id,
            [&](Person& person) -> std::optional<std::string> {
                ApplyPersonOptions(args, person);
                if (args.Has("--no-precise")) person.precise = false;
                if (args.Has("--no-place")) person.place.clear(), person.longitude.reset(), person.latitude.reset();
                if (const auto problem = PersonProblem(person, AddSpec())) return problem->Describe();
                return std::nullopt;
            },
            &refusal);
        if (outcome == people::EditOutcome::NoSuchPerson) return NoSuchPerson("people edit", id, err);
        if (outcome == people::EditOutcome::Refused) {
            err << "velmora-cli people edit: the person would not be a birth a reading takes: " << refusal << "\n";
            return kExitUsage;
        }
        return kExitOk;
    });
}

int RunRemove(const ParsedArguments& args, std::ostream&, std::ostream& err)
{
    const long long id = IdWord(args);
    return WithStore("people remove", err, [&](PeopleStore& store) {
        return store.Remove(id) ? kExitOk : NoSuchPerson("people remove", id, err);
    });
}

int RunExport(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const bool csv = args.Value("--format") == "csv";
    const auto output = args.Value("--output");
    return WithStore("people export", err, [&](PeopleStore& store) {
        const std::vector<Person> everyone = store.List();
        // The store (and its journal, which the process has open) is never the output.
        if (output) {
            if (const auto problem = RefuseOutput(*output, {{store.File(), "the people store"}})) {
                err << "velmora-cli people export: " << problem->words << "\n";
                return kExitFailure;
            }
        }
        return EmitOutput(csv ? people::PeopleAsCsv(everyone) : people::PeopleAsJson(everyone), output,
                          "people export", out, err);
    });
}

int RunImport(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const std::string& file = args.Words().at(0);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        err << "velmora-cli people import: cannot read " << Quoted(file) << ": " << std::strerror(errno) << "\n";
        return kExitFailure;
    }
    people::PeopleFromFile read = people::ReadPeopleFile(bytes);
    for (std::size_t row = 0; !read.problem && row < read.people.size(); ++row) {
        if (auto problem = PersonProblem(read.people[row], AddSpec())) {
            problem->row = row + 1;
            read.problem = problem;
        }
    }
    if (read.problem) {
        err << "velmora-cli people import: " << Quoted(file) << ", " << read.problem->Describe()
            << "; nothing was imported\n";
        return kExitFailure;
    }
    return WithStore("people import", err, [&](PeopleStore& store) {
        std::string ids;
        for (const long long id : store.AddAll(read.people)) ids += std::to_string(id) + "\n";
        return FinishOutput(ids, "people import", out, err);
    });
}

const CommandSpec& AddSpec()
{
    static const CommandSpec command = [] {
        std::vector<OptionSpec> options = BirthOptions();
        options.push_back(NoteOption());
        return CommandSpec{
            .name = "people add",
            .summary = "Keeps a person: the birth as the reading takes it, with the exact moment's choices, and a "
                       "note. Prints the new id. The people are kept in $XDG_DATA_HOME/velmora/people.sqlite "
                       "(~/.local/share/velmora/people.sqlite when XDG_DATA_HOME is not set).",
            .words = {},
            .options = std::move(options),
            .examples = {"velmora-cli people add --name 张三 --sex 男 --gregorian 1990-5-17 --hour 8 --note 表哥",
                         "velmora-cli people add --name 李四 --sex 女 --lunar 2001-4-1 --leap --hour 7 --place 成都"},
            .check = CheckKeptBirth,
            .run = RunAdd,
        };
    }();
    return command;
}

WordSpec IdWordSpec(std::string_view help)
{
    return {"ID", help, kIdRule};
}

}  // namespace

int RunPersonReading(const ParsedArguments& args, const CommandSpec& reading,
                     const std::function<int(const ParsedArguments&)>& run, std::ostream& err)
{
    const long long id = *ParseInt(*args.Value("--person"));
    std::optional<Person> person;
    const int status = WithStore("reading", err, [&](PeopleStore& store) {
        person = store.Find(id);
        return person ? kExitOk : NoSuchPerson("reading", id, err);
    });
    if (status != kExitOk) return status;
    // The stored birth as options, with the output's options given beside --person.
    std::vector<std::string> birth = BirthArguments(*person);
    for (const OptionSpec& option : reading.options) {
        if (option.part == kBirthPart || !option.standsFor.empty() || !args.Has(option.name)) continue;
        const std::string value = *args.Value(option.name);
        birth.push_back(std::string(option.name) + (option.valueName.empty() ? "" : "=" + value));
    }
    const ParseResult parsed = ParseArguments(reading, birth);
    if (!parsed.arguments) {
        err << "velmora-cli reading: the person " << id << " is no birth this velmora-cli reads: " << parsed.problem
            << "\n";
        return kExitFailure;
    }
    return run(*parsed.arguments);
}

std::vector<CommandSpec> PeopleCommands()
{
    return {
        AddSpec(),
        {.name = "people list",
         .summary = "The people kept, by name, one a line, tab-separated: the id, name, sex, calendar, date, leap "
                    "flag (0 or 1), hour and note; with TEXT only those whose name, note, place or date holds it.",
         .words = {{"TEXT", "part of a name, note, place or date", PlainText("the text"), Need::Optional}},
         .options = {},
         .examples = {"velmora-cli people list", "velmora-cli people list 张"},
         .run = RunList},
        {.name = "people show",
         .summary = "One person: each field of the export on a line of its own, as \"Name: 张三\".",
         .words = {IdWordSpec("the person's id")},
         .options = {},
         .examples = {"velmora-cli people show 3"},
         .run = RunShow},
        {.name = "people edit",
         .summary = "Changes the options given and keeps the others. A new date replaces the calendar, the date and "
                    "the leap flag; a place replaces a longitude and the other way round.",
         .words = {IdWordSpec("the person's id")},
         .options = EditOptions(),
         .examples = {"velmora-cli people edit 3 --minute 40 --place 成都", "velmora-cli people edit 3 --no-place"},
         .run = RunEdit},
        {.name = "people remove",
         .summary = "Forgets a person.",
         .words = {IdWordSpec("the person's id")},
         .options = {},
         .examples = {"velmora-cli people remove 3"},
         .run = RunRemove},
        {.name = "people export",
         .summary = "Everyone kept, as a JSON array of objects or as CSV (RFC 4180, UTF-8, a header row) with the "
                    "fields Id, Name, Sex (男/女), Calendar (gregorian/lunar), Date (Y-M-D in that calendar), Leap, "
                    "Hour (0-23 or unknown), Minute, Place, Longitude, Latitude, TimeZone, ZiSchool (late/early), "
                    "Precise, Note, Created and Changed (ISO 8601); an unset field is empty.",
         .words = {},
         .options = {{"--format", "json|csv", "the file's format (json when not given)",
                      OneOf({"json", "csv"}, "the format")},
                     {"--output", "FILE", "write to FILE instead of standard output"}},
         .examples = {"velmora-cli people export --output people.json",
                      "velmora-cli people export --format csv --output people.csv"},
         .run = RunExport},
        {.name = "people import",
         .summary = "Keeps everyone in FILE, a JSON or CSV file as people export writes it, under new ids (the ids "
                    "in the file are not used), and prints the new ids. All or nothing: a row that is no birth the "
                    "reading takes is named with its number and field, and nobody is imported.",
         .words = {{"FILE", "the file to read", PlainText("the file name")}},
         .options = {},
         .examples = {"velmora-cli people import people.json"},
         .run = RunImport},
    };
}

}  // namespace velmora::cli

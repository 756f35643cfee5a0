// The command-line grammar of velmora-cli, declared once per command: the
// table of a command's words and options drives both the parsing and the
// help text, so the two never disagree.
//
// Adding an option is one row in its command's table (name, value name, help
// line, rule); adding a command is one row in the command table of Cli.cpp.
#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// What is wrong with a value, in words that complete "--hour 24: ..."
// ("the hour is 0 to 23"); nothing when the value is fine.
using ValueRule = std::function<std::optional<std::string>(std::string_view value)>;

enum class Need { Optional, Required };

struct OptionSpec {
    std::string_view name;       // "--hour"
    std::string_view valueName;  // "H"; empty for a switch that takes no value
    std::string help;            // one line for the help text
    ValueRule rule = {};         // empty: any value
    Need need = Need::Optional;
    // Options of one non-empty group exclude each other; a required group
    // needs exactly one of them (--gregorian or --lunar).
    std::string_view group = {};
    // An option this one only goes with (--leap with --lunar).
    std::string_view goesWith = {};
    // The part of the command's options this one belongs to ("birth").
    std::string_view part = {};
    // A part this option stands in for (--person for the birth): given, the
    // part's options are not needed and may not be given beside it.
    std::string_view standsFor = {};
};

// A word that is not an option, in its place (calendar FROM TO); needed
// unless it is optional, and optional words come last (terms YEAR [TOYEAR]).
struct WordSpec {
    std::string_view name;  // "FROM"
    std::string_view help;
    ValueRule rule = {};
    Need need = Need::Required;
};

class ParsedArguments {
public:
    bool Has(std::string_view option) const { return values_.count(std::string(option)) != 0; }
    // The value of an option given with one; nothing when not given.
    std::optional<std::string> Value(std::string_view option) const;
    const std::vector<std::string>& Words() const { return words_; }

private:
    friend class ArgumentParser;
    std::map<std::string, std::string> values_;  // a switch maps to ""
    std::vector<std::string> words_;
};

struct CommandSpec {
    std::string_view name;
    std::string_view summary;  // one line
    std::vector<WordSpec> words;
    std::vector<OptionSpec> options;
    std::vector<std::string_view> examples;  // whole command lines
    // What the options' table cannot say: options that exclude each other
    // by their values. Nothing when the arguments fit together.
    std::function<std::optional<std::string>(const ParsedArguments&)> check = {};
    std::function<int(const ParsedArguments&, std::ostream& out, std::ostream& err)> run;
};

// Either the parsed arguments or, for bad ones, the problem in one line
// ("--hour is needed", "--hour 24: the hour is 0 to 23", "stray word 'x'").
struct ParseResult {
    std::optional<ParsedArguments> arguments;
    std::string problem;
};

// Options take their value as the next argument or after '=' (--name=张三);
// the command's own check comes last.
ParseResult ParseArguments(const CommandSpec& command, const std::vector<std::string>& args);

// True when the arguments ask for the command's help (--help or -h).
bool AsksForHelp(const std::vector<std::string>& args);

// "velmora-cli reading --name TEXT ... [--format FORMAT]"
std::string UsageLine(const CommandSpec& command);
// The usage line, the summary, every word and option with its help line, and
// the examples; lines fit 79 columns. At indent 0 the first line starts
// with "usage: ", as `velmora-cli help COMMAND` prints it.
std::string CommandHelp(const CommandSpec& command, std::size_t indent = 0);

// ---------------------------------------------------------------------------
// Rules

// A whole number from `lowest` to `highest`; `words` is the rule as said
// ("the hour is 0 to 23").
ValueRule NumberFrom(int lowest, int highest, std::string words);
// One of the given texts; `what` names the value ("the format").
ValueRule OneOf(std::vector<std::string_view> choices, std::string what);
// Text that is not empty and is valid UTF-8 without control characters.
ValueRule PlainText(std::string what);
// Year-month-day as digits (2023-3-1 or 2023-03-01), each number fitting
// an int; with `negativeYears` a leading '-' marks a year before year 1.
ValueRule DateText(bool negativeYears);

// "a, b or c"
std::string JoinChoices(const std::vector<std::string_view>& choices);

}  // namespace velmora::cli

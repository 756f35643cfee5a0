// The commands of velmora-cli. Each is a CommandSpec (CliOptions.h): its
// words, options, help and the function that runs it with parsed arguments.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CliOptions.h"

namespace velmora::cli {

// Exit statuses shared by all commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the job itself failed (or output could not be written)
constexpr int kExitUsage = 2;    // bad arguments

// Writes the rest of a command's output and flushes it: kExitOk, or
// kExitFailure with "velmora-cli COMMAND: could not write the output".
int FinishOutput(std::string_view text, std::string_view command, std::ostream& out, std::ostream& err);

// Writes a command's result to `output` (see OutputFile.h) or, without one,
// to `out`; the status, with the problem on `err`.
int EmitOutput(std::string_view bytes, const std::optional<std::string>& output, std::string_view command,
               std::ostream& out, std::ostream& err);

// The options of a birth as the reading takes them (name, sex, date, hour
// and the exact moment's), all of part kBirthPart; people add takes them too.
inline constexpr std::string_view kBirthPart = "birth";
std::vector<OptionSpec> BirthOptions();
// What the birth's options cannot say row by row (--hour unknown has no --minute).
std::optional<std::string> CheckBirthTogether(const ParsedArguments& args);

// calendar FROM TO: one line per day with its lunar date and pillars.
CommandSpec CalendarCommand();

// reading --name ... : one reading, as text, JSON or the result page.
CommandSpec ReadingCommand();

// terms YEAR [TOYEAR]: the moments of the 24 solar terms of each year.
CommandSpec TermsCommand();

// places [TEXT]: the built-in birthplaces with their coordinates.
CommandSpec PlacesCommand();

// people add | list | show | edit | remove | export | import: the people kept
// in the people store, and reading --person ID reads one.
std::vector<CommandSpec> PeopleCommands();

// reading --person ID: parses the kept person's birth with the other options
// given beside --person against the reading's options, and runs `run` with
// them; a store that fails or a missing person is a failure.
int RunPersonReading(const ParsedArguments& args, const CommandSpec& reading,
                     const std::function<int(const ParsedArguments&)>& run, std::ostream& err);

// Every command, in the order of the help text.
const std::vector<CommandSpec>& Commands();

// The whole help: name, synopsis, each command with its options, examples
// and exit statuses; plain text in sections, the manual page's source too.
std::string FullHelp();

// Dispatches `velmora-cli COMMAND ARGS...`, `help [COMMAND]`, `--help`,
// `-h` and `--version`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli

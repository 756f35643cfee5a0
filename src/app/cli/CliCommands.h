// The commands of velmora-cli. Each is a CommandSpec (CliOptions.h): its
// words, options, help and the function that runs it with parsed arguments.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CliOptions.h"

namespace velmora::cli {

// Exit statuses shared by all commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the job itself failed (or output could not be written)
constexpr int kExitUsage = 2;    // bad arguments

// calendar FROM TO: one line per day with its lunar date and pillars.
CommandSpec CalendarCommand();

// reading --name ... : one reading, as text, JSON or the result page.
CommandSpec ReadingCommand();

// Every command, in the order of the help text.
const std::vector<CommandSpec>& Commands();

// The whole help: name, synopsis, each command with its options, examples
// and exit statuses; plain text in sections, the manual page's source too.
std::string FullHelp();

// Dispatches `velmora-cli COMMAND ARGS...`, `help [COMMAND]`, `--help`,
// `-h` and `--version`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli

// The commands of velmora-cli. Each takes the arguments after its name and
// writes to the given streams; the result is the process exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

// Exit statuses shared by all commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the job itself failed (or output could not be written)
constexpr int kExitUsage = 2;    // bad arguments

// calendar FROM TO: one line per day with its lunar date and pillars.
int RunCalendarCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// reading --name ... : one reading, as text, JSON or the result page.
int RunReadingCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Dispatches `velmora-cli COMMAND ARGS...`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli

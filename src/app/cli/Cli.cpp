// velmora-cli: picks the command by its first argument.
#include <ostream>

#include "CliCommands.h"

namespace velmora::cli {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string usage = "usage: velmora-cli calendar FROM TO | velmora-cli reading --name ... (see README)\n";
    if (args.empty()) {
        err << usage;
        return kExitUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "calendar") return RunCalendarCommand(rest, out, err);
    if (args[0] == "reading") return RunReadingCommand(rest, out, err);
    err << "velmora-cli: unknown command '" << args[0] << "'; " << usage;
    return kExitUsage;
}

}  // namespace velmora::cli

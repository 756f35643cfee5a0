// velmora-cli: picks the command by its first argument, or prints the help.
#include <exception>
#include <ostream>

#include "CliCommands.h"
#include "OutputFile.h"
#include "MessageText.h"
#include "Places.h"

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "unknown"
#endif

namespace velmora::cli {
namespace {

constexpr std::string_view kHelpCommandLine = "velmora-cli help [COMMAND]";

const CommandSpec* FindCommand(std::string_view name)
{
    for (const CommandSpec& command : Commands())
        if (command.name == name) return &command;
    return nullptr;
}

// The command the first words name: a command's name may take two words
// (people add). `used` receives how many it took.
const CommandSpec* FindCommand(const std::vector<std::string>& words, std::size_t& used)
{
    if (words.size() >= 2) {
        if (const CommandSpec* command = FindCommand(words[0] + " " + words[1])) {
            used = 2;
            return command;
        }
    }
    used = 1;
    return words.empty() ? nullptr : FindCommand(words[0]);
}

std::string CommandNames()
{
    std::vector<std::string_view> names;
    for (const CommandSpec& command : Commands()) names.push_back(command.name);
    return JoinChoices(names);
}

int UsageError(std::ostream& err, std::string_view where, const std::string& problem, std::string_view helpTopic)
{
    err << "velmora-cli" << (where.empty() ? "" : " ") << where << ": " << problem << " (see velmora-cli help"
        << (helpTopic.empty() ? "" : " ") << helpTopic << ")\n";
    return kExitUsage;
}

int RunHelp(const std::vector<std::string>& topics, std::ostream& out, std::ostream& err)
{
    if (topics.empty()) {
        out << FullHelp();
        return kExitOk;
    }
    std::size_t used = 0;
    const CommandSpec* command = FindCommand(topics, used);
    if (!command || topics.size() > used)
        return UsageError(err, "help",
                          command ? "stray word '" + Printable(topics[used]) + "'"
                                  : "no command '" + Printable(topics[0]) + "'; the commands are " + CommandNames(),
                          "");
    out << CommandHelp(*command);
    return kExitOk;
}

int RunCommand(const CommandSpec& command, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err)
{
    if (AsksForHelp(args)) {
        out << CommandHelp(command);
        return kExitOk;
    }
    const ParseResult parsed = ParseArguments(command, args);
    if (!parsed.arguments) return UsageError(err, command.name, parsed.problem, command.name);
    try {
        return command.run(*parsed.arguments, out, err);
    } catch (const std::exception& error) {
        // What a command cannot do (OpenCC's dictionaries missing, say) ends
        // it with its reason, never with the program's abort.
        err << "velmora-cli " << command.name << ": " << error.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

int FinishOutput(std::string_view text, std::string_view command, std::ostream& out, std::ostream& err)
{
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (out) return kExitOk;
    err << "velmora-cli " << command << ": could not write the output\n";
    return kExitFailure;
}

int EmitOutput(std::string_view bytes, const std::optional<std::string>& output, std::string_view command,
               std::ostream& out, std::ostream& err)
{
    if (!output) return FinishOutput(bytes, command, out, err);
    if (const auto problem = WriteOutputFile(*output, bytes)) {
        err << "velmora-cli " << command << ": " << problem->words << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands = [] {
        std::vector<CommandSpec> all = {ReadingCommand(), CalendarCommand(), TermsCommand(), PlacesCommand()};
        for (CommandSpec& people : PeopleCommands()) all.push_back(std::move(people));
        return all;
    }();
    return commands;
}

std::string FullHelp()
{
    std::string help = "NAME\n  velmora-cli - Chinese bone-weighing (称骨) readings and the lunar calendar without a window\n";
    help += "\nSYNOPSIS\n";
    for (const CommandSpec& command : Commands()) help += "  velmora-cli " + std::string(command.name) + " ...\n";
    help += "  " + std::string(kHelpCommandLine) + "\n  velmora-cli --version\n";
    help += "\nCOMMANDS\n";
    for (const CommandSpec& command : Commands()) help += CommandHelp(command, 2) + "\n";
    help += "  " + std::string(kHelpCommandLine) + "\n    The help of one command, or all of this.\n\n"
            "  velmora-cli --version\n    The version.\n";
    help += "\nEXIT STATUS\n"
            "  0  the job is done\n"
            "  1  the job failed: a date that does not exist or is out of range, a database error,\n"
            "     an output that cannot be written (the message on standard error says why)\n"
            "  2  bad arguments\n";
    return help;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) return UsageError(err, "", "a command is needed: " + CommandNames(), "");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const std::string& first = args[0];
    if (first == "help" || first == "--help" || first == "-h") return RunHelp(rest, out, err);
    if (first == "--version") {
        if (!rest.empty()) return UsageError(err, "", "stray word '" + Printable(rest[0]) + "'", "");
        out << "velmora-cli " << VELMORA_VERSION << "\n" << PlaceDataAttribution() << "\n";
        return kExitOk;
    }
    std::size_t used = 0;
    if (const CommandSpec* command = FindCommand(args, used))
        return RunCommand(*command, std::vector<std::string>(args.begin() + static_cast<long>(used), args.end()), out,
                          err);
    return UsageError(err, "", "no command '" + Printable(first) + "'; the commands are " + CommandNames(), "");
}

}  // namespace velmora::cli

#include "CliOptions.h"

#include <algorithm>
#include <set>

#include "CliArguments.h"
#include "MessageText.h"

namespace velmora::cli {

std::optional<std::string> ParsedArguments::Value(std::string_view option) const
{
    const auto found = values_.find(std::string(option));
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

// Walks the arguments once, left to right; the first problem ends it.
class ArgumentParser {
public:
    explicit ArgumentParser(const CommandSpec& command) : command_(command) {}

    ParseResult Parse(const std::vector<std::string>& args)
    {
        for (std::size_t i = 0; i < args.size() && problem_.empty(); ++i) {
            const std::string& arg = args[i];
            if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
                const bool valueFollows = i + 1 < args.size() && args[i + 1].compare(0, 2, "--") != 0;
                if (TakeOption(arg, valueFollows ? &args[i + 1] : nullptr)) ++i;
            } else {
                TakeWord(arg);
            }
        }
        if (problem_.empty()) CheckWhole();
        if (problem_.empty() && command_.check) problem_ = command_.check(parsed_).value_or("");
        if (!problem_.empty()) return {std::nullopt, problem_};
        return {std::move(parsed_), {}};
    }

private:
    const OptionSpec* Find(std::string_view name) const
    {
        for (const OptionSpec& option : command_.options)
            if (option.name == name) return &option;
        return nullptr;
    }

    // True when it used the next argument as its value.
    bool TakeOption(const std::string& arg, const std::string* next)
    {
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = Find(name);
        if (!option) {
            problem_ = "unknown option " + Printable(name);
            return false;
        }
        if (parsed_.Has(name)) {
            problem_ = name + " is given twice";
            return false;
        }
        if (option->valueName.empty()) {
            if (equals != std::string::npos) problem_ = name + " takes no value";
            parsed_.values_[name] = "";
            return false;
        }
        const bool inlineValue = equals != std::string::npos;
        if (!inlineValue && !next) {
            problem_ = name + " needs a value (" + std::string(option->valueName) + ")";
            return false;
        }
        const std::string value = inlineValue ? arg.substr(equals + 1) : *next;
        if (option->rule) {
            if (const auto wrong = option->rule(value)) problem_ = name + " " + Printable(value) + ": " + *wrong;
        }
        parsed_.values_[name] = value;
        return !inlineValue;
    }

    void TakeWord(const std::string& arg)
    {
        const std::size_t index = parsed_.words_.size();
        if (index >= command_.words.size()) {
            problem_ = "stray word '" + Printable(arg) + "'";
            return;
        }
        const WordSpec& word = command_.words[index];
        if (word.rule) {
            if (const auto wrong = word.rule(arg)) problem_ = std::string(word.name) + " " + Printable(arg) + ": " + *wrong;
        }
        parsed_.words_.push_back(arg);
    }

    // The given option that stands in for a part of the options, if any.
    const OptionSpec* StandIn() const
    {
        for (const OptionSpec& option : command_.options)
            if (!option.standsFor.empty() && parsed_.Has(option.name)) return &option;
        return nullptr;
    }

    void CheckWhole()
    {
        std::set<std::string_view> groupsSeen;
        const OptionSpec* standIn = StandIn();
        for (const OptionSpec& option : command_.options) {
            if (!problem_.empty()) return;
            if (standIn && option.part == standIn->standsFor) {
                if (parsed_.Has(option.name))
                    problem_ = std::string(option.name) + " cannot be given with " + std::string(standIn->name);
                continue;
            }
            if (option.group.empty()) {
                if (option.need == Need::Required && !parsed_.Has(option.name))
                    problem_ = std::string(option.name) + " is needed";
            } else if (groupsSeen.insert(option.group).second) {
                CheckGroup(option.group, option.need);
            }
            if (problem_.empty() && !option.goesWith.empty() && parsed_.Has(option.name) &&
                !parsed_.Has(option.goesWith))
                problem_ = std::string(option.name) + " goes with " + std::string(option.goesWith);
        }
        if (problem_.empty() && parsed_.words_.size() < command_.words.size() &&
            command_.words[parsed_.words_.size()].need == Need::Required)
            problem_ = std::string(command_.words[parsed_.words_.size()].name) + " is needed";
    }

    void CheckGroup(std::string_view group, Need need)
    {
        std::vector<std::string_view> members, given;
        for (const OptionSpec& option : command_.options) {
            if (option.group != group) continue;
            members.push_back(option.name);
            if (parsed_.Has(option.name)) given.push_back(option.name);
        }
        if (given.size() > 1)
            problem_ = "give only one of " + JoinChoices(members);
        else if (given.empty() && need == Need::Required)
            problem_ = "one of " + JoinChoices(members) + " is needed";
    }

    const CommandSpec& command_;
    ParsedArguments parsed_;
    std::string problem_;
};

ParseResult ParseArguments(const CommandSpec& command, const std::vector<std::string>& args)
{
    return ArgumentParser(command).Parse(args);
}

bool AsksForHelp(const std::vector<std::string>& args)
{
    return std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

// ---------------------------------------------------------------------------
// Help text

namespace {

std::string OptionWithValue(const OptionSpec& option)
{
    std::string text(option.name);
    if (!option.valueName.empty()) text.append(" ").append(option.valueName);
    return text;
}


constexpr std::size_t kLineWidth = 79;

// Appends `text` broken at spaces into lines of at most kLineWidth columns;
// the first line goes on after `used` columns, the others start `indent` columns in.
void AppendWrapped(std::string& out, std::string_view text, std::size_t used, std::size_t indent)
{
    std::size_t column = used;
    bool lineStart = true;
    while (!text.empty()) {
        const auto space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (!lineStart && column + 1 + DisplayWidth(word) > kLineWidth) {
            out.append("\n").append(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) out += ' ', ++column;
        out.append(word);
        column += DisplayWidth(word);
        lineStart = false;
    }
    out += '\n';
}

void AppendTableRow(std::string& out, std::string_view left, std::string_view right, std::size_t leftWidth,
                    std::size_t indent)
{
    out.append(indent, ' ').append(left);
    out.append(leftWidth + 2 - DisplayWidth(left), ' ');
    AppendWrapped(out, right, indent + leftWidth + 2, indent + leftWidth + 2);
}

}  // namespace

std::string JoinChoices(const std::vector<std::string_view>& choices)
{
    std::string text;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) text += i + 1 == choices.size() ? " or " : ", ";
        text += choices[i];
    }
    return text;
}

std::string UsageLine(const CommandSpec& command)
{
    std::string line = "velmora-cli " + std::string(command.name);
    for (const WordSpec& word : command.words)
        line.append(word.need == Need::Required ? " " : " [").append(word.name).append(word.need == Need::Required ? "" : "]");
    std::set<std::string_view> groupsDone;
    for (const OptionSpec& option : command.options) {
        const bool required = option.need == Need::Required;
        if (option.group.empty()) {
            line += required ? " " + OptionWithValue(option) : " [" + OptionWithValue(option) + "]";
            continue;
        }
        if (!groupsDone.insert(option.group).second) continue;
        std::string alternatives;
        for (const OptionSpec& member : command.options)
            if (member.group == option.group)
                alternatives += (alternatives.empty() ? "" : " | ") + OptionWithValue(member);
        line += required ? " (" + alternatives + ")" : " [" + alternatives + "]";
    }
    return line;
}

std::string CommandHelp(const CommandSpec& command, std::size_t indent)
{
    std::string out(indent, ' ');
    if (indent == 0) out += "usage: ";
    AppendWrapped(out, UsageLine(command), indent, indent + 4);
    out.append("\n").append(indent + 2, ' ');
    AppendWrapped(out, command.summary, indent + 2, indent + 2);
    std::size_t width = 0;
    for (const WordSpec& word : command.words) width = std::max(width, DisplayWidth(word.name));
    for (const OptionSpec& option : command.options) width = std::max(width, DisplayWidth(OptionWithValue(option)));
    if (width > 0) out += "\n";
    for (const WordSpec& word : command.words) AppendTableRow(out, word.name, word.help, width, indent + 2);
    for (const OptionSpec& option : command.options)
        AppendTableRow(out, OptionWithValue(option), option.help, width, indent + 2);
    if (!command.examples.empty()) out.append("\n").append(indent + 2, ' ').append("examples:\n");
    for (const std::string_view example : command.examples) out.append(indent + 4, ' ').append(example).append("\n");
    return out;
}

// ---------------------------------------------------------------------------
// Rules

ValueRule NumberFrom(int lowest, int highest, std::string words)
{
    return [=](std::string_view value) -> std::optional<std::string> {
        const bool digits = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
        const auto number = digits ? ParseInt(value) : std::nullopt;
        if (number && *number >= lowest && *number <= highest) return std::nullopt;
        return words;
    };
}

ValueRule OneOf(std::vector<std::string_view> choices, std::string what)
{
    return [=](std::string_view value) -> std::optional<std::string> {
        if (std::find(choices.begin(), choices.end(), value) != choices.end()) return std::nullopt;
        return what + " is " + JoinChoices(choices);
    };
}

ValueRule PlainText(std::string what)
{
    return [=](std::string_view value) -> std::optional<std::string> {
        if (value.empty()) return what + " is empty";
        if (!IsPlainUtf8(value)) return what + " is not plain UTF-8 text";
        return std::nullopt;
    };
}

ValueRule DateText(bool negativeYears)
{
    return [=](std::string_view value) -> std::optional<std::string> {
        DateParse parse = ParseDate(value, negativeYears);
        if (parse.date) return std::nullopt;
        return parse.problem;
    };
}

}  // namespace velmora::cli

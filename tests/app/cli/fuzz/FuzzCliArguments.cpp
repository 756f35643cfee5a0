// velmora-cli's argument parsing and help on any words: the input is split
// at zero bytes into the arguments of `reading` or `calendar`. A parse either
// succeeds or gives a one-line problem that shows no control character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CliCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back() += static_cast<char>(data[i]);
    }
    static const std::vector<velmora::cli::CommandSpec>& commands = velmora::cli::Commands();
    const velmora::cli::CommandSpec& command = commands[size % commands.size()];
    const velmora::cli::ParseResult result = velmora::cli::ParseArguments(command, args);
    if (result.arguments == std::nullopt) {
        if (result.problem.empty()) std::abort();
        for (const char c : result.problem)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) std::abort();
    }
    (void)velmora::cli::UsageLine(command);
    return 0;
}

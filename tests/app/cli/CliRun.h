// Runs velmora-cli's commands in the test process and keeps what they said.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "CliCommands.h"

namespace velmora::cli {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun RunCommand(const std::string& command, std::vector<std::string> args)
{
    args.insert(args.begin(), command);
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

// The lines of a command's output, without their line ends.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace velmora::cli

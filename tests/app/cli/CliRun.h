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

}  // namespace velmora::cli

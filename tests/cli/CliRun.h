#pragma once

#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace veltrane::cli {

// What one run of the command line printed and returned.
struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace veltrane::cli

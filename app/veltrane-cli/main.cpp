#include "cli/Cli.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const int status = veltrane::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc),
                                             std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) return status == 0 ? 1 : status; // a full disk or closed pipe is a failure
    return status;
}

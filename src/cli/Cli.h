#pragma once
// veltrane-cli: the scriptable face of Veltrane's logic.

#include <iosfwd>
#include <string>
#include <vector>

namespace veltrane::cli {

// Exit status: 0 success, 1 a file or data failure, 2 a usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace veltrane::cli

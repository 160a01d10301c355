#include "cli/Commands.h"

#include <ostream>

namespace veltrane::cli {

int RunList(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

} // namespace veltrane::cli

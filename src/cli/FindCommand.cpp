#include "cli/Commands.h"

#include <ostream>

namespace veltrane::cli {

int RunFind(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

} // namespace veltrane::cli

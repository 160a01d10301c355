#include "cli/Commands.h"

#include <ostream>

namespace veltrane::cli {

int RunTagShow(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

int RunTagSet(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

} // namespace veltrane::cli

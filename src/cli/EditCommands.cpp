#include "cli/Commands.h"

#include <ostream>

namespace veltrane::cli {

int RunFromName(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

int RunRename(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

int RunSelect(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

} // namespace veltrane::cli

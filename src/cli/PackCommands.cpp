#include "cli/Commands.h"

#include <ostream>

namespace veltrane::cli {

int RunPack(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

int RunUnpack(const Args&, std::ostream&, std::ostream& err) {
    err << "veltrane-cli: not available yet\n";
    return 2;
}

} // namespace veltrane::cli

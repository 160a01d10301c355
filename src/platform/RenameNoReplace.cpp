#include "platform/RenameNoReplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace veltrane {

int RenameNoReplace(const std::string& From, const std::string& To) {
    if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS)
        return err;
    // File systems without RENAME_NOREPLACE: link refuses an existing target.
    if (::link(From.c_str(), To.c_str()) != 0)
        return errno;
    if (::unlink(From.c_str()) != 0) {
        const int unlinkErr = errno;
        ::unlink(To.c_str());
        return unlinkErr;
    }
    return 0;
}

} // namespace veltrane

#include "tagcore/LongPath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace veltrane {

TPathAt::TPathAt(const std::string& Path) : dir_(AT_FDCWD) {
    std::size_t pos = 0;
    while (Path.size() - pos >= PATH_MAX) {
        // Cut at the last "/" that leaves a piece the kernel takes.
        const std::size_t cut = Path.rfind('/', pos + PATH_MAX - 2);
        if (cut == std::string::npos || cut < pos || (cut == pos && pos != 0)) {
            error_ = ENAMETOOLONG; // one name longer than any piece may be
            break;
        }
        const std::string piece = cut == 0 ? std::string("/") : Path.substr(pos, cut - pos);
        int next;
        do {
            next = ::openat(dir_, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        } while (next < 0 && errno == EINTR);
        const int err = errno;
        if (dir_ != AT_FDCWD)
            ::close(dir_);
        dir_ = next < 0 ? AT_FDCWD : next;
        if (next < 0) {
            error_ = err;
            break;
        }
        pos = cut + 1;
    }
    name_ = Path.substr(std::min(pos, Path.size()));
    if (name_.empty())
        name_.assign(1, '.'); // a directory path with a trailing "/"
}

TPathAt::~TPathAt() {
    if (dir_ != AT_FDCWD)
        ::close(dir_);
}

int OpenLongPath(const std::string& Path, int Flags) {
    const TPathAt at(Path);
    if (!at.Ok()) {
        errno = at.Error();
        return -1;
    }
    int fd;
    do {
        fd = ::openat(at.Dir(), at.Name(), Flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int OpenLongPathNoAtime(const std::string& Path, int Flags) {
    const int fd = OpenLongPath(Path, Flags | O_NOATIME);
    if (fd >= 0 || errno != EPERM)
        return fd;
    return OpenLongPath(Path, Flags); // not ours: the kernel keeps O_NOATIME to the owner
}

} // namespace veltrane

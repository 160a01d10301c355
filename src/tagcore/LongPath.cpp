#include "tagcore/LongPath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <string_view>
#include <fcntl.h>
#include <sys/resource.h>
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

namespace {

// Folders held open by every cache together: a quarter of the descriptors the process may
// have, at most 256, so that many workers never starve the files themselves.
std::atomic<long> gCachedDirs{0};

long DirBudget() {
    static const long budget = [] {
        struct rlimit limit;
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
            return 256L;
        return std::min(256L, static_cast<long>(limit.rlim_cur / 4));
    }();
    return budget;
}

} // namespace

TDirectoryCache::~TDirectoryCache() {
    for (const Slot& slot : slots_)
        if (slot.Fd >= 0) {
            ::close(slot.Fd);
            --gCachedDirs;
        }
}

int TDirectoryCache::Open(const std::string& Path, int Flags) {
    const auto whole = [&] {
        return Flags & O_NOATIME ? OpenLongPathNoAtime(Path, Flags & ~O_NOATIME)
                                 : OpenLongPath(Path, Flags);
    };
    const std::size_t slash = Path.rfind('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == Path.size() ||
        Path.size() >= PATH_MAX)
        return whole();
    const std::string_view dir(Path.data(), slash);
    int dirFd = -1;
    for (const Slot& slot : slots_)
        if (slot.Fd >= 0 && slot.Dir == dir) {
            dirFd = slot.Fd;
            break;
        }
    if (dirFd < 0) {
        Slot* slot = &slots_[next_];
        if (slot->Fd < 0 && gCachedDirs.load() >= DirBudget()) {
            // No room for another folder: take the place of one held here, if any.
            slot = nullptr;
            for (Slot& held : slots_)
                if (held.Fd >= 0) {
                    slot = &held;
                    break;
                }
            if (!slot)
                return whole();
        } else {
            next_ = (next_ + 1) % kSlots;
        }
        if (slot->Fd >= 0) {
            ::close(slot->Fd);
            --gCachedDirs;
        }
        slot->Dir.assign(dir);
        do {
            slot->Fd = ::open(slot->Dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        } while (slot->Fd < 0 && errno == EINTR);
        if (slot->Fd < 0)
            return whole(); // the whole path says what is wrong
        ++gCachedDirs;
        dirFd = slot->Fd;
    }
    const char* name = Path.c_str() + slash + 1;
    int fd;
    do {
        fd = ::openat(dirFd, name, Flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == EPERM && (Flags & O_NOATIME)) {
        do {
            fd = ::openat(dirFd, name, (Flags & ~O_NOATIME) | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
    }
    return fd;
}

int OpenLongPathNoAtime(const std::string& Path, int Flags) {
    const int fd = OpenLongPath(Path, Flags | O_NOATIME);
    if (fd >= 0 || errno != EPERM)
        return fd;
    return OpenLongPath(Path, Flags); // not ours: the kernel keeps O_NOATIME to the owner
}

std::string SystemAbsolute(const std::string& Path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p(Path);
    if (p.is_relative())
        p = fs::current_path(ec) / p;
    bool up = false;
    for (const fs::path& part : p)
        up = up || part == "..";
    if (!up)
        return p.lexically_normal().string();
    // The last part stays as it is: a link there names the link, as an open would.
    const fs::path name = p.filename();
    if (name == ".." || name == "." || name.empty()) {
        const fs::path whole = fs::weakly_canonical(p, ec);
        return ec ? p.string() : whole.string();
    }
    const fs::path dir = fs::weakly_canonical(p.parent_path(), ec);
    return ec ? p.string() : (dir / name).string();
}

} // namespace veltrane

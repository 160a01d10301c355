#include "platform/SingleInstance.h"

#include "platform/SystemDirs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace veltrane::platform {

SingleInstance::SingleInstance(const std::string& programPath) {
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016zx", std::hash<std::string>{}(programPath));
    std::string dir = RuntimeDirectory();
    lockPath_ = dir + (dir.back() == '/' ? "" : "/") + "veltrane-" + std::to_string(::getuid()) +
                "-" + hash + ".lock";
    // The holder removes the file when it ends, so a lock taken on a file that was removed
    // meanwhile is worthless: only a lock on the file that is still at the path counts.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // O_NOFOLLOW: a link planted in a shared temporary directory cannot redirect the lock.
        fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        struct stat held {}, present {};
        if (::fstat(fd_, &held) == 0 && ::stat(lockPath_.c_str(), &present) == 0 &&
            held.st_dev == present.st_dev && held.st_ino == present.st_ino)
            return;
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        // Removed while still held, so nothing is left behind and no one else holds it.
        ::unlink(lockPath_.c_str());
        ::close(fd_);
    }
}

} // namespace veltrane::platform

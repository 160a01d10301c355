#include "platform/SingleInstance.h"

#include "platform/SystemDirs.h"

#include <fcntl.h>
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
    // O_NOFOLLOW: a link planted in a shared temporary directory cannot redirect the lock.
    fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0)
        ::close(fd_); // the lock goes with the descriptor; the file may stay
}

} // namespace veltrane::platform

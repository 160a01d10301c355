#pragma once
// One running instance per program file: a lock file named after the program's path.

#include <string>

namespace veltrane::platform {

class SingleInstance {
  public:
    // Takes the lock for programPath in the runtime (or temporary) directory.
    explicit SingleInstance(const std::string& programPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another process holds the lock for the same program path.
    bool IsFirst() const { return fd_ >= 0; }
    const std::string& LockPath() const { return lockPath_; }

  private:
    std::string lockPath_;
    int fd_ = -1;
};

} // namespace veltrane::platform

#pragma once
// An open file descriptor, closed when it goes out of scope on every path out.

#include <unistd.h>
#include <utility>

namespace veltrane {

class TUniqueFd {
  public:
    explicit TUniqueFd(int fd = -1) : fd_(fd) {}
    ~TUniqueFd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TUniqueFd(TUniqueFd&& other) noexcept : fd_(other.release()) {}
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;
    int get() const { return fd_; }
    // Hands the descriptor over; the caller closes it (and sees a close error after a write).
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_;
};

} // namespace veltrane

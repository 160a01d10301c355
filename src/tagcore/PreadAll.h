#pragma once
#include "tagcore/InOutError.h"

#include <cerrno>
#include <cstddef>
#include <sys/types.h>
#include <unistd.h>

namespace veltrane {

// Reads up to n bytes at offset, as far as the file goes; the count read.
inline std::size_t PreadUpTo(int fd, char* buf, std::size_t n, off_t offset) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw EInOutError::FromErrno(errno);
        }
        if (r == 0)
            break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

// Reads exactly n bytes at offset; false on a short read (the file shrank). Header only, so
// the fuzz targets need no more of the tag core than they link today.
inline bool PreadAll(int fd, char* buf, std::size_t n, off_t offset) {
    return PreadUpTo(fd, buf, n, offset) == n;
}

} // namespace veltrane

#include "components/FileSrc.h"

#include "components/Lzrw1Kh.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace veltrane {

namespace {

[[noreturn]] void ThrowErrno(const std::string& path) {
    throw std::system_error(errno, std::generic_category(), path);
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(path);
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

int CurrentSecond() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_sec % 60; // a leap second reads as 0
}

} // namespace

std::string ReadFileBytes(const std::string& Path) {
    // Without blocking: a FIFO would wait for a writer before it could be refused.
    const int fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        ThrowErrno(Path);
    std::string bytes;
    try {
        struct stat st;
        if (::fstat(fd, &st) != 0)
            ThrowErrno(Path);
        if (!S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            ThrowErrno(Path);
        }
        bytes.reserve(std::size_t(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                ThrowErrno(Path);
            }
            if (n == 0)
                break;
            bytes.append(buffer, std::size_t(n));
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return bytes;
}

std::string TemporaryDirectory() {
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            std::string dir = value;
            while (dir.size() > 1 && dir.back() == '/')
                dir.pop_back();
            return dir;
        }
    }
    return "/tmp";
}

std::string CreateTempFile(const std::string& Dir, int Second, const std::string& Extension,
                           int& Fd) {
    const std::string prefix = (Dir == "/" ? std::string() : Dir) + "/~fs" + std::to_string(Second);
    // The counter only grows past a few while names are taken; the limit stops a directory
    // that answers EEXIST for everything.
    for (long i = 0; i < 1000000; ++i) {
        const std::string candidate = prefix + std::to_string(i) + Extension;
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            Fd = fd;
            return candidate;
        }
        if (errno != EEXIST)
            ThrowErrno(candidate);
    }
    errno = EEXIST;
    ThrowErrno(prefix + "*" + Extension);
}

TFileSource::TFileSource(std::string Name) : Name_(std::move(Name)) {}

TFileSource::~TFileSource() {
    DeleteOwnedFile();
}

void TFileSource::SetCompress(bool Value) {
    Compress_ = Value;
    if (Value)
        Store_ = true;
}

std::string TFileSource::FileName() const {
    struct stat st;
    if (FileName_.empty() || ::stat(FileName_.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::string();
    return FileName_;
}

void TFileSource::SetFileName(const std::string& Value) {
    DeleteOwnedFile();
    FileName_ = Value;
    OwnsFile_ = false;
    // The extension of the last path element, with its dot.
    const std::size_t slash = Value.rfind('/');
    const std::size_t dot = Value.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        Extension_ = Value.substr(dot);
    else
        Extension_.clear();
}

void TFileSource::DeleteOwnedFile() {
    if (OwnsFile_ && !FileName_.empty())
        ::unlink(FileName_.c_str());
    OwnsFile_ = false;
}

std::optional<std::string> TFileSource::WriteFileData() const {
    if (!Store_)
        return std::nullopt;
    if (FileName().empty())
        throw std::runtime_error(Name_ + " cannot store file: " + FileName_ + " (file is missing)");
    const std::string bytes = ReadFileBytes(FileName_);
    if (Compress_)
        return TCompressStream().CompressBytes(bytes);
    return StorePlain(bytes);
}

void TFileSource::ReadFileData(std::string_view FileData) {
    // Restore first, so corrupt data never leaves a half-written file behind.
    const std::string bytes =
        Compress_ ? TCompressStream().DecompressBytes(FileData) : RestorePlain(FileData);
    DeleteOwnedFile();
    FileName_.clear();
    int fd = -1;
    const std::string path = CreateTempFile(TemporaryDirectory(), CurrentSecond(), Extension_, fd);
    try {
        WriteAll(fd, bytes, path);
        if (::close(fd) != 0) {
            fd = -1;
            ThrowErrno(path);
        }
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(path.c_str());
        throw;
    }
    FileName_ = path;
    OwnsFile_ = true;
}

} // namespace veltrane

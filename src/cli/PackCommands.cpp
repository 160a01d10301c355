#include "cli/Commands.h"

#include "cli/Escape.h"
#include "components/Lzrw1Kh.h"
#include "tagcore/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <new>
#include <ostream>
#include <random>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace veltrane::cli {

namespace {

// What pack or unpack could not do, already in the words of its message.
struct PackFailure {
    std::string path;
    std::string text;
};

[[noreturn]] void Fail(const std::string& path, int error) {
    throw PackFailure{path, std::strerror(error)};
}

// A stream buffer over a descriptor that keeps the errno of the first failure, so a full disk
// is reported as such and not as a bare stream failure. Input or output, never both.
class FdBuf : public std::streambuf {
  public:
    explicit FdBuf(int fd) : fd_(fd), buffer_(65536) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    int Error() const { return error_; }
    bool Flush() {
        char* p = pbase();
        while (p < pptr()) {
            const ssize_t n = ::write(fd_, p, std::size_t(pptr() - p));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : ENOSPC;
                return false;
            }
            p += n;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

  protected:
    int_type overflow(int_type c) override {
        if (!Flush())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Flush() ? 0 : -1; }
    int_type underflow() override {
        ssize_t n;
        do {
            n = ::read(fd_, buffer_.data(), buffer_.size());
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            if (n < 0)
                error_ = errno;
            return traits_type::eof();
        }
        setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
        return traits_type::to_int_type(buffer_[0]);
    }
    // Output only: the compressor patches its total in at the start.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        if (!Flush())
            return pos_type(off_type(-1));
        const int whence = dir == std::ios_base::beg ? SEEK_SET
                           : dir == std::ios_base::cur ? SEEK_CUR
                                                       : SEEK_END;
        return pos_type(off_type(::lseek(fd_, off, whence)));
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

  private:
    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

using Fd = TUniqueFd;

// Opens IN without blocking (a FIFO would wait for a writer) and accepts a regular file only.
Fd OpenInput(const std::string& path, std::uint64_t& size) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
        Fail(path, errno);
    if (S_ISDIR(st.st_mode))
        Fail(path, EISDIR);
    if (!S_ISREG(st.st_mode))
        throw PackFailure{path, "not a regular file"};
    size = std::uint64_t(st.st_size);
    return fd;
}

// OUT is written as a new file next to it and renamed over it only when complete, so a full
// disk or a bad input leaves an existing OUT exactly as it was, and a symbolic link at OUT is
// replaced itself instead of the file behind it being written.
class AtomicOutput {
  public:
    explicit AtomicOutput(std::string path) : path_(std::move(path)) {
        struct stat st;
        mode_t keepMode = 0;
        if (::lstat(path_.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                Fail(path_, EISDIR);
            if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
                throw PackFailure{path_, "not a regular file"};
            if (S_ISREG(st.st_mode))
                keepMode = st.st_mode & 07777;
        }
        const std::size_t slash = path_.rfind('/');
        const std::string dir = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
        std::random_device random;
        for (int attempt = 0; fd_.get() < 0; ++attempt) {
            temp_ = dir + ".veltrane-" + std::to_string(random()) + ".tmp";
            // Exclusive and never through a link; the umask gives a new OUT its mode.
            const int fd = ::open(temp_.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0)
                fd_.reset(fd);
            else if (errno != EEXIST || attempt == 100)
                Fail(path_, errno);
        }
        if (keepMode != 0)
            (void)::fchmod(fd_.get(), keepMode);
    }
    ~AtomicOutput() {
        if (!committed_)
            (void)::unlink(temp_.c_str());
    }
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    int Descriptor() const { return fd_.get(); }

    void Commit() {
        if (::fsync(fd_.get()) != 0 || ::close(fd_.release()) != 0)
            Fail(path_, errno);
        if (::rename(temp_.c_str(), path_.c_str()) != 0)
            Fail(path_, errno);
        committed_ = true;
    }

  private:
    std::string path_;
    std::string temp_;
    Fd fd_;
    bool committed_ = false;
};

void ExpectTwoPaths(const Args& paths, const char* command) {
    if (paths.size() != 2)
        throw UsageError(std::string(command) + ": expected IN and OUT");
}

// Runs one pack or unpack from IN to OUT through fixed buffers, so memory stays bounded
// whatever the size of IN. Every failure is one message and status 1, with OUT untouched.
template <typename Work>
int Transfer(const std::string& inPath, const std::string& outPath, std::ostream& err,
             Work work) {
    try {
        std::uint64_t size = 0;
        const Fd in = OpenInput(inPath, size);
        AtomicOutput out(outPath);
        FdBuf inBuf(in.get()), outBuf(out.Descriptor());
        std::istream source(&inBuf);
        std::ostream dest(&outBuf);
        try {
            work(in.get(), size, source, dest);
            dest.flush();
        } catch (const ECompressedData& e) {
            throw PackFailure{inPath, e.what()};
        } catch (const std::bad_alloc&) {
            throw PackFailure{inPath, "not enough memory"};
        } catch (const std::exception& e) {
            if (outBuf.Error() != 0)
                Fail(outPath, outBuf.Error());
            if (inBuf.Error() != 0)
                Fail(inPath, inBuf.Error());
            throw PackFailure{inPath, e.what()};
        }
        if (outBuf.Error() != 0 || !dest)
            Fail(outPath, outBuf.Error() != 0 ? outBuf.Error() : EIO);
        out.Commit();
        return 0;
    } catch (const PackFailure& f) {
        ReportFileError(err, Escape(f.path), f.text);
        return 1;
    } catch (const std::bad_alloc&) {
        ReportFileError(err, Escape(inPath), "not enough memory");
        return 1;
    }
}

constexpr std::string_view kPackUsage =
    "usage: veltrane-cli pack [--plain] IN OUT\n"
    "  stores IN compressed (LZRW1/KH) in OUT; --plain stores it uncompressed\n";
constexpr std::string_view kUnpackUsage =
    "usage: veltrane-cli unpack IN OUT\n"
    "  writes the data stored in IN (by pack, compressed or plain) to OUT\n";

bool AsksHelp(const Args& args) {
    for (const std::string& a : args) {
        if (a == "--")
            return false;
        if (a == "--help" || a == "-h")
            return true;
    }
    return false;
}

} // namespace

int RunPack(const Args& args, std::ostream& stdOut, std::ostream& err) {
    if (AsksHelp(args)) {
        stdOut << kPackUsage;
        return 0;
    }
    bool plain = false;
    Args paths;
    bool optionsDone = false;
    for (const std::string& a : args) {
        if (!optionsDone && a == "--plain")
            plain = true;
        else if (!optionsDone && a == "--")
            optionsDone = true;
        else if (!optionsDone && a.size() > 1 && a[0] == '-')
            throw UsageError("pack: unknown option '" + a + "'");
        else
            paths.push_back(a);
    }
    ExpectTwoPaths(paths, "pack");
    return Transfer(paths[0], paths[1], err,
                    [plain](int, std::uint64_t size, std::istream& in, std::ostream& out) {
                        if (plain)
                            StorePlain(in, out, size);
                        else
                            TCompressStream().Compress(in, out, size);
                    });
}

int RunUnpack(const Args& args, std::ostream& stdOut, std::ostream& err) {
    if (AsksHelp(args)) {
        stdOut << kUnpackUsage;
        return 0;
    }
    Args paths;
    bool optionsDone = false;
    for (const std::string& a : args) {
        if (!optionsDone && a == "--")
            optionsDone = true;
        else if (!optionsDone && a.size() > 1 && a[0] == '-')
            throw UsageError("unpack: unknown option '" + a + "'");
        else
            paths.push_back(a);
    }
    ExpectTwoPaths(paths, "unpack");
    return Transfer(paths[0], paths[1], err,
                    [](int fd, std::uint64_t size, std::istream& in, std::ostream& out) {
                        // Format B announces itself; anything else must be a complete format A.
                        const std::string_view signature = TCompressStream::Signature;
                        std::string head(signature.size(), '\0');
                        const ssize_t n = ::pread(fd, head.data(), head.size(), 0);
                        if (n == ssize_t(head.size()) && head == signature) {
                            TCompressStream().Decompress(in, out);
                            if (in.peek() != std::char_traits<char>::eof())
                                throw ECompressedData(
                                    "Compressed data is corrupt: bytes after the last block");
                        } else {
                            RestorePlain(in, out, size);
                        }
                    });
}

} // namespace veltrane::cli

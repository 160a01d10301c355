#include "playlists/M3UFile.h"

#include "playlists/ExtM3U.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace veltrane {

namespace {

constexpr char CtrlZ = 0x1A;

// Closes the descriptor on every way out.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now; a failed close is a failed write on some file systems.
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

  private:
    int fd_;
};

// Writes all of Data at Offset; 0 or the errno of the failing call.
int WriteAll(const TPlaylistFileIo& Io, int fd, std::string_view Data, off_t Offset) {
    while (!Data.empty()) {
        const ssize_t n = Io.Write(fd, Data.data(), Data.size(), Offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        Data.remove_prefix(static_cast<std::size_t>(n));
        Offset += n;
    }
    return 0;
}

std::string DirectoryOf(const std::string& Path) {
    const auto slash = Path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// The file a write really goes to: a link to a playlist elsewhere is written through, so
// the link stays a link.
std::string WriteTarget(const std::string& Path) {
    struct stat st {};
    if (::lstat(Path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return Path;
    char* real = ::realpath(Path.c_str(), nullptr);
    if (!real)
        return Path;
    std::string target(real);
    std::free(real);
    return target;
}

// Refuses a playlist its owner may not write: root could write it, but the mode says no.
void RefuseReadOnly(const std::string& Path, const struct stat& St) {
    if (S_ISREG(St.st_mode) && !(St.st_mode & S_IWUSR))
        throw EPlaylistFileError(EACCES, Path, kMsgReadOnlyPlaylist);
}

mode_t DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void Overwrite(const std::string& Path, const std::string& Text, const TPlaylistFileIo& Io) {
    const std::string target = WriteTarget(Path);
    struct stat old {};
    const bool replaces = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (replaces)
        RefuseReadOnly(Path, old);
    std::string temp = DirectoryOf(target) + "/.veltrane-m3u-XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0)
        throw EPlaylistFileError(errno, Path);
    const mode_t mode = replaces ? (old.st_mode & 07777) : DefaultMode();
    int err = WriteAll(Io, fd.get(), Text, 0);
    // The replaced file's owner keeps it (root writing another user's playlist); the mode
    // goes on after, as a change of owner drops the set-id bits.
    if (!err && replaces && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
        // Another user's file that we may not give back to them is not taken over.
        if (old.st_uid != ::geteuid())
            err = errno;
        else
            (void)::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
    }
    if (!err && ::fchmod(fd.get(), mode) != 0)
        err = errno;
    if (!err && Io.Sync(fd.get()) != 0)
        err = errno;
    if (!err && fd.Close() != 0)
        err = errno;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err) {
        ::unlink(temp.c_str());
        throw EPlaylistFileError(err, Path);
    }
}

void Append(const std::string& Path, const std::string& Text, const TPlaylistFileIo& Io) {
    Fd fd(::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    if (fd.get() < 0)
        throw EPlaylistFileError(errno, Path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw EPlaylistFileError(errno, Path);
    if (S_ISDIR(st.st_mode))
        throw EPlaylistFileError(EISDIR, Path);
    if (!S_ISREG(st.st_mode))
        throw EPlaylistFileError(EINVAL, Path);
    RefuseReadOnly(Path, st);
    const off_t oldSize = st.st_size;
    // Readers stop at the first Ctrl-Z: one as the very last byte is cut off, one anywhere
    // else would hide the new lines, so nothing is appended then.
    off_t ctrlZ = -1;
    char last = '\n';
    {
        char buffer[65536];
        for (off_t at = 0; at < oldSize && ctrlZ < 0;) {
            const ssize_t n = ::pread(fd.get(), buffer, sizeof buffer, at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw EPlaylistFileError(errno, Path);
            if (n == 0)
                break;
            const std::string_view chunk(buffer, static_cast<std::size_t>(n));
            if (const auto z = chunk.find(CtrlZ); z != std::string_view::npos)
                ctrlZ = at + static_cast<off_t>(z);
            at += n;
        }
    }
    if (ctrlZ >= 0 && ctrlZ != oldSize - 1)
        throw EPlaylistFileError(EINVAL, Path,
                                 "the playlist holds a Ctrl-Z before its end, which hides every "
                                 "line after it from players; nothing was appended");
    const off_t cut = ctrlZ >= 0 ? ctrlZ : oldSize;
    std::string oldEnd(static_cast<std::size_t>(oldSize - cut), CtrlZ);
    if (cut > 0) {
        ssize_t n;
        do {
            n = ::pread(fd.get(), &last, 1, cut - 1);
        } while (n < 0 && errno == EINTR);
        if (n != 1)
            throw EPlaylistFileError(n < 0 ? errno : EIO, Path);
    }
    // An old last line without its line end gets one, so the first new entry is a line of
    // its own.
    const std::string lines = (last == '\r' || last == '\n' ? "" : "\r\n") + Text;

    int err = WriteAll(Io, fd.get(), lines, cut);
    const off_t newSize = cut + static_cast<off_t>(lines.size());
    if (!err && newSize < oldSize && ::ftruncate(fd.get(), newSize) != 0)
        err = errno;
    if (!err && Io.Sync(fd.get()) != 0)
        err = errno;
    if (err) {
        // Back to the old bytes: the cut-off end rewritten over blocks the file already had.
        if (::ftruncate(fd.get(), std::max(cut, oldSize)) == 0)
            WriteAll(TPlaylistFileIo::System(), fd.get(), oldEnd, cut);
        (void)::ftruncate(fd.get(), oldSize);
        throw EPlaylistFileError(err, Path);
    }
    if (fd.Close() != 0)
        throw EPlaylistFileError(errno, Path);
}

} // namespace

const char* const kMsgUnwritableEntry =
    "A playlist line cannot hold a name with a line break, NUL or Ctrl-Z in it: ";
const char* const kMsgReadOnlyPlaylist =
    "read-only (its owner has no write permission); the playlist was left as it is";

EPlaylistFileError::EPlaylistFileError(int Errno, std::string FileName)
    : std::runtime_error(std::strerror(Errno)), errno_(Errno), fileName_(std::move(FileName)) {}

EPlaylistFileError::EPlaylistFileError(int Errno, std::string FileName, const std::string& Text)
    : std::runtime_error(Text), errno_(Errno), fileName_(std::move(FileName)) {}

const TPlaylistFileIo& TPlaylistFileIo::System() {
    static const TPlaylistFileIo io{
        [](int fd, const void* data, std::size_t size, off_t offset) {
            return ::pwrite(fd, data, size, offset);
        },
        [](int fd) { return ::fsync(fd); }};
    return io;
}

std::optional<std::string> ResolvePlaylistPath(const std::string& Directory,
                                               const std::string& TypedName) {
    if (TypedName.empty())
        return std::nullopt;
    std::string name = TypedName;
    if (!(name.size() > 4 && name.compare(name.size() - 4, 4, ".m3u") == 0) &&
        !(name.size() > 5 && name.compare(name.size() - 5, 5, ".m3u8") == 0))
        name += ".m3u";
    if (!Directory.empty() && Directory.back() == '/')
        return Directory + name;
    return Directory + "/" + name;
}

std::vector<std::string> ParsePlaylistText(std::string_view Text) {
    if (const auto z = Text.find(CtrlZ); z != std::string_view::npos)
        Text = Text.substr(0, z);
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c != '\r' && c != '\n')
            continue;
        entries.emplace_back(Text.substr(start, i - start));
        if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < Text.size())
        entries.emplace_back(Text.substr(start));
    return entries;
}

const std::string* UnwritableEntry(const std::vector<std::string>& Entries) {
    for (const std::string& entry : Entries)
        if (entry.find_first_of(std::string_view("\r\n\x1a\0", 4)) != std::string::npos)
            return &entry;
    return nullptr;
}

std::string PlaylistText(const std::vector<std::string>& Entries) {
    std::string text;
    for (const std::string& entry : Entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ReadPlaylistFile(const std::string& Path) {
    return DocumentEntries(ParsePlaylistDocument(ReadPlaylistBytes(Path), Path));
}

std::string ReadPlaylistBytes(const std::string& Path) {
    // Non-blocking, so a named pipe cannot hang the program; only regular files are read.
    Fd fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw EPlaylistFileError(errno, Path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw EPlaylistFileError(errno, Path);
    if (S_ISDIR(st.st_mode))
        throw EPlaylistFileError(EISDIR, Path);
    if (!S_ISREG(st.st_mode))
        throw EPlaylistFileError(EINVAL, Path);
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EPlaylistFileError(errno, Path);
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

void WritePlaylistFile(const std::string& Path, const std::vector<std::string>& Entries,
                       TPlaylistWriteMode Mode, const TPlaylistFileIo& Io) {
    if (const std::string* bad = UnwritableEntry(Entries))
        throw EPlaylistFileError(EINVAL, Path, std::string(kMsgUnwritableEntry) + *bad);
    if (!WritesExtended(Path, Mode, false)) {
        WritePlaylistBytes(Path, PlaylistText(Entries), Mode, Io);
        return;
    }
    std::vector<std::string> lines;
    lines.reserve(Entries.size());
    for (const std::string& entry : Entries)
        lines.push_back(ExtendedEntryText(entry));
    WritePlaylistBytes(Path, PlaylistText(lines), Mode, Io);
}

void WritePlaylistBytes(const std::string& Path, const std::string& text, TPlaylistWriteMode Mode,
                        const TPlaylistFileIo& Io) {
    if (Mode == pwOverwrite)
        Overwrite(Path, text, Io);
    else if (!text.empty())
        Append(Path, text, Io);
}

bool PlaylistEntryExists(const std::string& Entry, const std::string& PlaylistFileName) {
    if (Entry.empty())
        return false;
    std::string path = Entry;
    if (Entry.front() != '/' && !PlaylistFileName.empty())
        path = DirectoryOf(PlaylistFileName) + "/" + Entry;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace veltrane

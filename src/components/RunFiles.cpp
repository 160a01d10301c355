#include "components/RunFiles.h"

#include "components/FileSrc.h"

#include <cerrno>
#include <compare>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veltrane {

namespace {

constexpr const char* kPrefix = "veltrane-media-";
constexpr const char* kSuffix = ".list";
// Entries are NUL-terminated: a path may hold any other byte, line breaks included.
constexpr std::string_view kHeader{"veltrane media files\0", 21};
constexpr std::size_t kMaxListSize = 1 << 20;

// Device, inode and change time in nanoseconds: a file made again under the same name, even
// on the same inode, is another file.
struct TFileId {
    std::uint64_t Device = 0, Inode = 0, Changed = 0;
    auto operator<=>(const TFileId&) const = default;
};

TFileId IdOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_ctim.tv_sec) * 1000000000u +
                static_cast<std::uint64_t>(st.st_ctim.tv_nsec)};
}

struct TListed {
    TFileId Id;
    std::string Path;
};

struct TRunList {
    std::string File;
    pid_t Pid = 0;
    std::uint64_t Start = 0; // 0: not recorded
    std::vector<TListed> Files;
};

// The pid in "veltrane-media-PID.list", 0 for any other name.
pid_t PidOfListName(const std::string& Name) {
    const std::size_t prefix = std::strlen(kPrefix), suffix = std::strlen(kSuffix);
    if (Name.size() <= prefix + suffix || Name.compare(0, prefix, kPrefix) != 0 ||
        Name.compare(Name.size() - suffix, suffix, kSuffix) != 0)
        return 0;
    const std::string digits = Name.substr(prefix, Name.size() - prefix - suffix);
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos ||
        digits[0] == '0')
        return 0;
    return static_cast<pid_t>(std::strtol(digits.c_str(), nullptr, 10));
}

bool ParseNumber(std::string_view Text, std::uint64_t& Value) {
    if (Text.empty() || Text.size() > 20)
        return false;
    Value = 0;
    for (char c : Text) {
        if (c < '0' || c > '9')
            return false;
        Value = Value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

// Reads one list of this user; false when it is no list of ours (a link, another owner's
// file, too large to be one).
bool ReadRunList(const std::string& Dir, const std::string& Name, TRunList& List) {
    List.File = Dir + "/" + Name;
    List.Pid = PidOfListName(Name);
    const int fd = ::open(List.File.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    std::string bytes;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
              static_cast<std::uint64_t>(st.st_size) <= kMaxListSize;
    if (ok) {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > kMaxListSize) {
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    if (!ok)
        return false;
    // A damaged entry is skipped; a list cut short by a kill keeps the entries before it.
    std::string_view rest(bytes);
    if (rest.substr(0, kHeader.size()) == kHeader)
        rest.remove_prefix(kHeader.size());
    while (!rest.empty()) {
        const std::size_t end = rest.find('\0');
        if (end == std::string_view::npos)
            break;
        const std::string_view entry = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (entry.substr(0, 6) == "start=") {
            ParseNumber(entry.substr(6), List.Start);
            continue;
        }
        // "device:inode:changed:/path"
        TListed listed;
        std::uint64_t* numbers[] = {&listed.Id.Device, &listed.Id.Inode, &listed.Id.Changed};
        std::size_t at = 0;
        bool ok = true;
        for (std::uint64_t* n : numbers) {
            const std::size_t colon = entry.find(':', at);
            ok = ok && colon != std::string_view::npos &&
                 ParseNumber(entry.substr(at, colon - at), *n);
            at = ok ? colon + 1 : at;
        }
        if (!ok)
            continue;
        listed.Path = std::string(entry.substr(at));
        if (!listed.Path.empty() && listed.Path.front() == '/')
            List.Files.push_back(std::move(listed));
    }
    return true;
}

bool RunStillRuns(const TRunList& List) {
    if (List.Pid <= 0)
        return false;
    const std::uint64_t start = ProcessStartTime(List.Pid);
    if (start != 0)
        return List.Start == 0 || start == List.Start; // another process may have the id now
    if (::access("/proc/self/stat", R_OK) == 0)
        return false;
    return ::kill(List.Pid, 0) == 0 || errno == EPERM; // no /proc to ask: the kernel's word
}

std::string BaseName(const std::string& Path) {
    const std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

} // namespace

std::string RunListDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        std::string dir = runtime;
        while (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        return dir;
    }
    return TemporaryDirectory();
}

std::string RunListName(pid_t Pid) {
    return kPrefix + std::to_string(Pid) + kSuffix;
}

std::uint64_t ProcessStartTime(pid_t Pid) {
    const std::string path = "/proc/" + std::to_string(Pid) + "/stat";
    std::FILE* f = std::fopen(path.c_str(), "re");
    if (!f)
        return 0;
    char buffer[1024];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = '\0';
    // After the command name in parentheses: state is field 3, the start time field 22.
    const char* close = std::strrchr(buffer, ')');
    if (!close)
        return 0;
    char state = 0;
    unsigned long long start = 0;
    const char* format = " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u"
                         " %*d %*d %*d %*d %*d %*d %llu";
    if (std::sscanf(close + 1, format, &state, &start) != 2)
        return 0;
    if (state == 'Z' || state == 'X')
        return 0; // ended, only not yet reaped
    return start;
}

TRunFileList::TRunFileList(std::string Directory) : directory_(std::move(Directory)) {}

TRunFileList::~TRunFileList() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(listFile_.c_str());
    }
}

std::vector<std::string> TRunFileList::RemoveFilesOfEndedRuns() {
    std::vector<std::string> removed;
    DIR* dir = ::opendir(directory_.c_str());
    if (!dir)
        return removed;
    std::vector<TRunList> ended;
    std::set<TFileId> stillListed;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (PidOfListName(name) == 0)
            continue;
        TRunList list;
        if (!ReadRunList(directory_, name, list) || list.File == listFile_)
            continue;
        if (RunStillRuns(list)) {
            for (const TListed& f : list.Files)
                stillListed.insert(f.Id);
        } else {
            ended.push_back(std::move(list));
        }
    }
    ::closedir(dir);
    for (const TRunList& list : ended) {
        for (const TListed& f : list.Files) {
            struct stat st {};
            // Only the very file listed: gone or replaced since, the name is left alone.
            if (::lstat(f.Path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
                st.st_uid != ::geteuid() || IdOf(st) != f.Id || stillListed.count(f.Id) ||
                BaseName(f.Path).rfind("~fs", 0) != 0)
                continue;
            if (::unlink(f.Path.c_str()) == 0)
                removed.push_back(f.Path);
        }
        ::unlink(list.File.c_str());
    }
    return removed;
}

bool TRunFileList::Open() {
    if (fd_ >= 0)
        return true;
    const std::string file = directory_ + "/" + RunListName(::getpid());
    const int fd =
        ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::string header(kHeader);
    header += "start=" + std::to_string(ProcessStartTime(::getpid()));
    header += '\0';
    if (::write(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size())) {
        ::close(fd);
        ::unlink(file.c_str());
        return false;
    }
    fd_ = fd;
    listFile_ = file;
    return true;
}

bool TRunFileList::Add(const std::string& Path) {
    struct stat st {};
    if (fd_ < 0 || Path.empty() || Path.find('\0') != std::string::npos ||
        ::lstat(Path.c_str(), &st) != 0)
        return false;
    const TFileId id = IdOf(st);
    std::string entry = std::to_string(id.Device) + ":" + std::to_string(id.Inode) + ":" +
                        std::to_string(id.Changed) + ":" + Path;
    entry += '\0';
    // One write per entry: a kill leaves whole entries behind.
    return ::write(fd_, entry.data(), entry.size()) == static_cast<ssize_t>(entry.size());
}

} // namespace veltrane

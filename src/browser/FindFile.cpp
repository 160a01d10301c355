#include "browser/FindFile.h"

#include "tagcore/UiText.h"

#include "browser/ErrorText.h"

#include "tagcore/LongPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veltrane {

struct TFindFile::Entry {
    std::string name;
    std::uint8_t attrs = 0;
    std::uint64_t size = 0;
    bool sized = true;
    dev_t dev = 0;
    ino_t ino = 0;
    int error = 0; // errno of an entry that could not be reached; attrs then hold only hidden
};

namespace {

unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Length of the character starting at s[i]: a UTF-8 lead byte takes its continuation bytes.
std::size_t CharLength(std::string_view s, std::size_t i) {
    std::size_t n = 1;
    if (static_cast<unsigned char>(s[i]) >= 0xC0)
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
            ++n;
    return n;
}

// Attributes of the platform: hidden is a leading ".", read-only a file without the owner's
// write permission, archive any other regular file. Other kinds of entries are not listed.
bool AttributesOf(const std::string& name, const struct stat& st, std::uint8_t& attrs) {
    attrs = 0;
    if (S_ISDIR(st.st_mode))
        attrs |= ffDirectory;
    else if (!S_ISREG(st.st_mode))
        return false;
    else
        attrs |= (st.st_mode & S_IWUSR) ? ffArchive : ffReadOnly;
    if (name[0] == '.')
        attrs |= ffHidden;
    return true;
}

std::string WithoutTrailingSlash(const std::string& dir) {
    return dir.size() > 1 && dir.back() == '/' ? dir.substr(0, dir.size() - 1) : dir;
}

std::string ReasonOf(int error) {
    switch (error) {
    case ENOENT:
        return UiText("FindFile", "dangling symbolic link");
    case ELOOP:
        return UiText("FindFile", "symbolic link loop");
    default:
        return std::strerror(error);
    }
}

} // namespace

bool MatchesWildcard(std::string_view p, std::string_view s) {
    if (p == "*.*" || p == "*")
        return true;
    // Iterative matcher with backtracking to the last "*".
    std::size_t pi = 0, si = 0, starP = std::string_view::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && p[pi] == '?') {
            ++pi;
            si += CharLength(s, si);
        } else if (pi < p.size() && FoldAscii(static_cast<unsigned char>(p[pi])) ==
                                        FoldAscii(static_cast<unsigned char>(s[si]))) {
            ++pi;
            ++si;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            starS += CharLength(s, starS);
            si = starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

std::string SkippedEntriesMessage(const std::vector<TFindProblem>& Problems) {
    if (Problems.empty())
        return {};
    std::vector<std::string> lines;
    lines.reserve(Problems.size());
    for (const TFindProblem& problem : Problems)
        lines.push_back(problem.Path + ": " + problem.Reason);
    // A blank line between the intro and the list.
    return ListedLinesMessage(
        UiText("FindFile", "These entries could not be read and are not listed:\n"), lines, 20);
}

std::uint8_t TFindFile::AttributeMask() const {
    std::uint8_t mask = 0;
    for (const TFileAttr a : Attributes)
        mask |= a;
    return mask;
}

std::vector<TFindFile::Entry> TFindFile::ReadDir(const std::string& dir, bool missingIsQuiet) {
    std::vector<Entry> entries;
    // Through a descriptor, so a directory deeper than PATH_MAX is read like any other.
    const int fd = OpenLongPath(dir, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
    DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!d) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (!(missingIsQuiet && error == ENOENT))
            Problems.push_back({WithoutTrailingSlash(dir), std::strerror(error)});
        return entries;
    }
    const int dfd = ::dirfd(d);
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(d);
        if (!e) {
            if (errno != 0)
                Problems.push_back({WithoutTrailingSlash(dir), std::strerror(errno)});
            break;
        }
        const std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        Entry entry;
        entry.name = name;
        if (e->d_type == DT_REG) {
            // Read-only and archive never decide anything here and the size only feeds a
            // counter, so plain files cost no stat: a search must stay cheaper than the
            // tag reads that follow it.
            entry.attrs = ffArchive | (name[0] == '.' ? ffHidden : 0);
            entry.sized = false;
            entries.push_back(std::move(entry));
            continue;
        }
        struct stat st;
        // Follows symbolic links; one that leads nowhere is kept to be reported if it matches.
        if (::fstatat(dfd, e->d_name, &st, 0) != 0) {
            entry.error = errno;
            entry.attrs = name[0] == '.' ? ffHidden : 0;
            entries.push_back(std::move(entry));
            continue;
        }
        if (!AttributesOf(entry.name, st, entry.attrs))
            continue;
        entry.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
        entry.dev = st.st_dev;
        entry.ino = st.st_ino;
        entries.push_back(std::move(entry));
    }
    ::closedir(d);
    // Enumeration order is arbitrary on Linux; byte order makes every run list the same.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

void TFindFile::SearchOne(const std::string& dir, const std::vector<Entry>& entries,
                          std::uint8_t mask) {
    if (OnNewPath)
        OnNewPath(*this, dir, abort_);
    if (abort_)
        return;
    // Like the platform enumeration: read-only and archive never exclude an entry; hidden,
    // system, volume and directory entries need their bit in the mask.
    constexpr std::uint8_t kSpecial = ffHidden | ffSystem | ffVolumeID | ffDirectory;
    for (const Entry& e : entries) {
        if ((e.attrs & kSpecial & ~mask) != 0)
            continue;
        if (!MatchesWildcard(Filter, e.name))
            continue;
        if (e.error != 0) {
            Problems.push_back({dir + e.name, ReasonOf(e.error)});
            continue;
        }
        if (Sink)
            Sink->Add(dir, e.name);
        else
            Files.push_back(dir + e.name);
        if (e.attrs == ffDirectory)
            ++dirCount_;
        else
            ++fileCount_;
        if (e.sized)
            totalSize_ += e.size;
        else if (!Sink)
            unsized_.push_back(Files.size() - 1);
    }
}

std::uint64_t TFindFile::TotalSize() const {
    for (const std::size_t i : unsized_) {
        if (i >= Files.size())
            continue;
        const TPathAt at(Files[i]);
        struct stat st;
        if (at.Ok() && ::fstatat(at.Dir(), at.Name(), &st, 0) == 0 && S_ISREG(st.st_mode))
            totalSize_ += static_cast<std::uint64_t>(st.st_size);
    }
    unsized_.clear();
    return totalSize_;
}

void TFindFile::Execute() {
    const std::uint8_t mask = AttributeMask();
    Files.clear();
    if (Sink)
        Sink->Clear();
    Problems.clear();
    unsized_.clear();
    totalSize_ = dirCount_ = fileCount_ = 0;
    if (BeforeExecute)
        BeforeExecute(*this);
    if (!Directory.empty()) {
        std::string start = Directory;
        if (start.back() != '/')
            start += '/';
        if (!Recurse) {
            SearchOne(start, ReadDir(start, true), mask);
        } else {
            // Breadth first; a directory reached again through a symbolic link is skipped.
            std::set<std::pair<dev_t, ino_t>> seen;
            const TPathAt at(start);
            struct stat st;
            if (at.Ok() && ::fstatat(at.Dir(), at.Name(), &st, 0) == 0)
                seen.emplace(st.st_dev, st.st_ino);
            std::deque<std::string> queue{start};
            while (!queue.empty()) {
                const std::string dir = std::move(queue.front());
                queue.pop_front();
                const std::vector<Entry> entries = ReadDir(dir, dir == start);
                for (const Entry& e : entries) {
                    if ((e.attrs & ffDirectory) && seen.emplace(e.dev, e.ino).second)
                        queue.push_back(dir + e.name + '/');
                }
                SearchOne(dir, entries, mask);
                if (abort_)
                    break;
            }
        }
    }
    if (AfterExecute)
        AfterExecute(*this);
}

} // namespace veltrane

#include "setup/UnInstallRemoval.h"

#include "platform/ProgramManager.h"
#include "setup/SetupPaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <unordered_map>
#include <vector>

namespace veltrane {
namespace {

// The components of an absolute path; nullopt when it is relative or holds "." or "..", which
// could lead somewhere its text does not show.
std::optional<std::vector<std::string>> Components(const std::string& Path) {
    if (Path.empty() || Path.front() != '/')
        return std::nullopt;
    std::vector<std::string> parts;
    std::size_t pos = 1;
    while (pos <= Path.size()) {
        auto end = Path.find('/', pos);
        if (end == std::string::npos)
            end = Path.size();
        std::string part = Path.substr(pos, end - pos);
        if (part == "." || part == "..")
            return std::nullopt;
        if (!part.empty())
            parts.push_back(std::move(part));
        pos = end + 1;
    }
    return parts;
}

bool StartsWithParts(const std::vector<std::string>& Whole, const std::vector<std::string>& Head) {
    if (Head.size() > Whole.size())
        return false;
    for (std::size_t i = 0; i < Head.size(); ++i)
        if (Whole[i] != Head[i])
            return false;
    return true;
}

std::string Join(const std::vector<std::string>& Parts, std::size_t Count) {
    std::string out;
    for (std::size_t i = 0; i < Count; ++i)
        out += "/" + Parts[i];
    return out.empty() ? "/" : out;
}

class FdGuard {
  public:
    explicit FdGuard(int Fd) : fd(Fd) {}
    ~FdGuard() {
        if (fd >= 0)
            ::close(fd);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int fd;
};

// Removes the entry Rel (components below Root) without following any link on the way:
// a file when Directory is false (regular files only), an empty directory otherwise.
// Returns 0 or an errno value.
int RemoveBelow(const std::string& Root, const std::vector<std::string>& Rel, bool Directory) {
    if (Rel.empty())
        return EINVAL;
    FdGuard dir(::open(Root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0)
        return errno;
    for (std::size_t i = 0; i + 1 < Rel.size(); ++i) {
        const int next = ::openat(dir.fd, Rel[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return errno == ELOOP ? ENOTDIR : errno;
        ::close(dir.fd);
        dir.fd = next;
    }
    struct stat st {};
    if (::fstatat(dir.fd, Rel.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (Directory ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return Directory ? ENOTDIR : EISDIR;
    return ::unlinkat(dir.fd, Rel.back().c_str(), Directory ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
}

// Folders below the root opened once each (without following links), so removing many
// files of one folder costs one lookup and one unlink each.
class FolderCache {
  public:
    explicit FolderCache(std::string Root) : root(std::move(Root)) {}
    ~FolderCache() {
        for (auto& [key, fd] : fds)
            if (fd >= 0)
                ::close(fd);
    }
    FolderCache(const FolderCache&) = delete;
    FolderCache& operator=(const FolderCache&) = delete;

    // The folder of Rel's last component; -1 with errno set when it cannot be reached.
    int Folder(const std::vector<std::string>& Rel) {
        std::string key;
        for (std::size_t i = 0; i + 1 < Rel.size(); ++i)
            key += Rel[i] + '/';
        if (auto it = fds.find(key); it != fds.end()) {
            errno = it->second < 0 ? ENOENT : 0;
            return it->second;
        }
        if (fds.size() >= 256) {
            for (auto& [k, fd] : fds)
                if (fd >= 0)
                    ::close(fd);
            fds.clear();
        }
        int dir = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (std::size_t i = 0; dir >= 0 && i + 1 < Rel.size(); ++i) {
            const int next = ::openat(dir, Rel[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const int err = errno;
            ::close(dir);
            dir = next;
            errno = err == ELOOP ? ENOTDIR : err;
        }
        const int err = errno;
        fds.emplace(key, dir);
        errno = err;
        return dir;
    }

  private:
    std::string root;
    std::unordered_map<std::string, int> fds;
};

// A regular file below the root through the cache, never following a link; 0 or an errno.
int RemoveFileBelow(FolderCache& Cache, const std::vector<std::string>& Rel) {
    const int dir = Cache.Folder(Rel);
    if (dir < 0)
        return errno ? errno : ENOENT;
    struct stat st {};
    if (::fstatat(dir, Rel.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EISDIR;
    return ::unlinkat(dir, Rel.back().c_str(), 0) == 0 ? 0 : errno;
}

} // namespace

std::string UnableToDeleteDirectoryText(const std::string& Dir) {
    return "Unable to delete directory " + Dir + ".";
}

int RunUnInstallRemoval(const TInstallRecord& Record, const std::string& LogFile,
                        platform::IProgramManager* Menu, const TUnInstallEvents& Events) {
    auto removed = [&](const std::string& Text) {
        if (Events.Removed)
            Events.Removed(Text);
    };
    int problems = 0;
    auto warn = [&](const std::string& Text) {
        ++problems;
        if (Events.Warning)
            Events.Warning(Text);
    };
    auto left = [&](const std::string& File) {
        if (Events.FileLeft)
            Events.FileLeft(File);
    };

    // The root is where the log lies, with every link resolved; nothing in the log can move
    // it. Recorded paths are compared after resolving their links too, so an install folder
    // reached through a link is still recognised as itself.
    const auto logParts = Components(LogFile);
    if (!logParts || logParts->empty()) {
        warn("Refused: the install log " + LogFile + " has no plain absolute path.");
        return problems;
    }
    const std::string shownRoot = Join(*logParts, logParts->size() - 1);
    const auto resolvedRoot = Components(ResolvedPath(shownRoot));
    if (!resolvedRoot) {
        warn("Refused: the folder of the install log " + LogFile + " cannot be resolved.");
        return problems;
    }
    const std::vector<std::string>& rootParts = *resolvedRoot;
    const std::string root = Join(rootParts, rootParts.size());
    // Resolved components of a recorded path: its folder resolved, its own name kept (a link
    // recorded as a file is removed as the link it is).
    // Folders are resolved once each: a log lists many files per folder.
    std::unordered_map<std::string, std::optional<std::vector<std::string>>> resolvedDirs;
    auto resolve = [&resolvedDirs](const std::string& Path) -> std::optional<std::vector<std::string>> {
        const auto parts = Components(Path);
        if (!parts || parts->empty())
            return std::nullopt;
        const std::string folder = Join(*parts, parts->size() - 1);
        auto it = resolvedDirs.find(folder);
        if (it == resolvedDirs.end())
            it = resolvedDirs.emplace(folder, Components(ResolvedPath(folder))).first;
        if (!it->second)
            return std::nullopt;
        auto dir = *it->second;
        dir.push_back(parts->back());
        return dir;
    };

    // Menu items, with a ShowGroup at each change of group.
    bool menusChanged = false;
    const bool anyPairs = !Record.LoggedItems.empty();
    if (anyPairs && Menu) {
        std::optional<std::string> shown;
        for (std::size_t i = 0; i < Record.LoggedItems.size(); ++i) {
            const std::string& group = Record.LoggedGroups[i];
            const std::string& item = Record.LoggedItems[i];
            if (item.empty())
                continue;
            if (!shown || *shown != group) {
                Menu->Execute(platform::ShowGroupCommand(group));
                shown = group;
            }
            if (Menu->Execute(platform::DeleteItemCommand(item))) {
                removed("Removed menu item " + group + " / " + item);
                menusChanged = true;
            }
        }
    }

    std::size_t filesLeft = 0;
    std::optional<FolderCache> folders(std::in_place, root);
    for (const std::string& file : Record.InstalledFiles) {
        const auto parts = resolve(file);
        if (!parts || parts->size() <= rootParts.size() || !StartsWithParts(*parts, rootParts)) {
            struct stat st {};
            if (::lstat(file.c_str(), &st) == 0) {
                warn("Refused to delete " + file + ": it lies outside " + shownRoot + ".");
                ++filesLeft;
                left(file);
            }
            continue;
        }
        const std::vector<std::string> rel(parts->begin() + static_cast<long>(rootParts.size()),
                                           parts->end());
        const int err = RemoveFileBelow(*folders, rel);
        if (err == 0) {
            removed("Deleted " + file);
        } else if (err != ENOENT) {
            warn("Unable to delete " + file + ".");
            ++filesLeft;
            left(file);
        }
    }

    folders.reset(); // the folders themselves may go now
    // The log goes only with the last of its files: while any stays, it is what lets a
    // later uninstall find them.
    if (filesLeft == 0) {
        if (::unlink(LogFile.c_str()) == 0)
            removed("Deleted " + LogFile);
    } else {
        warn("The install log " + LogFile + " is kept: " + std::to_string(filesLeft) +
             (filesLeft == 1 ? " recorded file remains." : " recorded files remain."));
    }

    // Menu folders of this product, resolved.
    std::vector<std::vector<std::string>> menuFolders;
    if (Menu)
        for (const std::string& f : Menu->Folders())
            if (auto parts = Components(ResolvedPath(f)))
                menuFolders.push_back(std::move(*parts));

    // Last recorded first, as the record says; but a directory always after every recorded
    // directory inside it (the copy records ancestors nearest first), so none stays only
    // because its child had not been removed yet.
    auto depth = [](const std::string& s) {
        return std::count(s.begin(), s.end(), '/') - (s.size() > 1 && s.back() == '/' ? 1 : 0);
    };
    std::vector<std::pair<long, std::string>> dirs;
    dirs.reserve(Record.CreatedDirs.size());
    for (auto it = Record.CreatedDirs.rbegin(); it != Record.CreatedDirs.rend(); ++it)
        dirs.emplace_back(static_cast<long>(depth(*it)), *it);
    std::stable_sort(dirs.begin(), dirs.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> menuDirsLeft;
    for (const auto& entry : dirs) {
        const std::string& recorded = entry.second;
        const std::string dir = RootSafePath(recorded);
        struct stat st {};
        if (::lstat(dir.c_str(), &st) != 0)
            continue; // already gone
        const auto shown = Components(dir);
        const auto parts = shown ? Components(ResolvedPath(dir)) : std::nullopt;
        if (!parts || parts->empty()) {
            warn("Refused to delete " + dir + ": it lies outside " + shownRoot + ".");
            continue;
        }
        const bool inside = StartsWithParts(*parts, rootParts);
        bool quiet = !inside && StartsWithParts(rootParts, *parts); // an ancestor the install made
        for (const auto& f : menuFolders)
            quiet = quiet || StartsWithParts(*parts, f) || StartsWithParts(f, *parts);
        if (!inside && !quiet) {
            warn("Refused to delete " + dir + ": it lies outside " + shownRoot + ".");
            continue;
        }
        int err;
        if (parts->size() > rootParts.size() && inside) {
            const std::vector<std::string> rel(
                parts->begin() + static_cast<long>(rootParts.size()), parts->end());
            err = RemoveBelow(root, rel, true);
        } else {
            // rmdir removes an empty directory only and never follows a final link.
            err = ::rmdir(Join(*parts, parts->size()).c_str()) == 0 ? 0 : errno;
        }
        if (err == 0)
            removed("Removed directory " + recorded);
        else if (err != ENOENT && inside)
            warn(UnableToDeleteDirectoryText(dir));
        else if (err != ENOENT)
            menuDirsLeft.push_back(Join(*parts, parts->size()));
    }

    if (anyPairs && Menu)
        for (std::size_t i = 0; i < Record.LoggedItems.size(); ++i)
            if (Record.LoggedItems[i].empty() &&
                Menu->Execute(platform::DeleteGroupCommand(Record.LoggedGroups[i]))) {
                removed("Removed menu group " + Record.LoggedGroups[i]);
                menusChanged = true;
            }
    if (menusChanged && Menu)
        Menu->MenusChanged();
    // The group's own files went last: the folders that held only them can go now.
    for (const std::string& dir : menuDirsLeft)
        if (::rmdir(dir.c_str()) == 0)
            removed("Removed directory " + AddBackslash(dir));
    return problems;
}

} // namespace veltrane

#include "setup/UnInstallRemoval.h"

#include "platform/ProgramManager.h"
#include "setup/SetupPaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
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

    // The root is where the log lies; nothing in the log can move it.
    const auto logParts = Components(LogFile);
    if (!logParts || logParts->empty()) {
        warn("Refused: the install log " + LogFile + " has no plain absolute path.");
        return problems;
    }
    const std::vector<std::string> rootParts(logParts->begin(), logParts->end() - 1);
    const std::string root = Join(rootParts, rootParts.size());

    // Menu items, with a ShowGroup at each change of group.
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
            if (Menu->Execute(platform::DeleteItemCommand(item)))
                removed("Removed menu item " + group + " / " + item);
        }
    }

    for (const std::string& file : Record.InstalledFiles) {
        const auto parts = Components(file);
        if (!parts || parts->size() <= rootParts.size() || !StartsWithParts(*parts, rootParts)) {
            warn("Refused to delete " + file + ": it lies outside " + root + ".");
            continue;
        }
        const std::vector<std::string> rel(parts->begin() + static_cast<long>(rootParts.size()),
                                           parts->end());
        const int err = RemoveBelow(root, rel, false);
        if (err == 0)
            removed("Deleted " + file);
        else if (err != ENOENT)
            warn("Unable to delete " + file + ".");
    }

    if (::unlink(LogFile.c_str()) == 0)
        removed("Deleted " + LogFile);

    // Last recorded first, as the record says; but a directory always after every recorded
    // directory inside it (the copy records ancestors nearest first), so none stays only
    // because its child had not been removed yet.
    std::vector<std::string> dirs(Record.CreatedDirs.rbegin(), Record.CreatedDirs.rend());
    std::stable_sort(dirs.begin(), dirs.end(), [](const std::string& a, const std::string& b) {
        const auto depth = [](const std::string& s) {
            return std::count(s.begin(), s.end(), '/') - (s.size() > 1 && s.back() == '/' ? 1 : 0);
        };
        return depth(a) > depth(b);
    });
    for (auto it = dirs.begin(); it != dirs.end(); ++it) {
        const std::string dir = RootSafePath(*it);
        const auto parts = Components(dir);
        // The root, directories inside it, and the ancestors the install created for it.
        if (!parts || parts->empty() ||
            !(StartsWithParts(*parts, rootParts) || StartsWithParts(rootParts, *parts))) {
            warn("Refused to delete " + dir + ": it lies outside " + root + ".");
            continue;
        }
        int err;
        if (parts->size() > rootParts.size()) {
            const std::vector<std::string> rel(
                parts->begin() + static_cast<long>(rootParts.size()), parts->end());
            err = RemoveBelow(root, rel, true);
        } else {
            // rmdir removes an empty directory only and never follows a final link.
            err = ::rmdir(Join(*parts, parts->size()).c_str()) == 0 ? 0 : errno;
        }
        if (err == 0)
            removed("Removed directory " + *it);
        else if (err != ENOENT)
            warn(UnableToDeleteDirectoryText(dir));
    }

    if (anyPairs && Menu)
        for (std::size_t i = 0; i < Record.LoggedItems.size(); ++i)
            if (Record.LoggedItems[i].empty() &&
                Menu->Execute(platform::DeleteGroupCommand(Record.LoggedGroups[i])))
                removed("Removed menu group " + Record.LoggedGroups[i]);
    return problems;
}

} // namespace veltrane

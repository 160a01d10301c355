#include "setup/InstallTransaction.h"

#include "platform/SingleInstance.h"
#include "setup/SetupPages.h"
#include "setup/SetupPaths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

std::string DirOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? "." : Slash == 0 ? "/" : Path.substr(0, Slash);
}

std::string NameOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string RandomSuffix() {
    static std::random_device Device;
    static const char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string S;
    for (int I = 0; I < 8; ++I)
        S += Digits[Device() % 36];
    return S;
}

// A hidden copy of Path beside it: a second link to the same file where the file system
// allows one (the replacing write renames a new file over the name, so the old contents stay
// untouched), else a copy. Returns the backup's path, or "" with Error set.
std::string KeepAside(const std::string& Path, const struct stat& St, std::string& Error) {
    for (int Attempt = 0; Attempt < 16; ++Attempt) {
        const std::string Backup = DirOf(Path) + "/." + NameOf(Path) + ".backup-" + RandomSuffix();
        if (::link(Path.c_str(), Backup.c_str()) == 0)
            return Backup;
        if (errno == EEXIST)
            continue;
        if (S_ISLNK(St.st_mode)) {
            char Target[PATH_MAX];
            const ssize_t N = ::readlink(Path.c_str(), Target, sizeof Target);
            if (N >= 0 && ::symlink(std::string(Target, static_cast<std::size_t>(N)).c_str(), Backup.c_str()) == 0)
                return Backup;
        } else if (CopyFileAtomic(Path, Backup, false, {}).empty()) {
            return Backup;
        }
        if (errno == EEXIST)
            continue;
        break;
    }
    Error = "Unable to keep a backup of " + Path + ".";
    return "";
}

std::size_t Depth(const std::string& Path) {
    return static_cast<std::size_t>(std::count(Path.begin(), Path.end(), '/'));
}

} // namespace

TInstallTransaction::TInstallTransaction() = default;
TInstallTransaction::~TInstallTransaction() = default;

void TInstallTransaction::Begin() {
    Active_ = true;
    MenusTouched_ = false;
    Entries_.clear();
    Pending_.clear();
    Recorded_.clear();
}

std::string TInstallTransaction::Prepare(const std::string& Path) {
    if (!Active_ || Recorded_.count(Path))
        return "";
    struct stat St {};
    if (::lstat(Path.c_str(), &St) != 0 || S_ISDIR(St.st_mode)) {
        Pending_[Path] = "";
        return "";
    }
    std::string Error;
    const std::string Backup = KeepAside(Path, St, Error);
    if (Backup.empty())
        return Error;
    Pending_[Path] = Backup;
    return "";
}

void TInstallTransaction::Written(const std::string& Path, bool Ok) {
    auto It = Pending_.find(Path);
    if (It == Pending_.end())
        return;
    const std::string Backup = It->second;
    Pending_.erase(It);
    if (!Ok) {
        if (!Backup.empty())
            ::unlink(Backup.c_str());
        return;
    }
    Recorded_[Path] = true;
    Entries_.push_back({Path, Backup, false, false});
}

void TInstallTransaction::DirCreated(const std::string& Dir, bool Menu) {
    if (!Active_)
        return;
    const std::string D = RootSafePath(Dir);
    if (Recorded_.count(D + "/"))
        return;
    Recorded_[D + "/"] = true;
    Entries_.push_back({D, "", true, Menu});
    MenusTouched_ = MenusTouched_ || Menu;
}

std::vector<std::string> TInstallTransaction::MenuDirs() const {
    std::vector<std::string> Out;
    for (const TEntry& E : Entries_)
        if (E.Directory && E.Menu)
            Out.push_back(AddBackslash(E.Path));
    return Out;
}

std::vector<std::string> TInstallTransaction::RollBack() {
    std::vector<std::string> Left;
    if (!Active_)
        return Left;
    Active_ = false;
    for (auto It = Entries_.rbegin(); It != Entries_.rend(); ++It) {
        if (It->Directory)
            continue;
        if (It->Backup.empty()) {
            struct stat St {};
            if (::lstat(It->Path.c_str(), &St) == 0 && !S_ISDIR(St.st_mode) && ::unlink(It->Path.c_str()) != 0)
                Left.push_back(It->Path);
        } else if (::rename(It->Backup.c_str(), It->Path.c_str()) != 0) {
            Left.push_back(It->Path);
        }
    }
    std::vector<TEntry> Dirs;
    for (const TEntry& E : Entries_)
        if (E.Directory)
            Dirs.push_back(E);
    std::stable_sort(Dirs.begin(), Dirs.end(),
                     [](const TEntry& A, const TEntry& B) { return Depth(A.Path) > Depth(B.Path); });
    for (const TEntry& E : Dirs)
        if (::rmdir(E.Path.c_str()) != 0 && errno != ENOENT)
            Left.push_back(AddBackslash(E.Path));
    for (const auto& [Path, Backup] : Pending_)
        if (!Backup.empty())
            ::unlink(Backup.c_str());
    Pending_.clear();
    const bool Menus = MenusTouched_;
    Entries_.clear();
    Recorded_.clear();
    if (Menus && OnMenusChanged)
        OnMenusChanged();
    return Left;
}

void TInstallTransaction::Commit() {
    if (!Active_)
        return;
    Active_ = false;
    for (const TEntry& E : Entries_)
        if (!E.Backup.empty())
            ::unlink(E.Backup.c_str());
    const bool Menus = MenusTouched_;
    Entries_.clear();
    Recorded_.clear();
    Pending_.clear();
    if (Menus && OnMenusChanged)
        OnMenusChanged();
}

std::string TInstallTransaction::LockTarget(const std::string& Dir) {
    const std::string Resolved = ResolvedPath(Dir);
    if (std::find(Locked_.begin(), Locked_.end(), Resolved) != Locked_.end())
        return "";
    auto Lock = std::make_unique<platform::SingleInstance>("install into " + Resolved);
    if (!Lock->IsFirst())
        return "Another installation into " + AddBackslash(Resolved) + " is running.";
    Locks_.push_back(std::move(Lock));
    Locked_.push_back(Resolved);
    return "";
}

// ---- menu files ----

int TRecordingMenuFiles::MakeDirs(const std::string& Dir) {
    if (!T_.Active())
        return Inner_.MakeDirs(Dir);
    std::vector<std::string> Missing;
    for (std::string P = RootSafePath(Dir); P.size() > 1; P = DirOf(P)) {
        struct stat St {};
        if (::lstat(P.c_str(), &St) == 0)
            break;
        Missing.push_back(P);
    }
    const int Err = Inner_.MakeDirs(Dir);
    for (auto It = Missing.rbegin(); It != Missing.rend(); ++It) {
        struct stat St {};
        if (::lstat(It->c_str(), &St) == 0 && S_ISDIR(St.st_mode))
            T_.DirCreated(*It, true);
    }
    return Err;
}

int TRecordingMenuFiles::WriteFile(const std::string& Path, const std::string& Bytes) {
    if (!T_.Active())
        return Inner_.WriteFile(Path, Bytes);
    if (!T_.Prepare(Path).empty())
        return EIO;
    const int Err = Inner_.WriteFile(Path, Bytes);
    T_.Written(Path, Err == 0);
    T_.TouchMenus();
    return Err;
}

int TRecordingMenuFiles::RemoveFile(const std::string& Path) {
    if (!T_.Active())
        return Inner_.RemoveFile(Path);
    if (!T_.Prepare(Path).empty())
        return EIO;
    const int Err = Inner_.RemoveFile(Path);
    T_.Written(Path, Err == 0);
    T_.TouchMenus();
    return Err;
}

} // namespace veltrane

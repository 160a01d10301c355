#include "platform/FileOperations.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <vector>
#include <system_error>
#include <type_traits>

#include <dlfcn.h>
#include <gio/gio.h>

namespace veltrane::platform {
namespace fs = std::filesystem;

namespace {

// GIO is loaded when the trash is first used: the command-line tool, which needs it for
// nothing else, then starts without its ten libraries (a quarter of its start-up time).
struct TGio {
    decltype(&g_file_new_for_path) FileNewForPath = nullptr;
    decltype(&g_file_trash) FileTrash = nullptr;
    decltype(&g_error_free) ErrorFree = nullptr;
    decltype(&g_object_unref) ObjectUnref = nullptr;
    decltype(&g_io_error_quark) IoErrorQuark = nullptr;
    decltype(&g_get_user_data_dir) UserDataDir = nullptr;
};

std::string& GioProblem() {
    static std::string problem;
    return problem;
}

// nullptr when GIO cannot be loaded (then nothing goes to the trash, GioProblem() says why).
const TGio* Gio() {
    static const TGio* const gio = []() -> const TGio* {
        void* lib = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        const char* why = lib ? nullptr : ::dlerror();
        GioProblem() = why ? why : "libgio-2.0.so.0 lacks a function the trash needs";
        if (!lib)
            return nullptr;
        static TGio g;
        const auto bind = [lib](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(lib, name));
            return fn != nullptr;
        };
        if (bind(g.FileNewForPath, "g_file_new_for_path") && bind(g.FileTrash, "g_file_trash") &&
            bind(g.ErrorFree, "g_error_free") && bind(g.ObjectUnref, "g_object_unref") &&
            bind(g.IoErrorQuark, "g_io_error_quark") &&
            bind(g.UserDataDir, "g_get_user_data_dir"))
            return &g;
        return nullptr; // kept loaded: a half-bound library is never called
    }();
    return gio;
}

int ErrnoFromGio(const GError* error) {
    if (!error || error->domain != Gio()->IoErrorQuark())
        return EIO;
    switch (error->code) {
    case G_IO_ERROR_NOT_FOUND:
        return ENOENT;
    case G_IO_ERROR_EXISTS:
        return EEXIST;
    case G_IO_ERROR_PERMISSION_DENIED:
        return EACCES;
    case G_IO_ERROR_NO_SPACE:
        return ENOSPC;
    case G_IO_ERROR_NOT_SUPPORTED:
        return ENOTSUP;
    case G_IO_ERROR_READ_ONLY:
        return EROFS;
    case G_IO_ERROR_BUSY:
        return EBUSY;
    case G_IO_ERROR_FILENAME_TOO_LONG:
        return ENAMETOOLONG;
    case G_IO_ERROR_INVALID_FILENAME:
        return EINVAL;
    case G_IO_ERROR_IS_DIRECTORY:
        return EISDIR;
    case G_IO_ERROR_NOT_DIRECTORY:
        return ENOTDIR;
    case G_IO_ERROR_CANCELLED:
        return ECANCELED;
    default:
        return EIO;
    }
}

FileOpStatus FromErrorCode(const std::error_code& ec) {
    if (!ec)
        return {};
    return FileOpStatus::FromErrno(ec.category() == std::generic_category() ||
                                           ec.category() == std::system_category()
                                       ? ec.value()
                                       : EIO);
}

} // namespace

FileOpStatus FileOpStatus::FromErrno(int err) {
    if (err == 0)
        return {};
    return {err, std::strerror(err)};
}

int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1 /* NOREPLACE */) ==
        0)
        return 0;
    int err = errno;
    // Older kernels and some file systems lack the flag; link+unlink refuses as well.
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP)
        return err;
#endif
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode)) {
        // Directories cannot be hard-linked; check, then rename (a narrow window remains).
        if (::lstat(to.c_str(), &st) == 0)
            return EEXIST;
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    if (::unlink(from.c_str()) != 0) {
        int err2 = errno;
        ::unlink(to.c_str());
        return err2;
    }
    return 0;
}

FileOpStatus LinuxFileOperations::Trash(const std::string& path) {
    const TGio* gio = Gio();
    if (!gio) {
        FileOpStatus status = FileOpStatus::FromErrno(ENOTSUP);
        status.message = "the trash needs GIO: " + GioProblem();
        return status;
    }
    GFile* file = gio->FileNewForPath(path.c_str());
    GError* error = nullptr;
    gboolean ok = gio->FileTrash(file, nullptr, &error);
    FileOpStatus status;
    if (!ok) {
        status.error = ErrnoFromGio(error);
        status.message = error && error->message ? error->message : std::strerror(status.error);
    }
    if (error)
        gio->ErrorFree(error);
    gio->ObjectUnref(file);
    return status;
}

FileOpStatus LinuxFileOperations::Remove(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return FileOpStatus::FromErrno(errno);
    if (!S_ISDIR(st.st_mode))
        return FileOpStatus::FromErrno(::unlink(path.c_str()) == 0 ? 0 : errno);
    std::error_code ec;
    fs::remove_all(fs::path(path), ec); // does not follow links inside the tree
    return FromErrorCode(ec);
}

FileOpStatus LinuxFileOperations::Copy(const std::string& from, const std::string& to) {
    if (Exists(to))
        return FileOpStatus::FromErrno(EEXIST);
    std::error_code ec;
    fs::copy(fs::path(from), fs::path(to),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec) {
        // The destination did not exist before, so whatever stands there now is our half copy.
        std::error_code ignored;
        fs::remove_all(fs::path(to), ignored);
    }
    return FromErrorCode(ec);
}

FileOpStatus LinuxFileOperations::Move(const std::string& from, const std::string& to) {
    int err = RenameNoReplace(from, to);
    if (err != EXDEV)
        return FileOpStatus::FromErrno(err);
    FileOpStatus copied = Copy(from, to);
    if (!copied.ok())
        return copied;
    return Remove(from);
}

FileOpStatus LinuxFileOperations::Rename(const std::string& from, const std::string& to) {
    return FileOpStatus::FromErrno(RenameNoReplace(from, to));
}

bool LinuxFileOperations::Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

namespace {

std::string Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The top of the file system that holds path (or its nearest existing folder).
std::string MountTop(const std::string& path) {
    std::string dir = Parent(path);
    struct stat st {};
    while (::stat(dir.c_str(), &st) != 0 && dir != "/" && dir != ".")
        dir = Parent(dir);
    for (;;) {
        if (dir == "/" || dir == ".")
            return dir;
        const std::string up = Parent(dir);
        struct stat above {};
        if (::stat(up.c_str(), &above) != 0 || above.st_dev != st.st_dev)
            return dir;
        dir = up;
    }
}

std::optional<TrashedFile> FindInFolder(const std::string& trash, std::uint64_t device,
                                        std::uint64_t inode) {
    const std::string files = trash + "/files";
    struct stat st {};
    if (::lstat(files.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_dev) != device)
        return std::nullopt;
    DIR* dir = ::opendir(files.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<TrashedFile> found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || static_cast<std::uint64_t>(entry->d_ino) != inode)
            continue;
        const std::string path = files + "/" + name;
        struct stat file {};
        if (::lstat(path.c_str(), &file) == 0 && static_cast<std::uint64_t>(file.st_ino) == inode &&
            static_cast<std::uint64_t>(file.st_dev) == device) {
            found = TrashedFile{path, TrashInfoPath(path)};
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::string TrashInfoPath(const std::string& FilePath) {
    const std::string files = Parent(FilePath);
    const std::string name = FilePath.substr(FilePath.find_last_of('/') + 1);
    return Parent(files) + "/info/" + name + ".trashinfo";
}

std::optional<TrashedFile> FindInTrash(const std::string& OriginalPath, std::uint64_t Device,
                                       std::uint64_t Inode) {
    // Where GIO trashes: the home trash (XDG_DATA_HOME), else the file system's own.
    std::vector<std::string> trashes;
    if (const TGio* gio = Gio())
        trashes.push_back(std::string(gio->UserDataDir()) + "/Trash");
    const std::string top = MountTop(OriginalPath);
    const std::string base = top == "/" ? std::string() : top;
    const std::string uid = std::to_string(::getuid());
    trashes.push_back(base + "/.Trash/" + uid);
    trashes.push_back(base + "/.Trash-" + uid);
    for (const std::string& trash : trashes)
        if (auto found = FindInFolder(trash, Device, Inode))
            return found;
    return std::nullopt;
}

} // namespace veltrane::platform

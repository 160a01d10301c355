#include "platform/SystemDirs.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace veltrane::platform {
namespace {

std::optional<std::string> Env(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v)
        return std::nullopt;
    return std::string(v);
}

std::string Joined(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

} // namespace

std::string TempDirectory() {
    for (const char* name : {"TMPDIR", "TEMP", "TMP"})
        if (auto v = Env(name))
            return *v;
    return "/tmp";
}

std::string HomeDirectory() {
    if (auto v = Env("HOME"))
        return *v;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

std::string ConfigDirectory() {
    if (auto v = Env("XDG_CONFIG_HOME"); v && (*v)[0] == '/')
        return *v;
    return Joined(HomeDirectory(), ".config");
}

std::string DataDirectory() {
    if (auto v = Env("XDG_DATA_HOME"); v && (*v)[0] == '/')
        return *v;
    return Joined(HomeDirectory(), ".local/share");
}

std::string StateDirectory() {
    if (auto v = Env("XDG_STATE_HOME"); v && (*v)[0] == '/')
        return *v;
    return Joined(HomeDirectory(), ".local/state");
}

std::string RuntimeDirectory() {
    if (auto v = Env("XDG_RUNTIME_DIR"); v && (*v)[0] == '/')
        return *v;
    return TempDirectory();
}

std::string CurrentDirectory() {
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

std::string ExpandHome(const std::string& path) {
    if (path == "~")
        return HomeDirectory();
    if (path.rfind("~/", 0) == 0)
        return Joined(HomeDirectory(), path.substr(2));
    return path;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> ResolveTypedDirectory(const std::string& text) {
    std::string path = ExpandHome(text);
    struct stat typed {};
    if (path.empty() || path[0] != '/' || ::stat(path.c_str(), &typed) != 0 ||
        !S_ISDIR(typed.st_mode))
        return std::nullopt;
    // The tree and the list show clean paths: "." , ".." and doubled "/" go. A ".." after a
    // link means the link target's parent, so when the tidied text names another directory
    // the real path is taken instead.
    std::string tidy = std::filesystem::path(path).lexically_normal().string();
    while (tidy.size() > 1 && tidy.back() == '/')
        tidy.pop_back();
    struct stat same {};
    if (::stat(tidy.c_str(), &same) == 0 && same.st_dev == typed.st_dev &&
        same.st_ino == typed.st_ino)
        return tidy;
    std::error_code ec;
    std::string real = std::filesystem::canonical(path, ec).string();
    return ec ? path : real;
}

} // namespace veltrane::platform

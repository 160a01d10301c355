#include "platform/SystemDirs.h"

#include <cstdlib>
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
    if (path.empty() || path[0] != '/' || !IsDirectory(path))
        return std::nullopt;
    return path;
}

} // namespace veltrane::platform

#include "editing/DirectoryTree.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace veltrane {
namespace {

std::string Joined(const std::string& dir, const std::string& name) {
    return (!dir.empty() && dir.back() == '/') ? dir + name : dir + "/" + name;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(Lower(a[i]));
        unsigned char y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::string Trimmed(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

} // namespace

std::vector<std::string> SubDirectories(const std::string& Dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(Dir.c_str());
    if (!d)
        return {};
    while (const dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        std::string full = Joined(Dir, name);
        struct stat st {};
        if (::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    for (std::string& n : names)
        n = Joined(Dir, n);
    return names;
}

std::vector<std::string> DirectoryChain(const std::string& Root, const std::string& Dir) {
    std::string root = Trimmed(Root);
    std::string dir = Trimmed(Dir);
    std::vector<std::string> chain{root};
    std::string prefix = root == "/" ? "/" : root + "/";
    if (dir == root || dir.compare(0, prefix.size(), prefix) != 0)
        return chain;
    size_t pos = prefix.size();
    while (pos <= dir.size()) {
        size_t slash = dir.find('/', pos);
        if (slash == std::string::npos)
            slash = dir.size();
        if (slash > pos)
            chain.push_back(dir.substr(0, slash));
        pos = slash + 1;
    }
    return chain;
}

std::string DirectoryName(const std::string& Path) {
    std::string p = Trimmed(Path);
    if (p == "/")
        return p;
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

} // namespace veltrane

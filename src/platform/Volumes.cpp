#include "platform/Volumes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace veltrane::platform {
namespace {

std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool IsPseudo(const std::string& type) {
    static const std::set<std::string> pseudo = {
        "proc",     "sysfs",      "devpts",    "cgroup",          "cgroup2",    "securityfs",
        "pstore",   "bpf",        "debugfs",   "tracefs",         "mqueue",     "hugetlbfs",
        "configfs", "fusectl",    "autofs",    "binfmt_misc",     "devtmpfs",   "efivarfs",
        "nsfs",     "rpc_pipefs", "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.count(type) != 0;
}

bool Below(const std::string& path, const std::string& root) {
    if (root == "/")
        return !path.empty() && path[0] == '/';
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

std::vector<MountedVolume> ParseMounts(const std::string& text) {
    std::vector<MountedVolume> volumes;
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> seen;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, root, type;
        if (!(fields >> device >> root >> type))
            continue;
        root = Unescape(root);
        if (IsPseudo(type))
            continue;
        if (Below(root, "/proc") || Below(root, "/sys") || Below(root, "/dev"))
            continue;
        if (!seen.insert(root).second)
            continue; // stacked mounts: one entry per mount point
        MountedVolume v{root, Unescape(device), type, {}};
        size_t slash = root.find_last_of('/');
        v.name = root == "/" ? "/" : root.substr(slash + 1);
        volumes.push_back(std::move(v));
    }
    std::sort(volumes.begin(), volumes.end(), [](const MountedVolume& a, const MountedVolume& b) {
        if ((a.root == "/") != (b.root == "/"))
            return a.root == "/";
        return a.root < b.root;
    });
    return volumes;
}

const MountedVolume* VolumeOf(const std::vector<MountedVolume>& volumes, const std::string& path) {
    const MountedVolume* best = nullptr;
    for (const MountedVolume& v : volumes)
        if (Below(path, v.root) && (!best || v.root.size() > best->root.size()))
            best = &v;
    return best;
}

std::vector<MountedVolume> LinuxVolumes::MountedVolumes() {
    auto volumes = ParseMounts(ReadAll("/proc/self/mounts"));
    if (volumes.empty() || volumes.front().root != "/")
        volumes.insert(volumes.begin(), MountedVolume{"/", "", "", "/"});
    return volumes;
}

bool LinuxVolumes::IsRemovable(const std::string& path) {
    auto volumes = ParseMounts(ReadAll("/proc/self/mounts"));
    if (const MountedVolume* v = VolumeOf(volumes, path)) {
        if (Below(v->root, "/media") || Below(v->root, "/run/media"))
            return true;
    }
    // The block device holding the file: /sys/dev/block/MAJ:MIN, its disk's removable flag.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    std::string dev = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" +
                      std::to_string(minor(st.st_dev));
    for (const char* rel : {"/removable", "/../removable"}) {
        std::string flag = ReadAll(dev + rel);
        if (!flag.empty())
            return flag[0] == '1';
    }
    return false;
}

} // namespace veltrane::platform

#include "support/TestDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace veltrane::test {

TestDir::TestDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrane-test-XXXXXX";
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed for " + tmpl);
    root_ = tmpl;
}

TestDir::~TestDir() {
    // Deep trees first: the path-based removal below cannot reach their bottom.
    for (const DeepTree& t : deep_) {
        int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int depth = 0;
        for (; depth < t.levels && fd >= 0; ++depth) {
            const int next = ::openat(fd, t.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (next < 0)
                break;
            ::close(fd);
            fd = next;
        }
        if (depth == t.levels)
            ::unlinkat(fd, t.file.c_str(), 0);
        // Back up through "..", one descriptor at a time.
        for (; depth > 0 && fd >= 0; --depth) {
            const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = parent;
            if (fd >= 0)
                ::unlinkat(fd, t.name.c_str(), AT_REMOVEDIR);
        }
        if (fd >= 0)
            ::close(fd);
    }
    std::error_code ec;
    // Tests may leave read-only files behind; make everything removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add |
                                         std::filesystem::perm_options::nofollow,
                                     ec);
        ec.clear();
    }
    std::filesystem::remove_all(root_, ec);
}

std::string TestDir::operator/(std::string_view relative) const {
    return root_.string() + "/" + std::string(relative);
}

std::string TestDir::WriteFile(std::string_view relative, std::string_view bytes) const {
    const std::filesystem::path p = root_ / std::filesystem::path(std::string(relative));
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + p.string());
    return p.string();
}

std::string TestDir::MakeDir(std::string_view relative) const {
    const std::filesystem::path p = root_ / std::filesystem::path(std::string(relative));
    std::filesystem::create_directories(p);
    return p.string();
}

std::string TestDir::WriteDeepFile(const std::string& Name, int Levels, const std::string& File,
                                   std::string_view Bytes) {
    deep_.push_back({Name, Levels, File});
    std::string path = root_.string();
    int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < Levels && fd >= 0; ++i) {
        ::mkdirat(fd, Name.c_str(), 0755);
        const int next = ::openat(fd, Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        path += "/" + Name;
    }
    const int out = fd >= 0 ? ::openat(fd, File.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    const bool ok = out >= 0 && ::write(out, Bytes.data(), Bytes.size()) == ssize_t(Bytes.size());
    if (out >= 0)
        ::close(out);
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw std::runtime_error("cannot write the deep file " + File);
    return path + "/" + File;
}

std::string TestDir::ReadFile(std::string_view relative) const {
    std::ifstream in(root_ / std::filesystem::path(std::string(relative)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace veltrane::test

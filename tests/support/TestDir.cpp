#include "support/TestDir.h"

#include <cstdlib>
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

std::string TestDir::ReadFile(std::string_view relative) const {
    std::ifstream in(root_ / std::filesystem::path(std::string(relative)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace veltrane::test

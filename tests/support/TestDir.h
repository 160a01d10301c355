#pragma once
// A temporary directory that builds files and folders for a test and removes itself.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::test {

class TestDir {
public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::filesystem::path& path() const { return root_; }
    // Full path of a relative name, as a byte string.
    std::string operator/(std::string_view relative) const;

    // Creates parent folders as needed; returns the full path.
    std::string WriteFile(std::string_view relative, std::string_view bytes) const;
    std::string MakeDir(std::string_view relative) const;
    std::string ReadFile(std::string_view relative) const;
    // A file at the bottom of directories Name/Name/... Levels deep, made through descriptors
    // so its path may pass PATH_MAX; removed with the rest. Returns the file's full path.
    std::string WriteDeepFile(const std::string& Name, int Levels, const std::string& File,
                              std::string_view Bytes);

private:
    struct DeepTree {
        std::string name;
        int levels;
        std::string file;
    };
    std::filesystem::path root_;
    std::vector<DeepTree> deep_;
};

} // namespace veltrane::test

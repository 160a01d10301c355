#pragma once
// File operations recorded instead of done; chosen paths fail with a chosen errno.

#include "platform/FileOperations.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace veltrane::test {

class FakeFileOperations : public platform::IFileOperations {
  public:
    struct Call {
        std::string op; // "trash", "remove", "copy", "move", "rename"
        std::string from;
        std::string to;
    };
    std::vector<Call> calls;
    std::map<std::string, int> failures; // source path -> errno
    std::set<std::string> existing;      // paths that Exists reports

    platform::FileOpStatus Trash(const std::string& path) override { return Do("trash", path, ""); }
    platform::FileOpStatus Remove(const std::string& path) override {
        return Do("remove", path, "");
    }
    platform::FileOpStatus Copy(const std::string& from, const std::string& to) override {
        return Do("copy", from, to);
    }
    platform::FileOpStatus Move(const std::string& from, const std::string& to) override {
        return Do("move", from, to);
    }
    platform::FileOpStatus Rename(const std::string& from, const std::string& to) override {
        return Do("rename", from, to);
    }
    bool Exists(const std::string& path) override { return existing.count(path) != 0; }

  private:
    platform::FileOpStatus Do(const char* op, const std::string& from, const std::string& to) {
        calls.push_back({op, from, to});
        auto it = failures.find(from);
        if (it != failures.end())
            return platform::FileOpStatus::FromErrno(it->second);
        if (!to.empty())
            existing.insert(to);
        existing.erase(from);
        return {};
    }
};

} // namespace veltrane::test

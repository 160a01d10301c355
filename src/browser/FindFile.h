#pragma once
// Collects the paths of all entries matching a wildcard in one directory or a whole tree.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// Bit values of the platform's attribute mask.
enum TFileAttr : std::uint8_t {
    ffReadOnly = 0x01,
    ffHidden = 0x02,
    ffSystem = 0x04,
    ffVolumeID = 0x08,
    ffDirectory = 0x10,
    ffArchive = 0x20,
};
using TFileAttributes = std::set<TFileAttr>;

class TFindFile {
  public:
    using TNotifyEvent = std::function<void(TFindFile& Sender)>;
    using TNewPathEvent =
        std::function<void(TFindFile& Sender, const std::string& Directory, bool& Abort)>;

    bool Recurse = false;
    std::string Directory; // with or without a trailing "/"
    std::string Filter = "*.*";
    std::vector<std::string> Files; // the result: full paths in search order
    TFileAttributes Attributes = {ffReadOnly, ffHidden, ffSystem, ffArchive};
    TNotifyEvent BeforeExecute;
    TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath; // called before each directory is searched; may abort

    // One synchronous run: empties Files, then fills it. A missing Directory gives no files.
    void Execute();

    // Counters of the last run.
    std::uint64_t TotalSize() const;
    std::uint64_t DirCount() const { return dirCount_; }   // entries that are exactly a directory
    std::uint64_t FileCount() const { return fileCount_; } // all other entries
    // Set by OnNewPath; stays set for later runs until cleared.
    bool Aborted() const { return abort_; }
    void ClearAbort() { abort_ = false; }

    // The attribute mask of Attributes (read-only 1 ... archive 32).
    std::uint8_t AttributeMask() const;

  private:
    struct Entry;
    // Sorted entries of a directory with their attributes; empty when it cannot be read.
    static std::vector<Entry> ReadDir(const std::string& dir);
    void SearchOne(const std::string& dir, const std::vector<Entry>& entries, std::uint8_t mask);

    bool abort_ = false;
    mutable std::uint64_t totalSize_ = 0;
    // Files whose size is read when TotalSize is first asked for (see ReadDir).
    mutable std::vector<std::size_t> unsized_;
    std::uint64_t dirCount_ = 0;
    std::uint64_t fileCount_ = 0;
};

// The enumeration's wildcard: "*" and "?" (one character), ASCII letters in either case;
// "*.*" matches every name.
bool MatchesWildcard(std::string_view Pattern, std::string_view Name);

} // namespace veltrane

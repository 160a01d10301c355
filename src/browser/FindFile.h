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

// An entry a run could not read: a directory that cannot be listed, an entry that cannot be
// reached, a broken symbolic link. Reason is the system's text ("Permission denied").
struct TFindProblem {
    std::string Path;
    std::string Reason;
};

// Takes the found files one by one instead of a list of full paths.
struct IFoundFiles {
    virtual ~IFoundFiles() = default;
    virtual void Clear() = 0;
    // Folder is the searched directory's path ending in "/".
    virtual void Add(std::string_view Folder, std::string_view Name) = 0;
    virtual std::size_t Count() const = 0;
};

class TFindFile {
  public:
    using TNotifyEvent = std::function<void(TFindFile& Sender)>;
    using TNewPathEvent =
        std::function<void(TFindFile& Sender, const std::string& Directory, bool& Abort)>;

    bool Recurse = false;
    std::string Directory; // with or without a trailing "/"
    std::string Filter = "*.*";
    std::vector<std::string> Files; // the result: full paths in search order
    // When set, found files go here (cleared at the start of a run) instead of into Files,
    // and TotalSize counts only the sizes the enumeration gave.
    IFoundFiles* Sink = nullptr;
    // What the last run had to skip, each once, in search order. Paths of any length are read.
    std::vector<TFindProblem> Problems;
    TFileAttributes Attributes = {ffReadOnly, ffHidden, ffSystem, ffArchive};
    TNotifyEvent BeforeExecute;
    TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath; // called before each directory is searched; may abort

    // One synchronous run: empties Files and Problems, then fills them. A missing Directory
    // gives no files and no problem.
    void Execute();

    // Counters of the last run.
    std::uint64_t TotalSize() const;
    std::uint64_t DirCount() const { return dirCount_; }   // entries that are exactly a directory
    std::uint64_t FileCount() const { return fileCount_; } // all other entries
    // Entries found by the last run, in Files or in Sink.
    std::size_t FoundCount() const { return Sink ? Sink->Count() : Files.size(); }
    // Set by OnNewPath; stays set for later runs until cleared.
    bool Aborted() const { return abort_; }
    void ClearAbort() { abort_ = false; }

    // The attribute mask of Attributes (read-only 1 ... archive 32).
    std::uint8_t AttributeMask() const;

  private:
    struct Entry;
    // Sorted entries of a directory with their attributes; empty when it cannot be read, which
    // is added to Problems unless a missing directory is expected (the start of the search).
    std::vector<Entry> ReadDir(const std::string& dir, bool missingIsQuiet);
    void SearchOne(const std::string& dir, const std::vector<Entry>& entries, std::uint8_t mask);

    bool abort_ = false;
    mutable std::uint64_t totalSize_ = 0;
    // Files whose size is read when TotalSize is first asked for (see ReadDir).
    mutable std::vector<std::size_t> unsized_;
    std::uint64_t dirCount_ = 0;
    std::uint64_t fileCount_ = 0;
};

// The one message naming what a search had to skip ("PATH: REASON" lines, at most 20 and a
// count of the rest); "" when nothing was skipped.
std::string SkippedEntriesMessage(const std::vector<TFindProblem>& Problems);

// The enumeration's wildcard: "*" and "?" (one character), ASCII letters in either case;
// "*.*" matches every name.
bool MatchesWildcard(std::string_view Pattern, std::string_view Name);

} // namespace veltrane

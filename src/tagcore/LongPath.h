#pragma once
// Paths of any length. The kernel refuses a path of PATH_MAX bytes or more in one call, but a
// tree may be deeper than that: such a path is walked in pieces, each opened relative to the
// directory before it, so deep entries are read like any other.

#include <cstddef>
#include <string>

namespace veltrane {

// The directory a path is relative to, and the remaining name: AT_FDCWD and the whole path
// when it is short enough, else an open directory and the last piece. Use with openat,
// fstatat and friends. Ok() is false (and Error() the errno) when a piece cannot be opened.
class TPathAt {
  public:
    explicit TPathAt(const std::string& Path);
    ~TPathAt();
    TPathAt(const TPathAt&) = delete;
    TPathAt& operator=(const TPathAt&) = delete;

    bool Ok() const { return error_ == 0; }
    int Error() const { return error_; }
    int Dir() const { return dir_; }
    const char* Name() const { return name_.c_str(); }

  private:
    int dir_;
    int error_ = 0;
    std::string name_;
};

// open(2) for a path of any length (close-on-exec added); -1 with errno set on failure.
int OpenLongPath(const std::string& Path, int Flags);
// The same without touching the access time where the kernel allows it (the owner's files):
// looking at a tag is not a use of the music, and on a file written since its last access
// every read would otherwise cost a metadata write.
int OpenLongPathNoAtime(const std::string& Path, int Flags);

// Path made absolute (from the working folder) so that it names the file the system reaches:
// "." and doubled "/" are dropped, but a ".." is resolved through the folders as they are (a
// link's ".." is the parent of its target), never by cutting the text before it.
std::string SystemAbsolute(const std::string& Path);

// Opens files relative to their directory, which stays open for the next files there (the
// last kSlots folders): a long list in few folders costs one walk of the path per folder,
// not per file, even when the files take turns between folders.
// Errors are those of opening the whole path. Meant for one run over a list: a directory
// renamed meanwhile is still the one opened first.
class TDirectoryCache {
  public:
    TDirectoryCache() = default;
    ~TDirectoryCache();
    TDirectoryCache(const TDirectoryCache&) = delete;
    TDirectoryCache& operator=(const TDirectoryCache&) = delete;

    // As OpenLongPath (OpenLongPathNoAtime when Flags hold O_NOATIME).
    int Open(const std::string& Path, int Flags);

  private:
    static constexpr std::size_t kSlots = 16;
    struct Slot {
        std::string Dir;
        int Fd = -1;
    };
    Slot slots_[kSlots];
    std::size_t next_ = 0; // the slot a new folder takes (the oldest)
};

} // namespace veltrane

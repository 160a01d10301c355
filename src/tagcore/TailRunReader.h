#pragma once
// Reads the last bytes of a run of neighbouring files in a list, all of them asked of the
// kernel in one request (io_uring): a cold disk then answers the whole run at once instead of
// one file after another, and a warm cache saves a system call a file.
//
//   TTailRunReader tails([&](std::size_t i, TDirectoryCache* d) { return OpenSomehow(i, d); });
//   tails.Prepare(0, 64, &directories);          // opens the 64 files and reads their tails
//   const TTailRunReader::TTail t = tails.Read(0, &directories);
//
// Each file is opened and checked by the caller's Open, which says how many bytes before
// which offset to read. An entry not prepared, and every entry where the kernel refuses the
// request (io_uring disabled or filtered, as in some containers), is opened and read on its
// own when asked for; so is a read that came back short, which tells a file cut meanwhile
// ("Read beyond end of file") from a real error. One reader serves one thread.

#include "tagcore/LongPath.h"
#include "tagcore/UniqueFd.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace veltrane {

// A file opened for its tail: read TailLength bytes (at most 128) ending at TailEnd, and
// HeadLength bytes (at most kMaxHead) from its start.
struct TTailOpen {
    TUniqueFd File;
    struct stat Status {};
    std::string Path;
    std::uint64_t TailEnd = 0;
    std::size_t TailLength = 0;
    std::size_t HeadLength = 0;
};

class TTailRunReader {
  public:
    // Files a run holds at most: 64 open files per reader, well inside the usual limit.
    static constexpr std::size_t kMaxRun = 64;
    static constexpr std::size_t kMaxTail = 128;
    // Enough for an ID3v2 tag's header and, behind a small tag, the first audio frames.
    static constexpr std::size_t kMaxHead = 16 * 1024;

    // Opens entry Index or throws (an EInOutError for a file that cannot be read).
    using TOpen = std::function<TTailOpen(std::size_t Index, TDirectoryCache* Directories)>;

    // UseRing false reads every entry on its own.
    explicit TTailRunReader(TOpen Open, bool UseRing = true);
    ~TTailRunReader();
    TTailRunReader(const TTailRunReader&) = delete;
    TTailRunReader& operator=(const TTailRunReader&) = delete;

    // Opens entries First to End - 1 (at most kMaxRun of them, End at most the entry count)
    // and reads their tails; what was prepared before is dropped. Failures are kept for Read
    // to throw at their own entry.
    void Prepare(std::size_t First, std::size_t End, TDirectoryCache* Directories);
    // For a reader going through Count entries in order: prepares the run that starts at
    // Index, if one does (runs of kMaxRun from entry 0).
    void PrepareRunAt(std::size_t Index, std::size_t Count, TDirectoryCache* Directories) {
        if (Index % kMaxRun == 0)
            Prepare(Index, std::min(Count, Index + kMaxRun), Directories);
    }
    // True when entry Index was prepared and not read yet.
    bool Holds(std::size_t Index) const;

    struct TTail {
        struct stat Status;
        std::string Path;
        std::uint64_t TailEnd;
        std::string_view Bytes; // valid until the next Prepare or Read
        std::string_view Head;  // the bytes from the start asked for (fewer at the file's end)
        int File = -1;          // open until the next Prepare or Read (-1: none)
    };
    // Entry Index: from the run prepared when it holds the entry, else opened and read now.
    // Throws what Open threw, or what reading the tail threw.
    TTail Read(std::size_t Index, TDirectoryCache* Directories);

    // False once the kernel refused the request: everything is then read file by file.
    bool UsesRing() const { return ring_ != nullptr; }

  private:
    struct Ring;
    struct Entry {
        std::exception_ptr Error;
        struct stat Status {};
        std::string Path;
        std::uint64_t TailEnd = 0;
        std::size_t TailLength = 0;
        bool Prepared = false;
        int Result = -1; // of the tail's read
        char Tail[kMaxTail];
        std::size_t HeadLength = 0;
        int HeadResult = -1;
        std::unique_ptr<char[]> Head; // kMaxHead bytes, made when first asked for
        TUniqueFd File;               // kept for a reader of more than the tail and head
    };
    void DropRing();

    const TOpen open_;
    std::unique_ptr<Ring> ring_;
    std::vector<Entry> entries_;       // entry First + k at k
    std::vector<TUniqueFd> files_;     // open while their tails are read
    std::vector<std::size_t> reading_; // the entries those are, in the same order
    std::size_t first_ = 0;
    char single_[kMaxTail];            // the tail of an entry read on its own
    std::unique_ptr<char[]> singleHead_;
    TUniqueFd current_;                // the file of the entry read last
};

} // namespace veltrane

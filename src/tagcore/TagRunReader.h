#pragma once
// Reads the tags of a run of neighbouring files in a list, their last 128 bytes asked of the
// kernel in one request (io_uring): a cold disk then answers the whole run at once instead of
// one file after another, and a warm cache saves a system call a file.
//
//   TTagRunReader tags([&](std::size_t i) { return paths[i]; });
//   tags.Prepare(0, 64, &directories);          // opens the 64 files and reads their tails
//   TMP3Tag t = tags.Read(0, codec, &size, &directories);
//
// Read gives exactly what GetMP3Tag gives for the path (with the reader's MinSize), or throws
// what it throws: each file is
// opened, checked and has its write bit handled by the same code. An entry not prepared, and
// every entry where the kernel refuses the request (io_uring disabled or filtered, as in some
// containers), is read by GetMP3Tag itself. One reader serves one thread.

#include "tagcore/LongPath.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"
#include "tagcore/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veltrane {

class TTagRunReader {
  public:
    // Files a run holds at most: 64 open files per reader, well inside the usual limit.
    static constexpr std::size_t kMaxRun = 64;

    // The path of entry Index; asked once for a prepared entry, again when read on its own.
    using TPathOf = std::function<std::string(std::size_t Index)>;

    // UseRing false reads every entry with GetMP3Tag.
    explicit TTagRunReader(TPathOf PathOf, std::uint64_t MinSize = 0, bool UseRing = true);
    ~TTagRunReader();
    TTagRunReader(const TTagRunReader&) = delete;
    TTagRunReader& operator=(const TTagRunReader&) = delete;

    // Opens entries First to End - 1 (at most kMaxRun of them, End at most the entry count)
    // and reads their tails; what was
    // prepared before is dropped. Failures are kept for Read to throw at their own entry.
    void Prepare(std::size_t First, std::size_t End, TDirectoryCache* Directories);
    // True when entry Index was prepared and not read yet.
    bool Holds(std::size_t Index) const;
    // GetMP3Tag(path of Index, codec, FileSize, MinSize, Directories), from the run prepared
    // when it holds the entry.
    TMP3Tag Read(std::size_t Index, const TagCodec& codec, std::uint64_t* FileSize,
                 TDirectoryCache* Directories);

    // False once the kernel refused the request: everything is then read file by file.
    bool UsesRing() const { return ring_ != nullptr; }

  private:
    struct Ring;
    struct Entry {
        std::string Path;
        std::exception_ptr Error;
        std::uint64_t Size = 0;
        bool Prepared = false;
        bool HasTail = false;
        int Result = -1; // of the tail's read
        char Tail[128];
    };
    void DropRing();

    const TPathOf pathOf_;
    const std::uint64_t minSize_;
    std::unique_ptr<Ring> ring_;
    std::vector<Entry> entries_;       // entry First + k at k
    std::vector<TUniqueFd> files_;     // open while their tails are read
    std::vector<std::size_t> reading_; // the entries those are, in the same order
    std::size_t first_ = 0;
};

} // namespace veltrane

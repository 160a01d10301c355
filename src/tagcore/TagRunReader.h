#pragma once
// Reads the tags of a run of neighbouring files in a list at once (see TTailRunReader).
//
//   TTagRunReader tags([&](std::size_t i) { return paths[i]; });
//   tags.Prepare(0, 64, &directories);
//   TMP3Tag t = tags.Read(0, codec, &size, &directories);
//
// Read gives exactly what GetMP3Tag gives for the path (with the reader's MinSize), or throws
// what it throws: each file is opened, checked and has its write bit handled by the same code.

#include "tagcore/LongPath.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/MpegAudio.h"
#include "tagcore/TagCodec.h"
#include "tagcore/TailRunReader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace veltrane {

class TTagRunReader {
  public:
    static constexpr std::size_t kMaxRun = TTailRunReader::kMaxRun;

    // The path of entry Index; asked once for each file opened.
    using TPathOf = std::function<std::string(std::size_t Index)>;

    // UseRing false reads every entry with GetMP3Tag's own read. Audio: each file's start is
    // read too, in the same request, for the length and bit rate that Read gives.
    explicit TTagRunReader(TPathOf PathOf, std::uint64_t MinSize = 0, bool UseRing = true,
                           bool Audio = false);

    // As TTailRunReader::Prepare.
    void Prepare(std::size_t First, std::size_t End, TDirectoryCache* Directories) {
        tails_.Prepare(First, End, Directories);
    }
    void PrepareRunAt(std::size_t Index, std::size_t Count, TDirectoryCache* Directories) {
        tails_.PrepareRunAt(Index, Count, Directories);
    }
    bool Holds(std::size_t Index) const { return tails_.Holds(Index); }
    // GetMP3Tag(path of Index, codec, FileSize, MinSize, Directories), from the run prepared
    // when it holds the entry. Audio, for a reader made with Audio, receives the file's
    // length and bit rate (left alone for a file below MinSize).
    TMP3Tag Read(std::size_t Index, const TagCodec& codec, std::uint64_t* FileSize,
                 TDirectoryCache* Directories, TMpegAudio* Audio = nullptr);
    bool UsesRing() const { return tails_.UsesRing(); }

  private:
    TTailRunReader tails_;
    std::uint64_t minSize_;
};

} // namespace veltrane

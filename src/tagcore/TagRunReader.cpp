#include "tagcore/TagRunReader.h"

#include "tagcore/TagFile.h"

#include <algorithm>
#include <utility>

namespace veltrane {

TTagRunReader::TTagRunReader(TPathOf PathOf, std::uint64_t MinSize, bool UseRing, bool Audio)
    : tails_(
          [pathOf = std::move(PathOf), MinSize, Audio](std::size_t i, TDirectoryCache* directories) {
              TTailOpen open;
              open.Path = pathOf(i);
              TTagOpen tag = OpenForTag(open.Path, MinSize, directories);
              open.File.reset(tag.File.release());
              open.TailEnd = tag.Size;
              open.TailLength = tag.ReadTail ? TTailRunReader::kMaxTail : 0;
              if (Audio && tag.Size >= MinSize)
                  open.HeadLength = static_cast<std::size_t>(
                      std::min<std::uint64_t>(tag.Size, TTailRunReader::kMaxHead));
              return open;
          },
          UseRing),
      minSize_(MinSize) {}

TMP3Tag TTagRunReader::Read(std::size_t Index, const TagCodec& codec, std::uint64_t* FileSize,
                            TDirectoryCache* Directories, TMpegAudio* Audio) {
    TTailRunReader::TTail tail = tails_.Read(Index, Directories);
    if (FileSize)
        *FileSize = tail.TailEnd;
    TMP3Tag tag = ParseTagBytes(tail.Bytes, codec, &tail.Path, tail.File); // no tail read: no tag
    if (Audio && tail.File >= 0 && tail.TailEnd >= minSize_)
        *Audio = ReadMpegAudioOf(tail.File, tail.TailEnd, tag.Header == "TAG" ? 128 : 0, tail.Head);
    tag.FileName = std::move(tail.Path);
    return tag;
}

} // namespace veltrane

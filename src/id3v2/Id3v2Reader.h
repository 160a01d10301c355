#pragma once
// Reads the ID3v2 tag at the start of a file and maps it onto the fields of an ID3v1 tag.
// TagLib parses the tag (versions 2.2 to 2.4, encodings, unsynchronisation, extended
// headers), but only from memory this code read itself: the file is opened as the tag core
// opens files, so a FIFO or a device cannot hang or feed it.

#include "tagcore/CodePageGuess.h"
#include "tagcore/LongPath.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrane {

// The most bytes read for one tag: a tag that declares more is not read at all.
inline constexpr std::size_t kMaxId3v2Bytes = 16u << 20;

inline constexpr std::string_view kMsgNoReadableId3v2 = "no readable ID3v2 tag";

// A file without an ID3v2 tag, or with one that is damaged; nothing of it is used.
class ENoId3v2 : public std::runtime_error {
  public:
    ENoId3v2() : std::runtime_error(std::string(kMsgNoReadableId3v2)) {}
};

// The ID3v2 values as ID3v1 would take them: texts UTF-8 and trimmed, Genre a table byte
// (255: none), Track 1 to 255 (0: none). Texts are not cut to the ID3v1 widths.
struct TId3v2Values {
    std::string Title, Artist, Album, Year, Comment;
    std::uint8_t Genre = 255;
    std::uint8_t Track = 0;
    // A genre that is no number or name of the table, a track that is no number 1 to 255:
    // the text as the tag holds it (empty when there was none or it mapped).
    std::string UnknownGenre, BadTrack;

    friend bool operator==(const TId3v2Values&, const TId3v2Values&) = default;
};

// Length of the whole tag (header, body, footer) that a 10-byte header declares; 0 when
// Header is no ID3v2 header.
std::size_t Id3v2TagLength(std::string_view Header);

// Maps a tag given as its bytes from the header on (Bytes may hold more). Throws ENoId3v2
// when there is no tag, it is cut short, a frame runs past its end, or none of its frames
// can be read. Frames that CheckId3v2Tag finds unsafe are left out.
TId3v2Values ParseId3v2(std::string_view Bytes);

// Reads and maps the tag of the file Path. Throws ENoId3v2 as ParseId3v2 does (also for a
// tag declaring more than kMaxId3v2Bytes, and for what is no regular file), EInOutError when
// the file cannot be opened or read.
TId3v2Values ReadId3v2(const std::string& Path, TDirectoryCache* Directories = nullptr);

// For the "auto" code page: what the file's ID3v2 tag says in Unicode (nothing when the file
// has no readable tag or stores both frames in Latin-1). File: the file already open for
// reading (a regular file, as the tag readers open), or -1 to open Path.
std::optional<TUnicodeTitles> ReadUnicodeTitles(const std::string& Path, int File = -1);

} // namespace veltrane

#pragma once
// Extended M3U, as other players write it: a file that begins with "#EXTM3U" (after an
// optional UTF-8 BOM) or is named ".m3u8". There, lines starting with "#" and blank lines are
// no entries; each belongs to the entry after it ("#EXTINF:SECONDS,TEXT" is its title) and
// travels with it. Every other file reads as plain M3U: each line an entry, "#1 Hit.mp3" too.

#include "playlists/M3UFile.h"
#include "tagcore/TagCodec.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

struct TPlaylistItem {
    std::string Entry;
    std::vector<std::string> Lines; // the "#" and blank lines before it, as they stand
};

struct TPlaylistDocument {
    bool Extended = false;
    bool Bom = false;                 // the file began with a UTF-8 BOM
    std::string Header;               // the "#EXTM3U" line, or empty
    std::vector<TPlaylistItem> Items; // plain M3U: every line an item without lines
    std::vector<std::string> Trailer; // lines after the last entry
};

// Whether Text (the file's bytes) or FileName makes the file extended M3U.
bool IsExtendedPlaylist(std::string_view Text, std::string_view FileName);
// Whether FileName ends in ".m3u8", letter case ignored.
bool IsM3u8Name(std::string_view FileName);

// Reads the text of the file FileName (a Ctrl-Z ends it, as for plain M3U).
TPlaylistDocument ParsePlaylistDocument(std::string_view Text, std::string_view FileName);
// Every line back, in order, each followed by CR LF.
std::string PlaylistDocumentText(const TPlaylistDocument& Document);
// The entries only.
std::vector<std::string> DocumentEntries(const TPlaylistDocument& Document);
// Reads a playlist file (as ReadPlaylistFile) keeping its lines.
TPlaylistDocument ReadPlaylistDocument(const std::string& Path);

// "#EXTINF:-1,ARTIST - TITLE" from the file's ID3v1 tag (one of them alone when the other is
// empty); the name without its extension when the tag has neither or cannot be read.
std::string ExtInfLine(const std::string& Path, const TagCodec& Codec = TagCodec::Default());
// Entry relative to the folder of the playlist PlaylistPath when it lies below it (also
// when one of them is reached through a link), else its absolute path. Both are taken from
// the working folder when relative.
std::string RelativeEntry(const std::string& Entry, const std::string& PlaylistPath);

// An extended playlist reads a line starting with "#" as a comment: such an entry (a relative
// one; an absolute one starts with "/") is written "./#..." and still names the same file.
std::string ExtendedEntryText(const std::string& Entry);
// Whether lines written to Path with Mode are read as extended M3U: a ".m3u8" name, the start
// of the file appended to, or else the "#EXTM3U" header the write puts first (Header).
bool WritesExtended(const std::string& Path, TPlaylistWriteMode Mode, bool Header);

struct TPlaylistWriteOptions {
    bool Extended = false; // "#EXTM3U" and an "#EXTINF" line for each entry
    bool Relative = false; // entries below the playlist's folder written relative to it
};

// Writes Entries with Options. Appending with Extended adds the "#EXTM3U" header only when
// the file is new or empty. Refuses entries with a line break, NUL or Ctrl-Z as
// WritePlaylistFile does. Entries starting with "#" are written as ExtendedEntryText when
// the playlist is extended (WritesExtended).
void WritePlaylistEntries(const std::string& Path, const std::vector<std::string>& Entries,
                          TPlaylistWriteMode Mode, const TPlaylistWriteOptions& Options,
                          const TagCodec& Codec = TagCodec::Default(),
                          const TPlaylistFileIo& Io = TPlaylistFileIo::System());

} // namespace veltrane

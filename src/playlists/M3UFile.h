#pragma once
// M3U playlist files: one entry per line, CR LF written; CR LF, a lone CR or a lone LF end a
// line when read, and a Ctrl-Z ends the file. Entries are path bytes, kept as they stand.

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace veltrane {

enum TPlaylistWriteMode { pwOverwrite, pwAppend };

// A failed open, read, write or close of a playlist file. what() is the system's own text
// for the error ("No space left on device"); the path is kept beside it.
class EPlaylistFileError : public std::runtime_error {
  public:
    EPlaylistFileError(int Errno, std::string FileName);
    EPlaylistFileError(int Errno, std::string FileName, const std::string& Text);
    int Errno() const { return errno_; }
    const std::string& FileName() const { return fileName_; }

  private:
    int errno_;
    std::string fileName_;
};

// The calls that put bytes on disk. Tests replace them to fail part-way, as a full disk does.
struct TPlaylistFileIo {
    std::function<ssize_t(int Fd, const void* Data, std::size_t Size, off_t Offset)> Write;
    std::function<int(int Fd)> Sync;
    // The real system calls.
    static const TPlaylistFileIo& System();
};

// The full path for a name typed into a dialog: empty when nothing was typed; ".m3u" appended
// unless the name is longer than 4 characters and ends in exactly ".m3u" (case counts), or is
// longer than 5 and ends in ".m3u8" (that extension is kept); one
// "/" between directory and name unless the directory already ends with one.
std::optional<std::string> ResolvePlaylistPath(const std::string& Directory,
                                               const std::string& TypedName);

// The entries of M3U text, in order.
std::vector<std::string> ParsePlaylistText(std::string_view Text);
// The first entry that no playlist line can hold (a line break, NUL or Ctrl-Z in it), or
// nullptr.
const std::string* UnwritableEntry(const std::vector<std::string>& Entries);
// "A playlist line cannot hold a name with a line break, NUL or Ctrl-Z in it: "
extern const char* const kMsgUnwritableEntry;
// The text of a playlist refused for having no write bit for its owner.
extern const char* const kMsgReadOnlyPlaylist;
// The bytes written for Entries: each followed by CR LF.
std::string PlaylistText(const std::vector<std::string>& Entries);

// Reads the entries of an existing playlist file: every line of plain M3U, the entries alone
// of extended M3U (see ExtM3U.h).
std::vector<std::string> ReadPlaylistFile(const std::string& Path);

// Writes Entries. An entry holding CR, LF, NUL or Ctrl-Z cannot be one line of a playlist and
// would come back as other entries: such a write is refused (EINVAL) before the file is
// touched. A playlist without its owner's write bit is refused (EACCES, also for root).
// Entries starting with "#" are written "./#..." when the file reads as extended M3U.
// Overwrite goes through a new file in the same directory that replaces the
// target only once every byte is on disk, keeping the old file's mode and owner; Append adds at the end
// of the file, on a line of its own (a CR LF first when the last line has no line end), in
// place of a Ctrl-Z that is the last byte, and, on failure, puts the old end back. A file
// with a Ctrl-Z anywhere else is refused (EINVAL), as the new lines would be hidden. A
// failure leaves the old file as it was and throws EPlaylistFileError.
void WritePlaylistFile(const std::string& Path, const std::vector<std::string>& Entries,
                       TPlaylistWriteMode Mode,
                       const TPlaylistFileIo& Io = TPlaylistFileIo::System());

// The bytes of a playlist file (regular files only; a named pipe cannot hang the read).
std::string ReadPlaylistBytes(const std::string& Path);
// Writes Text (whole lines, each ending in CR LF) as WritePlaylistFile writes its entries.
void WritePlaylistBytes(const std::string& Path, const std::string& Text, TPlaylistWriteMode Mode,
                        const TPlaylistFileIo& Io = TPlaylistFileIo::System());

// Whether a playlist entry names an existing file (a directory counts as missing). A relative
// entry is taken from the playlist file's directory, as players read it; from the working
// directory while the playlist has no file.
bool PlaylistEntryExists(const std::string& Entry, const std::string& PlaylistFileName);

} // namespace veltrane

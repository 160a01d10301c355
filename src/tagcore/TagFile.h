#pragma once
// Reading and writing the trailing 128-byte ID3v1 tag of one file.

#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/MpegAudio.h"
#include "tagcore/TagCodec.h"
#include "tagcore/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace veltrane {

// Reads the tag of FileName (a path as bytes, of any length). Throws EInOutError when the file
// cannot be opened, sized or read. Adds the owner's write permission when it is missing, but
// only to a regular file this process owns that FileName names directly, never through a
// symbolic link (a failure there is ignored). When FileSize is given it receives the size from
// the same open. A file smaller than MinSize is only measured: no tag is read and its mode
// stays as it is. Directories, when given, opens the file relative to its folder.
TMP3Tag GetMP3Tag(const std::string& FileName, const TagCodec& codec = TagCodec::Default(),
                  std::uint64_t* FileSize = nullptr, std::uint64_t MinSize = 0,
                  TDirectoryCache* Directories = nullptr);

// The length and bit rate of FileName's audio, TrailingBytes (a tag) at its end left out.
// Opens and checks the file as GetMP3Tag does and throws as it does.
TMpegAudio GetMpegAudio(const std::string& FileName, std::uint64_t TrailingBytes,
                        TDirectoryCache* Directories = nullptr);
// ReadMpegAudio over an open file.
TMpegAudio ReadMpegAudioOf(int Fd, std::uint64_t FileSize, std::uint64_t TrailingBytes,
                           std::string_view Head = {});

// GetMP3Tag up to the read of the tag: the file open for reading, its size, and whether its
// last 128 bytes are to be read (false below MinSize or 128 bytes). Throws as GetMP3Tag does.
struct TTagOpen {
    TUniqueFd File;
    std::uint64_t Size = 0;
    bool ReadTail = false;
};
TTagOpen OpenForTag(const std::string& FileName, std::uint64_t MinSize = 0,
                    TDirectoryCache* Directories = nullptr);

// Writes Tag as the file's tag: replaces an existing tag, else appends 128 bytes at the file's
// true end. A Track of 1 to 255 makes an ID3v1.1 tag (comment cut to 28 bytes, byte 125 zero,
// byte 126 the track); Track 0 a 30-byte comment. The record is written as it stands: callers
// that leave the track alone pass on the Track they read.
// Throws EInOutError on any failure, including a file that cannot be opened for writing, and
// kTagFileChanged, writing nothing, when the file's size or tag marker changed since it was
// opened here.
// Hook, when given, sees the open file before the write (Written false; it may throw to
// refuse the write) and after it (Written true), with the file's status as checked just
// before the write: the change journal checks and reads back through it.
using TTagWriteHook = std::function<void(int Fd, bool Written, const struct stat& Status)>;
// Known, when given, is asked with the file's status as opened: the file's last 128 bytes as
// the caller read them, when that status shows nobody wrote the file since; nullptr to have
// them read here. Taken, nothing happens between the look at the file and the write, so it is
// not looked at again.
using TKnownTail = std::function<const char*(const struct stat& Status)>;
// Directories, when given, opens the file relative to its folder.
void SetMP3Tag(const std::string& FileName, const TMP3Tag& Tag,
               const TagCodec& codec = TagCodec::Default(), const TTagWriteHook& Hook = {},
               TDirectoryCache* Directories = nullptr, const TKnownTail& Known = {});

inline constexpr const char* kTagFileChanged = "The file changed while its tag was written";

// For tests: called by SetMP3Tag with the open file after it has looked at the file and
// before it checks it again and writes.
extern void (*BeforeTagWriteHook)(int Fd);

// What reading and writing do with a file without its owner's write bit. The window reads
// with ClearWhenReading (files copied from a CD are read-only); the command-line tool reads
// without changing a mode, and then a tag write refuses such a file with kMsgReadOnlyFile
// unless ForceWrite, which lends the bit for the write and gives the mode back.
struct TReadOnlyPolicy {
    bool ClearWhenReading = true;
    bool ForceWrite = false;
};
TReadOnlyPolicy ReadOnlyPolicy();
void SetReadOnlyPolicy(const TReadOnlyPolicy& Policy);
inline constexpr const char* kMsgReadOnlyFile = "read-only (its owner has no write permission)";

// Adds the owner's write permission to the open file Fd, named Path, by the rule GetMP3Tag
// follows: only a regular file this process owns, named without a link in its last part;
// nothing unless ReadOnlyPolicy().ClearWhenReading.
void AddOwnerWriteBit(int Fd, const std::string& Path);
// The same with the file's status already at hand (st from fstat of Fd).
void AddOwnerWriteBit(int Fd, const std::string& Path, const struct stat& st);

// Header "TAG", empty texts, Genre 255, Track 0; FileName unchanged.
void ClearMP3Tag(TMP3Tag& Tag);

// Comment bytes an ID3v1.1 tag keeps beside its track number.
inline constexpr std::size_t kCommentWidthWithTrack = 28;
// True when writing Tag cuts its comment (trailing blanks aside) to make room for its track.
bool CommentCutByTrack(const TMP3Tag& Tag, const TagCodec& codec = TagCodec::Default());

std::string AddTrailingSpaces(std::string_view Text, std::size_t Length);
// Removes trailing blanks (byte 32 only).
std::string RTrim(std::string_view Text);

// The 128 tag bytes for a record, exactly as SetMP3Tag writes them.
std::string BuildTagBytes(const TMP3Tag& Tag, const TagCodec& codec = TagCodec::Default());
// Parses the last 128 bytes of a file (tag or not) into a record; FileName is left empty.
// Byte 125 zero and byte 126 not make it ID3v1.1: a 28-byte comment and byte 126 as Track.
// With the "auto" codec, Path (when given) lets the file's folder and ID3v2 tag be asked;
// File, when not -1, is the file open for reading, so that its ID3v2 tag is read through it.
// The record's CodePage is the code page read in when a text held a byte above ASCII.
TMP3Tag ParseTagBytes(std::string_view Bytes, const TagCodec& codec = TagCodec::Default(),
                      const std::string* Path = nullptr, int File = -1);

} // namespace veltrane

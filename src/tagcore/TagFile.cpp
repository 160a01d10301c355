#include "tagcore/TagFile.h"

#include "tagcore/CodePageGuess.h"

#include "tagcore/LongPath.h"
#include "tagcore/PreadAll.h"
#include "tagcore/UniqueFd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veltrane {

namespace {

constexpr std::size_t kTagSize = 128;

using Fd = TUniqueFd;

// Opens the file and reads its status into st; either failure becomes the errno's EInOutError.
Fd OpenWithStatus(const std::string& path, int flags, struct stat& st,
                  TDirectoryCache* directories = nullptr) {
    const int raw = directories ? directories->Open(path, flags | O_NOCTTY | O_NONBLOCK | O_NOATIME)
                                : OpenLongPathNoAtime(path, flags | O_NOCTTY | O_NONBLOCK);
    if (raw < 0)
        throw EInOutError::FromErrno(errno);
    Fd fd(raw);
    if (::fstat(fd.get(), &st) != 0)
        throw EInOutError::FromErrno(errno);
    return fd;
}

// True when path names, without a symbolic link in its last part, the very file st describes
// and this process owns it: only then may reading change its permissions.
bool MayAddWriteBit(const std::string& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    const TPathAt at(path);
    struct stat link;
    return at.Ok() && ::fstatat(at.Dir(), at.Name(), &link, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(link.st_mode) && link.st_dev == st.st_dev && link.st_ino == st.st_ino;
}

bool HasMarker(const char* bytes) {
    return bytes[0] == 'T' && bytes[1] == 'A' && bytes[2] == 'G';
}

// Writes all of bytes at offset, or at the end when the file is in append mode; returns the
// errno of a failure (0 on success) and the count written so far in done.
int WriteAll(int fd, std::string_view bytes, off_t offset, bool append, std::size_t& done) {
    done = 0;
    while (done < bytes.size()) {
        const ssize_t w = append ? ::write(fd, bytes.data() + done, bytes.size() - done)
                                 : ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                            offset + static_cast<off_t>(done));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (w == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(w);
    }
    return 0;
}

std::atomic<bool> clearWhenReading{true};
std::atomic<bool> forceWrite{false};

// Gives a lent write bit back when the write is over, however it ends.
struct TModeBack {
    int Fd = -1;
    mode_t Mode = 0;
    ~TModeBack() {
        if (Fd >= 0)
            (void)::fchmod(Fd, Mode);
    }
};

// Opens a file for a tag write. Unless reading clears the read-only state, the owner's write
// bit decides (root included, whom the kernel would let write anyway): without it the file is
// refused, or with ForceWrite written with the bit lent through Lent, which restores it.
Fd OpenForTagWrite(const std::string& path, struct stat& st, TDirectoryCache* directories,
                   Fd& keep, TModeBack& lent) {
    if (clearWhenReading.load(std::memory_order_relaxed))
        return OpenWithStatus(path, O_RDWR, st, directories);
    keep.reset(OpenWithStatus(path, O_RDONLY, st, directories).release());
    if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR))
        return OpenWithStatus(path, O_RDWR, st, directories);
    if (!forceWrite.load(std::memory_order_relaxed))
        throw EInOutError(5, kMsgReadOnlyFile);
    const mode_t mode = st.st_mode & 07777;
    if (::fchmod(keep.get(), mode | S_IWUSR) != 0)
        throw EInOutError::FromErrno(errno);
    lent.Fd = keep.get();
    lent.Mode = mode;
    struct stat before = st;
    Fd fd = OpenWithStatus(path, O_RDWR, st, directories);
    if (st.st_dev != before.st_dev || st.st_ino != before.st_ino)
        throw EInOutError(100, kTagFileChanged); // the name was given another file meanwhile
    return fd;
}

void PutField(std::string& out, const TagCodec& codec, std::string_view text, std::size_t width) {
    out += AddTrailingSpaces(codec.EncodeFit(text, width), width);
}

} // namespace

void (*BeforeTagWriteHook)(int Fd) = nullptr;

TReadOnlyPolicy ReadOnlyPolicy() {
    return {clearWhenReading.load(), forceWrite.load()};
}

void SetReadOnlyPolicy(const TReadOnlyPolicy& Policy) {
    clearWhenReading = Policy.ClearWhenReading;
    forceWrite = Policy.ForceWrite;
}

void AddOwnerWriteBit(int Fd, const std::string& Path, const struct stat& st) {
    if (!clearWhenReading.load(std::memory_order_relaxed))
        return;
    if (!(st.st_mode & S_IWUSR) && MayAddWriteBit(Path, st))
        (void)::fchmod(Fd, (st.st_mode & 07777) | S_IWUSR); // failure is ignored
}

void AddOwnerWriteBit(int Fd, const std::string& Path) {
    struct stat st;
    if (::fstat(Fd, &st) == 0)
        AddOwnerWriteBit(Fd, Path, st);
}

std::string AddTrailingSpaces(std::string_view Text, std::size_t Length) {
    std::string out(Text);
    if (out.size() < Length)
        out.append(Length - out.size(), ' ');
    return out;
}

std::string RTrim(std::string_view Text) {
    std::size_t end = Text.size();
    while (end > 0 && Text[end - 1] == ' ')
        --end;
    return std::string(Text.substr(0, end));
}

void ClearMP3Tag(TMP3Tag& Tag) {
    Tag.Header = "TAG";
    Tag.Title.clear();
    Tag.Artist.clear();
    Tag.Album.clear();
    Tag.Year.clear();
    Tag.Comment.clear();
    Tag.Genre = 255;
    Tag.Track = 0;
}

bool CommentCutByTrack(const TMP3Tag& Tag, const TagCodec& codec0) {
    const TagCodec& codec = codec0.ForTag(Tag.CodePage);
    return Tag.Track != 0 && RTrim(codec.Encode(Tag.Comment)).size() > kCommentWidthWithTrack;
}

std::string BuildTagBytes(const TMP3Tag& Tag, const TagCodec& codec0) {
    const TagCodec& codec = codec0.ForTag(Tag.CodePage);
    std::string out = "TAG";
    out.reserve(kTagSize);
    PutField(out, codec, Tag.Title, 30);
    PutField(out, codec, Tag.Artist, 30);
    PutField(out, codec, Tag.Album, 30);
    PutField(out, codec, Tag.Year, 4);
    if (Tag.Track != 0) {
        PutField(out, codec, Tag.Comment, kCommentWidthWithTrack);
        out += '\0';
        out += static_cast<char>(Tag.Track);
    } else {
        PutField(out, codec, Tag.Comment, 30);
        // A comment whose last two bytes look like the track marker would read back as a
        // track; the zero byte reads as a blank anyway.
        if (out[125] == '\0' && out[126] != '\0')
            out[125] = ' ';
    }
    out += static_cast<char>(Tag.Genre);
    return out;
}

TMP3Tag ParseTagBytes(std::string_view Bytes, const TagCodec& codec0, const std::string* Path,
                      int File) {
    TMP3Tag tag;
    TCodePageId id = codec0.Id();
    if (codec0.IsAuto() && Bytes.size() >= kTagSize) {
        if (Path)
            id = codec0.Resolver()->Decide(*Path, Bytes, File);
        else
            id = codec0.Resolver()->Judge({}, RawTagFields(Bytes)).CodePage;
    }
    const TagCodec& codec = codec0.ForTag(id);
    bool high = false;
    if (Bytes.size() < kTagSize)
        return tag;
    char text[kTagSize];
    const char* src = Bytes.data() + (Bytes.size() - kTagSize);
    for (std::size_t i = 0; i < kTagSize - 1; ++i)
        text[i] = static_cast<unsigned char>(src[i]) < 32 ? ' ' : src[i];
    if (text[0] != 'T' || text[1] != 'A' || text[2] != 'G')
        return tag;
    const std::string_view view(text, kTagSize - 1);
    const auto field = [&](std::size_t offset, std::size_t width) {
        std::string_view f = view.substr(offset, width);
        while (!f.empty() && f.back() == ' ')
            f.remove_suffix(1);
        for (const char c : f)
            high = high || static_cast<unsigned char>(c) >= 0x80;
        return codec.Decode(f);
    };
    tag.Header = "TAG";
    tag.Title = field(3, 30);
    tag.Artist = field(33, 30);
    tag.Album = field(63, 30);
    tag.Year = field(93, 4);
    // ID3v1.1: a zero byte ends the comment early and the next byte is the track number.
    const bool v11 = src[125] == 0 && src[126] != 0;
    tag.Comment = field(97, v11 ? kCommentWidthWithTrack : 30);
    tag.Track = v11 ? static_cast<std::uint8_t>(src[126]) : 0;
    tag.Genre = static_cast<std::uint8_t>(src[kTagSize - 1]);
    tag.CodePage = high ? codec.Id() : 0;
    return tag;
}

TMpegAudio ReadMpegAudioOf(int Fd, std::uint64_t FileSize, std::uint64_t TrailingBytes,
                           std::string_view Head) {
    // The head already read first, then the file itself for what lies past it.
    return ReadMpegAudio(
        FileSize, TrailingBytes, [Head, Fd](std::uint64_t Offset, char* Into, std::size_t Length) {
            std::size_t done = 0;
            if (Offset < Head.size()) {
                done = std::min<std::size_t>(Length, Head.size() - Offset);
                std::memcpy(Into, Head.data() + Offset, done);
            }
            return done + PreadUpTo(Fd, Into + done, Length - done,
                                    static_cast<off_t>(Offset + done));
        });
}

TMpegAudio GetMpegAudio(const std::string& FileName, std::uint64_t TrailingBytes,
                        TDirectoryCache* Directories) {
    const TTagOpen open = OpenForTag(FileName, 0, Directories);
    return ReadMpegAudioOf(open.File.get(), open.Size, TrailingBytes);
}

TTagOpen OpenForTag(const std::string& FileName, std::uint64_t MinSize,
                    TDirectoryCache* Directories) {
    // Reading needs read access only. A read-write open would also make file watchers and
    // desktop indexers see every listed file as written when it is closed.
    struct stat st;
    Fd fd = OpenWithStatus(FileName, O_RDONLY, st, Directories);
    if (S_ISDIR(st.st_mode))
        throw EInOutError(5);
    const std::uint64_t size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (size < MinSize)
        return {std::move(fd), size, false};
    AddOwnerWriteBit(fd.get(), FileName, st);
    return {std::move(fd), size, size >= kTagSize};
}

TMP3Tag GetMP3Tag(const std::string& FileName, const TagCodec& codec, std::uint64_t* FileSize,
                  std::uint64_t MinSize, TDirectoryCache* Directories) {
    const TTagOpen opened = OpenForTag(FileName, MinSize, Directories);
    if (FileSize)
        *FileSize = opened.Size;
    TMP3Tag tag;
    if (opened.ReadTail) {
        char buf[kTagSize];
        if (!PreadAll(opened.File.get(), buf, kTagSize, static_cast<off_t>(opened.Size - kTagSize)))
            throw EInOutError(100);
        tag = ParseTagBytes(std::string_view(buf, kTagSize), codec, &FileName);
    }
    tag.FileName = FileName;
    return tag;
}

void SetMP3Tag(const std::string& FileName, const TMP3Tag& Tag, const TagCodec& codec,
               const TTagWriteHook& Hook, TDirectoryCache* Directories, const TKnownTail& Known) {
    const std::string bytes = BuildTagBytes(Tag, codec);

    struct stat st;
    Fd keep;
    TModeBack lent;
    Fd fd = OpenForTagWrite(FileName, st, Directories, keep, lent);
    if (!S_ISREG(st.st_mode))
        throw EInOutError(5); // never write a tag into a device or pipe
    const off_t size = st.st_size;

    char old[kTagSize];
    bool replace = false;
    const char* known = nullptr;
    if (static_cast<std::uint64_t>(size) >= kTagSize) {
        known = Known ? Known(st) : nullptr;
        if (known)
            std::memcpy(old, known, kTagSize);
        else if (!PreadAll(fd.get(), old, kTagSize, size - static_cast<off_t>(kTagSize)))
            throw EInOutError(100);
        replace = HasMarker(old);
    }
    if (BeforeTagWriteHook)
        BeforeTagWriteHook(fd.get());
    // Another program may have cut or grown the file meanwhile: a write at the old offset
    // would then leave a hole of zero bytes or land inside the audio.
    struct stat now = st;
    if ((!known || BeforeTagWriteHook) && ::fstat(fd.get(), &now) != 0)
        throw EInOutError::FromErrno(errno);
    bool changed = now.st_size != size || now.st_ino != st.st_ino;
    // Same size and the same change time: nothing wrote the file since the read above (the
    // clock's own granularity aside, as everywhere else), so the marker read stands.
    const bool sameTimes = now.st_mtim.tv_sec == st.st_mtim.tv_sec &&
                           now.st_mtim.tv_nsec == st.st_mtim.tv_nsec &&
                           now.st_ctim.tv_sec == st.st_ctim.tv_sec &&
                           now.st_ctim.tv_nsec == st.st_ctim.tv_nsec;
    if (!changed && !sameTimes && static_cast<std::uint64_t>(size) >= kTagSize) {
        char marker[3];
        changed = !PreadAll(fd.get(), marker, sizeof marker, size - static_cast<off_t>(kTagSize)) ||
                  HasMarker(marker) != replace;
    }
    if (changed)
        throw EInOutError(100, kTagFileChanged);
    if (Hook)
        Hook(fd.get(), false, now);

    // A new tag goes on in append mode, so it lands at the true end whatever happens.
    if (!replace) {
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags | O_APPEND) != 0)
            throw EInOutError::FromErrno(errno);
    }
    std::size_t done = 0;
    const int error = WriteAll(fd.get(), bytes, size - (replace ? static_cast<off_t>(kTagSize) : 0),
                               !replace, done);
    if (error != 0) {
        // An append that stopped half way would leave a broken tag behind: cut it off again.
        if (!replace && done > 0 && ::fstat(fd.get(), &now) == 0 &&
            now.st_size >= static_cast<off_t>(done))
            (void)::ftruncate(fd.get(), now.st_size - static_cast<off_t>(done));
        throw EInOutError::FromErrno(error);
    }
    if (Hook)
        Hook(fd.get(), true, now);
    if (::close(fd.release()) != 0)
        throw EInOutError::FromErrno(errno);
}

} // namespace veltrane

#include "editing/SyncV2.h"

#include "editing/JournaledSteps.h"
#include "id3v2/Id3v2Reader.h"
#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/PreadAll.h"
#include "tagcore/TagFile.h"
#include "tagcore/UniqueFd.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace veltrane {

namespace {

constexpr std::size_t kTagSize = 128;
constexpr std::size_t kHeader = 10;
// The most bytes of an in-place change a plan keeps for its write.
constexpr std::size_t kKeptInPlace = 64 * 1024;

std::atomic<TSyncV2*> g_sync{nullptr};
// The steps of a thread read and plan their files on that thread.
thread_local const TV2Rewrite* t_rewrite = nullptr;

[[noreturn]] void ChangedMeanwhile() {
    throw std::runtime_error(std::string(kMsgChangedMeanwhile));
}

TUniqueFd OpenFile(const std::string& Path, int Flags, struct stat& st,
                   TDirectoryCache* Directories = nullptr) {
    int fd;
    do {
        fd = Directories ? Directories->Open(Path, Flags | O_NOCTTY | O_NONBLOCK | O_NOATIME)
                         : OpenLongPathNoAtime(Path, Flags | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw EInOutError::FromErrno(errno);
    TUniqueFd file(fd);
    if (::fstat(fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw EInOutError(5);
    return file;
}

bool SameStatus(const struct stat& st, const TFileState& S) {
    return static_cast<std::uint64_t>(st.st_dev) == S.Device &&
           static_cast<std::uint64_t>(st.st_ino) == S.Inode &&
           static_cast<std::uint64_t>(st.st_size) == S.Size &&
           static_cast<std::int64_t>(st.st_mtim.tv_sec) == S.MtimeSec &&
           static_cast<std::int64_t>(st.st_mtim.tv_nsec) == S.MtimeNsec;
}

// The first Length bytes of the file, or nullopt when it is shorter.
std::optional<std::string> ReadHead(int Fd, std::uint64_t FileSize, std::size_t Length) {
    if (Length > FileSize)
        return std::nullopt;
    std::string bytes(Length, '\0');
    if (!PreadAll(Fd, bytes.data(), Length, 0))
        return std::nullopt;
    return bytes;
}

void WriteAt(int Fd, std::string_view Bytes, std::uint64_t Offset) {
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t w = ::pwrite(Fd, Bytes.data() + done, Bytes.size() - done,
                                   static_cast<off_t>(Offset + done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            throw EInOutError::FromErrno(w < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(w);
    }
}

bool HoldsV1(const TFileState& State) {
    return State.Tail.size() == kTagSize && State.Tail.compare(0, 3, "TAG") == 0;
}

// The file's last bytes: Tail replacing its ID3v1 tag (HasV1) or appended (TailSize 0), else
// the file cut to TailSize ending in Tail.
void WriteTail(int Fd, std::uint64_t Size, bool HasV1, const std::string& Tail,
               std::uint64_t TailSize) {
    if (TailSize != 0)
        return RestoreTail(Fd, TailSize, Tail);
    WriteAt(Fd, Tail, HasV1 ? Size - kTagSize : Size);
}

void CopyRange(int From, std::uint64_t Offset, std::uint64_t End, int To, std::uint64_t At) {
    loff_t in = static_cast<loff_t>(Offset), out = static_cast<loff_t>(At);
    while (static_cast<std::uint64_t>(in) < End) {
        const ssize_t n = ::copy_file_range(From, &in, To, &out,
                                            static_cast<std::size_t>(End - static_cast<std::uint64_t>(in)), 0);
        if (n > 0)
            continue;
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            throw EInOutError(100);
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            throw EInOutError::FromErrno(errno);
        std::string buf(1 << 20, '\0');
        while (static_cast<std::uint64_t>(in) < End) {
            const std::size_t want = static_cast<std::size_t>(
                std::min<std::uint64_t>(buf.size(), End - static_cast<std::uint64_t>(in)));
            if (!PreadAll(From, buf.data(), want, in))
                throw EInOutError(100);
            WriteAt(To, std::string_view(buf.data(), want), static_cast<std::uint64_t>(out));
            in += static_cast<loff_t>(want);
            out += static_cast<loff_t>(want);
        }
    }
}

// Removes the files a growing write left behind when it was cut off: those whose lock no
// run holds. Once a folder per process; a folder made anew under the number of a removed one
// is another folder (its birth time tells, where the file system keeps one).
void CleanStrays(int Dir, const std::string& DirPart) {
    static std::mutex mutex;
    static std::set<std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::uint32_t>> cleaned;
    const std::string where = DirPart.empty() ? "." : DirPart;
    struct statx ds;
    if (::statx(Dir, where.c_str(), 0, STATX_INO | STATX_BTIME, &ds) != 0)
        return;
    const bool born = (ds.stx_mask & STATX_BTIME) != 0;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!cleaned
                 .insert({std::uint64_t{ds.stx_dev_major} << 32 | ds.stx_dev_minor, ds.stx_ino,
                          born ? ds.stx_btime.tv_sec : 0, born ? ds.stx_btime.tv_nsec : 0})
                 .second)
            return;
    }
    const int dfd = ::openat(Dir, where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0)
        return;
    DIR* d = ::fdopendir(dfd);
    if (!d) {
        ::close(dfd);
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(kGrowPrefix) || !name.ends_with(".tmp"))
            continue;
        const int f = ::openat(dfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (f < 0)
            continue;
        if (::flock(f, LOCK_EX | LOCK_NB) == 0)
            (void)::unlinkat(dfd, e->d_name, 0);
        ::close(f);
    }
    ::closedir(d);
}

// The whole file with its new region, written beside it and renamed over it.
TFileState GrowInto(int Fd, const struct stat& St, const std::string& Path, const TFileState& Expected,
                    const std::string& Region, std::uint64_t OldSize, const std::string& Tail,
                    std::uint64_t TailSize) {
    if (St.st_nlink > 1)
        throw std::runtime_error(std::string(kMsgSeveralLinks));
    if (St.st_uid != ::geteuid() && ::geteuid() != 0)
        throw std::runtime_error(std::string(kMsgOwnerNotKept));
    const TPathAt at(Path);
    if (!at.Ok())
        throw EInOutError::FromErrno(at.Error());
    const std::string name = at.Name();
    const std::size_t slash = name.rfind('/');
    const std::string dirPart = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    CleanStrays(at.Dir(), dirPart);

    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::string temp;
    int tfd = -1;
    for (int attempt = 0; attempt < 100 && tfd < 0; ++attempt) {
        char id[17];
        std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(random()));
        temp = dirPart + std::string(kGrowPrefix) + id + ".tmp";
        tfd = ::openat(at.Dir(), temp.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (tfd < 0 && errno != EEXIST)
            throw EInOutError::FromErrno(errno);
    }
    if (tfd < 0)
        throw EInOutError::FromErrno(EEXIST);
    TUniqueFd file(tfd);
    bool renamed = false;
    struct Cleanup {
        int dir;
        const std::string& name;
        bool& renamed;
        ~Cleanup() {
            if (!renamed)
                (void)::unlinkat(dir, name.c_str(), 0);
        }
    } cleanup{at.Dir(), temp, renamed};
    // Held until the file is closed: a run that finds the file locked leaves it.
    (void)::flock(tfd, LOCK_EX);

    const auto size = static_cast<std::uint64_t>(St.st_size);
    WriteAt(tfd, Region, 0);
    CopyRange(Fd, OldSize, size, tfd, Region.size());
    WriteTail(tfd, Region.size() + size - OldSize, HoldsV1(Expected), Tail, TailSize);
    if (::fchmod(tfd, St.st_mode & 07777) != 0)
        throw EInOutError::FromErrno(errno);
    if ((St.st_uid != ::geteuid() || St.st_gid != ::getegid()) &&
        ::fchown(tfd, St.st_uid, St.st_gid) != 0)
        throw std::runtime_error(std::string(kMsgOwnerNotKept));
    const struct timespec times[2] = {St.st_atim, {0, UTIME_NOW}};
    (void)::futimens(tfd, times);
    if (::fsync(tfd) != 0)
        throw EInOutError::FromErrno(errno);
    // The last look before the old file goes: nobody wrote or replaced it meanwhile.
    struct stat now, named;
    if (::fstat(Fd, &now) != 0 || !SameStatus(now, Expected) ||
        ::fstatat(at.Dir(), at.Name(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        named.st_dev != now.st_dev || named.st_ino != now.st_ino)
        ChangedMeanwhile();
    if (::renameat(at.Dir(), temp.c_str(), at.Dir(), at.Name()) != 0)
        throw EInOutError::FromErrno(errno);
    renamed = true;
    const int dfd = ::openat(at.Dir(), dirPart.empty() ? "." : dirPart.c_str(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return StateOfOpenFile(tfd);
}

std::optional<std::string> RegionIfHash(int Fd, std::uint64_t FileSize, std::uint64_t Size,
                                        std::uint64_t Hash) {
    std::optional<std::string> region = ReadHead(Fd, FileSize, static_cast<std::size_t>(Size));
    if (!region || V2Hash(*region) != Hash)
        return std::nullopt;
    return region;
}

} // namespace

TSyncV2* SetSyncV2(TSyncV2* Sync) {
    return g_sync.exchange(Sync);
}

TSyncV2* ActiveSyncV2() {
    return g_sync.load();
}

TV2RewriteScope::TV2RewriteScope(const TV2Rewrite* Rewrite) : previous_(t_rewrite) {
    t_rewrite = Rewrite;
}

TV2RewriteScope::~TV2RewriteScope() {
    t_rewrite = previous_;
}

const TV2Rewrite* ActiveV2Rewrite() {
    return t_rewrite;
}

TV2Edit V2EditFor(const TMP3Tag& Old, const TMP3Tag& New, const TagCodec& Codec) {
    TV2Edit edit;
    const std::string a = BuildTagBytes(Old, Codec), b = BuildTagBytes(New, Codec);
    const auto differs = [&](std::size_t from, std::size_t to) {
        return a.compare(from, to - from, b, from, to - from) != 0;
    };
    const auto set = [&](TV2Field f, std::string text) {
        edit.Text[static_cast<std::size_t>(f)] = std::move(text);
    };
    if (differs(3, 33))
        set(TV2Field::vfTitle, New.Title);
    if (differs(33, 63))
        set(TV2Field::vfArtist, New.Artist);
    if (differs(63, 93))
        set(TV2Field::vfAlbum, New.Album);
    if (differs(93, 97))
        set(TV2Field::vfYear, New.Year);
    if (differs(97, Old.Track || New.Track ? 125 : 127))
        set(TV2Field::vfComment, New.Comment);
    if (Old.Genre != New.Genre) {
        const std::string name = RTrim(ByteToStyle(New.Genre));
        set(TV2Field::vfGenre, New.Genre == 255 ? std::string()
                               : name.empty()   ? "(" + std::to_string(New.Genre) + ")"
                                                : name);
    }
    if (Old.Track != New.Track)
        set(TV2Field::vfTrack, New.Track ? std::to_string(New.Track) : std::string());
    return edit;
}

TV2Plan PlanV2(const std::string& Path, const TFileState& Before, const TV2Edit& Given,
               bool HeadOnly, const TV2Adjust& Adjust, bool WithRows, const TV2Head* Head) {
    TV2Plan plan;
    const bool headOnly = HeadOnly || Given.Empty();
    struct stat st {};
    TUniqueFd file;
    // The file opened now, still as it was read.
    const auto open = [&] {
        file.reset(OpenFile(Path, O_RDONLY, st).release());
        return SameStatus(st, Before);
    };
    std::string read; // bytes read here
    std::string_view head;
    if (Head) {
        head = Head->Bytes;
        st.st_nlink = static_cast<nlink_t>(Head->Links);
        st.st_uid = static_cast<uid_t>(Head->Owner);
    } else {
        // Changed since it was read: the write itself says so.
        if (!open())
            return plan;
        std::optional<std::string> first =
            ReadHead(file.get(), Before.Size,
                     static_cast<std::size_t>(
                         std::min<std::uint64_t>(Before.Size, headOnly ? kHeader : kV2FirstRead)));
        if (!first)
            return plan;
        read = std::move(*first);
        head = read;
    }
    const std::uint64_t size = Before.Size;
    if (head.size() < kHeader || !head.starts_with("ID3"))
        return plan;
    plan.Holds = true;
    if (headOnly)
        return plan;
    const std::uint64_t room = size - (HoldsV1(Before) ? kTagSize : 0);
    const std::size_t length = V2RegionSize(head);
    if (length == 0 || length > kMaxId3v2Bytes + 2 * kHeader || length > room) {
        plan.Problem = "the ID3v2 tag is damaged or cut short; it was left as it is";
        return plan;
    }
    std::string_view region = head.substr(0, length);
    if (region.size() < length) {
        if (file.get() < 0 && !open())
            return {};
        std::optional<std::string> whole = ReadHead(file.get(), size, length);
        if (!whole) {
            plan.Problem = "the ID3v2 tag is damaged or cut short; it was left as it is";
            return plan;
        }
        read = std::move(*whole);
        region = read;
    }
    TV2Layout layout;
    try {
        layout = ParseV2Layout(region);
    } catch (const EV2Unsupported& e) {
        plan.Problem = std::string(e.what()) + "; the ID3v1 tag was written";
        return plan;
    }
    TV2Edit edit = Given;
    if (Adjust) {
        TV2Texts texts;
        for (std::size_t f = 0; f < kV2Fields; ++f)
            texts[f] = V2FieldText(region, layout, static_cast<TV2Field>(f));
        Adjust(texts, edit);
    }
    TV2Splice splice = SpliceV2(region, layout, edit);
    if (!splice.Changed())
        return plan;
    if (splice.Change.NewSize != splice.Change.OldSize) {
        if (st.st_nlink > 1 || (st.st_uid != ::geteuid() && ::geteuid() != 0)) {
            plan.Refused = true;
            plan.Problem = std::string(st.st_nlink > 1 ? kMsgSeveralLinks : kMsgOwnerNotKept);
            return plan;
        }
    }
    plan.Change = std::move(splice.Change);
    if (plan.Change->NewSize == plan.Change->OldSize) {
        // Only the bytes that differ; kept when they are few (a step holds them for every file
        // until it writes).
        const std::string& now = splice.NewRegion;
        std::size_t from = 0, to = now.size();
        while (from < to && now[from] == region[from])
            ++from;
        while (to > from && now[to - 1] == region[to - 1])
            --to;
        if (to - from <= kKeptInPlace)
            plan.InPlace = TV2InPlace{from, now.substr(from, to - from)};
    }
    if (!WithRows)
        return plan;
    const TV2Layout after = ParseV2Layout(splice.NewRegion);
    for (std::size_t f = 0; f < kV2Fields; ++f) {
        if (!edit.Text[f])
            continue;
        const auto field = static_cast<TV2Field>(f);
        const std::optional<std::string> was = V2FieldText(region, layout, field);
        const std::optional<std::string> now = V2FieldText(splice.NewRegion, after, field);
        if (was == now)
            continue;
        plan.Rows.push_back({Path, "v2:" + std::string(V2FrameId(field, layout.Major)),
                             was.value_or(""), now.value_or(""), {}, TPreviewState::psChange});
    }
    return plan;
}

std::vector<TPreviewRow> V2PreviewRows(const std::string& Path, const TMP3Tag& Old,
                                       const TMP3Tag& New, const TagCodec& Codec) {
    const TV2Edit edit = V2EditFor(Old, New, Codec);
    if (edit.Empty())
        return {};
    try {
        const TFileState before = ReadFileState(Path);
        const TV2Rewrite* rewrite = ActiveV2Rewrite();
        TV2Plan plan = PlanV2(Path, before, edit, false,
                              rewrite ? TV2Adjust([&](const TV2Texts& Frames, TV2Edit& Edit) {
                                  (*rewrite)(Old, Frames, Edit);
                              })
                                      : TV2Adjust(),
                              true);
        if (!plan.Problem.empty())
            return {{Path, "v2", {}, {}, plan.Problem,
                     plan.Refused ? TPreviewState::psFailed : TPreviewState::psWarning}};
        return std::move(plan.Rows);
    } catch (const std::exception& e) {
        return {};
    }
}

TFileState WriteSynced(const std::string& Path, const TFileState& Expected, const TV2Change& Change,
                       const std::string& Tail, std::uint64_t TailSize, const TV2InPlace* Known,
                       TDirectoryCache* Directories) {
    struct stat st;
    TUniqueFd file = OpenFile(Path, O_RDWR, st, Directories);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (!SameStatus(st, Expected))
        ChangedMeanwhile();
    if (Known && Change.NewSize == Change.OldSize &&
        Known->Offset + Known->Bytes.size() <= Change.NewSize) {
        WriteAt(file.get(), Known->Bytes, Known->Offset);
    } else {
        if (StateOfOpenFile(file.get(), st).Tail != Expected.Tail)
            ChangedMeanwhile();
        const std::optional<std::string> old =
            RegionIfHash(file.get(), size, Change.OldSize, Change.OldHash);
        if (!old)
            ChangedMeanwhile();
        std::string region;
        try {
            region = ApplyV2Patch(Change.Forward, *old);
        } catch (const EV2Unsupported& e) {
            throw std::runtime_error(e.what());
        }
        if (region.size() != Change.NewSize || V2Hash(region) != Change.NewHash)
            throw std::runtime_error("damaged ID3v2 record");
        if (Change.NewSize != Change.OldSize)
            return GrowInto(file.get(), st, Path, Expected, region, Change.OldSize, Tail, TailSize);
        // In place: only the bytes that differ.
        std::size_t from = 0, to = region.size();
        while (from < to && region[from] == (*old)[from])
            ++from;
        while (to > from && region[to - 1] == (*old)[to - 1])
            --to;
        WriteAt(file.get(), std::string_view(region).substr(from, to - from), from);
    }
    WriteTail(file.get(), size, HoldsV1(Expected), Tail, TailSize);
    // Its last bytes are the tag just written: not read back.
    TFileState after;
    if (TailSize == 0 && Tail.size() == kTagSize) {
        if (::fstat(file.get(), &st) != 0)
            throw EInOutError::FromErrno(errno);
        after = StateOf(st, Tail);
    } else {
        after = StateOfOpenFile(file.get());
    }
    const int fd = file.release();
    if (::close(fd) != 0)
        throw EInOutError::FromErrno(errno);
    return after;
}

TSyncedUndo PlanSyncedUndo(const TJournalEntry& E, const TFileState& Now, TJournalEntry& Back) {
    TV2Change change;
    try {
        change = DecodeV2Change(E.Head);
    } catch (const EV2Unsupported&) {
        return TSyncedUndo::suChangedSince;
    }
    struct stat st;
    const TUniqueFd file = OpenFile(E.Path, O_RDONLY, st);
    if (!SameStatus(st, Now))
        return TSyncedUndo::suChangedSince;
    const bool oldHead = RegionIfHash(file.get(), Now.Size, change.OldSize, change.OldHash).has_value();
    if (oldHead && Now.Size == E.Before.Size && Now.Tail == E.Before.Tail)
        return TSyncedUndo::suAlreadyBack;
    const bool newHead = RegionIfHash(file.get(), Now.Size, change.NewSize, change.NewHash).has_value();
    if (!newHead)
        return TSyncedUndo::suChangedSince;
    if (E.Outcome == TJournalEntry::joDone) {
        if (!SameContent(Now, E.After))
            return TSyncedUndo::suChangedSince;
    } else {
        // Cut off before its outcome was stored: the head written, the tail written or not yet.
        const std::uint64_t moved = E.Before.Size + change.NewSize - change.OldSize;
        const bool sized = E.PlannedSize != 0 ? Now.Size == E.PlannedSize || Now.Size == moved
                                              : Now.Size == moved || Now.Size == moved + kTagSize;
        if (!sized || (Now.Tail != E.Planned && Now.Tail != E.Before.Tail))
            return TSyncedUndo::suChangedSince;
    }
    Back = {};
    Back.Kind = TJournalEntry::jkSync;
    Back.Path = E.Path;
    Back.Before = Now;
    Back.Planned = E.Before.Tail;
    Back.PlannedSize = E.Before.Size;
    Back.Head = EncodeV2Change(InverseV2Change(change));
    return TSyncedUndo::suRestore;
}

} // namespace veltrane

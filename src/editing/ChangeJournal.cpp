#include "editing/ChangeJournal.h"

#include "platform/SystemDirs.h"
#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/TagFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <zlib.h>

namespace veltrane {

namespace {

constexpr char kMagic[4] = {'V', 'J', 'R', '1'};
constexpr std::size_t kHeaderSize = 16; // magic, type, 3 zero bytes, length, CRC-32
constexpr std::uint32_t kMaxPayload = 256u << 20;
enum TRecordType : std::uint8_t { rtPlan = 1, rtOutcome = 2, rtEnd = 3 };

std::string ErrnoText(int err) {
    return std::strerror(err);
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

// The same file, unchanged as far as its status tells: size and both times.
bool SameStatus(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// --- Encoding: little-endian numbers, strings with a 32-bit length.

class Writer {
  public:
    void Reserve(std::size_t n) { out_.reserve(n); }
    void U8(std::uint8_t v) { out_ += static_cast<char>(v); }
    void U32(std::uint32_t v) { Put(v, 4); }
    void U64(std::uint64_t v) { Put(v, 8); }
    void I64(std::int64_t v) { U64(static_cast<std::uint64_t>(v)); }
    void Str(const std::string& s) {
        U32(static_cast<std::uint32_t>(s.size()));
        out_ += s;
    }
    void State(const TFileState& s) {
        U64(s.Device);
        U64(s.Inode);
        U64(s.Size);
        I64(s.MtimeSec);
        I64(s.MtimeNsec);
        Str(s.Tail);
    }
    std::string& Bytes() { return out_; }

  private:
    void Put(std::uint64_t v, int n) {
        char b[8];
        for (int i = 0; i < n; ++i)
            b[i] = static_cast<char>((v >> (8 * i)) & 0xff);
        out_.append(b, static_cast<std::size_t>(n));
    }
    std::string out_;
};

// Reads what Writer wrote; any read past the end sets a flag instead of throwing.
class Reader {
  public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool Ok() const { return ok_; }
    std::size_t Remaining() const { return in_.size() - pos_; }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Take(4)); }
    std::uint64_t U64() { return Take(8); }
    std::int64_t I64() { return static_cast<std::int64_t>(Take(8)); }
    std::string Str() {
        const std::uint32_t n = U32();
        if (!ok_ || n > in_.size() - pos_) {
            ok_ = false;
            return {};
        }
        std::string s(in_.substr(pos_, n));
        pos_ += n;
        return s;
    }
    TFileState State() {
        TFileState s;
        s.Device = U64();
        s.Inode = U64();
        s.Size = U64();
        s.MtimeSec = I64();
        s.MtimeNsec = I64();
        s.Tail = Str();
        return s;
    }

  private:
    std::uint64_t Take(std::size_t n) {
        if (!ok_ || n > in_.size() - pos_) {
            ok_ = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= std::uint64_t(static_cast<unsigned char>(in_[pos_ + i])) << (8 * i);
        pos_ += n;
        return v;
    }
    std::string_view in_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

std::uint32_t Crc(std::string_view header, std::string_view payload) {
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(header.data()), static_cast<uInt>(header.size()));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(payload.data()), static_cast<uInt>(payload.size()));
    return static_cast<std::uint32_t>(crc);
}

// The header of a record of Payload.
std::string Header(TRecordType type, std::string_view payload) {
    Writer h;
    for (char c : kMagic)
        h.U8(static_cast<std::uint8_t>(c));
    h.U8(type);
    h.U8(0);
    h.U8(0);
    h.U8(0);
    h.U32(static_cast<std::uint32_t>(payload.size()));
    const std::uint32_t crc = Crc(h.Bytes(), payload);
    h.U32(crc);
    return std::move(h.Bytes());
}

std::string Record(TRecordType type, const std::string& payload) {
    return Header(type, payload) + payload;
}

// A record of the payload that follows the first kHeaderSize bytes of Framed, which were left
// for the header: a plan of a hundred thousand files is not copied once more.
std::string RecordInPlace(TRecordType type, std::string framed) {
    const std::string header = Header(type, std::string_view(framed).substr(kHeaderSize));
    framed.replace(0, kHeaderSize, header);
    return framed;
}

std::string PlanRecord(const TJournalStep& step) {
    Writer w;
    std::size_t size = 64 + step.Command.size();
    for (const TJournalEntry& e : step.Entries)
        size += 80 + e.Path.size() + e.NewPath.size() + e.Before.Tail.size() + e.Planned.size() +
                e.Head.size();
    w.Reserve(kHeaderSize + size);
    w.Bytes().append(kHeaderSize, '\0');
    w.U64(step.Id);
    w.I64(step.Time);
    w.U64(step.Undoes);
    w.Str(step.Command);
    w.U32(static_cast<std::uint32_t>(step.Entries.size()));
    for (const TJournalEntry& e : step.Entries) {
        w.U8(e.Kind);
        w.Str(e.Path);
        w.Str(e.NewPath);
        w.State(e.Before);
        w.Str(e.Planned);
        w.U64(e.PlannedSize);
        if (e.Kind == TJournalEntry::jkSync)
            w.Str(e.Head);
    }
    return RecordInPlace(rtPlan, std::move(w.Bytes()));
}

// The fewest bytes an entry can take: its kind, the lengths of its four strings (old name,
// new name, tail before, planned bytes), the numbers of its state and its planned size.
// Either kind may leave every string empty (a rename of short names keeps no tail, the undo
// of an empty file plans no bytes), so this bounds both.
constexpr std::size_t kLeastEntrySize = 1 + 4 + 4 + (5 * 8 + 4) + 4 + 8;
static_assert(kLeastEntrySize == 65);

// Decodes a plan; its entries only when asked (they make most of a long journal).
std::optional<TJournalStep> ParsePlan(std::string_view payload, bool entries) {
    Reader r(payload);
    TJournalStep step;
    step.Id = r.U64();
    step.Time = r.I64();
    step.Undoes = r.U64();
    step.Command = r.Str();
    const std::uint32_t n = r.U32();
    // A count beyond what the bytes left could hold is damage, not a huge step.
    if (!r.Ok() || n > r.Remaining() / kLeastEntrySize)
        return std::nullopt;
    step.Files = n;
    if (!entries)
        return step;
    step.Entries.resize(n);
    for (TJournalEntry& e : step.Entries) {
        const std::uint8_t kind = r.U8();
        if (kind < TJournalEntry::jkTail || kind > TJournalEntry::jkSync)
            return std::nullopt;
        e.Kind = static_cast<TJournalEntry::TKind>(kind);
        e.Path = r.Str();
        e.NewPath = r.Str();
        e.Before = r.State();
        e.Planned = r.Str();
        e.PlannedSize = r.U64();
        if (e.Kind == TJournalEntry::jkSync)
            e.Head = r.Str();
    }
    if (!r.Ok())
        return std::nullopt;
    return step;
}

// --- Files.

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t w = ::write(fd, bytes.data(), bytes.size());
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

bool PreadAll(int fd, char* buf, std::size_t n, off_t offset) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        done += static_cast<std::size_t>(r);
    }
    return true;
}

bool PwriteAll(int fd, const char* buf, std::size_t n, off_t offset) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::pwrite(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

// Opens one of the journal's own files: never through a symbolic link, and only a regular
// file (a pipe put in its place would hang the program). A missing file gives -1 with errno
// ENOENT, or with Create is made with O_EXCL, so a link planted meanwhile is refused too.
int OpenOwnFile(const std::string& path, const std::string& what, int flags, bool create) {
    constexpr int kAlways = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    for (int tries = 0; tries < 4; ++tries) {
        int fd = ::open(path.c_str(), flags | kAlways);
        if (fd < 0 && errno == ENOENT && create)
            fd = ::open(path.c_str(), flags | kAlways | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            const int err = errno;
            if (err == EEXIST || err == EINTR)
                continue; // made meanwhile by another Veltrane: opened as it is next time
            if (err == ENOENT)
                return -1;
            if (err == ELOOP)
                throw EJournalError(what + " is a symbolic link; Veltrane neither reads nor "
                                           "writes its journal through a link (remove it)");
            throw EJournalError("cannot open " + what + ": " + ErrnoText(err));
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            throw EJournalError(what + " is not a regular file; Veltrane leaves it alone "
                                       "(remove it)");
        }
        return fd;
    }
    throw EJournalError("cannot open " + what + ": it keeps being replaced");
}

// A file the journal makes anew: whatever stands at its name is removed first (a link
// itself, never what it points to), and O_EXCL refuses anything put there meanwhile.
int CreateFresh(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return -1;
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = OpenOwnFile(path, "the journal " + path, O_RDONLY, false);
    if (fd < 0)
        return std::nullopt;
    std::string data;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            const int err = errno;
            ::close(fd);
            throw EJournalError("cannot read the journal " + path + ": " + ErrnoText(err));
        }
        if (r == 0)
            break;
        data.append(buf, static_cast<std::size_t>(r));
    }
    ::close(fd);
    return data;
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// mkdir -p, the last level private: the journal names the user's files.
void MakeDirectories(const std::string& dir) {
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        const std::string part = dir.substr(0, pos);
        if (part.empty())
            continue;
        if (::mkdir(part.c_str(), pos == std::string::npos ? 0700 : 0755) != 0 && errno != EEXIST)
            throw EJournalError("cannot create " + part + ": " + ErrnoText(errno));
    }
}

std::uint64_t EstimatedStepBytes(const std::string& plan, std::size_t entries) {
    return plan.size() + entries * (kHeaderSize + 64 + kJournalTailSize) + kHeaderSize + 8;
}

} // namespace

bool SameContent(const TFileState& A, const TFileState& B) {
    return A.Device == B.Device && A.Inode == B.Inode && A.Size == B.Size && A.Tail == B.Tail;
}

bool Untouched(const TFileState& A, const TFileState& B) {
    return A.Device == B.Device && A.Inode == B.Inode && A.Size == B.Size &&
           A.MtimeSec == B.MtimeSec && A.MtimeNsec == B.MtimeNsec;
}

namespace {

// Reads the records of all (the journal's bytes from offset base on) into contents, from
// step WithEntries on with their entries; stops at the first damage. Returns where the last
// whole record starts (base when there is none).
std::uint64_t ParseRecords(std::string_view all, std::uint64_t base, std::uint64_t WithEntries,
                           const std::string& filePath, TJournalContents& contents) {
    std::map<std::uint64_t, std::size_t> index; // step id -> position in Steps
    for (std::size_t i = 0; i < contents.Steps.size(); ++i)
        index[contents.Steps[i].Id] = i;
    std::size_t pos = 0;
    std::uint64_t lastRecord = base;
    const auto damage = [&](const std::string& what) {
        contents.Damage = "the journal " + filePath + " is damaged at byte " +
                          std::to_string(base + pos) + " (" + what + "); read up to there";
    };
    while (pos < all.size()) {
        if (all.size() - pos < kHeaderSize) {
            damage("cut off");
            break;
        }
        const std::string_view header = all.substr(pos, kHeaderSize);
        Reader h(header);
        if (header.substr(0, 4) != std::string_view(kMagic, 4)) {
            damage("no record");
            break;
        }
        h.U32();
        const std::uint8_t type = h.U8();
        h.U8();
        h.U8();
        h.U8();
        const std::uint32_t length = h.U32();
        const std::uint32_t crc = h.U32();
        if (length > kMaxPayload || length > all.size() - pos - kHeaderSize) {
            damage("cut off");
            break;
        }
        const std::string_view payload = all.substr(pos + kHeaderSize, length);
        if (Crc(header.substr(0, 12), payload) != crc) {
            damage("checksum");
            break;
        }
        Reader p(payload);
        if (type == rtPlan) {
            Reader id(payload);
            const std::uint64_t stepId = id.U64();
            std::optional<TJournalStep> step =
                ParsePlan(payload, WithEntries == TChangeJournal::kAllSteps || (id.Ok() && stepId == WithEntries));
            if (!step) {
                damage("bad step");
                break;
            }
            step->Offset = base + pos;
            index[step->Id] = contents.Steps.size();
            contents.Steps.push_back(std::move(*step));
        } else if (type == rtOutcome) {
            const std::uint64_t id = p.U64();
            const std::uint32_t entry = p.U32();
            const std::uint8_t outcome = p.U8();
            const auto it = index.find(id);
            // Counted for every step: one whose writes all failed is no undo target.
            if (p.Ok() && it != index.end() && outcome == TJournalEntry::joFailed &&
                entry < contents.Steps[it->second].Files)
                ++contents.Steps[it->second].FailedFiles;
            if (WithEntries != TChangeJournal::kAllSteps && id != WithEntries) {
                lastRecord = base + pos;
                pos += kHeaderSize + length;
                continue;
            }
            TFileState after = p.State();
            std::string error = p.Str();
            // An outcome of an unknown step or file says nothing useful: it is passed over.
            if (p.Ok() && it != index.end() && entry < contents.Steps[it->second].Entries.size() &&
                (outcome == TJournalEntry::joDone || outcome == TJournalEntry::joFailed)) {
                TJournalEntry& e = contents.Steps[it->second].Entries[entry];
                e.Outcome = static_cast<TJournalEntry::TOutcome>(outcome);
                e.After = std::move(after);
                e.Error = std::move(error);
            }
        } else if (type == rtEnd) {
            const auto it = index.find(p.U64());
            if (p.Ok() && it != index.end())
                contents.Steps[it->second].Finished = true;
        } else {
            damage("unknown record");
            break;
        }
        lastRecord = base + pos;
        pos += kHeaderSize + length;
    }
    contents.ValidBytes = base + pos;
    return lastRecord;
}

// The bytes of fd from offset on, up to size.
std::string ReadFrom(int fd, std::uint64_t offset, std::uint64_t size, const std::string& path) {
    std::string data(static_cast<std::size_t>(size - offset), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t r = ::pread(fd, data.data() + done, data.size() - done,
                                  static_cast<off_t>(offset + done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            throw EJournalError("cannot read the journal " + path + ": " + ErrnoText(errno));
        if (r == 0)
            break; // cut meanwhile: what is there is read
        done += static_cast<std::size_t>(r);
    }
    data.resize(done);
    return data;
}

} // namespace

TJournalContents TChangeJournal::ReadLocked(std::uint64_t WithEntries) const {
    if (WithEntries != 0) {
        TJournalContents contents;
        const std::optional<std::string> data = ReadWholeFile(FilePath());
        if (!data)
            return contents;
        contents.FileBytes = data->size();
        ParseRecords(*data, 0, WithEntries, FilePath(), contents);
        return contents;
    }
    // Every step starts with this read: a journal near its 64 MB would cost a full read and
    // checksum each time. Only what this object's own steps appended since is parsed.
    const std::string path = FilePath();
    std::lock_guard guard(cache_->Mutex);
    TReadCache& cache = *cache_;
    int fd = -1;
    try {
        fd = OpenOwnFile(path, "the journal " + path, O_RDONLY, false);
    } catch (...) {
        cache.Valid = false;
        throw;
    }
    if (fd < 0) {
        cache.Valid = false;
        return {};
    }
    const FdCloser closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw EJournalError("cannot read the journal " + path + ": " + ErrnoText(errno));
    const bool reuse = cache.Valid && SameStatus(st, cache.Status) &&
                       static_cast<std::uint64_t>(st.st_size) >= cache.Contents.FileBytes;
    if (!reuse)
        cache.Contents = {};
    TJournalContents& contents = cache.Contents;
    const std::uint64_t from = contents.FileBytes;
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    if (size > from) {
        const std::string data = ReadFrom(fd, from, size, path);
        contents.FileBytes = from + data.size();
        ParseRecords(data, from, 0, path, contents);
    }
    cache.Status = st;
    // Damage is cut off by the next step's writer: read the whole journal again after it.
    cache.Valid = contents.Damage.empty() && contents.FileBytes == size;
    return contents;
}

void TChangeJournal::NoteAppend(const struct stat& Before, const struct stat& After,
                                std::uint64_t Bytes, const TJournalStep* Step) const {
    std::lock_guard guard(cache_->Mutex);
    TReadCache& cache = *cache_;
    if (!cache.Valid || !SameStatus(Before, cache.Status) || After.st_ino != Before.st_ino ||
        After.st_size < Before.st_size) {
        cache.Valid = false;
        return;
    }
    cache.Status = After;
    // A step of a hundred thousand files is tens of megabytes: not read back when its bytes
    // are known to be exactly the ones written.
    const std::uint64_t size = static_cast<std::uint64_t>(After.st_size);
    if (Step && cache.Contents.FileBytes == static_cast<std::uint64_t>(Before.st_size) &&
        size == cache.Contents.FileBytes + Bytes) {
        cache.Contents.Steps.push_back(*Step);
        cache.Contents.FileBytes = cache.Contents.ValidBytes = size;
    }
}

void TChangeJournal::NoteRewrite(const struct stat& Status, TJournalContents Kept) const {
    std::lock_guard guard(cache_->Mutex);
    for (TJournalStep& step : Kept.Steps)
        step.Entries = {};
    cache_->Contents = std::move(Kept);
    cache_->Status = Status;
    cache_->Valid = true;
}

TJournalContents TChangeJournal::Read(std::uint64_t WithEntries) const {
    const TJournalLock lock(*this, true);
    return ReadLocked(WithEntries);
}

TJournalLock::TJournalLock(const TChangeJournal& Journal, bool Shared) {
    MakeDirectories(Journal.Directory());
    const std::string path = Journal.Directory() + "/journal.lock";
    fd_ = OpenOwnFile(path, path, O_RDWR, true);
    int r;
    do {
        r = ::flock(fd_, Shared ? LOCK_SH : LOCK_EX);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        const int err = errno;
        ::close(fd_);
        throw EJournalError("cannot lock " + path + ": " + ErrnoText(err));
    }
}

TJournalLock::~TJournalLock() {
    ::close(fd_); // releases the lock
}

TStepWriter::TStepWriter(const TChangeJournal& Journal, const TJournalContents& Contents,
                         TJournalStep& Step)
    : journal_(&Journal) {
    const std::string path = Journal.FilePath();
    std::uint64_t lastId = 0;
    for (const TJournalStep& s : Contents.Steps)
        lastId = std::max(lastId, s.Id);
    Step.Id = lastId + 1;
    Step.Time = static_cast<std::int64_t>(std::time(nullptr));
    const std::string plan = PlanRecord(Step);
    if (plan.size() - kHeaderSize > kMaxPayload)
        throw EJournalError("too many files for one step");
    const std::uint64_t need = EstimatedStepBytes(plan, Step.Entries.size());

    // Oldest steps go until at most kMaxSteps remain with this one and the bytes fit.
    std::size_t first = 0;
    std::uint64_t keptBytes = Contents.ValidBytes;
    while (first < Contents.Steps.size() &&
           (Contents.Steps.size() - first + 1 > TChangeJournal::kMaxSteps ||
            keptBytes + need > TChangeJournal::kMaxBytes)) {
        ++first;
        keptBytes = first < Contents.Steps.size() ? Contents.ValidBytes - Contents.Steps[first].Offset
                                                  : 0;
    }
    const bool damaged = Contents.ValidBytes < Contents.FileBytes;
    if (damaged) {
        const std::optional<std::string> data = ReadWholeFile(path);
        if (data) {
            // Kept for a closer look; the journal itself goes on without the damage.
            const std::string copy = path + ".damaged";
            const int c = CreateFresh(copy);
            if (c >= 0) {
                const bool copied = WriteAll(c, *data);
                ::close(c);
                if (!copied)
                    ::unlink(copy.c_str()); // a part of it would only take the room left
            }
        }
    }
    // Only the damage goes: the journal is cut where its readable part ends, in place, which
    // needs no room on a full disk. Dropping old steps writes the rest anew.
    bool cut = false;
    // What the journal holds once rewritten, when that is known for sure: the next step then
    // need not read it all again.
    std::optional<TJournalContents> rewritten;
    if (first == 0 && damaged) {
        const int fd = OpenOwnFile(path, "the journal " + path, O_WRONLY, false);
        struct stat now;
        if (fd >= 0) {
            cut = ::fstat(fd, &now) == 0 &&
                  static_cast<std::uint64_t>(now.st_size) == Contents.FileBytes &&
                  ::ftruncate(fd, static_cast<off_t>(Contents.ValidBytes)) == 0 &&
                  ::fsync(fd) == 0;
            ::close(fd);
        }
        if (cut) {
            rewritten.emplace(Contents);
            rewritten->FileBytes = rewritten->ValidBytes;
            rewritten->Damage.clear();
        }
    }
    if (!cut && (first > 0 || damaged)) {
        const std::uint64_t from = first < Contents.Steps.size() ? Contents.Steps[first].Offset
                                                                 : Contents.ValidBytes;
        // Nothing kept: the old bytes need not be read at all.
        const std::optional<std::string> data =
            from < Contents.ValidBytes ? ReadWholeFile(path) : std::optional<std::string>("");
        const std::string kept =
            data ? data->substr(std::min<std::size_t>(from, data->size()),
                                Contents.ValidBytes - std::min<std::uint64_t>(from, Contents.ValidBytes))
                 : std::string();
        if (data && kept.size() == Contents.ValidBytes - std::min(from, Contents.ValidBytes)) {
            rewritten.emplace();
            for (std::size_t k = first; k < Contents.Steps.size(); ++k) {
                rewritten->Steps.push_back(Contents.Steps[k]);
                rewritten->Steps.back().Entries = {};
                rewritten->Steps.back().Offset -= from;
            }
            rewritten->ValidBytes = rewritten->FileBytes = kept.size();
        }
        const std::string fresh = path + ".new";
        const int n = CreateFresh(fresh);
        if (n < 0)
            throw EJournalError("cannot write " + fresh + ": " + ErrnoText(errno));
        const bool ok = WriteAll(n, kept) && ::fsync(n) == 0;
        const int err = errno;
        ::close(n);
        if (!ok || ::rename(fresh.c_str(), path.c_str()) != 0) {
            ::unlink(fresh.c_str());
            throw EJournalError("cannot write " + fresh + ": " + ErrnoText(ok ? errno : err));
        }
    }

    fd_ = OpenOwnFile(path, "the journal " + path, O_WRONLY | O_APPEND, true);
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        ::close(fd_);
        throw EJournalError("cannot read the journal " + path + ": " + ErrnoText(err));
    }
    const bool fresh = st.st_size == 0;
    opened_ = st;
    if (fresh)
        Journal.NoteRewrite(st, {});
    else if (rewritten && static_cast<std::uint64_t>(st.st_size) == rewritten->FileBytes)
        Journal.NoteRewrite(st, std::move(*rewritten));
    if (!WriteAll(fd_, plan) || ::fdatasync(fd_) != 0) {
        const int err = errno;
        // A plan cut short would hide every later step: the journal goes back to where it
        // ended (not a plan's length back from the end: part of it may never have been written).
        (void)::ftruncate(fd_, opened_.st_size);
        ::close(fd_);
        throw EJournalError("cannot write the journal " + path + ": " + ErrnoText(err));
    }
    if (fresh || first > 0 || damaged)
        SyncDirectory(Journal.Directory());
    id_ = Step.Id;
    appended_ = plan.size();
    noted_.Id = Step.Id;
    noted_.Time = Step.Time;
    noted_.Command = Step.Command;
    noted_.Undoes = Step.Undoes;
    noted_.Files = Step.Entries.size();
    noted_.Offset = static_cast<std::uint64_t>(opened_.st_size);
}

TStepWriter::~TStepWriter() {
    Writer w;
    w.U64(id_);
    pending_ += Record(rtEnd, w.Bytes());
    Flush();
    noted_.Finished = true;
    struct stat after;
    if (::fstat(fd_, &after) == 0)
        journal_->NoteAppend(opened_, after, appended_, lost_ ? nullptr : &noted_);
    ::close(fd_);
}

void TStepWriter::Append(const std::string& Record) {
    pending_ += Record;
    if (pending_.size() >= (64u << 10))
        Flush();
}

void TStepWriter::Flush() {
    // A lost outcome is not fatal: the undo then compares the file with the planned bytes.
    // Part of a record would be damage that hides every later step: it is taken back.
    struct stat st;
    const bool sized = ::fstat(fd_, &st) == 0;
    if (WriteAll(fd_, pending_)) {
        appended_ += pending_.size();
    } else {
        lost_ = true;
        if (sized)
            (void)::ftruncate(fd_, st.st_size);
    }
    pending_.clear();
}

void TStepWriter::Done(std::size_t Entry, const TFileState& After) {
    Writer w;
    w.U64(id_);
    w.U32(static_cast<std::uint32_t>(Entry));
    w.U8(TJournalEntry::joDone);
    w.State(After);
    w.Str({});
    Append(Record(rtOutcome, w.Bytes()));
}

void TStepWriter::Failed(std::size_t Entry, const std::string& Error) {
    Writer w;
    w.U64(id_);
    w.U32(static_cast<std::uint32_t>(Entry));
    w.U8(TJournalEntry::joFailed);
    w.State({});
    w.Str(Error);
    Append(Record(rtOutcome, w.Bytes()));
    if (Entry < noted_.Files)
        ++noted_.FailedFiles;
}

namespace {
TChangeJournal* g_active = nullptr;
bool g_activeSet = false;
} // namespace

TChangeJournal* ActiveJournal() {
    if (!g_activeSet) {
        static TChangeJournal defaultJournal(platform::StateDirectory() + "/veltrane");
        g_active = &defaultJournal;
        g_activeSet = true;
    }
    return g_active;
}

void SetActiveJournal(TChangeJournal* Journal) {
    g_active = Journal;
    g_activeSet = true;
}

std::optional<TFileState> NameState(const std::string& Path, int* Error) {
    const TPathAt at(Path);
    struct statx stx {};
    if (!at.Ok() || ::statx(at.Dir(), at.Name(), AT_SYMLINK_NOFOLLOW,
                            STATX_BASIC_STATS | STATX_BTIME, &stx) != 0) {
        if (Error)
            *Error = at.Ok() ? errno : at.Error();
        return std::nullopt;
    }
    TFileState s;
    s.Device = static_cast<std::uint64_t>(makedev(stx.stx_dev_major, stx.stx_dev_minor));
    s.Inode = stx.stx_ino;
    s.Size = stx.stx_size;
    if (stx.stx_mask & STATX_BTIME) {
        s.MtimeSec = stx.stx_btime.tv_sec;
        s.MtimeNsec = stx.stx_btime.tv_nsec;
    }
    return s;
}

bool SameNamedFile(const TFileState& Now, const TFileState& Recorded) {
    const bool born = (Now.MtimeSec | Now.MtimeNsec) != 0 &&
                      (Recorded.MtimeSec | Recorded.MtimeNsec) != 0;
    return Now.Device == Recorded.Device && Now.Inode == Recorded.Inode &&
           (!born || (Now.MtimeSec == Recorded.MtimeSec && Now.MtimeNsec == Recorded.MtimeNsec));
}

TFileState StateOfOpenFile(int Fd) {
    struct stat st;
    if (::fstat(Fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    return StateOfOpenFile(Fd, st);
}

TFileState StateOf(const struct stat& st, std::string_view Tail) {
    TFileState s;
    s.Device = static_cast<std::uint64_t>(st.st_dev);
    s.Inode = static_cast<std::uint64_t>(st.st_ino);
    s.Size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    s.MtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.MtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    s.Tail.assign(Tail);
    return s;
}

TFileState StateOfOpenFile(int Fd, const struct stat& st) {
    const std::uint64_t size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, kJournalTailSize));
    char tail[kJournalTailSize];
    if (n > 0 && !PreadAll(Fd, tail, n, static_cast<off_t>(size - n)))
        throw EInOutError(100);
    return StateOf(st, std::string_view(tail, n));
}

TTailOpen OpenForState(const std::string& Path, TDirectoryCache* Directories) {
    int fd;
    do {
        fd = Directories ? Directories->Open(Path, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOATIME)
                         : OpenLongPathNoAtime(Path, O_RDONLY | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw EInOutError::FromErrno(errno);
    TTailOpen open;
    open.File.reset(fd);
    if (::fstat(fd, &open.Status) != 0)
        throw EInOutError::FromErrno(errno);
    if (!S_ISREG(open.Status.st_mode))
        throw EInOutError(5);
    AddOwnerWriteBit(fd, Path, open.Status);
    open.Path = Path;
    open.TailEnd = static_cast<std::uint64_t>(open.Status.st_size);
    open.TailLength = static_cast<std::size_t>(std::min<std::uint64_t>(open.TailEnd, kJournalTailSize));
    return open;
}

TFileState ReadFileState(const std::string& Path, TDirectoryCache* Directories) {
    const TTailOpen open = OpenForState(Path, Directories);
    return StateOfOpenFile(open.File.get(), open.Status);
}

void RestoreTail(int Fd, std::uint64_t Size, const std::string& Tail) {
    struct stat st;
    if (::fstat(Fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    const std::uint64_t current = static_cast<std::uint64_t>(st.st_size);
    if (Tail.size() > Size || current + Tail.size() < Size)
        throw EInOutError(100); // would leave a hole: not a state this file had
    if (current > Size && ::ftruncate(Fd, static_cast<off_t>(Size)) != 0)
        throw EInOutError::FromErrno(errno);
    if (!PwriteAll(Fd, Tail.data(), Tail.size(), static_cast<off_t>(Size - Tail.size())))
        throw EInOutError::FromErrno(errno);
}

} // namespace veltrane

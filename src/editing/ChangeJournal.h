#pragma once
// The change journal: every tag write and rename Veltrane makes is recorded before the first
// file is touched, so a step can be taken back after a restart or a crash.
//
// One file "journal" in the state directory holds records (magic, type, length, CRC-32,
// payload). A step is a plan record, fsync'ed before any file changes, then one outcome
// record per file as it is done, then an end record. Reading stops at the first damaged
// record; the next step cuts the damage off (keeping a copy as "journal.damaged").

#include "tagcore/LongPath.h"
#include "tagcore/TailRunReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace veltrane {

inline constexpr std::size_t kJournalTailSize = 128;

// A file as seen at one moment: enough to tell whether anyone changed it since.
struct TFileState {
    std::uint64_t Device = 0, Inode = 0, Size = 0;
    std::int64_t MtimeSec = 0, MtimeNsec = 0;
    std::string Tail; // the last min(128, Size) bytes

    friend bool operator==(const TFileState&, const TFileState&) = default;
};

// Same file, same size, same last bytes (the time is not compared).
bool SameContent(const TFileState& A, const TFileState& B);
// Same file, size and modification time: nobody wrote it in between.
bool Untouched(const TFileState& A, const TFileState& B);

struct TJournalEntry {
    // jkTrash: Path went to the desktop's trash; jkUntrash: the file at Path, in the trash,
    // was put back as NewPath (and its trash record removed).
    // jkSync: a tail as jkTail, and the file's ID3v2 tag changed as Head says.
    enum TKind : std::uint8_t { jkTail = 1, jkRename = 2, jkTrash = 3, jkUntrash = 4, jkSync = 5 };
    enum TOutcome : std::uint8_t { joPending = 0, joDone = 1, joFailed = 2 };
    TKind Kind = jkTail;
    std::string Path;    // the file; for a rename its old name
    std::string NewPath; // rename: the new name
    TFileState Before;   // as read before the step (a rename: NameState)
    // Tail: the bytes to be written and the size afterwards (0: the writer decides between
    // replacing and appending).
    std::string Planned;
    std::uint64_t PlannedSize = 0;
    std::string Head; // jkSync: the ID3v2 region's change (EncodeV2Change)
    TOutcome Outcome = joPending;
    TFileState After;  // joDone of a tail: the file as the write left it
    std::string Error; // joFailed
};

struct TJournalStep {
    std::uint64_t Id = 0;
    std::int64_t Time = 0;    // seconds since the epoch
    std::string Command;      // "set album of 214 files"
    std::uint64_t Undoes = 0; // the step an undo takes back; 0 for an edit
    std::size_t Files = 0;              // how many entries the step has
    std::size_t FailedFiles = 0;        // outcomes recorded as failed
    std::vector<TJournalEntry> Entries; // only where asked for (see ReadLocked)
    bool Finished = false; // false: cut off by a crash (or still running)
    std::uint64_t Offset = 0; // where its plan record starts in the journal
};

struct TJournalContents {
    std::vector<TJournalStep> Steps; // oldest first
    std::uint64_t ValidBytes = 0;    // where the readable part ends
    std::uint64_t FileBytes = 0;
    std::string Damage; // empty, or what stopped the reading
};

class EJournalError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TChangeJournal {
  public:
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::uint64_t kMaxBytes = 64ull << 20;

    explicit TChangeJournal(std::string Directory) : dir_(std::move(Directory)) {}
    const std::string& Directory() const { return dir_; }
    std::string FilePath() const { return dir_ + "/journal"; }

    static constexpr std::uint64_t kAllSteps = ~std::uint64_t(0);

    // Reads the journal; the caller holds the lock. A missing journal is empty. Entries are
    // decoded for step WithEntries only (kAllSteps: for every step), so that a long journal
    // is checked and listed quickly.
    TJournalContents ReadLocked(std::uint64_t WithEntries = 0) const;
    // Takes the lock shared for the read.
    TJournalContents Read(std::uint64_t WithEntries = 0) const;

  private:
    friend class TStepWriter;
    // A step writer appended to the journal, which stood as Before and stands as After.
    // Step: the step as a read would find it, when every byte appended (Bytes) is known to
    // be there; else the appended bytes are parsed by the next read.
    void NoteAppend(const struct stat& Before, const struct stat& After, std::uint64_t Bytes,
                    const TJournalStep* Step) const;
    // A step writer wrote the journal anew (old steps dropped, damage cut): it holds Kept
    // and stands as Status.
    void NoteRewrite(const struct stat& Status, TJournalContents Kept) const;

    // What the last read without entries found, and the file's status it expects next: only
    // bytes this object's own writers appended are parsed again. Any other change to the
    // file, damage included, is caught by its status and read in full.
    struct TReadCache {
        std::mutex Mutex;
        bool Valid = false;
        struct stat Status {};
        TJournalContents Contents;
    };

    std::string dir_;
    std::shared_ptr<TReadCache> cache_ = std::make_shared<TReadCache>();
};

// The journal's lock (flock on "journal.lock"), held for a whole step so the window and the
// command line can work at the same time. Creates the directory. Throws EJournalError.
class TJournalLock {
  public:
    explicit TJournalLock(const TChangeJournal& Journal, bool Shared = false);
    ~TJournalLock();
    TJournalLock(const TJournalLock&) = delete;
    TJournalLock& operator=(const TJournalLock&) = delete;

  private:
    int fd_ = -1;
};

// Writes one step. Outcomes are written in batches: one a file would cost a system call each,
// and an outcome lost in a crash is made up for by the planned bytes. The constructor (lock held, Contents read under it) cuts off damage, drops
// the oldest steps beyond the limits, gives Step its id and appends and fsyncs the plan.
// Throws EJournalError when the plan cannot be stored; then no file may be touched.
class TStepWriter {
  public:
    TStepWriter(const TChangeJournal& Journal, const TJournalContents& Contents,
                TJournalStep& Step);
    ~TStepWriter(); // writes the end record
    TStepWriter(const TStepWriter&) = delete;
    TStepWriter& operator=(const TStepWriter&) = delete;

    void Done(std::size_t Entry, const TFileState& After);
    void Failed(std::size_t Entry, const std::string& Error);

  private:
    void Append(const std::string& Record);
    void Flush();
    int fd_ = -1;
    std::uint64_t id_ = 0;
    std::string pending_; // outcomes not yet written
    TJournalStep noted_;  // the step without its entries, as a read would find it
    std::uint64_t appended_ = 0; // bytes written
    bool lost_ = false;          // a batch of outcomes could not be written
    const TChangeJournal* journal_;
    struct stat opened_ {}; // the journal as it stood before the plan went in
};

// The journal the editing commands record into: by default "veltrane" in the user's state
// directory. Set to nullptr, nothing is recorded (benchmarks compare against that).
TChangeJournal* ActiveJournal();
void SetActiveJournal(TChangeJournal* Journal);

// Opens Path read-only and reads its state. Gives the owner write permission when it is
// missing, as the tag reader does, so the write that follows can open the file. Throws
// EInOutError (a directory or device is refused as "File access denied").
// Directories, when given, opens the file relative to its folder.
TFileState ReadFileState(const std::string& Path, TDirectoryCache* Directories = nullptr);
// What a name stands for (the link itself when it is one), as a rename keeps it: device,
// inode, size and, in the time fields, the birth time where the file system keeps one (else
// 0), so that a new file given the inode of a removed one is told apart. Empty with Error set
// to the errno when there is no such name.
std::optional<TFileState> NameState(const std::string& Path, int* Error = nullptr);
// Whether a name's state is the same file as Recorded: device and inode, and the birth time
// where both have one.
bool SameNamedFile(const TFileState& Now, const TFileState& Recorded);

// The state of an open file: its status and last bytes.
TFileState StateOfOpenFile(int Fd);
// The same with its status already at hand (st from fstat of Fd).
TFileState StateOfOpenFile(int Fd, const struct stat& st);
// The state of a file with status st whose last bytes (min(128, size)) are Tail.
TFileState StateOf(const struct stat& st, std::string_view Tail);
// ReadFileState up to the read of the tail: the file open, checked and its write bit handled,
// with the tail to read.
TTailOpen OpenForState(const std::string& Path, TDirectoryCache* Directories = nullptr);
// Brings an open file back to Size ending in Tail: cut when longer, then the bytes written at
// Size - Tail.size(). Throws EInOutError.
void RestoreTail(int Fd, std::uint64_t Size, const std::string& Tail);

} // namespace veltrane

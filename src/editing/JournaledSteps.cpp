#include "editing/JournaledSteps.h"

#include "editing/ChangeJournal.h"
#include "editing/SyncV2.h"

#include "platform/RenameNoReplace.h"
#include "platform/SystemDirs.h"
#include "tagcore/LongPath.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/TailRunReader.h"
#include "tagcore/UiText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <stdexcept>
#include <sys/stat.h>

namespace veltrane {

namespace {

struct TTagItem {
    std::size_t PathIndex;
    TMP3Tag Tag;
    TFileState Before;
    std::string Planned; // the tag's bytes, when journaled
    std::optional<TV2Change> Sync; // the ID3v2 tag changes too
    std::optional<TV2InPlace> SyncBytes; // what Sync writes, from bytes read with Before
};

// A file as the step read it: its state and, when ID3v2 tags are looked at, its first bytes.
struct TStepRead {
    TFileState State;
    std::optional<TV2Head> Head;
};

// Plans the ID3v2 side of Item (Old: its record as read) when the steps keep ID3v2 tags in
// step or count them (Head: the file's start, as read). A tag left alone is noted; a file
// that cannot be grown is refused.
void PlanSync(TTagItem& Item, const TMP3Tag& Old, const TagCodec& Codec, const TV2Head* Head) {
    TSyncV2* sync = ActiveSyncV2();
    if (!sync || (!sync->Enabled && !sync->Count))
        return;
    const TV2Edit edit = V2EditFor(Old, Item.Tag, Codec);
    if (edit.Empty())
        return;
    const TV2Rewrite* rewrite = ActiveV2Rewrite();
    TV2Plan plan = PlanV2(Item.Tag.FileName, Item.Before, edit, !sync->Enabled,
                          rewrite ? TV2Adjust([&](const TV2Texts& Frames, TV2Edit& Edit) {
                              (*rewrite)(Old, Frames, Edit);
                          })
                                  : TV2Adjust(),
                          false, Head);
    if (plan.Refused)
        throw std::runtime_error(plan.Problem);
    const std::lock_guard<std::mutex> lock(sync->Mutex);
    if (plan.Holds)
        ++sync->Holding;
    if (!plan.Problem.empty())
        sync->Skipped.push_back({Item.Tag.FileName, plan.Problem});
    Item.Sync = std::move(plan.Change);
    if (Item.Sync && Head)
        Item.SyncBytes = std::move(plan.InPlace);
}

// The file as it stands, without reading its bytes: enough for Untouched.
TFileState StatusOf(const struct stat& st) {
    TFileState s;
    s.Device = static_cast<std::uint64_t>(st.st_dev);
    s.Inode = static_cast<std::uint64_t>(st.st_ino);
    s.Size = static_cast<std::uint64_t>(st.st_size);
    s.MtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.MtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return s;
}

// The journal is read by other programs and from other working directories (the window
// undoes what the command line did): it keeps every name whole.
std::string WholePath(const std::string& Path) {
    if (Path.empty() || Path.front() == '/')
        return Path;
    const std::string dir = platform::CurrentDirectory();
    if (dir.empty() || dir.front() != '/')
        return Path; // the working directory is gone: the name as given is all there is
    return dir.back() == '/' ? dir + Path : dir + '/' + Path;
}

TNoUndoConsent& NoUndoConsent() {
    static TNoUndoConsent consent;
    return consent;
}

constexpr std::size_t kTagSize = 128; // an ID3v1 tag, as the journal tail
static_assert(kJournalTailSize == kTagSize, "the tail after a write is the tag written");

// The state a tag write left (Before: the file just before it). Its tail is the tag just
// written, so it is not read back; a size that no write of ours gives is read as it is.
TFileState StateAfterTagWrite(int Fd, const struct stat& Before, const std::string& Written) {
    struct stat st;
    if (::fstat(Fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    const bool ours = st.st_ino == Before.st_ino &&
                      (st.st_size == Before.st_size ||
                       st.st_size == Before.st_size + static_cast<off_t>(kTagSize));
    if (!S_ISREG(st.st_mode) || !ours || Written.size() != kTagSize ||
        st.st_size < static_cast<off_t>(kTagSize))
        return StateOfOpenFile(Fd, st);
    TFileState s = StatusOf(st);
    s.Tail = Written;
    return s;
}

bool MayGoOnWithoutUndo(const EJournalError& Error) {
    return veltrane::MayGoOnWithoutUndo(std::string(Error.what()));
}

} // namespace

bool MayGoOnWithoutUndo(const std::string& Reason) {
    const TNoUndoConsent& consent = NoUndoConsent();
    return consent && consent(Reason);
}

std::string TrashStepCommand(std::size_t Files) {
    return "move " + FileCount(Files) + " to the trash";
}

struct TJournaledTrash::TState {
    TJournalStep Step;
    std::vector<std::size_t> Entry; // per path: its entry, or npos when it has none
    std::optional<TJournalLock> Lock;
    std::optional<TStepWriter> Writer;
};

TJournaledTrash::TJournaledTrash() = default;
TJournaledTrash::~TJournaledTrash() = default;

void TJournaledTrash::Begin(const std::vector<std::string>& Paths) {
    state_ = std::make_unique<TState>();
    TState& s = *state_;
    s.Entry.assign(Paths.size(), std::string::npos);
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        const std::optional<TFileState> state = Paths[i].empty() ? std::nullopt : NameState(Paths[i]);
        if (!state)
            continue; // the trash reports it
        TJournalEntry e;
        e.Kind = TJournalEntry::jkTrash;
        e.Path = WholePath(Paths[i]);
        e.Before = *state;
        s.Entry[i] = s.Step.Entries.size();
        s.Step.Entries.push_back(std::move(e));
    }
    TChangeJournal* journal = ActiveJournal();
    if (!journal || s.Step.Entries.empty())
        return;
    try {
        s.Lock.emplace(*journal);
        const TJournalContents contents = journal->ReadLocked();
        s.Step.Command = TrashStepCommand(s.Step.Entries.size());
        s.Writer.emplace(*journal, contents, s.Step);
    } catch (const EJournalError& e) {
        s.Lock.reset();
        if (!MayGoOnWithoutUndo(e)) {
            state_.reset();
            throw EJournalError(
                std::string("not moved to the trash, the change cannot be recorded for undo: ") +
                e.what());
        }
    }
}

void TJournaledTrash::Outcome(std::size_t Index, const platform::FileOpStatus& Status) {
    if (!state_ || !state_->Writer || Index >= state_->Entry.size() ||
        state_->Entry[Index] == std::string::npos)
        return;
    const std::size_t k = state_->Entry[Index];
    if (Status.ok())
        state_->Writer->Done(k, state_->Step.Entries[k].Before);
    else
        state_->Writer->Failed(k, Status.message);
}

void TJournaledTrash::End() {
    if (!state_)
        return;
    state_->Writer.reset(); // the end record, then the lock
    state_.reset();
}

TNoUndoConsent SetNoUndoConsent(TNoUndoConsent Consent) {
    std::swap(NoUndoConsent(), Consent);
    return Consent;
}

std::string NoUndoQuestion(const std::string& Reason) {
    return FillText(UiText("JournaledSteps",
                           "Changes cannot be recorded for Undo: %1. Make them without Undo?"),
                    {Reason});
}

std::string FileCount(std::size_t Files) {
    return std::to_string(Files) + (Files == 1 ? " file" : " files");
}

namespace {

// The first place of each path in Paths: a path named twice is done once.
std::vector<std::size_t> FirstPlaces(const std::vector<std::string>& Paths) {
    std::unordered_set<std::string_view> seen;
    std::vector<std::size_t> unique;
    for (std::size_t i = 0; i < Paths.size(); ++i)
        if (seen.insert(Paths[i]).second)
            unique.push_back(i);
    return unique;
}

// Makes the record of each path of Unique from its state (State(k) for the k-th, in order;
// it may throw). Two names of one file (a hard link) would be written at the same time: the
// first name is changed, the others are left alone and reported.
std::vector<TTagItem> MakeItems(const std::vector<std::string>& Paths,
                                const std::vector<std::size_t>& Unique,
                                const std::function<TStepRead(std::size_t K)>& State,
                                const std::function<void(std::size_t, TMP3Tag&)>& Change,
                                const TagCodec& Codec, std::vector<std::exception_ptr>& Errors) {
    std::vector<TTagItem> items;
    items.reserve(Unique.size());
    std::unordered_map<std::uint64_t, std::unordered_set<std::uint64_t>> files;
    for (std::size_t k = 0; k < Unique.size(); ++k) {
        const std::size_t i = Unique[k];
        try {
            TStepRead read = State(k);
            TTagItem item{i, {}, std::move(read.State), {}, {}, {}};
            if (!files[item.Before.Device].insert(item.Before.Inode).second)
                throw std::runtime_error(std::string(kMsgSameFile));
            item.Tag = ParseTagBytes(item.Before.Tail, Codec, &Paths[i]);
            item.Tag.FileName = Paths[i];
            const TMP3Tag old = item.Tag;
            Change(i, item.Tag);
            PlanSync(item, old, Codec, read.Head ? &*read.Head : nullptr);
            items.push_back(std::move(item));
        } catch (...) {
            Errors[i] = std::current_exception();
        }
    }
    return items;
}

// Records Items as one step, then writes them. CheckAlways: each write checks its file is
// untouched since the state in Before, and its last bytes the same, even when no journal is
// active.
void RecordAndWrite(const std::vector<std::string>& Paths, std::vector<TTagItem>& Items,
                    std::vector<std::exception_ptr>& Errors, const TDescribeStep& Describe,
                    const TagCodec& Codec, const std::function<void(const TMP3Tag&)>& Written,
                    const ProgressScope* Progress, bool CheckAlways) {
    TChangeJournal* journal = ActiveJournal();
    std::optional<TJournalLock> lock;
    std::optional<TStepWriter> writer;
    if (journal && !Items.empty()) {
        try {
            lock.emplace(*journal);
            const TJournalContents contents = journal->ReadLocked();
            TJournalStep step;
            step.Command = Describe(Items.size());
            step.Entries.resize(Items.size());
            for (std::size_t k = 0; k < Items.size(); ++k) {
                TJournalEntry& e = step.Entries[k];
                e.Path = WholePath(Items[k].Tag.FileName);
                e.Before = Items[k].Before;
                Items[k].Planned = BuildTagBytes(Items[k].Tag, Codec);
                e.Planned = Items[k].Planned;
                if (Items[k].Sync) {
                    e.Kind = TJournalEntry::jkSync;
                    e.Head = EncodeV2Change(*Items[k].Sync);
                }
            }
            writer.emplace(*journal, contents, step);
        } catch (const EJournalError& e) {
            lock.reset();
            if (!MayGoOnWithoutUndo(e)) {
                const EJournalError refused(
                    std::string("not written, the change cannot be recorded for undo: ") +
                    e.what());
                for (const TTagItem& item : Items)
                    Errors[item.PathIndex] = std::make_exception_ptr(refused);
                Items.clear();
            }
        }
    }

    // The writes run several at a time too, each checking and reading back its own file;
    // this thread records the outcomes in list order. Files written ahead of a crash are
    // undone by their planned bytes, as those whose outcome was not yet flushed. A file
    // changed since its read is left alone with or without a record.
    const bool journaled = journal != nullptr;
    const bool check = journaled || CheckAlways;
    TOrderedReader<TFileState, TDirectoryCache> writes(
        Items.size(), 0, [&](std::size_t k, TDirectoryCache& directories) {
            const TTagItem& item = Items[k];
            if (item.Sync)
                return WriteSynced(item.Tag.FileName, item.Before, *item.Sync,
                                   item.Planned.empty() ? BuildTagBytes(item.Tag, Codec)
                                                        : item.Planned,
                                   0, item.SyncBytes ? &*item.SyncBytes : nullptr, &directories);
            TFileState after;
            SetMP3Tag(item.Tag.FileName, item.Tag, Codec,
                      [&](int fd, bool done, const struct stat& status) {
                if (!done) {
                    if (check && !Untouched(StatusOf(status), item.Before))
                        throw std::runtime_error(std::string(kMsgChangedMeanwhile));
                    // Read long before (a preview stays open), the file may have been retagged
                    // in the same clock tick or by a tool that keeps its time: the bytes about
                    // to be replaced must be those read.
                    if (CheckAlways && StateOfOpenFile(fd, status).Tail != item.Before.Tail)
                        throw std::runtime_error(std::string(kMsgChangedMeanwhile));
                } else if (journaled) {
                    after = item.Planned.empty() ? StateOfOpenFile(fd)
                                                 : StateAfterTagWrite(fd, status, item.Planned);
                }
            }, &directories,
                      // Read moments ago with this status: the tail is not read again. (An
                      // import checks the bytes themselves, read long before.)
                      [&](const struct stat& status) -> const char* {
                          return !CheckAlways && item.Before.Tail.size() == kTagSize &&
                                         Untouched(StatusOf(status), item.Before)
                                     ? item.Before.Tail.data()
                                     : nullptr;
                      });
            return after;
        });
    std::size_t next = 0;
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        if (next < Items.size() && Items[next].PathIndex == i) {
            const std::size_t k = next++;
            const TTagItem& item = Items[k];
            try {
                const TFileState after = writes.Next();
                if (writer)
                    writer->Done(k, after);
                if (Written)
                    Written(item.Tag);
            } catch (const std::exception& e) {
                if (writer)
                    writer->Failed(k, e.what());
                Errors[i] = std::current_exception();
            }
        }
        if (Progress)
            Progress->SetPosition(i + 1);
    }
}

TFileFailures FailuresOf(const std::vector<std::string>& Paths,
                         const std::vector<std::exception_ptr>& Errors) {
    TFileFailures failures;
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        if (!Errors[i])
            continue;
        try {
            std::rethrow_exception(Errors[i]);
        } catch (const std::exception& e) {
            failures.push_back({Paths[i], e.what()});
        }
    }
    return failures;
}

} // namespace

std::vector<std::exception_ptr> RunTagStepErrors(const std::vector<std::string>& Paths,
                                                 const TDescribeStep& Describe,
                                                 const std::function<void(TMP3Tag&)>& Change,
                                                 const TagCodec& Codec,
                                                 const std::function<void(const TMP3Tag&)>& Written,
                                                 const ProgressScope* Progress) {
    std::vector<std::exception_ptr> errors(Paths.size());
    const std::vector<std::size_t> unique = FirstPlaces(Paths);
    // Every file is read before the first is written, so the reads may run ahead, a run of
    // files at a time: a cold disk answers many requests at once far faster than one after
    // another.
    struct ReadState {
        ReadState(const std::vector<std::string>& paths, const std::vector<std::size_t>& unique,
                  std::size_t headLength)
            : Tails([&paths, &unique, headLength](std::size_t k, TDirectoryCache* directories) {
                  TTailOpen open = OpenForState(paths[unique[k]], directories);
                  open.HeadLength =
                      static_cast<std::size_t>(std::min<std::uint64_t>(open.TailEnd, headLength));
                  return open;
              }) {}
        TDirectoryCache Directories;
        TTailRunReader Tails;
    };
    // Keeping ID3v2 tags in step, the same read takes each file's start: the plan splices
    // from it and the write trusts it as it trusts the tail.
    const TSyncV2* sync = ActiveSyncV2();
    const std::size_t headLength = !sync           ? 0
                                   : sync->Enabled ? kV2FirstRead
                                   : sync->Count   ? std::size_t{10}
                                                   : 0;
    using Reader = TOrderedReader<TStepRead, std::optional<ReadState>>;
    Reader reader(
        unique.size(), 0,
        Reader::ReadWithState([&](std::size_t k, std::optional<ReadState>& state) {
            if (!state)
                state.emplace(Paths, unique, headLength);
            state->Tails.PrepareRunAt(k, unique.size(), &state->Directories);
            const TTailRunReader::TTail tail = state->Tails.Read(k, &state->Directories);
            TStepRead read{StateOf(tail.Status, tail.Bytes), {}};
            if (headLength != 0) {
                read.Head.emplace();
                read.Head->Links = static_cast<std::uint64_t>(tail.Status.st_nlink);
                read.Head->Owner = static_cast<std::uint32_t>(tail.Status.st_uid);
                // Only the tag, when it ends inside; a tag running past is read by the plan.
                const std::size_t tag = V2RegionSize(tail.Head);
                if (tail.Head.starts_with("ID3"))
                    read.Head->Bytes =
                        tail.Head.substr(0, tag != 0 && tag <= tail.Head.size()
                                                ? tag
                                                : std::min<std::size_t>(tail.Head.size(), 10));
            }
            return read;
        }),
        TTailRunReader::kMaxRun);
    std::vector<TTagItem> items = MakeItems(
        Paths, unique, [&](std::size_t) { return reader.Next(); },
        [&](std::size_t, TMP3Tag& tag) { Change(tag); }, Codec, errors);
    RecordAndWrite(Paths, items, errors, Describe, Codec, Written, Progress, false);
    return errors;
}

TFileFailures RunTagStep(const std::vector<std::string>& Paths, const TDescribeStep& Describe,
                         const std::function<void(TMP3Tag&)>& Change, const TagCodec& Codec,
                         const std::function<void(const TMP3Tag&)>& Written,
                         const ProgressScope* Progress) {
    return FailuresOf(Paths, RunTagStepErrors(Paths, Describe, Change, Codec, Written, Progress));
}

TFileFailures RunReadTagStep(const std::vector<TReadFile>& Files, const TDescribeStep& Describe,
                             const std::function<void(std::size_t Index, TMP3Tag&)>& Change,
                             const TagCodec& Codec,
                             const std::function<void(const TMP3Tag&)>& Written,
                             const ProgressScope* Progress) {
    std::vector<std::string> paths;
    paths.reserve(Files.size());
    for (const TReadFile& file : Files)
        paths.push_back(file.Path);
    std::vector<std::exception_ptr> errors(paths.size());
    const std::vector<std::size_t> unique = FirstPlaces(paths);
    std::vector<TTagItem> items = MakeItems(
        paths, unique,
        [&](std::size_t k) {
            return TStepRead{Files[unique[k]].Before, {}};
        },
        Change, Codec, errors);
    RecordAndWrite(paths, items, errors, Describe, Codec, Written, Progress, true);
    return FailuresOf(paths, errors);
}

std::vector<int> RunRenameStep(const std::vector<TRenameItem>& Items,
                               const TDescribeStep& Describe, const ProgressScope* Progress) {
    std::vector<int> codes(Items.size(), 0);
    std::vector<std::size_t> planned; // indexes into Items
    TJournalStep step;
    for (std::size_t i = 0; i < Items.size(); ++i) {
        const std::optional<TFileState> state = NameState(Items[i].From, &codes[i]);
        if (!state)
            continue;
        TJournalEntry e;
        e.Kind = TJournalEntry::jkRename;
        e.Path = WholePath(Items[i].From);
        e.NewPath = WholePath(Items[i].To);
        e.Before = *state;
        step.Entries.push_back(std::move(e));
        planned.push_back(i);
    }

    TChangeJournal* journal = ActiveJournal();
    std::optional<TJournalLock> lock;
    std::optional<TStepWriter> writer;
    if (journal && !planned.empty()) {
        try {
            lock.emplace(*journal);
            const TJournalContents contents = journal->ReadLocked();
            step.Command = Describe(planned.size());
            writer.emplace(*journal, contents, step);
        } catch (const EJournalError& e) {
            lock.reset();
            if (!MayGoOnWithoutUndo(e))
                throw;
        }
    }

    std::size_t next = 0;
    for (std::size_t i = 0; i < Items.size(); ++i) {
        if (next < planned.size() && planned[next] == i) {
            const std::size_t k = next++;
            codes[i] = RenameNoReplace(Items[i].From, Items[i].To);
            if (writer) {
                if (codes[i] == 0)
                    writer->Done(k, step.Entries[k].Before);
                else
                    writer->Failed(k, std::strerror(codes[i]));
            }
        }
        if (Progress)
            Progress->SetPosition(i + 1);
    }
    return codes;
}

} // namespace veltrane

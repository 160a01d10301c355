#include "editing/Undo.h"

#include "editing/JournaledSteps.h"
#include "editing/StepNames.h"
#include "editing/SyncV2.h"
#include "platform/FileOperations.h"
#include "platform/RenameNoReplace.h"
#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/UiText.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

namespace {

constexpr std::string_view kMsgReadOnly = "read-only; left as it is";
constexpr std::string_view kMsgChangedSince = "changed since Veltrane wrote it; left as it is";
constexpr std::string_view kMsgMovedSince =
    "renamed, removed or replaced since Veltrane renamed it; left as it is";
constexpr std::string_view kMsgNotInTrash = "no longer in the trash; left as it is";
constexpr std::string_view kMsgMovedSincePutBack =
    "renamed, removed or replaced since Veltrane put it back; left as it is";

struct Closer {
    int fd;
    ~Closer() {
        if (fd >= 0)
            ::close(fd);
    }
};

// A file the user may not write: no write bit for its owner, or refused by the system.
bool ReadOnlyMode(mode_t Mode) {
    return (Mode & S_IWUSR) == 0;
}
bool ReadOnlyError(int Err) {
    return Err == EACCES || Err == EPERM || Err == EROFS;
}

// The file as it stands and its mode. Unlike the tag reader, undo never changes a mode.
TFileState CurrentState(const std::string& Path, mode_t& Mode) {
    int fd;
    do {
        fd = OpenLongPathNoAtime(Path, O_RDONLY | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw EInOutError::FromErrno(errno);
    const Closer closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw EInOutError(5);
    Mode = st.st_mode;
    return StateOfOpenFile(fd, st);
}

bool SameFile(const TFileState& A, const TFileState& B) {
    return A.Device == B.Device && A.Inode == B.Inode;
}

// The tag writer keeps an ID3v1.1 track number (bytes 125 and 126) that the new comment
// leaves room for: the planned bytes with the old track bytes are the writer's result too.
bool KeptTrack(const TJournalEntry& E, const std::string& Tail) {
    if (Tail.size() != kJournalTailSize || E.Planned.size() != kJournalTailSize ||
        E.Before.Tail.size() != kJournalTailSize)
        return false;
    std::string kept = E.Planned;
    kept[125] = E.Before.Tail[125];
    kept[126] = E.Before.Tail[126];
    return Tail == kept;
}

// Whether Current is what the entry's step left: the bytes read back after the write, or,
// when the step was cut off before its outcome was stored, the planned bytes.
bool LeftByStep(const TJournalEntry& E, const TFileState& Current) {
    if (!SameFile(Current, E.Before))
        return false;
    if (E.Outcome == TJournalEntry::joDone)
        return SameContent(Current, E.After);
    if (Current.Tail != E.Planned && !(E.PlannedSize == 0 && KeptTrack(E, Current.Tail)))
        return false;
    if (E.PlannedSize != 0)
        return Current.Size == E.PlannedSize;
    return Current.Size == E.Before.Size || Current.Size == E.Before.Size + kJournalTailSize;
}


// Gives the file the entry's planned tail, when nobody wrote it since it was read. A
// read-only file is left as it is; with Force it is written and keeps its mode.
TFileState ApplyTail(const TJournalEntry& E, bool Force) {
    int fd;
    do {
        fd = OpenLongPathNoAtime(E.Path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    // Opened read-only to lend the owner the write bit for this one write.
    Closer lent{-1};
    mode_t lentMode = 0;
    if (fd < 0 && Force && (errno == EACCES || errno == EPERM)) {
        lent.fd = OpenLongPathNoAtime(E.Path, O_RDONLY | O_NOCTTY | O_NONBLOCK);
        struct stat st;
        if (lent.fd >= 0 && ::fstat(lent.fd, &st) == 0 && S_ISREG(st.st_mode) &&
            ::fchmod(lent.fd, (st.st_mode & 07777) | S_IWUSR) == 0) {
            lentMode = st.st_mode & 07777;
            fd = OpenLongPathNoAtime(E.Path, O_RDWR | O_NOCTTY | O_NONBLOCK);
            const int err = errno;
            struct stat now;
            if (fd >= 0 && (::fstat(fd, &now) != 0 || now.st_ino != st.st_ino ||
                            now.st_dev != st.st_dev)) {
                ::close(fd);
                fd = -1;
                errno = ESTALE;
            } else {
                errno = err;
            }
        } else {
            errno = EACCES;
        }
    }
    struct ModeBack {
        const Closer& file;
        mode_t mode;
        ~ModeBack() {
            if (file.fd >= 0)
                (void)::fchmod(file.fd, mode);
        }
    } modeBack{lent, lentMode};
    if (fd < 0) {
        if (ReadOnlyError(errno))
            throw std::runtime_error(std::string(kMsgReadOnly));
        if (errno == ESTALE)
            throw std::runtime_error(std::string(kMsgChangedSince));
        throw EInOutError::FromErrno(errno);
    }
    Closer closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    // Root opens any file for writing: the mode itself tells.
    if (!Force && ReadOnlyMode(st.st_mode))
        throw std::runtime_error(std::string(kMsgReadOnly));
    const TFileState now = StateOfOpenFile(fd, st);
    if (!Untouched(now, E.Before))
        throw std::runtime_error(std::string(kMsgChangedSince));
    RestoreTail(fd, E.PlannedSize, E.Planned);
    TFileState after = StateOfOpenFile(fd);
    closer.fd = -1;
    if (::close(fd) != 0)
        throw EInOutError::FromErrno(errno);
    return after;
}

// How far a step is from the edit it goes back to: 0 an edit, 1 its undo, 2 the undo of that
// (a redo), and so on. A chain whose start was dropped from the journal is told by its text.
int Depth(const std::map<std::uint64_t, const TJournalStep*>& Steps, const TJournalStep& Step) {
    int depth = 0;
    const TJournalStep* at = &Step;
    while (at->Undoes != 0 && depth < 1000) {
        ++depth;
        const auto it = Steps.find(at->Undoes);
        if (it == Steps.end() || it->second->Id >= at->Id)
            return at->Command.starts_with("redo of step ") ? depth + 1 : depth;
        at = it->second;
    }
    return depth;
}

std::map<std::uint64_t, const TJournalStep*> StepIndex(const TJournalContents& Contents) {
    std::map<std::uint64_t, const TJournalStep*> index;
    for (const TJournalStep& s : Contents.Steps)
        index[s.Id] = &s;
    return index;
}

bool Undoable(const TJournalStep& Step) {
    return Step.Files > 0 && !ChangedNothing(Step);
}

} // namespace

std::set<std::uint64_t> UndoneSteps(const TJournalContents& Contents) {
    std::set<std::uint64_t> undone;
    for (auto it = Contents.Steps.rbegin(); it != Contents.Steps.rend(); ++it) {
        if (it->Undoes != 0 && !undone.count(it->Id))
            undone.insert(it->Undoes);
    }
    return undone;
}

bool TakesBack(const TJournalContents& Contents, const TJournalStep& Step) {
    return Depth(StepIndex(Contents), Step) % 2 == 1;
}

const TJournalStep* LastUndoable(const TJournalContents& Contents) {
    const std::set<std::uint64_t> undone = UndoneSteps(Contents);
    const auto index = StepIndex(Contents);
    for (auto it = Contents.Steps.rbegin(); it != Contents.Steps.rend(); ++it) {
        if (!undone.count(it->Id) && Undoable(*it) && Depth(index, *it) % 2 == 0)
            return &*it;
    }
    return nullptr;
}

const TJournalStep* LastRedoable(const TJournalContents& Contents) {
    const std::set<std::uint64_t> undone = UndoneSteps(Contents);
    const auto index = StepIndex(Contents);
    for (auto it = Contents.Steps.rbegin(); it != Contents.Steps.rend(); ++it) {
        if (undone.count(it->Id) || !Undoable(*it))
            continue;
        const int depth = Depth(index, *it);
        if (depth % 2 == 1)
            return &*it;
        if (depth == 0)
            return nullptr; // a new change ends what can be redone
    }
    return nullptr;
}

std::string StepSubject(const TJournalStep& Step) {
    std::string_view text = Step.Command;
    for (;;) {
        std::string_view rest;
        if (text.starts_with("undo of step "))
            rest = text.substr(13);
        else if (text.starts_with("redo of step "))
            rest = text.substr(13);
        else
            break;
        std::size_t digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        if (digits == 0 || rest.substr(digits, 2) != ": ")
            break;
        text = rest.substr(digits + 2);
    }
    return std::string(text);
}

bool ChangedNothing(const TJournalStep& Step) {
    return Step.Files > 0 && Step.FailedFiles >= Step.Files;
}

std::string UndoCaption(const TJournalStep& Step) {
    return FillText(UiText("Undo", "Undo: %1"), {ShownStepName(StepSubject(Step))});
}

std::string RedoCaption(const TJournalStep& Step) {
    return FillText(UiText("Undo", "Redo: %1"), {ShownStepName(StepSubject(Step))});
}

namespace {

// The writer of the undo step, or none when the journal cannot take it and the no-undo
// consent allows going on without it.
void StartUndoWriter(std::optional<TStepWriter>& Writer, TChangeJournal& Journal,
                     const TJournalContents& Contents, TJournalStep& Undo, TUndoReport& Report) {
    try {
        Writer.emplace(Journal, Contents, Undo);
    } catch (const EJournalError& e) {
        if (!MayGoOnWithoutUndo(e.what()))
            throw EUndoNotRecorded(std::string("nothing was taken back, the undo cannot be "
                                               "recorded: ") + e.what());
        Report.Unrecorded = true;
    }
}

} // namespace

static TUndoReport UndoLocked(TChangeJournal& Journal, std::uint64_t Id, bool Force);

TUndoReport UndoStep(TChangeJournal& Journal, std::uint64_t Id, bool Force) {
    const TJournalLock lock(Journal);
    if (Id == 0) {
        const TJournalContents steps = Journal.ReadLocked();
        const TJournalStep* last = LastUndoable(steps);
        if (!last)
            throw EJournalError("nothing to undo");
        Id = last->Id;
    }
    return UndoLocked(Journal, Id, Force);
}

TUndoReport RedoStep(TChangeJournal& Journal, bool Force) {
    const TJournalLock lock(Journal);
    const TJournalContents steps = Journal.ReadLocked();
    const TJournalStep* last = LastRedoable(steps);
    if (!last)
        throw EJournalError("nothing to redo");
    return UndoLocked(Journal, last->Id, Force);
}

static TUndoReport UndoLocked(TChangeJournal& Journal, std::uint64_t Id, bool Force) {
    const TJournalContents contents = Journal.ReadLocked(Id);
    TUndoReport report;
    report.Damage = contents.Damage;
    const TJournalStep* target = nullptr;
    for (const TJournalStep& s : contents.Steps) {
        if (s.Id == Id)
            target = &s;
    }
    if (!target)
        throw EJournalError("there is no step " + std::to_string(Id) + " in the journal");
    if (target->Files == 0)
        throw EJournalError("step " + std::to_string(Id) + " changed no file: nothing to undo");
    report.Step = target->Id;
    report.Command = target->Command;
    report.Subject = StepSubject(*target);

    // Newest change first: a later rename in the step may have taken an earlier one's name.
    report.Redo = TakesBack(contents, *target);
    TJournalStep undo;
    undo.Undoes = target->Id;
    undo.Command = (report.Redo ? "redo of step " : "undo of step ") +
                   std::to_string(target->Id) + ": " + StepSubject(*target);
    for (auto it = target->Entries.rbegin(); it != target->Entries.rend(); ++it) {
        const TJournalEntry& e = *it;
        TJournalEntry back;
        if (e.Kind == TJournalEntry::jkTail) {
            TFileState now;
            mode_t mode = 0;
            try {
                now = CurrentState(e.Path, mode);
            } catch (const std::exception& x) {
                report.Failures.push_back({e.Path, x.what()});
                continue;
            }
            if (SameContent(now, e.Before)) {
                ++report.AlreadyBack;
                continue;
            }
            if (!LeftByStep(e, now)) {
                report.Failures.push_back({e.Path, std::string(kMsgChangedSince)});
                continue;
            }
            if (!Force && ReadOnlyMode(mode)) {
                report.Failures.push_back({e.Path, std::string(kMsgReadOnly)});
                ++report.ReadOnly;
                continue;
            }
            back.Path = e.Path;
            back.Before = now;
            back.Planned = e.Before.Tail;
            back.PlannedSize = e.Before.Size;
        } else if (e.Kind == TJournalEntry::jkSync) {
            TFileState now;
            mode_t mode = 0;
            TSyncedUndo plan;
            try {
                now = CurrentState(e.Path, mode);
                plan = PlanSyncedUndo(e, now, back);
            } catch (const std::exception& x) {
                report.Failures.push_back({e.Path, x.what()});
                continue;
            }
            if (plan == TSyncedUndo::suAlreadyBack) {
                ++report.AlreadyBack;
                continue;
            }
            if (plan == TSyncedUndo::suChangedSince) {
                report.Failures.push_back({e.Path, std::string(kMsgChangedSince)});
                continue;
            }
            if (ReadOnlyMode(mode)) {
                report.Failures.push_back({e.Path, std::string(kMsgReadOnly)});
                ++report.ReadOnly;
                continue;
            }
        } else if (e.Kind == TJournalEntry::jkTrash) {
            // Not trashed (failed, or cut off before it): nothing to put back.
            if (e.Outcome == TJournalEntry::joFailed)
                continue;
            const std::optional<TFileState> here = NameState(e.Path);
            if (here && SameNamedFile(*here, e.Before)) {
                ++report.AlreadyBack;
                continue;
            }
            const auto found = platform::FindInTrash(e.Path, e.Before.Device, e.Before.Inode);
            const std::optional<TFileState> trashed =
                found ? NameState(found->FilePath) : std::nullopt;
            if (!trashed || !SameNamedFile(*trashed, e.Before)) {
                report.Failures.push_back({e.Path, std::string(kMsgNotInTrash)});
                continue;
            }
            back.Kind = TJournalEntry::jkUntrash;
            back.Path = found->FilePath;
            back.NewPath = e.Path;
            back.Before = *trashed;
        } else if (e.Kind == TJournalEntry::jkUntrash) {
            if (e.Outcome == TJournalEntry::joFailed)
                continue;
            const std::optional<TFileState> here = NameState(e.NewPath);
            if (!here || !SameNamedFile(*here, e.Before)) {
                if (platform::FindInTrash(e.NewPath, e.Before.Device, e.Before.Inode))
                    ++report.AlreadyBack;
                else
                    report.Failures.push_back({e.NewPath, std::string(kMsgMovedSincePutBack)});
                continue;
            }
            back.Kind = TJournalEntry::jkTrash;
            back.Path = e.NewPath;
            back.Before = *here;
        } else {
            // A rename that failed changed nothing; its new name may even be another link to
            // the same file, which must not be taken for this one.
            if (e.Outcome == TJournalEntry::joFailed)
                continue;
            const std::optional<TFileState> moved = NameState(e.NewPath);
            if (!moved || !SameNamedFile(*moved, e.Before)) {
                const std::optional<TFileState> old = NameState(e.Path);
                if (old && SameNamedFile(*old, e.Before))
                    ++report.AlreadyBack;
                else
                    report.Failures.push_back({e.NewPath, std::string(kMsgMovedSince)});
                continue;
            }
            back.Kind = TJournalEntry::jkRename;
            back.Path = e.NewPath;
            back.NewPath = e.Path;
            back.Before = *moved;
        }
        undo.Entries.push_back(std::move(back));
    }
    if (undo.Entries.empty()) {
        // Nothing is left to take back: the step is marked as undone by an undo that changes
        // no file, so the next undo goes on to the step before it. A read-only file may still
        // be written with Force: that step stays the one to undo.
        if (report.ReadOnly > 0)
            return report;
        undo.Command += " (nothing left to take back)";
        report.NothingLeft = true;
        // On a full disk the mark may be missing: the next undo finds the files as before again.
        std::optional<TStepWriter> marker;
        StartUndoWriter(marker, Journal, contents, undo, report);
        return report;
    }

    std::optional<TStepWriter> writer;
    StartUndoWriter(writer, Journal, contents, undo, report);
    const auto done = [&](std::size_t k, const TFileState& after) {
        if (writer)
            writer->Done(k, after);
        ++report.Restored;
    };
    const auto failed = [&](std::size_t k, const std::string& error) {
        if (writer)
            writer->Failed(k, error);
    };
    for (std::size_t k = 0; k < undo.Entries.size(); ++k) {
        const TJournalEntry& e = undo.Entries[k];
        if (e.Kind == TJournalEntry::jkTail) {
            try {
                done(k, ApplyTail(e, Force));
            } catch (const std::exception& x) {
                failed(k, x.what());
                report.Failures.push_back({e.Path, x.what()});
                if (x.what() == kMsgReadOnly)
                    ++report.ReadOnly;
            }
        } else if (e.Kind == TJournalEntry::jkSync) {
            try {
                done(k, WriteSynced(e.Path, e.Before, DecodeV2Change(e.Head), e.Planned,
                                    e.PlannedSize));
            } catch (const std::exception& x) {
                failed(k, x.what());
                report.Failures.push_back({e.Path, x.what()});
            }
        } else if (e.Kind == TJournalEntry::jkUntrash) {
            const int code = RenameNoReplace(e.Path, e.NewPath);
            if (code == 0) {
                // Put back: the desktop's trash must no longer list it.
                (void)::unlink(platform::TrashInfoPath(e.Path).c_str());
                done(k, e.Before);
            } else {
                failed(k, std::strerror(code));
                report.Failures.push_back(
                    {e.NewPath, code == EEXIST ? "its name is taken by another file; left in the trash"
                                               : "cannot be put back from the trash: " +
                                                     std::string(std::strerror(code))});
            }
        } else if (e.Kind == TJournalEntry::jkTrash) {
            platform::LinuxFileOperations files;
            const platform::FileOpStatus status = files.Trash(e.Path);
            if (status.ok()) {
                done(k, e.Before);
            } else {
                failed(k, status.message);
                report.Failures.push_back({e.Path, "cannot be moved to the trash: " + status.message});
            }
        } else {
            const int code = RenameNoReplace(e.Path, e.NewPath);
            if (code == 0) {
                done(k, e.Before);
            } else {
                failed(k, std::strerror(code));
                report.Failures.push_back(
                    {e.Path, code == EEXIST ? "its old name " + e.NewPath +
                                                  " is taken by another file; left as it is"
                                            : "cannot be renamed back: " +
                                                  std::string(std::strerror(code))});
            }
        }
    }
    return report;
}

namespace {

TUndoEntryState EntryState(bool Redo) {
    TUndoEntryState state;
    state.Caption = Redo ? UiText("Undo", "Redo") : UiText("Undo", "Undo");
    TChangeJournal* journal = ActiveJournal();
    if (!journal)
        return state;
    try {
        const TJournalContents contents = journal->Read();
        if (const TJournalStep* step = Redo ? LastRedoable(contents) : LastUndoable(contents)) {
            state.Enabled = true;
            state.Caption = Redo ? RedoCaption(*step) : UndoCaption(*step);
        }
    } catch (const EJournalError&) {
    }
    return state;
}

TUndoWindowText LastForWindow(bool Redo) {
    TChangeJournal* journal = ActiveJournal();
    if (!journal)
        return {};
    TUndoReport report;
    TUndoWindowText text;
    try {
        report = Redo ? RedoStep(*journal) : UndoStep(*journal);
    } catch (const EJournalError& e) {
        text.Problems = FillText(Redo ? UiText("Undo", "Nothing was redone: %1")
                                      : UiText("Undo", "Nothing was undone: %1"),
                                 {e.what()});
        return text;
    }
    if (report.Restored > 0)
        text.Done = FillText(Redo ? UiText("Undo", "Redone: %1") : UiText("Undo", "Undone: %1"),
                             {ShownStepName(report.Subject)});
    if (!report.Failures.empty())
        text.Problems =
            FailureReport(UiText("Undo", "These files were left as they are:"), report.Failures);
    else if (report.NothingLeft)
        text.Problems = FillText(
            Redo ? UiText("Undo", "Nothing was left to redo of \"%1\": its files already are as "
                                  "after it.")
                 : UiText("Undo",
                          "Nothing was left to undo of \"%1\": its files already are as before."),
            {ShownStepName(report.Subject)});
    if (!report.Damage.empty())
        text.Problems += (text.Problems.empty() ? "" : "\n\n") + report.Damage;
    return text;
}

} // namespace

TUndoEntryState UndoEntryState() {
    return EntryState(false);
}

TUndoEntryState RedoEntryState() {
    return EntryState(true);
}

TUndoWindowText UndoLastForWindow() {
    return LastForWindow(false);
}

TUndoWindowText RedoLastForWindow() {
    return LastForWindow(true);
}

} // namespace veltrane

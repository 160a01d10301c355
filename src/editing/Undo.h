#pragma once
// Taking back steps of the change journal. A file is given back its old bytes or name only
// while it is still as Veltrane left it: anything changed since is left alone and reported.
// An undo is a step of its own, so it can be taken back too.

#include "editing/ChangeJournal.h"
#include "editing/RunFailures.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace veltrane {

// The steps taken back by an undo that is itself still in force.
std::set<std::uint64_t> UndoneSteps(const TJournalContents& Contents);
// A step whose every write failed: it changed no file.
bool ChangedNothing(const TJournalStep& Step);
// The newest step still in force that changed a file and is an edit or a redo (an undo taken
// back): what Undo takes back.
const TJournalStep* LastUndoable(const TJournalContents& Contents);
// The newest undo still in force that changed a file, unless an edit in force came after it:
// what Redo takes back.
const TJournalStep* LastRedoable(const TJournalContents& Contents);
// Whether Step takes a change back (an undo, an undo of a redo, ...) rather than making one.
bool TakesBack(const TJournalContents& Contents, const TJournalStep& Step);
// The change a step makes or takes back: its command without "undo of step N: " and
// "redo of step N: ".
std::string StepSubject(const TJournalStep& Step);

// "Undo: set album of 214 files"
std::string UndoCaption(const TJournalStep& Step);
// "Redo: set album of 214 files"
std::string RedoCaption(const TJournalStep& Step);

struct TUndoReport {
    std::uint64_t Step = 0; // the step taken back
    std::string Command;
    std::string Subject; // the change the step made or took back (StepSubject)
    std::size_t Restored = 0;    // files given back their old bytes or names
    std::size_t AlreadyBack = 0; // files that already were as before the step
    TFileFailures Failures;      // files left alone, and why
    std::size_t ReadOnly = 0;    // of those, files left alone as read-only
    // Nothing could be taken back (every file already as before or left alone): the step is
    // marked as undone all the same, so the next undo reaches the step before it.
    bool NothingLeft = false;
    std::string Damage;          // the journal's damage, when it was read only in part
    bool Redo = false;           // the step taken back was itself an undo
    bool Unrecorded = false;     // the journal could not record it; the no-undo consent allowed
};

// The refusal when the journal cannot record an undo (a full disk, say): nothing was changed.
class EUndoNotRecorded : public EJournalError {
  public:
    using EJournalError::EJournalError;
};

// Takes back step Id, or the last undoable one when Id is 0, as a new step. Never changes a
// file's mode: a read-only file is left as it is, or with Force written and kept read-only.
// Throws EJournalError when there is no such step or the journal cannot be read, and
// EUndoNotRecorded when it cannot record the undo and the no-undo consent does not allow that.
TUndoReport UndoStep(TChangeJournal& Journal, std::uint64_t Id = 0, bool Force = false);
// Takes back the last undo (LastRedoable) as a new step. Throws as UndoStep, and
// EJournalError "nothing to redo" when there is none.
TUndoReport RedoStep(TChangeJournal& Journal, bool Force = false);

// The window's Undo entry for the active journal: enabled with "Undo: ..." when a step can be
// taken back, else disabled as "Undo". A journal that cannot be read leaves it disabled.
struct TUndoEntryState {
    bool Enabled = false;
    std::string Caption = "Undo";
};
TUndoEntryState UndoEntryState();
// The same for the Redo entry: "Redo: ..." or a disabled "Redo".
TUndoEntryState RedoEntryState();

// What the window shows after Undo or Redo: Done for the status bar ("Undone: set album of
// 10 files"), Problems for a message (empty when every file came back).
struct TUndoWindowText {
    std::string Done;
    std::string Problems;
};
// Takes back the last step of the active journal for the window.
TUndoWindowText UndoLastForWindow();
// Takes back the last undo of the active journal for the window.
TUndoWindowText RedoLastForWindow();

} // namespace veltrane

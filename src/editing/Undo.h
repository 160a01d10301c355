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
// The newest step that is no undo, not taken back yet and changed a file.
const TJournalStep* LastUndoable(const TJournalContents& Contents);

// "Undo: set album of 214 files"
std::string UndoCaption(const TJournalStep& Step);

struct TUndoReport {
    std::uint64_t Step = 0; // the step taken back
    std::string Command;
    std::size_t Restored = 0;    // files given back their old bytes or names
    std::size_t AlreadyBack = 0; // files that already were as before the step
    TFileFailures Failures;      // files left alone, and why
    std::size_t ReadOnly = 0;    // of those, files left alone as read-only
    // Nothing could be taken back (every file already as before or left alone): the step is
    // marked as undone all the same, so the next undo reaches the step before it.
    bool NothingLeft = false;
    std::string Damage;          // the journal's damage, when it was read only in part
};

// Takes back step Id, or the last undoable one when Id is 0, as a new step. Never changes a
// file's mode: a read-only file is left as it is, or with Force written and kept read-only.
// Throws EJournalError when there is no such step or the journal cannot be read or written.
TUndoReport UndoStep(TChangeJournal& Journal, std::uint64_t Id = 0, bool Force = false);

// The window's Undo entry for the active journal: enabled with "Undo: ..." when a step can be
// taken back, else disabled as "Undo". A journal that cannot be read leaves it disabled.
struct TUndoEntryState {
    bool Enabled = false;
    std::string Caption = "Undo";
};
TUndoEntryState UndoEntryState();

// Takes back the last step of the active journal for the window; returns the text to show,
// empty when every file came back (or there was nothing to undo).
std::string UndoLastForWindow();

} // namespace veltrane

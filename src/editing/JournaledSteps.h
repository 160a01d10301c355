#pragma once
// Tag writes and renames as steps of the change journal: every file is read first, the step
// is recorded, and only then are the files changed (tags several at a time, their outcomes
// recorded in list order; renames one after the other).

#include "browser/FileOp.h"
#include "browser/Progress.h"
#include "editing/ChangeJournal.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veltrane {

// The step's description for the journal, given the number of files it changes.
using TDescribeStep = std::function<std::string(std::size_t Files)>;

// Text of a file that changed between the step's read and its write; it is left alone.
inline constexpr std::string_view kMsgChangedMeanwhile =
    "changed by another program meanwhile; left as it is";
// Text of a second name (hard link) of a file the step already changes.
inline constexpr std::string_view kMsgSameFile =
    "another name of a file changed in this step; left as it is";

// Reads every file of Paths (the record's FileName is the path), lets Change make the record
// to write (it may throw to leave the file out), records the step in the active journal, then
// writes the files, several at a time. Written gets each record written; Progress moves after each path (to
// its place in Paths, counted from 1). A path named twice is done once. When the step cannot
// be recorded and the no-undo consent does not allow it, no file is written and every one
// fails. Failures come in Paths order.
TFileFailures RunTagStep(const std::vector<std::string>& Paths, const TDescribeStep& Describe,
                         const std::function<void(TMP3Tag&)>& Change, const TagCodec& Codec,
                         const std::function<void(const TMP3Tag&)>& Written,
                         const ProgressScope* Progress);
// The same, with each path's error as thrown (empty for a file written or left out).
std::vector<std::exception_ptr> RunTagStepErrors(const std::vector<std::string>& Paths,
                                                 const TDescribeStep& Describe,
                                                 const std::function<void(TMP3Tag&)>& Change,
                                                 const TagCodec& Codec,
                                                 const std::function<void(const TMP3Tag&)>& Written,
                                                 const ProgressScope* Progress);

// A file its caller has read already (ReadFileState), with its state as read then.
struct TReadFile {
    std::string Path;
    TFileState Before;
};

// RunTagStep for files read already: the step records and changes the tags as they were read,
// without reading them again, and Change gets each file's place in Files. Each write checks
// that its file is still untouched since that read (same file, size and time, from the stat
// the write makes anyway, and the same last 128 bytes); one that is not is left alone
// (kMsgChangedMeanwhile), journal or not.
TFileFailures RunReadTagStep(const std::vector<TReadFile>& Files, const TDescribeStep& Describe,
                             const std::function<void(std::size_t Index, TMP3Tag&)>& Change,
                             const TagCodec& Codec,
                             const std::function<void(const TMP3Tag&)>& Written,
                             const ProgressScope* Progress);

struct TRenameItem {
    std::string From, To;
};

// Records the renames as one step, then renames each with the rename that never replaces.
// Returns 0 or the errno of each item, in Items order. Throws EJournalError, renaming
// nothing, when the step cannot be recorded and the no-undo consent does not allow it.
std::vector<int> RunRenameStep(const std::vector<TRenameItem>& Items,
                               const TDescribeStep& Describe, const ProgressScope* Progress);

// What a step does when the journal cannot record it. Unset (the default) the change is
// refused; else Consent is asked with the reason, and true makes the change without undo.
using TNoUndoConsent = std::function<bool(const std::string& Reason)>;
// Sets the consent; gives back the one it replaces.
TNoUndoConsent SetNoUndoConsent(TNoUndoConsent Consent);
// Whether a step the journal cannot take (Reason) may go on unrecorded: the consent says yes.
bool MayGoOnWithoutUndo(const std::string& Reason);

// Records deletes to the trash in the active journal, one step each, so that Undo can put the
// files back. Begin refuses (throws) when the step cannot be recorded and the no-undo
// consent does not allow it.
class TJournaledTrash : public ITrashRecorder {
  public:
    TJournaledTrash();
    ~TJournaledTrash() override;
    void Begin(const std::vector<std::string>& Paths) override;
    void Outcome(std::size_t Index, const platform::FileOpStatus& Status) override;
    void End() override;

  private:
    struct TState;
    std::unique_ptr<TState> state_;
};
// "move 3 files to the trash"
std::string TrashStepCommand(std::size_t Files);

// "Changes cannot be recorded for Undo: REASON. Make them without Undo?"
std::string NoUndoQuestion(const std::string& Reason);

// "1 file", "12 files".
std::string FileCount(std::size_t Files);

} // namespace veltrane

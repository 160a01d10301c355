#pragma once
// TFileOperation: one copy, delete, move or rename over a list of files, with the trash for
// allow-undo. Paths are passed as a list, so a name holding ";" stays one name.

#include "platform/FileOperations.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veltrane {

enum TFileOperationKind { foCopy, foDelete, foMove, foRename };

enum TFileOperationFlag : std::uint32_t {
    fofAllowUndo = 1u << 0,
    fofConfirmMouse = 1u << 1,
    fofFilesOnly = 1u << 2,
    fofMultiDestFiles = 1u << 3,
    fofNoConfirmation = 1u << 4,
    fofNoConfirmMkDir = 1u << 5,
    fofRenameOnCollision = 1u << 6,
    fofSilent = 1u << 7,
    fofSimpleProgress = 1u << 8,
};
using TFileOperationFlags = std::uint32_t;

// One file the operation could not handle; it stays where it was.
struct TFileOperationFailure {
    std::string path;
    int error = 0;       // errno value
    std::string message; // system text for error
};

// Records a delete to the trash as one step that can be taken back. Begin may throw to refuse
// the whole delete, and then nothing is moved.
class ITrashRecorder {
  public:
    virtual ~ITrashRecorder() = default;
    virtual void Begin(const std::vector<std::string>& Paths) = 0;
    virtual void Outcome(std::size_t Index, const platform::FileOpStatus& Status) = 0;
    virtual void End() = 0;
};

class TFileOperation {
  public:
    // Step callback: files done so far, total, the file about to be handled. Returning false
    // cancels the rest (OperationAborted becomes true).
    using TProgressEvent =
        std::function<bool(std::size_t done, std::size_t total, const std::string& path)>;

    explicit TFileOperation(platform::IFileOperations& files) : files_(files) {}

    TFileOperationKind Operation = foDelete; // what Execute does
    std::vector<std::string> FilesFrom;      // source paths, one entry each
    std::vector<std::string>
        FilesTo; // one destination directory, or one per source with fofMultiDestFiles
    TFileOperationFlags Flags = 0; // set of TFileOperationFlag
    std::string ProgressTitle;     // title for the progress window the caller shows
    TProgressEvent OnProgress;     // called before each file; may cancel
    ITrashRecorder* TrashRecorder = nullptr; // set: a delete to the trash is recorded

    // Writing true runs the operation at once; writing false does nothing.
    void SetActive(bool value) {
        if (value)
            Execute();
    }
    bool Active() const { return false; }
    // Runs the operation on every source; true when every file succeeded and none was cancelled.
    bool Execute();
    // After a run: whether the user cancelled part of it.
    bool OperationAborted() const { return aborted_; }
    // After a run: the files that failed, in list order; nothing of theirs was lost.
    const std::vector<TFileOperationFailure>& Failures() const { return failures_; }
    // One message naming every failed file with its reason; empty when nothing failed.
    std::string FailureReport() const;

  private:
    std::string Destination(std::size_t index, const std::string& source);
    platform::FileOpStatus RunOne(const std::string& from, const std::string& to);

    platform::IFileOperations& files_;
    bool aborted_ = false;
    std::vector<TFileOperationFailure> failures_;
};

} // namespace veltrane

#include "browser/FileOp.h"

#include "tagcore/UiText.h"

#include <cerrno>
#include <exception>

namespace veltrane {
namespace {

std::string BaseName(const std::string& path) {
    size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    size_t slash = path.rfind('/', end - 1);
    return slash == std::string::npos ? path.substr(0, end)
                                      : path.substr(slash + 1, end - slash - 1);
}

std::string Joined(const std::string& dir, const std::string& name) {
    return (!dir.empty() && dir.back() == '/') ? dir + name : dir + "/" + name;
}

// "name (2).ext", "name (3).ext", ... beside the taken name.
std::string CollisionName(const std::string& taken, int n) {
    size_t slash = taken.rfind('/');
    size_t dot = taken.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        dot = taken.size();
    return taken.substr(0, dot) + " (" + std::to_string(n) + ")" + taken.substr(dot);
}

} // namespace

std::string TFileOperation::Destination(std::size_t index, const std::string& source) {
    if (FilesTo.empty())
        return {};
    if ((Flags & fofMultiDestFiles) || Operation == foRename)
        return index < FilesTo.size() ? FilesTo[index] : std::string();
    return Joined(FilesTo.front(), BaseName(source));
}

platform::FileOpStatus TFileOperation::RunOne(const std::string& from, const std::string& to) {
    switch (Operation) {
    case foDelete:
        // A file the trash refuses is reported and kept, never deleted for good instead.
        return (Flags & fofAllowUndo) ? files_.Trash(from) : files_.Remove(from);
    case foCopy:
    case foMove:
    case foRename: {
        if (to.empty())
            return platform::FileOpStatus::FromErrno(EINVAL);
        std::string target = to;
        // Nothing is ever replaced: a taken name fails, or gets a free name on request.
        if ((Flags & fofRenameOnCollision) && files_.Exists(target))
            for (int n = 2; files_.Exists(target); ++n)
                target = CollisionName(to, n);
        if (Operation == foCopy)
            return files_.Copy(from, target);
        if (Operation == foMove)
            return files_.Move(from, target);
        return files_.Rename(from, target);
    }
    }
    return platform::FileOpStatus::FromErrno(EINVAL);
}

bool TFileOperation::Execute() {
    aborted_ = false;
    failures_.clear();
    const std::size_t total = FilesFrom.size();
    ITrashRecorder* recorder =
        Operation == foDelete && (Flags & fofAllowUndo) ? TrashRecorder : nullptr;
    if (recorder) {
        try {
            recorder->Begin(FilesFrom);
        } catch (const std::exception& e) {
            for (const std::string& from : FilesFrom)
                if (!from.empty())
                    failures_.push_back({from, EIO, e.what()});
            return false;
        }
    }
    struct EndRecord {
        ITrashRecorder* recorder;
        ~EndRecord() {
            if (recorder)
                recorder->End();
        }
    } endRecord{recorder};
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& from = FilesFrom[i];
        if (OnProgress && !OnProgress(i, total, from)) {
            aborted_ = true;
            break;
        }
        if (from.empty())
            continue;
        platform::FileOpStatus status = RunOne(from, Destination(i, from));
        if (recorder)
            recorder->Outcome(i, status);
        if (!status.ok())
            failures_.push_back({from, status.error, status.message});
    }
    if (OnProgress && !aborted_)
        OnProgress(total, total, std::string());
    return failures_.empty() && !aborted_;
}

std::string TFileOperation::FailureReport() const {
    if (failures_.empty())
        return {};
    std::string text = failures_.size() == 1
                           ? UiText("FileOp", "This file could not be handled:")
                           : UiText("FileOp", "These files could not be handled:");
    for (const TFileOperationFailure& f : failures_)
        text += "\n" + f.path + ": " + f.message;
    return text;
}

} // namespace veltrane

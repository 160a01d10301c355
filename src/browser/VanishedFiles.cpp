#include "browser/VanishedFiles.h"

#include "browser/ErrorText.h"

#include "browser/FileList.h"
#include "tagcore/InOutError.h"

#include <cerrno>
#include <sys/stat.h>

namespace veltrane {

namespace {

bool IsGone(int Err) {
    return Err == ENOENT || Err == ENOTDIR;
}

} // namespace

TSelectedSize SelectedSizeDroppingVanished(TFileList& List) {
    TSelectedSize result;
    std::vector<std::size_t> gone;
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (!List.Selected(i) || !List.HasPath(i))
            continue;
        const std::string path = List.GetFileName(i);
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            result.Bytes += static_cast<std::uint64_t>(st.st_size);
            continue;
        }
        const int err = errno;
        if (!IsGone(err)) {
            EInOutError error = EInOutError::FromErrno(err);
            error.SetFileName(path);
            throw error;
        }
        gone.push_back(i);
        result.Vanished.push_back(path);
    }
    if (!gone.empty())
        List.DeleteRows(gone);
    return result;
}

std::uint64_t SelectedFileCount(const TFileList& List) {
    std::uint64_t count = List.SelCount();
    // Only the marker row can be selected without standing for a file.
    for (std::size_t i = 1; i < List.Count() && i < 2; ++i)
        if (List.Selected(i) && !List.HasPath(i))
            --count;
    return count;
}

TSelectedSize FooterSize(TFileList& List) {
    if (SelectedFileCount(List) <= kFooterMeasureLimit)
        return SelectedSizeDroppingVanished(List);
    TSelectedSize result;
    for (std::size_t i = 1; i < List.Count(); ++i)
        if (List.Selected(i))
            result.Bytes += List.FileSize(i);
    return result;
}

bool DropRowIfVanished(TFileList& List, std::size_t Row) {
    if (!List.HasPath(Row))
        return false;
    struct stat st {};
    if (::lstat(List.GetFileName(Row).c_str(), &st) == 0 || !IsGone(errno))
        return false;
    List.DeleteRows({Row});
    return true;
}

std::string VanishedFilesMessage(const std::vector<std::string>& Paths, std::size_t MaxLines) {
    return ListedLinesMessage(IoErrorText(2), Paths, MaxLines);
}

} // namespace veltrane

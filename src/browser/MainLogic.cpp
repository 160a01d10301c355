#include "browser/MainLogic.h"

#include "browser/FileList.h"
#include "tagcore/InOutError.h"

#include <cerrno>
#include <sys/stat.h>

namespace veltrane {

std::vector<std::string> SelectedFiles(const TFileList& List) {
    std::vector<std::string> files;
    files.reserve(List.SelCount());
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (List.Selected(i) && List.HasPath(i))
            files.push_back(List.GetFileName(i));
    }
    return files;
}

std::size_t HighestSelectedRow(const TFileList& List) {
    for (std::size_t i = List.Count(); i-- > 1;) {
        if (List.Selected(i))
            return i;
    }
    return 0;
}

std::uint64_t SelectedSize(const TFileList& List) {
    std::uint64_t sum = 0;
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (!List.Selected(i) || !List.HasPath(i))
            continue;
        struct stat st {};
        if (::stat(List.GetFileName(i).c_str(), &st) != 0)
            throw EInOutError::FromErrno(errno);
        sum += static_cast<std::uint64_t>(st.st_size);
    }
    return sum;
}

} // namespace veltrane

#include "browser/MainLogic.h"

#include "browser/FileList.h"
#include "tagcore/InOutError.h"

#include <cerrno>
#include <sys/stat.h>

namespace veltrane {

std::optional<std::string> ResolveTypedDirectory(std::string_view Text, std::string_view Home) {
    std::string path;
    if (Text == "~" || Text.starts_with("~/")) {
        if (Home.empty()) return std::nullopt;
        path = std::string(Home) + std::string(Text.substr(1));
    } else {
        path = std::string(Text);
    }
    if (path.empty() || path.front() != '/') return std::nullopt;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return path;
}

std::vector<std::string> SelectedFiles(const TFileList& List) {
    std::vector<std::string> files;
    files.reserve(List.SelCount());
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (List.Selected(i) && !List.Row(i).Path.empty()) files.push_back(List.GetFileName(i));
    }
    return files;
}

std::size_t HighestSelectedRow(const TFileList& List) {
    for (std::size_t i = List.Count(); i-- > 1;) {
        if (List.Selected(i)) return i;
    }
    return 0;
}

std::uint64_t SelectedSize(const TFileList& List) {
    std::uint64_t sum = 0;
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (!List.Selected(i) || List.Row(i).Path.empty()) continue;
        struct stat st{};
        if (::stat(List.GetFileName(i).c_str(), &st) != 0) throw EInOutError::FromErrno(errno);
        sum += static_cast<std::uint64_t>(st.st_size);
    }
    return sum;
}

} // namespace veltrane

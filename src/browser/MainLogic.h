#pragma once
// Small rules of the main window that need no window: the directory edit and the command
// that plays one file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// The text typed into the directory edit, as a directory to search, or nullopt when the edit
// must be reset: the text must be an absolute path naming an existing directory; a leading
// "~/" (or a bare "~") is expanded to Home.
std::optional<std::string> ResolveTypedDirectory(std::string_view Text, std::string_view Home);

// The double-click actions kept in the settings.
enum TDblClickAction : std::uint8_t { dcEditTag = 0, dcPlayFile = 1, dcRenameFile = 2 };

// Full paths of the selected file rows, rows 1 to count - 1 in list order.
class TFileList;
std::vector<std::string> SelectedFiles(const TFileList& List);
// Highest selected file row, 0 when none is selected.
std::size_t HighestSelectedRow(const TFileList& List);

// Sizes of the selected files in bytes, summed in 64 bits. Throws EInOutError when a file
// cannot be sized (it vanished since the search).
std::uint64_t SelectedSize(const TFileList& List);

} // namespace veltrane

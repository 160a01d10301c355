#pragma once
// The selection as the main window's commands take it: the selected file rows' paths, the
// row the single-file editor selects again, and the footer's byte sum.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

class TFileList;

// Full paths of the selected file rows, rows 1 to count - 1 in list order (never the marker).
std::vector<std::string> SelectedFiles(const TFileList& List);
// Highest selected file row, 0 when none is selected.
std::size_t HighestSelectedRow(const TFileList& List);
// Sizes of the selected files in bytes, summed in 64 bits. Throws EInOutError when a file
// cannot be sized (it vanished since the search).
std::uint64_t SelectedSize(const TFileList& List);

} // namespace veltrane

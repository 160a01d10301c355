#pragma once
// Files that went away after the listing (deleted or moved by another program). Their rows are
// dropped so that the footer, the selection and the commands only see files that exist, and
// the user hears about them once, by name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

class TFileList;

struct TSelectedSize {
    std::uint64_t Bytes = 0;
    // Paths of the selected rows whose files are gone; their rows were dropped.
    std::vector<std::string> Vanished;
};

// Sums the sizes of the selected files like SelectedSize, dropping the rows of files that no
// longer exist. Any other failure throws EInOutError naming the file.
TSelectedSize SelectedSizeDroppingVanished(TFileList& List);

// Selections up to this many files are measured again for the footer; larger ones take the
// sizes the scan read, so select all on a million rows answers at once.
inline constexpr std::size_t kFooterMeasureLimit = 10000;
// The footer's sum: SelectedSizeDroppingVanished for a selection of at most
// kFooterMeasureLimit files, else the sum of the sizes the scan read (nothing is dropped).
TSelectedSize FooterSize(TFileList& List);
// The number of selected rows that stand for files.
std::uint64_t SelectedFileCount(const TFileList& List);

// Drops row Row when its file no longer exists; true when it was dropped.
bool DropRowIfVanished(TFileList& List, std::size_t Row);

// "File not found", then one line per file (at most MaxLines, then "... and N more").
std::string VanishedFilesMessage(const std::vector<std::string>& Paths, std::size_t MaxLines = 20);

} // namespace veltrane

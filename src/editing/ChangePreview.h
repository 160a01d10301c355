#pragma once
// The rows a change shows before it is made: one row per field that changes, and rows with
// only a note for what will be left out. The same rows feed the preview window and the
// command line's --dry-run listing.

#include <cstddef>
#include <string>
#include <vector>

namespace veltrane {

struct TPreviewRow {
    std::string File;  // path bytes
    std::string Field; // "title", "name", ...; empty for a row that only carries a note
    std::string Old, New;
    std::string Note; // why the row is left out, or a remark on the change
};

struct TPreviewCounts {
    std::size_t Changes = 0; // rows with a field
    std::size_t Files = 0;   // distinct files among them
    std::size_t Notes = 0;   // rows without a field
};

TPreviewCounts CountPreview(const std::vector<TPreviewRow>& Rows);
// "12 changes in 5 files; 2 rows left out" (the last part only when there are any).
std::string PreviewSummary(const TPreviewCounts& Counts);
// The --dry-run listing: the header "file\tfield\told\tnew\tnote", then one line per row,
// every column in the command line's escaped form.
std::string PreviewTsv(const std::vector<TPreviewRow>& Rows);

} // namespace veltrane

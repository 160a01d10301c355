#pragma once
// Files that failed during a run over the selection. A failing file does not stop the run;
// the window reports all of them in one message at the end.

#include "browser/FileList.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

struct TFileFailure {
    std::string Path;  // bytes, as on disk
    std::string Error; // the error text ("File access denied", ...)
};

using TFileFailures = std::vector<TFileFailure>;

// A row that stands for a file: never row 0 or the "No mp3's found!" marker.
inline bool IsFileRow(const TFileList& List, std::size_t Index) {
    return Index >= 1 && !List.Row(Index).Path.empty();
}

// Intro line, then one "path: error" line per file; long lists end with "... and N more".
// Paths are passed through as bytes; the window converts them for display.
std::string FailureReport(std::string_view Intro, const TFileFailures& Failures,
                          std::size_t MaxLines = 20);

} // namespace veltrane

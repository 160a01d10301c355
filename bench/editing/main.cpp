// Times the multi-file tag save over 10,000 selected files against a minimal loop that opens,
// writes 128 bytes at the end and closes each file (target: at most 3 times the loop), and a
// rename of 10,000 files from their tags.

#include "BenchCommon.h"

#include "browser/FileList.h"
#include "editing/RenameFromTags.h"
#include "editing/TagEditing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace veltrane;
using namespace veltrane::bench;

namespace {

void LoadList(TFileList& list, const TaggedTree& tree) {
    list.UpdateList(tree.Files(), tree.Root());
    list.SetAllSelected(true);
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    std::printf("building %zu tagged files...\n", files);
    // Large enough to get a row in the list.
    const TaggedTree tree(files, kMinListedFileSize);

    TFileList list;
    LoadList(list, tree);
    if (list.Count() != files + 1) {
        std::fprintf(stderr, "list holds %zu rows, expected %zu\n", list.Count() - 1, files);
        return 1;
    }
    // Titles and artists differ per file, so every file gets a new name. Measured first, while
    // the tags are still the tree's own (the write loop below blanks them).
    TRenameRun run;
    const double rename =
        BestOf(1, [&] { run = RenameFromTagsRun(list, TDeriveFormat{}, nullptr); });
    std::printf("rename of %zu files from tags:                   %8.1f ms (%zu renamed, %zu "
                "failed)\n",
                files, rename * 1000, run.Renamed.size(), run.Failures.size());
    // Put the names back for the save measurement and the tree's removal.
    for (const TRenamed& r : run.Renamed)
        ::rename(r.NewPath.c_str(), r.OldPath.c_str());
    LoadList(list, tree);
    TEditMoreFields fields;
    fields.Album = {false, "Bench Album"};
    fields.Style = {false, "Rock "};

    // Warm the page cache so both sides see the same state.
    MinimalTagWriteLoop(tree.Files());
    double loop = 1e300, save = 1e300;
    std::size_t failures = 0;
    for (int i = 0; i < 5; ++i) {
        loop = std::min(loop, BestOf(1, [&] { MinimalTagWriteLoop(tree.Files()); }));
        list.SetAllSelected(true); // each written row loses its mark, as in the window
        save = std::min(save,
                        BestOf(1, [&] { failures += EditMoreRun(list, fields, nullptr).size(); }));
    }
    std::printf("minimal write loop (open, write 128 bytes, close): %8.1f ms\n", loop * 1000);
    std::printf("multi-file save of %zu selected files:           %8.1f ms\n", files, save * 1000);
    std::printf("ratio: %.2f (target <= 3.00)%s\n", save / loop,
                failures ? "  (some files failed!)" : "");

    return run.Failures.empty() && failures == 0 ? 0 : 1;
}

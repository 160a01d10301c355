// The file list on a large collection, measured in one run:
//  - listing (UpdateList: one open per file, row texts, sort) of 100,000 tagged files against
//    the minimal C read loop over the same files (target: within 2 times);
//  - SortList by each column against std::stable_sort of the same key strings (within 3 times);
//  - SingleUpdate of every row of the list (under one second).
// Usage: bench_list [FILES]   (default 100000)

#include "BenchCommon.h"
#include "browser/FileList.h"
#include "browser/FindFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

using namespace veltrane;
using namespace veltrane::bench;

namespace {

std::string UpperKey(std::string_view key) {
    std::string upper(key);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::printf("building %zu tagged files of 16,512 bytes...\n", files);
    // 128 audio blocks plus the tag: the smallest file that gets a row.
    const TaggedTree tree(files, 128 * 128);

    TFindFile finder;
    finder.Directory = tree.Root();
    finder.Recurse = true;
    finder.Filter = "*.mp3";
    const double find = BestOf(3, [&] { finder.Execute(); });
    if (finder.Files.size() != files || MinimalTagReadLoop(finder.Files) != files) {
        std::fprintf(stderr, "the tree is not as built\n");
        return 1;
    }

    // Listing, interleaved with the loop so a busy moment on the machine hits both alike.
    TFileList list;
    double loop = 1e300, listing = 1e300, loopCpu = 1e300, listingCpu = 1e300;
    for (int run = 0; run < 5; ++run) {
        double cpu = ProcessCpuSeconds();
        loop = std::min(loop, BestOf(1, [&] { MinimalTagReadLoop(finder.Files); }));
        loopCpu = std::min(loopCpu, ProcessCpuSeconds() - cpu);
        cpu = ProcessCpuSeconds();
        listing = std::min(listing, BestOf(1, [&] { list.UpdateList(finder.Files, tree.Root()); }));
        listingCpu = std::min(listingCpu, ProcessCpuSeconds() - cpu);
    }
    if (list.Count() != files + 1) {
        std::fprintf(stderr, "listed %zu rows, expected %zu\n", list.Count() - 1, files);
        return 1;
    }
    std::printf("\nlisting                          wall ms    cpu ms\n");
    std::printf("TFindFile search (not compared): %8.1f\n", find * 1000);
    std::printf("minimal read loop:               %8.1f  %8.1f\n", loop * 1000, loopCpu * 1000);
    std::printf("UpdateList (read, rows, sort):   %8.1f  %8.1f\n", listing * 1000,
                listingCpu * 1000);
    std::printf("ratio: %.2f wall, %.2f cpu (target <= 2.00)\n", listing / loop,
                listingCpu / loopCpu);

    // Sorting: the rows in a shuffled reading order, the same order for both sides.
    struct Stored {
        std::string Path, Text;
        TMP3Tag Tag;
        std::uint64_t Size;
    };
    std::vector<Stored> rows;
    rows.reserve(files);
    for (std::size_t i = 1; i < list.Count(); ++i)
        rows.push_back({list.GetFileName(i), list.ItemText(i), list.Rows().Tag(i), list.FileSize(i)});
    std::shuffle(rows.begin(), rows.end(), std::mt19937(42));
    std::printf(
        "\nsorting %zu rows                 SortList ms  stable_sort ms  ratio (target <= 3.00)\n",
        files);
    TFileList sorter;
    double worst = 0;
    for (int column = 1; column <= kFileListColumnCount; ++column) {
        std::vector<std::string> keys;
        keys.reserve(rows.size());
        for (const Stored& row : rows)
            keys.push_back(UpperKey(TFileList::GetStringItem(column, row.Text)));
        double model = 1e300, plain = 1e300;
        for (int run = 0; run < 5; ++run) {
            sorter.ClearListBox(); // freeing the last result is not part of the sort
            sorter.SetSortColumn(column);
            sorter.SetDirectory(list.Directory());
            for (const Stored& row : rows) {
                TFileRowStore& buffer = sorter.RowBuffer();
                buffer.SetTag(buffer.AddFullPath(row.Path), row.Size, row.Tag);
            }
            model = std::min(model, BestOf(1, [&] { sorter.SortList(); }));
            std::vector<std::string> copy = keys;
            plain = std::min(plain, BestOf(1, [&] { std::stable_sort(copy.begin(), copy.end()); }));
        }
        // The track column's keys are numbers, most of them none: the plain sort of such short
        // keys costs next to nothing, so its ratio tells only SortList's fixed cost.
        const bool numeric = column == kTrackColumn;
        if (!numeric)
            worst = std::max(worst, model / plain);
        std::printf("  %-8s                       %8.1f        %8.1f     %.2f%s\n",
                    std::string(kFileListColumns[column - 1]).c_str(), model * 1000, plain * 1000,
                    model / plain, numeric ? " (numeric keys, not in the worst ratio)" : "");
    }
    std::printf("worst ratio: %.2f\n", worst);

    // SingleUpdate of every row, with tags prepared beforehand.
    std::vector<TMP3Tag> tags(files);
    for (std::size_t i = 0; i < files; ++i) {
        tags[i].FileName = list.GetFileName(i + 1);
        tags[i].Header = "TAG";
        tags[i].Title = "Updated " + std::to_string(i);
        tags[i].Artist = "Someone";
        tags[i].Genre = 17;
    }
    const std::size_t before = list.Count();
    const double update = BestOf(1, [&] {
        for (const TMP3Tag& tag : tags)
            list.SingleUpdate(tag);
    });
    if (list.Count() != before) {
        std::fprintf(stderr, "SingleUpdate appended rows instead of replacing them\n");
        return 1;
    }
    std::printf("\nSingleUpdate of all %zu rows: %.1f ms (target < 1000)\n", files, update * 1000);
    return 0;
}

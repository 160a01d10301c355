// The change journal's cost on a multi-file save of 10,000 selected files: the minimal loop
// that opens, writes 128 bytes at the end and closes each file, the save without a journal,
// and the save as it runs in the program, recording every file first, into an empty journal
// and into one that grows round by round (target: at most 3 times the loop, wall clock).
// Also times the undo of such a step and a reading of the whole journal (the Undo menu entry
// does one).

#include "BenchCommon.h"

#include "browser/FileList.h"
#include "editing/ChangeJournal.h"
#include "editing/TagEditing.h"
#include "editing/Undo.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace veltrane;
using namespace veltrane::bench;

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    std::printf("building %zu tagged files...\n", files);
    const TaggedTree tree(files, kMinListedFileSize);
    // The journal lives beside the files, on the same file system as a user's state directory
    // usually is, and goes with them.
    const std::string state = tree.Root() + "-state";
    TChangeJournal journal(state);

    TFileList list;
    list.UpdateList(tree.Files(), tree.Root());
    if (list.Count() != files + 1) {
        std::fprintf(stderr, "list holds %zu rows, expected %zu\n", list.Count() - 1, files);
        return 1;
    }
    TEditMoreFields fields;
    fields.Album = {false, "Bench Album"};
    fields.Style = {false, "Rock "};

    MinimalTagWriteLoop(tree.Files()); // warm the page cache
    // Best of several rounds, in wall-clock and in CPU time (the second is steadier on a
    // machine shared with other work).
    Best loop, plain, fresh, journaled, undo, read;
    std::size_t failures = 0;
    const auto save = [&] {
        list.SetAllSelected(true); // each written row loses its mark, as in the window
        failures += EditMoreRun(list, fields, nullptr).size();
    };
    for (int i = 0; i < 7; ++i) {
        loop.Time([&] { MinimalTagWriteLoop(tree.Files()); });
        SetActiveJournal(nullptr);
        plain.Time(save);
        SetActiveJournal(&journal);
        // Into an empty journal: the cost of recording the step alone.
        TChangeJournal empty(state + "-empty");
        SetActiveJournal(&empty);
        fresh.Time(save);
        std::error_code ec;
        std::filesystem::remove_all(empty.Directory(), ec);
        // Into the journal as it grows with every round (each save reads it through first).
        SetActiveJournal(&journal);
        journaled.Time(save);
        undo.Time([&] { failures += UndoStep(journal).Failures.size(); });
        // A new process (the command line) reads it in full; the window's own object only
        // parses what was appended since its last read.
        read.Time([&] { (void)TChangeJournal(journal.Directory()).Read(); });
    }
    const std::uintmax_t journalBytes = std::filesystem::file_size(journal.FilePath());
    std::printf("                                        wall ms  ratio   cpu ms  ratio\n");
    const auto row = [&](const char* name, const Best& b) {
        std::printf("%-38s %8.1f  %5.2f %8.1f  %5.2f\n", name, b.wall * 1000, b.wall / loop.wall,
                    b.cpu * 1000, b.cpu / loop.cpu);
    };
    row("minimal loop (open, write 128, close)", loop);
    row("multi-file save, no journal", plain);
    row("save, empty journal", fresh);
    row("save, growing journal", journaled);
    row("undo of the whole step", undo);
    row("reading the journal through, new process", read);
    std::printf("journal's share of the save: %+.0f%% wall, %+.0f%% cpu into an empty journal; "
                "%+.0f%% wall, %+.0f%% cpu into one of %.1f MB\n",
                (fresh.wall / plain.wall - 1) * 100, (fresh.cpu / plain.cpu - 1) * 100,
                (journaled.wall / plain.wall - 1) * 100, (journaled.cpu / plain.cpu - 1) * 100,
                static_cast<double>(journalBytes) / (1 << 20));
    // The user waits for the wall-clock time; the CPU time adds the writing workers' own.
    const double worst = std::max(fresh.wall, journaled.wall) / loop.wall;
    std::printf("target: the save with the journal within 3x of the loop, wall clock: %.2f %s\n",
                worst, worst <= 3.0 ? "met" : "NOT met");
    if (failures)
        std::printf("(some files failed!)\n");
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
    return failures == 0 ? 0 : 1;
}

// Numbering the tracks of 10,000 files against the tag write of one field that `tag set`
// makes on them, journaled the way the program runs them (target: numbering within 1.2 times
// of the one-field write, wall clock). Track numbers end at 255, so both run as steps of 250
// files, an album after the other. Numbering that leaves existing tracks reads every tag once
// more first; it is shown too.
// Usage: bench_tracks [FILES]   (default 10000)

#include "BenchCommon.h"

#include "browser/FileList.h"
#include "editing/ChangeJournal.h"
#include "editing/JournaledSteps.h"
#include "editing/TrackNumbers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace veltrane;
using namespace veltrane::bench;

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    std::printf("building %zu tagged files...\n", files);
    const TaggedTree tree(files, kMinListedFileSize);
    const std::string state = tree.Root() + "-state";
    const std::size_t block = 250;
    std::vector<std::vector<std::string>> blocks;
    for (std::size_t i = 0; i < files; i += block)
        blocks.emplace_back(tree.Files().begin() + static_cast<std::ptrdiff_t>(i),
                            tree.Files().begin() +
                                static_cast<std::ptrdiff_t>(std::min(files, i + block)));

    MinimalTagWriteLoop(tree.Files()); // warm the page cache
    Best whole, set, number, keep;
    std::size_t failures = 0;
    const auto setAlbum = [&](const std::vector<std::string>& paths, const std::string& album) {
        failures += RunTagStep(paths, FileCount, [&](TMP3Tag& tag) { tag.Album = album; },
                               TagCodec::Default(), {}, nullptr)
                        .size();
    };
    const auto clearTracks = [&] {
        failures += RunTagStep(tree.Files(), FileCount, [](TMP3Tag& tag) { tag.Track = 0; },
                               TagCodec::Default(), {}, nullptr)
                        .size();
    };
    for (int i = 0; i < 7; ++i) {
        // A fresh journal each round, so every side records into one of the same size.
        TChangeJournal journal(state + "/" + std::to_string(i));
        SetActiveJournal(&journal);
        const std::string album = "Album " + std::to_string(i);
        whole.Time([&] { setAlbum(tree.Files(), album + "w"); });
        set.Time([&] {
            for (const auto& b : blocks)
                setAlbum(b, album);
        });
        number.Time([&] {
            for (const auto& b : blocks)
                failures += NumberTracks(b, {static_cast<unsigned>(1 + i % 5), false},
                                         TagCodec::Default(), {}, nullptr)
                                .size();
        });
        clearTracks();
        keep.Time([&] {
            for (const auto& b : blocks)
                failures += NumberTracks(b, {1, true}, TagCodec::Default(), {}, nullptr).size();
        });
        SetActiveJournal(nullptr);
    }
    std::printf("%zu files, journaled, in steps of 250    wall ms   ratio    cpu ms   ratio\n",
                files);
    const auto row = [&](const char* name, const Best& b) {
        std::printf("%-42s %8.1f  %5.2f  %8.1f  %5.2f\n", name, b.wall * 1000, b.wall / set.wall,
                    b.cpu * 1000, b.cpu / set.cpu);
    };
    row("tag set of one field (album)", set);
    row("numbering", number);
    row("numbering, keeping existing tracks", keep);
    row("tag set of one field, one step (not compared)", whole);
    const double ratio = number.wall / set.wall;
    std::printf("target: numbering within 1.2x of the one-field write, wall clock: %.2f %s\n",
                ratio, ratio <= 1.2 ? "met" : "NOT met");
    if (failures)
        std::printf("(some files failed!)\n");
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
    return failures == 0 ? 0 : 1;
}

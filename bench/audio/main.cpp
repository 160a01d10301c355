// Length and bit rate on a large collection: `tag show --recursive --audio` against
// `tag show --recursive` of the same tree of CBR files, warm and cold in one run, with the
// sequential C loop of the cold open for scale. Targets: warm within 1.5x, cold within 2x and
// still faster than the C loop.
// Usage: bench_audio [FILES] [FOLDERS] [ROUNDS]   (default 100000 200 2)

#include "BenchCommon.h"
#include "browser/FindFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace veltrane;
using namespace veltrane::bench;

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const std::size_t folders = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2;
    const std::string cli = VELTRANE_CLI_PATH;
    std::printf("building %zu tagged CBR files in %zu folders...\n", files, folders);
    std::fflush(stdout);
    const FolderTree tree(files, std::max<std::size_t>(folders, 1), true);
    TFindFile finder;
    finder.Directory = tree.Root();
    finder.Recurse = true;
    finder.Filter = "*.mp3";
    finder.Execute();
    const std::vector<std::string> list = finder.Files;
    if (list.size() != files || MinimalTagReadLoop(list) != files) {
        std::fprintf(stderr, "the tree is not as built\n");
        return 1;
    }
    const bool dropAll = CanDropAll();
    std::printf("caches dropped before each cold run by %s\n",
                dropAll ? "/proc/sys/vm/drop_caches" : "posix_fadvise on every file (not root)");

    const std::vector<std::string> show = {cli, "tag", "show", "--recursive", tree.Root()};
    std::vector<std::string> audio = show;
    audio.insert(audio.end() - 1, "--audio");
    bool ok = true;
    const auto timed = [&](const std::vector<std::string>& argv) {
        Stopwatch w;
        ok = RunSilently(argv) == 0 && ok;
        return w.Seconds();
    };
    // [0] warm, [1] cold; the kinds interleaved so a busy moment hits all alike.
    double cLoop[2] = {1e300, 1e300}, plain[2] = {1e300, 1e300}, withAudio[2] = {1e300, 1e300};
    for (int round = 0; round < rounds; ++round) {
        DropCaches(list, dropAll);
        Stopwatch w;
        MinimalTagReadLoop(list);
        cLoop[1] = std::min(cLoop[1], w.Seconds());
        DropCaches(list, dropAll);
        plain[1] = std::min(plain[1], timed(show));
        DropCaches(list, dropAll);
        withAudio[1] = std::min(withAudio[1], timed(audio));
        std::printf("cold round %d done\n", round + 1);
        std::fflush(stdout);
    }
    timed(audio); // both reads warm
    for (int round = 0; round < 5; ++round) {
        Stopwatch w;
        MinimalTagReadLoop(list);
        cLoop[0] = std::min(cLoop[0], w.Seconds());
        plain[0] = std::min(plain[0], timed(show));
        withAudio[0] = std::min(withAudio[0], timed(audio));
    }
    if (!ok) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }
    const auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
    std::printf("\n%zu files                                cold ms     warm ms\n", files);
    std::printf("sequential C loop                     %9.1f %11.1f\n", cLoop[1] * 1000,
                cLoop[0] * 1000);
    std::printf("tag show --recursive                  %9.1f %11.1f\n", plain[1] * 1000,
                plain[0] * 1000);
    std::printf("tag show --recursive --audio          %9.1f %11.1f\n", withAudio[1] * 1000,
                withAudio[0] * 1000);
    std::printf("\ntargets\n");
    std::printf("warm: --audio / without: %.2f (<= 1.5) %s\n", withAudio[0] / plain[0],
                verdict(withAudio[0] / plain[0] <= 1.5));
    std::printf("cold: --audio / without: %.2f (<= 2) %s\n", withAudio[1] / plain[1],
                verdict(withAudio[1] / plain[1] <= 2));
    std::printf("cold: --audio vs C loop: %.2f times faster (> 1) %s\n",
                cLoop[1] / withAudio[1], verdict(withAudio[1] < cLoop[1]));
    return 0;
}

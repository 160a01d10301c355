// Times `veltrane-cli tag show --recursive DIR` over 20,000 tagged files against the minimal
// C read loop over the same files. Target: at most 1.5 times the loop.

#include "BenchCommon.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace veltrane::bench;

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20000;
    const std::string cli = VELTRANE_CLI_PATH;
    std::printf("building %zu tagged files...\n", files);
    const TaggedTree tree(files);
    const std::vector<std::string> show = {cli, "tag", "show", "--recursive", tree.Root()};

    // Warm the page cache and the directory entries so both sides see the same state.
    if (MinimalTagReadLoop(tree.Files()) != files || RunSilently(show) != 0) {
        std::fprintf(stderr, "warm-up failed (is %s built?)\n", cli.c_str());
        return 1;
    }
    // Interleaved, best of five each, so a busy moment on the machine hits both alike.
    double loop = 1e300, tool = 1e300;
    for (int run = 0; run < 5; ++run) {
        loop = std::min(loop, BestOf(1, [&] { MinimalTagReadLoop(tree.Files()); }));
        tool = std::min(tool, BestOf(1, [&] { RunSilently(show); }));
    }
    std::printf("minimal read loop:                %8.1f ms\n", loop * 1000);
    std::printf("veltrane-cli tag show --recursive: %8.1f ms\n", tool * 1000);
    std::printf("ratio: %.2f (target <= 1.50)\n", tool / loop);
    return 0;
}

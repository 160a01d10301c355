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
    // Interleaved, best of seven each, so a busy moment on the machine hits both alike. CPU
    // time is shown too: it hardly moves when other processes compete for the cores.
    double loop = 1e300, tool = 1e300, loopCpu = 1e300, toolCpu = 1e300;
    for (int run = 0; run < 7; ++run) {
        const double cpuBefore = ProcessCpuSeconds();
        loop = std::min(loop, BestOf(1, [&] { MinimalTagReadLoop(tree.Files()); }));
        loopCpu = std::min(loopCpu, ProcessCpuSeconds() - cpuBefore);
        double cpu = 0;
        tool = std::min(tool, BestOf(1, [&] { RunSilently(show, &cpu); }));
        toolCpu = std::min(toolCpu, cpu);
    }
    std::printf("                                    wall ms    cpu ms\n");
    std::printf("minimal read loop:                 %8.1f  %8.1f\n", loop * 1000, loopCpu * 1000);
    std::printf("veltrane-cli tag show --recursive: %8.1f  %8.1f\n", tool * 1000, toolCpu * 1000);
    std::printf("ratio: %.2f wall, %.2f cpu (target <= 1.50)\n", tool / loop, toolCpu / loopCpu);
    return 0;
}

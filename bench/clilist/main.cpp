// The command line's list of a large tree: `veltrane-cli list --recursive` unsorted and sorted
// by each column, and its peak memory a row above the listing of an empty folder, measured in
// one run. Targets: at most 150 bytes a row; every sort within 1.5 s of the unsorted listing.
// Usage: bench_clilist [TREE] [FILES] [FOLDERS]   (default /var/tmp/veltrane-million 1000000
// 2000: the tree bench_million keeps; a missing TREE is made for the run and removed after)

#include "BenchCommon.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace veltrane::bench;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string root = argc > 1 ? argv[1] : "/var/tmp/veltrane-million";
    const std::size_t files = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000000;
    const std::size_t folders = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 2000;
    std::unique_ptr<FolderTree> made;
    if (!fs::is_directory(root)) {
        std::printf("building %zu tagged files in %zu folders...\n", files, folders);
        std::fflush(stdout);
        made = std::make_unique<FolderTree>(files, std::max<std::size_t>(folders, 1));
        root = made->Root();
    }
    const std::string empty = root + "-empty";
    fs::create_directories(empty);
    const std::string cli = VELTRANE_CLI_PATH;
    bool ok = true;
    const auto run = [&](std::vector<std::string> args, long* peak = nullptr) {
        args.insert(args.begin(), cli);
        Stopwatch w;
        ok = RunSilently(args, nullptr, peak) == 0 && ok;
        return w.Seconds();
    };
    long emptyKb = 0, filledKb = 0;
    run({"list", "--recursive", empty}, &emptyKb);
    run({"list", "--recursive", root}); // warms the caches
    double plain = 1e300;
    std::vector<double> sorted(8, 1e300);
    // Each sorted run right after an unsorted one, so a busy moment weighs on both alike.
    for (int round = 0; round < 2; ++round)
        for (int column = 1; column <= 8; ++column) {
            plain = std::min(plain, run({"list", "--recursive", root}, &filledKb));
            sorted[column - 1] = std::min(
                sorted[column - 1],
                run({"list", "--recursive", "--sort", std::to_string(column), root}));
        }
    fs::remove_all(empty);
    if (!ok) {
        std::fprintf(stderr, "a listing failed\n");
        return 1;
    }
    // The rows listed: the tree's files as the command line finds them.
    const std::size_t rows = made ? files : [&] {
        std::size_t n = 0;
        for (const auto& e : fs::recursive_directory_iterator(root))
            n += e.is_regular_file() && e.path().extension() == ".mp3";
        return n;
    }();
    const auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
    const double perRow = static_cast<double>(filledKb - emptyKb) * 1024.0 / static_cast<double>(rows);
    std::printf("\nveltrane-cli list --recursive of %zu files\n", rows);
    std::printf("memory: %.0f bytes a row above an empty listing (<= 150) %s\n", perRow,
                verdict(perRow <= 150));
    std::printf("unsorted: %.0f ms\n", plain * 1000);
    for (int column = 1; column <= 8; ++column) {
        const double s = sorted[column - 1];
        std::printf("--sort %d: %6.0f ms, %+5.0f ms (<= 1500) %s\n", column, s * 1000,
                    (s - plain) * 1000, verdict(s - plain <= 1.5));
    }
    return 0;
}

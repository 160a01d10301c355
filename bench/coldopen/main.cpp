// Opening a large collection, cold and warm, measured in one run on a tree of folders:
//  - the minimal C read loop, one file after another (open, fstat, pread 128 bytes, close);
//  - `veltrane-cli tag show --recursive` with --jobs 1 and with the program's default;
//  - the list model alone (search + UpdateList, default workers), warm only;
//  - veltrane's start to a filled list with one worker and with the default, plus its peak
//    memory and bytes per row, and what one thread alone adds to a bare process's peak;
//  - `tag show FILE...` on 2,000 files named on the command line against `id3v2 -l` (warm).
// Caches are dropped before each cold run: through /proc/sys/vm/drop_caches as root, else by
// posix_fadvise(POSIX_FADV_DONTNEED) on every file (which keeps directories and inodes cached,
// so the cold figures are then kinder); the output says which was used.
// Usage: bench_coldopen [FILES] [FOLDERS] [ROUNDS]   (default 100000 200 2)

#include "BenchCommon.h"
#include "browser/FileList.h"
#include "browser/FindFile.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagRunReader.h"
#include "tagcore/WorkerThread.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace veltrane;
using namespace veltrane::bench;
namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    double insideMs = -1; // start of main to the filled list, as the program reports it
    std::size_t rows = 0;
    long peakKb = 0; // the program's own high-water mark (VmHWM)
};

// Starts veltrane offscreen on dir (subfolders searched) with `jobs` workers (0: default).
ProgramRun RunProgram(const std::string& program, const std::string& dir,
                      const std::string& workDir, std::size_t jobs) {
    ProgramRun result;
    std::vector<std::string> extra;
    if (jobs > 0)
        extra.push_back("VELTRANE_BENCH_READ_JOBS=" + std::to_string(jobs));
    const std::string text = RunListingProgram(program, dir, workDir, extra);
    long long ms = -1;
    if (std::sscanf(text.c_str(), "startup_to_list_ms %lld rows %zu peak_kb %ld", &ms,
                    &result.rows, &result.peakKb) == 3)
        result.insideMs = static_cast<double>(ms);
    return result;
}

double Seconds(const std::function<void()>& f) {
    Stopwatch w;
    f();
    return w.Seconds();
}

const char* Verdict(bool met) { return met ? "met" : "NOT met"; }

long HighWaterKb() {
    long kb = 0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "VmHWM: %ld", &kb) == 1)
                break;
        std::fclose(status);
    }
    return kb;
}

// The floor under any reader with threads: what starting and joining one idle thread adds to
// a bare process's peak (a thread's end runs C library code that nothing else needs).
int PrintThreadCost() {
    HighWaterKb();
    const long before = HighWaterKb();
    TWorkerThread([] {}).Join();
    std::printf("%ld\n", HighWaterKb() - before);
    return 0;
}

long ThreadCostKb() {
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::execl("/proc/self/exe", "bench_coldopen", "--thread-cost", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char text[32] = {};
    const ssize_t n = pid > 0 ? ::read(out[0], text, sizeof text - 1) : -1;
    ::close(out[0]);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return n > 0 ? std::strtol(text, nullptr, 10) : -1;
}

long Median(std::vector<long> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
long Lowest(const std::vector<long>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
long Highest(const std::vector<long>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--thread-cost") == 0)
        return PrintThreadCost();
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const std::size_t folders = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2;
    const std::string cli = VELTRANE_CLI_PATH, program = VELTRANE_PROGRAM;
    std::printf("building %zu tagged files in %zu folders...\n", files, folders);
    std::fflush(stdout);
    const FolderTree tree(files, std::max<std::size_t>(folders, 1));
    const std::string workDir = tree.Root() + "-work";
    fs::create_directory(workDir);

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
                dropAll ? "/proc/sys/vm/drop_caches (page cache, dentries and inodes)"
                        : "posix_fadvise(POSIX_FADV_DONTNEED) on every file (not root: "
                          "directories and inodes stay cached)");
    std::fflush(stdout);

    const std::vector<std::string> showOne = {cli, "tag", "show", "--recursive", "--jobs", "1",
                                              tree.Root()};
    const std::vector<std::string> showDefault = {cli, "tag", "show", "--recursive", tree.Root()};
    double cLoop[2] = {1e300, 1e300}, show1[2] = {1e300, 1e300}, showN[2] = {1e300, 1e300};
    double prog1[2] = {1e300, 1e300}, progN[2] = {1e300, 1e300}, model = 1e300;
    // Peak memory moves by some 150 KB from run to run whatever the worker count (shared
    // library and font pages come and go with the page cache): compared on warm runs in
    // pairs, as the median of many, printed with its range.
    std::vector<long> peaks1, peaksN;
    bool ok = true;
    const auto program1 = [&](int cold) {
        const ProgramRun r = RunProgram(program, tree.Root(), workDir, 1);
        ok = ok && r.rows == files;
        prog1[cold] = std::min(prog1[cold], r.insideMs);
        if (!cold)
            peaks1.push_back(r.peakKb);
    };
    const auto programN = [&](int cold) {
        const ProgramRun r = RunProgram(program, tree.Root(), workDir, 0);
        ok = ok && r.rows == files;
        progN[cold] = std::min(progN[cold], r.insideMs);
        if (!cold)
            peaksN.push_back(r.peakKb);
    };

    // Cold: each run after a fresh drop, the kinds interleaved so a busy moment hits all alike.
    for (int round = 0; round < rounds; ++round) {
        DropCaches(list, dropAll);
        cLoop[1] = std::min(cLoop[1], Seconds([&] { MinimalTagReadLoop(list); }));
        DropCaches(list, dropAll);
        show1[1] = std::min(show1[1], Seconds([&] { ok = RunSilently(showOne) == 0 && ok; }));
        DropCaches(list, dropAll);
        showN[1] = std::min(showN[1], Seconds([&] { ok = RunSilently(showDefault) == 0 && ok; }));
        DropCaches(list, dropAll);
        program1(1);
        DropCaches(list, dropAll);
        programN(1);
        std::printf("cold round %d done\n", round + 1);
        std::fflush(stdout);
    }

    // Warm: best of five, interleaved.
    TFileList model_list;
    MinimalTagReadLoop(list);
    for (int round = 0; round < 5; ++round) {
        cLoop[0] = std::min(cLoop[0], Seconds([&] { MinimalTagReadLoop(list); }));
        show1[0] = std::min(show1[0], Seconds([&] { ok = RunSilently(showOne) == 0 && ok; }));
        showN[0] = std::min(showN[0], Seconds([&] { ok = RunSilently(showDefault) == 0 && ok; }));
        model = std::min(model, Seconds([&] {
                             finder.Execute();
                             model_list.UpdateList(finder.Files, finder.Directory);
                         }));
        program1(0);
        programN(0);
    }
    ok = ok && model_list.Count() == files + 1;
    while (peaks1.size() < 21) {
        program1(0);
        programN(0);
    }

    // tag show FILE... against id3v2 -l on 2,000 files, warm. These files carry audio-like
    // bytes: on the tree's files, whose audio is a hole of zeros, id3v2 crawls.
    const std::size_t named = 2000;
    const TaggedTree namedTree(named);
    std::vector<std::string> showNamed = {cli, "tag", "show"}, id3v2 = {"/usr/bin/id3v2", "-l"};
    showNamed.insert(showNamed.end(), namedTree.Files().begin(), namedTree.Files().end());
    id3v2.insert(id3v2.end(), namedTree.Files().begin(), namedTree.Files().end());
    MinimalTagReadLoop(namedTree.Files());
    const bool haveId3v2 = ::access(id3v2[0].c_str(), X_OK) == 0;
    double named1 = 1e300, namedPeer = 1e300;
    for (int round = 0; round < 5; ++round) {
        named1 = std::min(named1, Seconds([&] { ok = RunSilently(showNamed) == 0 && ok; }));
        if (haveId3v2)
            namedPeer = std::min(namedPeer, Seconds([&] { RunSilently(id3v2); }));
    }

    // The program's memory with no rows at all, for the bytes per row.
    const std::string empty = workDir + "/empty";
    fs::create_directory(empty);
    const long emptyKb = RunProgram(program, empty, workDir, 0).peakKb;
    fs::remove_all(workDir);
    if (!ok) {
        std::fprintf(stderr, "a run failed or listed the wrong number of rows\n");
        return 1;
    }

    std::printf("\n%zu files in %zu folders; the tags are read %zu files to a request; default "
                "workers: one a core (2 to 8), after the first %zu files\n",
                files, folders, TTagRunReader::kMaxRun, kSequentialEntries);
    std::printf("                                          cold ms     warm ms\n");
    const auto line = [](const char* what, double cold, double warm) {
        if (cold >= 1e299)
            std::printf("%-40s %9s %11.1f\n", what, "-", warm * 1000);
        else
            std::printf("%-40s %9.1f %11.1f\n", what, cold * 1000, warm * 1000);
    };
    line("sequential C loop", cLoop[1], cLoop[0]);
    line("tag show --recursive --jobs 1", show1[1], show1[0]);
    line("tag show --recursive (default jobs)", showN[1], showN[0]);
    line("list model (search + UpdateList)", 1e300, model);
    line("veltrane start to filled list, 1 worker", prog1[1] / 1000, prog1[0] / 1000);
    line("veltrane start to filled list, default", progN[1] / 1000, progN[0] / 1000);
    if (haveId3v2)
        std::printf("\ntag show of %zu named files: %.1f ms; id3v2 -l: %.1f ms\n", named,
                    named1 * 1000, namedPeer * 1000);
    const long peakN = Median(peaksN), peak1 = Median(peaks1);
    std::printf("veltrane peak memory, median of %zu runs: %.1f MB default (%.1f to %.1f), "
                "%.1f MB with 1 worker (%.1f to %.1f), %.1f MB with no rows; %.0f bytes per row\n",
                peaksN.size(), peakN / 1024.0, Lowest(peaksN) / 1024.0, Highest(peaksN) / 1024.0,
                peak1 / 1024.0, Lowest(peaks1) / 1024.0, Highest(peaks1) / 1024.0,
                emptyKb / 1024.0,
                static_cast<double>(peakN - emptyKb) * 1024.0 / static_cast<double>(files));

    std::printf("\ntargets\n");
    std::printf("cold: tag show default vs C loop: %.2f times faster (>= 2.5) %s\n",
                cLoop[1] / showN[1], Verdict(cLoop[1] / showN[1] >= 2.5));
    std::printf("cold: veltrane default vs 1 worker: %.2f times faster (>= 2.5) %s\n",
                prog1[1] / progN[1], Verdict(prog1[1] / progN[1] >= 2.5));
    // One worker alone now has a run of files read at once: the figure that tells what the
    // user waits for is the fill against the C loop.
    std::printf("      (veltrane default vs C loop: %.2f times faster; 1 worker vs C loop: %.2f)\n",
                cLoop[1] * 1000 / progN[1], cLoop[1] * 1000 / prog1[1]);
    std::printf("warm: tag show default / C loop: %.2f (<= 1.2) %s\n", showN[0] / cLoop[0],
                Verdict(showN[0] / cLoop[0] <= 1.2));
    std::printf("warm: veltrane default / list model: %.2f (<= 1.3) %s\n",
                progN[0] / 1000 / model, Verdict(progN[0] / 1000 / model <= 1.3));
    if (haveId3v2)
        std::printf("tag show FILE... vs id3v2 -l: %.2f times faster (>= 5) %s\n",
                    namedPeer / named1, Verdict(namedPeer / named1 >= 5));
    std::printf("memory: default %.1f MB vs 1 worker %.1f MB, %+ld KB (no higher) %s\n",
                peakN / 1024.0, peak1 / 1024.0, peakN - peak1, Verdict(peakN <= peak1));
    std::printf("        (one thread started and joined adds %ld KB to a bare process's peak)\n",
                ThreadCostKb());
    return 0;
}

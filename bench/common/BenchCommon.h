#pragma once
// Shared pieces of the benchmarks: a temporary tree of tagged MP3 files, the minimal C read
// loop that tag reading is measured against, and a wall-clock timer.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace veltrane::bench {

// A fresh directory below the temporary directory holding `files` small MP3 files, each with
// an ID3v1 tag, spread over a few subfolders (some nested). Removed on destruction.
class TaggedTree {
  public:
    explicit TaggedTree(std::size_t files, std::size_t audioBytes = 1024);
    ~TaggedTree();
    TaggedTree(const TaggedTree&) = delete;
    TaggedTree& operator=(const TaggedTree&) = delete;

    const std::string& Root() const { return root_; }
    // Full paths of every file, in creation order.
    const std::vector<std::string>& Files() const { return files_; }

  private:
    std::string root_;
    std::vector<std::string> files_;
};

// For each path: open, fstat, pread of the last 128 bytes, close. Returns how many files
// carry a tag; a file that cannot be read counts as untagged.
std::size_t MinimalTagReadLoop(const std::vector<std::string>& paths);
// For each path: open, fstat, pwrite of 128 bytes over the last 128, close. Returns how many
// files were written.
std::size_t MinimalTagWriteLoop(const std::vector<std::string>& paths);

// Runs a program (no shell) with stdout to /dev/null and waits; returns its exit status,
// or -1 when it could not be started or did not exit normally. cpuSeconds, when given,
// receives the child's user plus system time; peakKb its peak resident memory.
int RunSilently(const std::vector<std::string>& argv, double* cpuSeconds = nullptr,
                long* peakKb = nullptr);

// Starts the window program offscreen on Dir, quitting once the list is filled, with the
// folder's subfolders searched and Extra added to the environment. It starts in WorkDir, where
// it reads its settings file; its standard error is dropped. Returns what it printed on
// standard output, "" when it could not start.
std::string RunListingProgram(const std::string& Program, const std::string& Dir,
                              const std::string& WorkDir,
                              const std::vector<std::string>& Extra = {});

// User plus system time this process has used so far.
double ProcessCpuSeconds();

// FOLDERS folders of files of 16,512 bytes (the smallest listed size) with a tag each. The
// audio part is a hole, so 100,000 files take little disk; with Frames, its first 30 frames are
// MPEG 1 layer 3 at 128 kb/s, so a reader of length and bit rate finds CBR audio. Kept on a
// real disk, not in the page cache alone: TMPDIR or /var/tmp. Removed on destruction.
class FolderTree {
  public:
    FolderTree(std::size_t files, std::size_t folders, bool frames = false);
    ~FolderTree();
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;
    const std::string& Root() const { return root_; }

  private:
    std::string root_;
};

// True when this process may write /proc/sys/vm/drop_caches (root).
bool CanDropAll();
// Syncs, then drops the page cache (all: every cache through /proc; else each file's pages).
void DropCaches(const std::vector<std::string>& files, bool all);

class Stopwatch {
  public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    void Restart() { start_ = std::chrono::steady_clock::now(); }
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_;
};

// The fastest of `runs` timed calls of f, in seconds.
template <typename F> double BestOf(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        Stopwatch w;
        f();
        const double s = w.Seconds();
        if (s < best)
            best = s;
    }
    return best;
}

// The best of several rounds, in wall-clock and in CPU time.
struct Best {
    double wall = 1e300, cpu = 1e300;
    template <typename F> void Time(F&& f) {
        const double c = ProcessCpuSeconds();
        wall = std::min(wall, BestOf(1, f));
        cpu = std::min(cpu, ProcessCpuSeconds() - c);
    }
};

} // namespace veltrane::bench

// Start-up on a large folder, measured in one run:
//  - the real veltrane program, started offscreen on a folder of 20,000 tagged files, until its
//    list is filled (the program reports that moment and quits), wall time from the start;
//  - next to it the list model alone on the same folder (search, then UpdateList), which is
//    what the list benchmark measures.
// Usage: bench_startup [FILES] [PROGRAM]   (default 20000 and the veltrane of this build)

#include "BenchCommon.h"
#include "browser/FileList.h"
#include "browser/FindFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace veltrane;
using namespace veltrane::bench;
namespace fs = std::filesystem;

namespace {

// A flat folder of files of 16,512 bytes (the smallest listed size) with a tag each; the
// audio part is a hole, so 20,000 files take little disk.
class FlatFolder {
  public:
    explicit FlatFolder(std::size_t files) {
        std::string tmpl = (fs::temp_directory_path() / "veltrane-startup-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error(std::strerror(errno));
        root_ = tmpl;
        for (std::size_t i = 0; i < files; ++i) {
            char name[128];
            std::snprintf(name, sizeof name, "/%05zu - Artist %zu - Song %zu.mp3", i, i % 97, i);
            const std::string path = root_ + name;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd < 0)
                throw std::runtime_error(std::strerror(errno));
            char tag[128] = {'T', 'A', 'G'};
            std::snprintf(tag + 3, 30, "Song %zu", i);
            std::snprintf(tag + 33, 30, "Artist %zu", i % 97);
            std::snprintf(tag + 63, 30, "Album %zu", i % 211);
            std::memcpy(tag + 93, "1999", 4);
            tag[127] = static_cast<char>(i % 80);
            const bool ok = ::pwrite(fd, tag, sizeof tag, 128 * 128) == 128;
            ::close(fd);
            if (!ok)
                throw std::runtime_error("cannot write " + path);
        }
    }
    ~FlatFolder() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    const std::string& Root() const { return root_; }

  private:
    std::string root_;
};

// Runs the program on dir with the start-up report switched on; returns what it printed.
std::string RunProgram(const std::string& program, const std::string& dir,
                       const std::string& workDir, double& wallSeconds) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    env.emplace_back("VELTRANE_BENCH_QUIT_AFTER_LIST=1");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string prog = program, arg = dir;
    char* argv[] = {prog.data(), arg.data(), nullptr};
    // The settings file is read from the working directory: start in an empty one.
    const fs::path before = fs::current_path();
    fs::current_path(workDir);
    Stopwatch watch;
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, prog.c_str(), &actions, nullptr, argv, envp.data());
    fs::current_path(before);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    if (rc == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(out[0], buf, sizeof buf)) > 0)
            text.append(buf, static_cast<std::size_t>(n));
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    wallSeconds = watch.Seconds();
    ::close(out[0]);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20000;
    const std::string program = argc > 2 ? argv[2] : VELTRANE_PROGRAM;
    std::printf("building a folder of %zu tagged files...\n", files);
    const FlatFolder folder(files);
    const std::string workDir = folder.Root() + "-work";
    fs::create_directory(workDir);

    // The list model alone, as the list benchmark runs it.
    TFindFile finder;
    finder.Directory = folder.Root();
    finder.Filter = "*.mp3";
    TFileList list;
    double model = 1e300;
    for (int run = 0; run < 3; ++run) {
        model = std::min(model, BestOf(1, [&] {
                             finder.Execute();
                             list.UpdateList(finder.Files, folder.Root());
                         }));
    }
    if (list.Count() != files + 1) {
        std::fprintf(stderr, "the model listed %zu rows, expected %zu\n", list.Count() - 1, files);
        return 1;
    }

    // The program, started three times; the best run counts (the first warms the caches).
    double bestWall = 1e300;
    long long bestInside = -1;
    for (int run = 0; run < 3; ++run) {
        double wall = 0;
        const std::string report = RunProgram(program, folder.Root(), workDir, wall);
        long long ms = -1;
        std::size_t rows = 0;
        if (std::sscanf(report.c_str(), "startup_to_list_ms %lld rows %zu", &ms, &rows) != 2 ||
            rows != files) {
            std::fprintf(stderr, "the program did not report a filled list: %s\n", report.c_str());
            fs::remove_all(workDir);
            return 1;
        }
        if (wall < bestWall) {
            bestWall = wall;
            bestInside = ms;
        }
    }
    fs::remove_all(workDir);

    std::printf("\nstart-up on %zu files                      ms\n", files);
    std::printf("list model (search + UpdateList):     %8.1f\n", model * 1000);
    std::printf("veltrane, start to list filled:       %8lld   (inside the program)\n", bestInside);
    std::printf("veltrane, spawn to exit:              %8.1f   (whole process)\n", bestWall * 1000);
    return 0;
}

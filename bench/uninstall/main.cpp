// The uninstall of a large install: a log of 100,000 recorded files (in 100 folders) that
// exist on the local disk is read and removed, as the second uninstall stage does (target:
// under 5 s, wall clock; the CPU time is printed too, since on a busy machine the wall clock
// mostly waits for the disk). 10,000 files are timed too, to show that the time grows linearly.
// In the same run: a bare unlink loop over the same kind of tree (the floor the file system
// sets), and the uninstall printing its line per file as "install --unattended" does, so the
// cost beyond the unlink itself shows per file. Every tree is flushed to the disk first.

#include "BenchCommon.h"

#include "platform/SystemDirs.h"
#include "setup/ConsoleView.h"
#include "setup/InstallLog.h"
#include "setup/SetupData.h"
#include "setup/UnInstallRemoval.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace veltrane;
using namespace veltrane::bench;

namespace {

struct Figures {
    double write = 0, read = 0, remove = 0, cpu = 0;
    int problems = 0;
    bool clean = false;
};

enum class Way { Bare, Quiet, Printed };

// Count files of one byte in 100 folders below a fresh temporary folder; Record gets them.
std::string MakeTree(std::size_t Count, TInstallRecord& Record) {
    std::string Root = platform::TempDirectory();
    Root += (Root.back() == '/' ? "" : "/") + std::string("bench-uninstall.XXXXXX");
    if (!::mkdtemp(Root.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    const std::string Install = Root + "/Veltrane/";
    Record.CreatedDirs.push_back(Install);
    ::mkdir(Install.c_str(), 0755);
    const std::size_t Folders = 100;
    for (std::size_t F = 0; F < Folders; ++F) {
        const std::string Dir = Install + "part" + std::to_string(F) + "/";
        ::mkdir(Dir.c_str(), 0755);
        Record.CreatedDirs.push_back(Dir);
    }
    for (std::size_t I = 0; I < Count; ++I) {
        const std::string File = Install + "part" + std::to_string(I % Folders) + "/file" + std::to_string(I) + ".mp3";
        const int Fd = ::open(File.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (Fd < 0 || ::write(Fd, "x", 1) != 1) {
            std::perror(File.c_str());
            std::exit(1);
        }
        ::close(Fd);
        Record.InstalledFiles.push_back(File);
    }
    // An installed product's files are on the disk. Removing a file whose byte still sits only
    // in the page cache costs a fraction of removing one with a block to free (with online
    // discard, milliseconds each), so without this the figures depend on whether writeback
    // happened to run before the removal.
    ::sync();
    return Root;
}

Figures Run(std::size_t Count, Way How) {
    TInstallRecord Record;
    const std::string Root = MakeTree(Count, Record);
    const std::string Install = Record.CreatedDirs.front();
    Figures Out;
    Stopwatch Watch;
    const double Cpu = ProcessCpuSeconds();
    if (How == Way::Bare) {
        for (const std::string& File : Record.InstalledFiles)
            Out.problems += ::unlink(File.c_str()) != 0;
        for (auto It = Record.CreatedDirs.rbegin(); It != Record.CreatedDirs.rend(); ++It)
            Out.problems += ::rmdir(It->c_str()) != 0;
        Out.remove = Watch.Seconds();
        Out.cpu = ProcessCpuSeconds() - Cpu;
        Out.clean = !std::filesystem::exists(Install);
        std::filesystem::remove_all(Root);
        ::sync(); // the next run must not pay for this one's freed blocks
        return Out;
    }

    TSetupData Data;
    Data.FindDir("Install")->SetDir(Install);
    std::string LogFile;
    WriteInstallLog(Install, "INSTALL.LOG", Record, Data, "English", LogFile);
    Out.write = Watch.Seconds();

    // What the second stage does: read the whole log, then remove what it names.
    Watch.Restart();
    TInstallRecord Back;
    if (ReadInstallLog(LogFile, false, Back, &Data, nullptr) != 0 || Back.InstalledFiles.size() != Count) {
        std::fprintf(stderr, "the log did not read back\n");
        std::exit(1);
    }
    Out.read = Watch.Seconds();
    const std::string Printed = Root + ".out";
    std::FILE* Lines = How == Way::Printed ? std::fopen(Printed.c_str(), "w") : nullptr;
    TConsoleView Console(Lines, nullptr);
    TUnInstallEvents Events;
    if (Lines)
        Events.Removed = [&Console](const std::string& Line) { Console.Report(Line); };
    Watch.Restart();
    Out.problems = RunUnInstallRemoval(Back, LogFile, nullptr, Events);
    Out.remove = Watch.Seconds();
    Out.cpu = ProcessCpuSeconds() - Cpu;
    Out.clean = !std::filesystem::exists(Install);
    if (Lines) {
        std::fclose(Lines);
        std::filesystem::remove(Printed);
    }
    std::filesystem::remove_all(Root);
    ::sync();
    return Out;
}

} // namespace

int main() {
    const Figures Small = Run(10000, Way::Quiet);
    const Figures Bare = Run(100000, Way::Bare);
    const Figures Large = Run(100000, Way::Quiet);
    const Figures Printed = Run(100000, Way::Printed);
    for (const auto& [Count, F] : {std::pair{10000, Small}, std::pair{100000, Large}})
        std::printf("%6d recorded files: log written in %.2f s; uninstall %.2f s (reading %.2f s, "
                    "removing %.2f s; %.2f s of CPU)%s\n",
                    Count, F.write, F.read + F.remove, F.read, F.remove, F.cpu,
                    F.clean && F.problems == 0 ? "" : " -- something stayed behind");
    std::printf("100000 files, bare unlink loop: %.2f s (%.2f s of CPU)%s\n", Bare.remove, Bare.cpu,
                Bare.clean && Bare.problems == 0 ? "" : " -- something stayed behind");
    std::printf("100000 files, uninstall printing a line per file: %.2f s (%.2f s of CPU)%s\n",
                Printed.read + Printed.remove, Printed.cpu,
                Printed.clean && Printed.problems == 0 ? "" : " -- something stayed behind");
    const double Total = Large.read + Large.remove;
    std::printf("beyond the bare loop: %.1f us of wall clock, %.1f us of CPU per file (%.2f times "
                "the bare loop)\n",
                (Total - Bare.remove) * 1e6 / 100000, (Large.cpu - Bare.cpu) * 1e6 / 100000,
                Total / std::max(1e-9, Bare.remove));
    std::printf("uninstall of 100000 recorded files: %.2f s (target: under 5 s) %s; "
                "10 times the files took %.1f times as long\n",
                Total, Total < 5.0 ? "PASS" : "FAIL",
                Total / std::max(1e-9, Small.read + Small.remove));
    return Total < 5.0 && Large.clean ? 0 : 1;
}

// Veltrane: creates the services and the windows once, in their fixed order, and runs the
// event loop until the main window closes.

#include "browser/MainCommands.h"
#include "browser/ui/main.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/ProcessStarter.h"
#include "platform/SystemDirs.h"
#include "platform/Volumes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
#ifdef __GLIBC__
    // Each tag-reading worker would get a heap of its own, whose slack outlives the reading;
    // threads that mostly wait on the disk share two well enough.
    ::mallopt(M_ARENA_MAX, 2);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrane");
    // Docks and Wayland compositors match the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName("org.veltrane.Veltrane");

    veltrane::platform::GioAssociations associations;
    veltrane::platform::LinuxFileOperations fileOperations;
    veltrane::platform::LinuxProcessStarter processes;
    veltrane::platform::LinuxVolumes volumes;
    veltrane::TMainServices services;
    services.Associations = &associations;
    services.FileOperations = &fileOperations;
    services.Processes = &processes;
    services.Volumes = &volumes;
    services.StartDirectory = veltrane::platform::CurrentDirectory();

    veltrane::TMainForm mainForm(services);
    mainForm.CreateWindows();
    // `veltrane FOLDER` shows FOLDER instead of the default directory; `veltrane FILE.mp3...`
    // (the desktop's "Open with") shows the first file's folder with the files selected.
    // Names are bytes as given; one that starts with "-" follows "--".
    std::vector<std::string> paths(argv + 1, argv + argc);
    if (!paths.empty() && paths.front() == "--")
        paths.erase(paths.begin());
    if (!paths.empty())
        mainForm.OpenPaths(paths);

    // For the open benchmark: the number of tag-reading workers, and subfolders searched too.
    if (const char* jobs = std::getenv("VELTRANE_BENCH_READ_JOBS"))
        mainForm.FileList.SetReadJobs(std::strtoul(jobs, nullptr, 10));
    if (std::getenv("VELTRANE_BENCH_SUBDIRS"))
        mainForm.SubdirMode = true;

    // For the start-up benchmark: report the time until the list is filled, then quit.
    if (std::getenv("VELTRANE_BENCH_QUIT_AFTER_LIST")) {
        QObject::connect(&mainForm, &veltrane::TMainForm::ListFilled, &app, [&] {
            // The peak of this program's own memory: the kernel's rusage would also count the
            // starting process's memory from before the exec.
            long peakKb = 0;
            if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
                char line[256];
                while (std::fgets(line, sizeof line, status))
                    if (std::sscanf(line, "VmHWM: %ld", &peakKb) == 1)
                        break;
                std::fclose(status);
            }
            std::printf("startup_to_list_ms %lld rows %zu peak_kb %ld\n",
                        static_cast<long long>(clock.elapsed()),
                        mainForm.FileList.Count() > 0 ? mainForm.FileList.Count() - 1 : 0, peakKb);
            std::fflush(stdout);
            QTimer::singleShot(0, &app, &QApplication::quit);
        });
    }
    mainForm.show();
    return app.exec();
}

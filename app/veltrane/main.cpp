// Veltrane: creates the services and the windows once, in their fixed order, and runs the
// event loop until the main window closes or an end signal arrives.

#include "browser/ui/main.h"
#include "VeltraneVersion.h"
#include "browser/MainCommands.h"
#include "browser/ui/EndSignals.h"
#include "browser/ui/Translations.h"
#include "browser/ui/mProgressForm.h"
#include "components/RunFiles.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/ProcessStarter.h"
#include "platform/SystemDirs.h"
#include "platform/Volumes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

const char* const kUsage =
    "Usage: veltrane [FOLDER | FILE.mp3...]\n"
    "Shows the MP3 files of FOLDER (else of the default folder) with their ID3v1 tags, to\n"
    "edit, rename, play and put into playlists. With FILE.mp3..., shows the first file's\n"
    "folder with those files chosen. A name that starts with \"-\" follows \"--\".\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "veltrane-cli does the same work from the command line, without a display.\n";

// Qt ends the program when no platform can start (no display): while the application
// object is made, its messages are held back, and that end becomes one line and exit 2.
QtMessageHandler gQtHandler = nullptr;
struct THeldMessage {
    QtMsgType Type;
    std::string Category;
    QString Text;
};
std::vector<THeldMessage>* gHeld = nullptr;

void HoldMessage(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    if (Type == QtFatalMsg) {
        std::fputs("veltrane: no display found (DISPLAY or WAYLAND_DISPLAY names none that "
                   "answers); veltrane-cli works without one\n",
                   stderr);
        std::fflush(stderr);
        ::_exit(2);
    }
    if (gHeld)
        gHeld->push_back({Type, Context.category ? Context.category : "", Text});
}

void ReleaseMessages() {
    qInstallMessageHandler(gQtHandler);
    for (const THeldMessage& m : *gHeld) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.Category.c_str());
        if (gQtHandler)
            gQtHandler(m.Type, context, m.Text);
        else
            std::fprintf(stderr, "%s\n", m.Text.toLocal8Bit().constData());
    }
    delete gHeld;
    gHeld = nullptr;
}

int Run(int argc, char** argv);

} // namespace

int main(int argc, char** argv) {
    // Our own options come first, before Qt looks for a display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("veltrane %s\n", VELTRANE_VERSION);
            return 0;
        }
    }
    const int status = Run(argc, argv);
    // Ended by a signal: cleaned up, now ended by it, so the caller sees why.
    if (const int signal = veltrane::TEndSignals::Received()) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return status;
}

namespace {

int Run(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
#ifdef __GLIBC__
    // Each tag-reading worker would get a heap of its own, whose slack outlives the reading;
    // threads that mostly wait on the disk share two well enough.
    ::mallopt(M_ARENA_MAX, 2);
#endif
    gHeld = new std::vector<THeldMessage>;
    gQtHandler = qInstallMessageHandler(HoldMessage);
    QApplication app(argc, argv);
    ReleaseMessages();
    QApplication::setApplicationName("Veltrane");
    QApplication::setApplicationVersion(VELTRANE_VERSION);
    // Docks and Wayland compositors match the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName("org.veltrane.Veltrane");
    // The windows speak the desktop's language where a catalogue for it is installed.
    veltrane::TTranslations translations;
    translations.Load(QLocale::system(),
                      veltrane::TranslationDirs(QCoreApplication::applicationDirPath()));

    // What is left after Qt took its own options: folders or files, "--" before a name that
    // starts with "-".
    int first = 1;
    if (first < argc && std::strcmp(argv[first], "--") == 0)
        ++first;
    else if (first < argc && argv[first][0] == '-' && argv[first][1] != '\0') {
        std::fprintf(stderr, "veltrane: unknown option %s\nTry \"veltrane --help\".\n",
                     argv[first]);
        return 2;
    }
    veltrane::TEndSignals endSignals;

    // Files a killed run left behind are removed before this run makes its own.
    veltrane::TRunFileList runFiles;
    runFiles.RemoveFilesOfEndedRuns();
    runFiles.Open();

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
    services.RunFiles = &runFiles;

    veltrane::TMainForm mainForm(services);
    mainForm.CreateWindows();
    // `veltrane FOLDER` shows FOLDER instead of the default directory; `veltrane FILE.mp3...`
    // (the desktop's "Open with") shows the first file's folder with the files selected.
    // Names are bytes as given.
    if (first < argc)
        mainForm.OpenPaths(std::vector<std::string>(argv + first, argv + argc));

    // For the open benchmark: the number of tag-reading workers, and subfolders searched too.
    if (const char* jobs = std::getenv("VELTRANE_BENCH_READ_JOBS"))
        mainForm.FileList.SetReadJobs(std::strtoul(jobs, nullptr, 10));
    if (std::getenv("VELTRANE_BENCH_SUBDIRS"))
        mainForm.SubdirMode = true;

    // For the start-up benchmark: report the time until the list is filled, then quit.
    // The longest time between two passes of the event loop while the list fills: a timer
    // due at every pass notes each one, from the moment the progress window first opens.
    QTimer passes;
    QElapsedTimer sincePass;
    qint64 longestGapMs = 0;
    bool filling = false;
    if (std::getenv("VELTRANE_BENCH_QUIT_AFTER_LIST")) {
        passes.setTimerType(Qt::PreciseTimer);
        passes.setInterval(1);
        QObject::connect(&passes, &QTimer::timeout, &app, [&] {
            if (filling) {
                longestGapMs = std::max(longestGapMs, sincePass.elapsed());
                // VELTRANE_BENCH_GAPS: where the long gaps end, for whoever hunts them.
                if (sincePass.elapsed() >= 50 && std::getenv("VELTRANE_BENCH_GAPS"))
                    std::fprintf(stderr, "gap %lld ms, ending at '%s' %d\n",
                                 static_cast<long long>(sincePass.elapsed()),
                                 veltrane::TmProgressWnd::IsOpen()
                                     ? veltrane::TmProgressWnd::OpenWindow()
                                           ->windowTitle().toLocal8Bit().constData()
                                     : "(no progress window)",
                                 veltrane::TmProgressWnd::IsOpen()
                                     ? veltrane::TmProgressWnd::OpenWindow()->ProgressBar->value()
                                     : -1);
            }
            filling = filling || veltrane::TmProgressWnd::IsOpen();
            sincePass.restart();
        });
        passes.start();
    }
    if (std::getenv("VELTRANE_BENCH_QUIT_AFTER_LIST")) {
        QObject::connect(&mainForm, &veltrane::TMainForm::ListFilled, &app, [&] {
            if (filling)
                longestGapMs = std::max(longestGapMs, sincePass.elapsed());
            passes.stop();
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
            std::printf("startup_to_list_ms %lld rows %zu peak_kb %ld longest_gap_ms %lld\n",
                        static_cast<long long>(clock.elapsed()),
                        mainForm.FileList.Count() > 0 ? mainForm.FileList.Count() - 1 : 0, peakKb,
                        static_cast<long long>(longestGapMs));
            std::fflush(stdout);
            QTimer::singleShot(0, &app, &QApplication::quit);
        });
    }
    mainForm.show();
    if (veltrane::TEndSignals::Received())
        return 0; // asked to end before the event loop ran
    return app.exec();
}

} // namespace

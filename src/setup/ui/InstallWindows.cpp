#include "setup/ui/InstallWindows.h"

#include "platform/ProcessStarter.h"
#include "platform/SingleInstance.h"
#include "setup/InstallCli.h"
#include "setup/InstallProduct.h"
#include "setup/SetupStartup.h"
#include "setup/ui/SetupBackground.h"
#include "setup/ui/SetupMessageBox.h"
#include "setup/ui/SetupPagesForm.h"

#include <QApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace veltrane {

bool DisplayAvailable(const std::function<const char*(const char*)>& Env) {
    auto Set = [&Env](const char* Name) {
        const char* V = Env(Name);
        return V && *V;
    };
    const char* Platform = Env("QT_QPA_PLATFORM");
    if (!Platform || !*Platform)
        return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
    // A list of plugins tried in turn ("wayland;xcb"), each with options after ":".
    const std::string List = Platform;
    for (std::size_t Start = 0; Start <= List.size();) {
        std::size_t End = List.find(';', Start);
        if (End == std::string::npos)
            End = List.size();
        std::string Name = List.substr(Start, End - Start);
        Name = Name.substr(0, Name.find(':'));
        if (Name == "xcb") {
            if (Set("DISPLAY"))
                return true;
        } else if (Name.rfind("wayland", 0) == 0) {
            if (Set("WAYLAND_DISPLAY"))
                return true;
        } else if (!Name.empty()) {
            return true; // offscreen, minimal, vnc, eglfs, linuxfb: no display server needed
        }
        Start = End + 1;
    }
    return false;
}

int RunInstallWindows(int argc, char** argv, const std::string& ProgramPath) {
    QApplication App(argc, argv);
    QApplication::setApplicationName("install");
    QApplication::setApplicationDisplayName("Veltrane v1.0 installer");

    TQtSetupView View;
    TSetupInfo Info(View);
    View.Info = &Info;
    if (std::string Problem = PrepareSetupInfo(Info, ProgramPath); !Problem.empty()) {
        SetupMessageBox(Info, ToQt(Problem), mtError, mbOK);
        return 1;
    }
    TInstallProduct Product(Info);
    std::string LogError;
    AddExitHooks(Info, LogError);

    QWidget MainForm;
    MainForm.setObjectName("MainForm");
    MainForm.setWindowTitle("Veltrane v1.0 installer");
    View.Owner = &MainForm;

    platform::SingleInstance Lock(ProgramPath);
    platform::LinuxProcessStarter Processes;
    TStartupOptions Options;
    Options.IsFirstInstance = Lock.IsFirst();
    for (int I = 1; I < argc; ++I)
        Options.Args.emplace_back(argv[I]);
    Options.Processes = &Processes;
    try {
        const TStartupResult R = RunStartup(Info, Options);
        if (R.Kind == TStartupKind::Refused || R.Kind == TStartupKind::Restarted)
            return R.ExitCode;
    } catch (const ESetupError& E) {
        SetupMessageBox(Info, ToQt(E.what()), mtError, mbOK);
        return 1;
    }

    auto* Layout = new QVBoxLayout(&MainForm);
    Layout->setContentsMargins(0, 0, 0, 0);
    auto* Background = new TSetupBackground(&Info, Product.Background, &MainForm);
    Background->AutoSetup = Product.AutoSetup;
    Background->AutoUnInstall = Product.AutoUnInstall;
    Layout->addWidget(Background);
    int Status = 1;
    Background->OnFinished = [&](int Result) {
        Status = Result == prDone ? 0 : 1;
        QApplication::quit();
    };
    // Sized to the screen first: without a window manager a maximize request alone is not
    // honoured.
    if (Product.Background.MaximizeWindow) {
        if (QScreen* Screen = QApplication::primaryScreen())
            MainForm.setGeometry(Screen->availableGeometry());
        MainForm.show();
        MainForm.setWindowState(Qt::WindowMaximized);
    } else {
        MainForm.show();
    }
    App.exec();
    Info.Finish();
    if (!LogError.empty()) {
        SetupMessageBox(Info, ToQt(LogError), mtError, mbOK);
        return 1;
    }
    return Status;
}

} // namespace veltrane

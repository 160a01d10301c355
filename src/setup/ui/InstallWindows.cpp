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

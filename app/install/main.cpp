// install: the command-line forms run without windows; otherwise the wizard opens.

#include "VeltraneVersion.h"
#include "setup/InstallCli.h"
#include "setup/StoredDescription.h"

#ifdef VELTRANE_INSTALL_WINDOWS
#include "setup/ui/InstallWindows.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> Args(argv + 1, argv + argc);
    if (Args.size() == 1 && Args[0] == "--version") {
        std::printf("install %s\n", VELTRANE_VERSION);
        return 0;
    }
    const std::string Program = veltrane::OwnProgramPath();
    if (auto Status = veltrane::RunInstallCommandLine(Args, Program, stdout, stderr, stdin))
        return *Status;
#ifdef VELTRANE_INSTALL_WINDOWS
    // Qt would abort without a display; say what to do instead.
    if (!veltrane::DisplayAvailable([](const char* Name) { return std::getenv(Name); })) {
        std::fprintf(stderr, "install: no display was found; install --unattended installs without windows\n");
        return 2;
    }
    return veltrane::RunInstallWindows(argc, argv, Program);
#else
    std::fprintf(stderr, "install: this build has no windows; use --unattended\n");
    return 1;
#endif
}

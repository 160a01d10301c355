// install: the command-line forms run without windows; otherwise the wizard opens.

#include "setup/InstallCli.h"
#include "setup/StoredDescription.h"

#ifdef VELTRANE_INSTALL_WINDOWS
#include "setup/ui/InstallWindows.h"
#endif

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> Args(argv + 1, argv + argc);
    const std::string Program = veltrane::OwnProgramPath();
    if (auto Status = veltrane::RunInstallCommandLine(Args, Program, stdout, stderr, stdin))
        return *Status;
#ifdef VELTRANE_INSTALL_WINDOWS
    return veltrane::RunInstallWindows(argc, argv, Program);
#else
    std::fprintf(stderr, "install: this build has no windows; use --unattended\n");
    return 1;
#endif
}

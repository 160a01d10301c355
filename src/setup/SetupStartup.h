#pragma once
// What this run of the installer is: a refused second instance, a restarting stage (the
// removable-medium bootstrap or the first uninstall stage), the second uninstall stage or an
// ordinary install. Runs hand data to each other through "TSETUP.INI" in the Windows-directory
// stand-in.

#include "platform/ProcessStarter.h"
#include "setup/SetupInfo.h"

#include <string>
#include <vector>

namespace veltrane {

enum class TStartupKind { Refused, Restarted, Install, UnInstall };

struct TStartupResult {
    TStartupKind Kind = TStartupKind::Install;
    int ExitCode = 0; // for Refused and Restarted: the program's exit status
};

struct TStartupOptions {
    bool IsFirstInstance = true;
    // Arguments after the program name that select the run ("Uninstall").
    std::vector<std::string> Args;
    // Options handed on to the restarted copy of an unattended run ("--unattended", ...).
    std::vector<std::string> HandOn;
    bool Unattended = false;
    platform::IProcessStarter* Processes = nullptr;
};

inline constexpr char HandOverFileName[] = "TSETUP.INI";
// The environment variable that hands the section's token to the restarted copy.
inline constexpr char HandOverTokenVariable[] = "VELTRANE_INSTALL_TOKEN";

std::string HandOverFile(const TSetupInfo& Info);
// A private directory (mkdtemp) in the temporary directory, with trailing "/".
std::string MakePrivateTempDir();

TStartupResult RunStartup(TSetupInfo& Info, const TStartupOptions& Options);

} // namespace veltrane

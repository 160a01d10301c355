#pragma once
// The configured components of this product's installer: welcome page, directory choice, file
// copy and closing page, chained in that order. The groups and uninstall pages join later; the
// copy page's next page is the groups page, then the closing page; the uninstall page runs
// in the second uninstall stage.

#include "platform/ProgramManager.h"
#include "setup/SetupGroupPages.h"
#include "setup/SetupPages.h"

#include <memory>

namespace veltrane {

struct TBackgroundSettings {
    std::uint32_t StartColor = 0x0000FF; // blue (0xRRGGBB)
    std::uint32_t EndColor = 0x000000;   // black
    int Gradations = 100;
    bool MaximizeWindow = true;
    bool ShowAppName = true;
    bool DisplayMessage = true;
    TFontSpec AppFont{"Arial", 27, 0xFFFFFF, true, true};
};

class TInstallProduct {
  public:
    explicit TInstallProduct(TSetupInfo& Info);
    TSetupMessage SetupMessage1{"SetupMessage1"};
    TSetupDirChoice SetupDirChoice{"SetupDirChoice"};
    TSetupFileCopy SetupFileCopy{"SetupFileCopy"};
    TSetupGroups SetupGroups{"SetupGroups"};
    TSetupMessage SetupMessage{"SetupMessage"};
    TSetupUnInstall SetupUnInstall{"SetupUnInstall"};
    TSetupPage* AutoSetup = &SetupMessage1;
    TSetupPage* AutoUnInstall = &SetupUnInstall;
    // The desktop's menus stand in for the program manager; "veltrane" items get the icon.
    // Its file writes are part of the copy page's transaction.
    platform::LinuxMenuFiles MenuFiles;
    TRecordingMenuFiles RecordedMenuFiles{MenuFiles, SetupFileCopy.Transaction};
    std::unique_ptr<platform::FreedesktopProgramManager> ProgramManager;
    TBackgroundSettings Background;
};

} // namespace veltrane

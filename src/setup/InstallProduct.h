#pragma once
// The configured components of this product's installer: welcome page, directory choice, file
// copy and closing page, chained in that order. The groups and uninstall pages join later; the
// copy page's next page is the closing page until the groups page exists.

#include "setup/SetupPages.h"

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
    TSetupMessage SetupMessage{"SetupMessage"};
    TSetupPage* AutoSetup = &SetupMessage1;
    TSetupPage* AutoUnInstall = nullptr;
    TBackgroundSettings Background;
};

} // namespace veltrane

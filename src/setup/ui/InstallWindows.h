#pragma once
// The windowed installer: the main window with the background, which starts the wizard.

#include <string>

namespace veltrane {

int RunInstallWindows(int argc, char** argv, const std::string& ProgramPath);

} // namespace veltrane

#pragma once
// The windowed installer: the main window with the background, which starts the wizard.

#include <functional>
#include <string>

namespace veltrane {

// Whether a window system can be reached, judged from the environment (Env returns a
// variable's value or null) before Qt is started: QT_QPA_PLATFORM, else DISPLAY or
// WAYLAND_DISPLAY.
bool DisplayAvailable(const std::function<const char*(const char*)>& Env);

int RunInstallWindows(int argc, char** argv, const std::string& ProgramPath);

} // namespace veltrane

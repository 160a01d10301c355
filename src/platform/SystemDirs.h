#pragma once
// Where the program finds the user's and the system's directories.

#include <optional>
#include <string>

namespace veltrane::platform {

// TMPDIR, else TEMP, else TMP, else "/tmp" (the first one set and non-empty).
std::string TempDirectory();
// $XDG_CONFIG_HOME, else ~/.config (stands in for the Windows directory).
std::string ConfigDirectory();
// $XDG_DATA_HOME, else ~/.local/share.
std::string DataDirectory();
// $XDG_STATE_HOME, else ~/.local/state.
std::string StateDirectory();
// $HOME, else the password database's home of the user.
std::string HomeDirectory();
// $XDG_RUNTIME_DIR when set, else the temporary directory.
std::string RuntimeDirectory();
// The process's working directory (the start directory when asked at start-up).
std::string CurrentDirectory();
// "~" and "~/..." expanded to the home directory; other texts unchanged.
std::string ExpandHome(const std::string& path);
// A typed directory: "~/" expanded, then it must be absolute and name an existing directory;
// returned tidied ("." , ".." and doubled "/" removed), or as its real path after a link.
std::optional<std::string> ResolveTypedDirectory(const std::string& text);
// Whether path names an existing directory (following links).
bool IsDirectory(const std::string& path);

} // namespace veltrane::platform

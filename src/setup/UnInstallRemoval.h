#pragma once
// The removal of an uninstall: menu items, files, the log, created directories (last first)
// and the groups the install created. Files are only ever deleted inside the directory that
// holds the log being read, reached without following links; directories only when empty.

#include "setup/InstallLog.h"

#include <functional>
#include <string>

namespace veltrane {

namespace platform {
class IProgramManager;
}

struct TUnInstallEvents {
    // One line per thing removed ("Deleted /opt/Veltrane/veltrane").
    std::function<void(const std::string&)> Removed;
    // A directory that stays (text 92) or an entry refused because it lies elsewhere.
    std::function<void(const std::string&)> Warning;
};

// "Unable to delete directory %s." filled in.
std::string UnableToDeleteDirectoryText(const std::string& Dir);

// Removes what Record names. LogFile is the log that was read; its directory is the only
// place files are deleted from. Menu may be null (no menu to clean). Returns the number of
// entries that were refused or stayed.
int RunUnInstallRemoval(const TInstallRecord& Record, const std::string& LogFile,
                        platform::IProgramManager* Menu, const TUnInstallEvents& Events);

} // namespace veltrane

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
    // A recorded file that is still there afterwards (refused or not removable).
    std::function<void(const std::string&)> FileLeft;
};

// "Unable to delete directory %s." filled in.
std::string UnableToDeleteDirectoryText(const std::string& Dir);

// Removes what Record names, in time linear in its size. LogFile is the log that was read;
// its directory (links resolved) is the only place files are deleted from, and the log itself
// is deleted only when no recorded file remains. A recorded directory is removed when empty
// and at or below that directory (text 92 when it stays), or, silently, when it is an
// ancestor of it or one of Menu's folders (or their ancestors); others are refused. Menu may
// be null (no menu to clean). Returns the number of entries that were refused or stayed.
int RunUnInstallRemoval(const TInstallRecord& Record, const std::string& LogFile,
                        platform::IProgramManager* Menu, const TUnInstallEvents& Events);

} // namespace veltrane

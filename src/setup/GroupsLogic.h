#pragma once
// What the groups page does beneath its window: the groups present, the items whose program
// was installed, and the group with its items created through the program manager and
// recorded for the uninstall.

#include "setup/InstallLog.h"

#include <functional>
#include <string>
#include <vector>

namespace veltrane {

namespace platform {
class IProgramManager;
}
class TSetupFileGroup;
class TSetupWinGroups;
class TSetupWinItem;

inline constexpr const char* kGroupNameBlankText = "Group name cannot be blank.";  // text 62
std::string UnableToCreateGroupText(const std::string& Group);                      // text 63
std::string UnableToCreateItemText(const std::string& Item);                        // text 64

// The "Groups" request, empty lines dropped; empty when the program manager does not answer.
std::vector<std::string> RequestGroups(platform::IProgramManager& Menu);
// DirFullPath of the item's dir followed by its file's name; empty without dir or file.
std::string ItemProgramPath(const TSetupWinItem& Item);
// Items of the definition whose program exists.
int InstalledItemCount(const TSetupWinGroups& Definition,
                       const std::function<bool(const std::string&)>& Exists);

struct TGroupsOutcome {
    bool ShowAgain = false;          // blank name: the page is shown again
    bool Cancelled = false;          // the group could not be created: the wizard is cancelled
    std::vector<std::string> Errors; // texts 62, 63, 64 in order
    std::vector<std::string> FailedItems;
};

// Creates Group (recorded as created when it is not among Existing, ignoring case), adds every
// item whose file WorkGroup holds under the item's dir and whose program exists (recorded),
// and shows the group.
TGroupsOutcome CreateProgramGroup(const std::string& Group, const std::vector<std::string>& Existing,
                                  const TSetupWinGroups& Definition, const TSetupFileGroup& WorkGroup,
                                  platform::IProgramManager& Menu, TInstallRecord& Record,
                                  const std::function<bool(const std::string&)>& Exists);

} // namespace veltrane

#include "setup/GroupsLogic.h"

#include "platform/ProgramManager.h"
#include "setup/SetupData.h"
#include "setup/SetupPaths.h"

namespace veltrane {

std::string UnableToCreateGroupText(const std::string& Group) {
    return "Unable to create program group: " + Group + ".";
}

std::string UnableToCreateItemText(const std::string& Item) {
    return "Unable to create program group item: " + Item + ".";
}

std::vector<std::string> RequestGroups(platform::IProgramManager& Menu) {
    std::vector<std::string> groups;
    const auto answer = Menu.Request("Groups");
    if (!answer)
        return groups;
    std::size_t pos = 0;
    while (pos < answer->size()) {
        auto end = answer->find('\n', pos);
        if (end == std::string::npos)
            end = answer->size();
        std::string line = answer->substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            groups.push_back(line);
        pos = end + 1;
    }
    return groups;
}

std::string ItemProgramPath(const TSetupWinItem& Item) {
    if (!Item.Dir || !Item.ItemFile)
        return "";
    return DirFullPath(Item.Dir) + Item.ItemFile->Name;
}

int InstalledItemCount(const TSetupWinGroups& Definition,
                       const std::function<bool(const std::string&)>& Exists) {
    int count = 0;
    for (const TSetupWinItem* item : Definition.Items) {
        const std::string path = ItemProgramPath(*item);
        if (!path.empty() && Exists(path))
            ++count;
    }
    return count;
}

TGroupsOutcome CreateProgramGroup(const std::string& Group, const std::vector<std::string>& Existing,
                                  const TSetupWinGroups& Definition, const TSetupFileGroup& WorkGroup,
                                  platform::IProgramManager& Menu, TInstallRecord& Record,
                                  const std::function<bool(const std::string&)>& Exists) {
    TGroupsOutcome outcome;
    if (Group.empty()) {
        outcome.ShowAgain = true;
        outcome.Errors.push_back(kGroupNameBlankText);
        return outcome;
    }
    bool existed = false;
    for (const std::string& g : Existing)
        existed = existed || SameTextIgnoringCase(g, Group);
    if (!existed)
        Record.AddGroupItem(Group, "");
    if (!Menu.Execute(platform::CreateGroupCommand(Group))) {
        outcome.Cancelled = true;
        outcome.Errors.push_back(UnableToCreateGroupText(Group));
        return outcome;
    }
    for (const TSetupWinItem* item : Definition.Items) {
        const std::string path = ItemProgramPath(*item);
        if (path.empty() || !WorkGroup.Contains(item->ItemFile, item->Dir) || !Exists(path))
            continue;
        Record.AddGroupItem(Group, item->Name());
        if (!Menu.Execute(platform::AddItemCommand(path, item->CommandLine, item->Name())))
        {
            outcome.Errors.push_back(UnableToCreateItemText(item->Name()));
            outcome.FailedItems.push_back(item->Name());
        }
    }
    Menu.Execute(platform::ShowGroupCommand(Group));
    return outcome;
}

} // namespace veltrane

#pragma once
// The groups page (the product's menu entries through the program manager) and the uninstall
// page (the removal of what the install log names).

#include "setup/SetupInfo.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

namespace platform {
class IProgramManager;
}
struct TInstallRecord;

// Why a group name cannot be recorded in the install log and read back as it is ("" when it
// can): a line break, NUL, a blank or tab at either end, or ":~:".
std::string GroupNameProblem(const std::string& Name);

// The install record held by TSetupInfo, as one value and back.
TInstallRecord RecordOf(const TSetupInfo& Info);
void StoreRecord(TSetupInfo& Info, const TInstallRecord& Record);

class TSetupGroups : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    bool MinimizeProgMan = true; // there is no program manager window to minimize here
    std::vector<std::string> Text;
    platform::IProgramManager* ProgramManager = nullptr;
    // A group name chosen beforehand (install --group NAME) instead of the definition's Title.
    std::optional<std::string> GroupOverride;
    // The groups present when the page was shown.
    std::vector<std::string> ExistingGroups;

    // The description's group definition named like this page; null when there is none.
    TSetupWinGroups* Definition() const;
    void ShowPage() override;
    int StartPage() override;
    void GoNext() override;
    TPageKind Kind() const override { return TPageKind::Groups; }
    void SetupLinked() override;
    void LeavingSetup() override;

  private:
    std::string Shown_;
    std::optional<std::string> Refused_; // a typed name that was refused
};

class TSetupUnInstall : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    std::vector<std::string> Text;
    platform::IProgramManager* ProgramManager = nullptr;
    TNotifyEvent OnCleanup;
    // Step 8: every database-engine page undoes its engine for the recorded type.
    std::function<void(int BDEType)> UndoBDE;

    void ShowPage() override;
    void GoNext() override;
    TPageKind Kind() const override { return TPageKind::UnInstall; }
};

// The work at program exit: without a finished uninstall the install log is written (its
// failure, "NO LOG DIR" among them, goes to LogError); after a finished uninstall the
// temporary copy deletes the files it took along, itself and its private directory.
void AddExitHooks(TSetupInfo& Info, std::string& LogError);

} // namespace veltrane

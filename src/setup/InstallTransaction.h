#pragma once
// An install as one transaction: every file the run creates or replaces and every directory
// it makes is recorded as it goes; a file about to be replaced is first kept aside as a hidden
// backup beside it. A cancelled or failed run is rolled back (created files and directories
// removed, replaced files put back byte for byte); a run that ends well drops the backups.

#include "platform/ProgramManager.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace veltrane {

namespace platform {
class SingleInstance;
}

inline constexpr char InstallCancelledText[] = "The installation was cancelled; nothing was changed.";

class TInstallTransaction {
  public:
    TInstallTransaction();
    ~TInstallTransaction();
    TInstallTransaction(const TInstallTransaction&) = delete;
    TInstallTransaction& operator=(const TInstallTransaction&) = delete;

    bool Active() const { return Active_; }
    void Begin();
    // Before Path is created or replaced: an existing file is kept aside (once per run).
    // Returns "" or why it could not be kept (the write must not happen then).
    std::string Prepare(const std::string& Path);
    // After the write of a prepared path: a written path is this run's now; a failed write
    // drops its backup.
    void Written(const std::string& Path, bool Ok);
    void DirCreated(const std::string& Dir, bool Menu = false);
    // Directories the menu files needed, shallowest first.
    std::vector<std::string> MenuDirs() const;
    bool MenusTouched() const { return MenusTouched_; }
    void TouchMenus() { MenusTouched_ = MenusTouched_ || Active_; }
    // Undoes everything recorded: files (newest first), then directories, deepest first.
    // Returns what could not be undone, by name. The transaction ends.
    std::vector<std::string> RollBack();
    // Keeps what was done and removes the backups. The transaction ends.
    void Commit();
    // Run after a rollback or commit that changed menu files (the desktop's caches).
    std::function<void()> OnMenusChanged;

    // Holds the lock of the resolved target directory until the transaction object goes:
    // "" or the message that another installation into it is running.
    std::string LockTarget(const std::string& Dir);

  private:
    struct TEntry {
        std::string Path, Backup; // Backup empty: the run created Path
        bool Directory = false, Menu = false;
    };
    bool Active_ = false;
    bool MenusTouched_ = false;
    std::vector<TEntry> Entries_;
    std::unordered_map<std::string, std::string> Pending_; // prepared path -> backup ("" none)
    std::unordered_map<std::string, bool> Recorded_;
    std::vector<std::unique_ptr<platform::SingleInstance>> Locks_;
    std::vector<std::string> Locked_;
};

// The menu backend's file writes, recorded in Transaction while it is active.
class TRecordingMenuFiles : public platform::IMenuFiles {
  public:
    TRecordingMenuFiles(platform::IMenuFiles& Inner, TInstallTransaction& Transaction)
        : Inner_(Inner), T_(Transaction) {}
    int MakeDirs(const std::string& Dir) override;
    int WriteFile(const std::string& Path, const std::string& Bytes) override;
    int RemoveFile(const std::string& Path) override;
    std::optional<std::string> ReadFile(const std::string& Path) override { return Inner_.ReadFile(Path); }
    std::vector<std::string> List(const std::string& Dir) override { return Inner_.List(Dir); }
    bool IsExecutable(const std::string& Path) override { return Inner_.IsExecutable(Path); }

  private:
    platform::IMenuFiles& Inner_;
    TInstallTransaction& T_;
};

} // namespace veltrane

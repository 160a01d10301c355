#pragma once
// The page kinds of this part of the wizard: the message page, the directory choice and the
// file copy (with its copy primitives, which the start-up stages use too).

#include "setup/InstallLog.h"
#include "setup/InstallTransaction.h"
#include "setup/SetupInfo.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

class TSetupMessage : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    TAlignment Alignment = taLeftJustify;
    std::string Caption;
    TFontSpec Font;
    std::vector<std::string> Lines;
    void ShowPage() override;
    TPageKind Kind() const override { return TPageKind::Message; }
};

// The selected directory followed by the last PreserveTrailing components of Target.
std::string BrowsePath(const std::string& Selected, const std::string& Target, int PreserveTrailing);

class TSetupDirChoice : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    bool AllowDirChange = true;
    bool DoInvisible = false;
    std::string InstallDir;
    int PreserveTrailing = 0;
    std::vector<std::string> SelectText;
    std::vector<std::string> Text;

    // The Dir of the InstallDir dir.
    std::string TargetDir() const;
    // Taken only when linked, InstallDir is set and the value ("~/" expanded) is an absolute
    // path without "//"; otherwise ignored. Returns whether it was taken.
    bool SetTargetDir(const std::string& Value);

    int Execute() override;
    void ShowPage() override;
    void GoNext() override;
    void GoPrev() override;
    void ButtonClick(int Sender) override;
    TPageKind Kind() const override { return TPageKind::DirChoice; }

  private:
    TSetupDir* Install() const;
};

enum TOverWrite { swNever, swAlways, swAsk, swOlder };
enum class TOverwriteAction { Copy, Skip, Ask };

// What to do with a file whose target may exist.
TOverwriteAction DecideOverwrite(bool TargetExists, TOverWrite Mode, std::time_t TargetTime,
                                 std::time_t SourceTime);

// Copies Source to Target in 2,048-byte blocks through a temporary file created exclusively in
// Target's directory; the target appears (or is replaced, with Replace) only once every byte is
// written and flushed, with the source's modification time and mode. Progress gets each
// block's byte count. Returns "" or the reason of the failure; nothing is left behind then.
std::string CopyFileAtomic(const std::string& Source, const std::string& Target, bool Replace,
                           const std::function<void(std::int64_t)>& Progress);

// The directory itself when it exists, else its nearest existing ancestor ("/" at worst).
std::string NearestExistingDir(const std::string& Path);

struct TSpaceShortfall {
    std::string Where; // a directory on the file system that is too small
    std::int64_t Available = 0;
    std::int64_t Required = 0;
};

// Files of the decompression module stand-in (we ship none).
struct TDecompressor;

class TSetupFileCopy : public TSetupPage {
  public:
    explicit TSetupFileCopy(std::string Name);
    ~TSetupFileCopy() override;
    bool CreateEmptyDirs = false;
    TOverWrite OverWrite = swAsk;
    std::function<void(TSetupFileCopy& Sender, const std::string& Where, std::int64_t Required,
                        std::int64_t Available)>
        OnDriveTooSmall;

    void ShowPage() override;
    int StartPage() override;
    TPageKind Kind() const override { return TPageKind::FileCopy; }

    // Requirement per file system of the selected dirs, and which of them fall short.
    std::vector<TSpaceShortfall> CheckSpace() const;
    bool Aborted() const { return Abort_; }

    // The run's files and directories, undone when the run is cancelled or fails.
    TInstallTransaction Transaction;
    // Ends the transaction well: writes the install log (with the menu folders the run made)
    // and drops the backups. When the log cannot be written, the run is rolled back and
    // false returned. Called before the closing page; the copy page calls it itself when
    // nothing else did by the time the chain ends well.
    bool Commit();
    // What went wrong (by name), what the user skipped (Ignore) and kept (No), in copy order.
    const std::vector<std::string>& Failures() const { return Failures_; }
    const std::vector<std::string>& Skipped() const { return Skipped_; }
    const std::vector<std::string>& Kept() const { return Kept_; }

  private:
    struct TTarget {
        std::string Path;
        TSetupDir* Dir;
    };
    struct TCopyEntry {
        int Disk;
        TSetupFile* File;
        std::string TargetDir;
    };
    bool CreateTargetDirs();
    void CopyOne(const std::string& Source, const std::string& Target, TSetupFile& File, int Disk);
    bool DiskPrompt(int Disk);
    void Advance(std::int64_t Bytes);
    std::string ShortLabel(const std::string& Path);
    // Why the log could not hold the description's paths and names; "" when it can.
    std::string LogProblem() const;
    // Rolls back and sets the text shown at the end.
    void Undo();
    bool Abort_ = false;
    bool Committed_ = false;
    TInstallRecord Before_;
    std::vector<std::string> Failures_, Skipped_, Kept_;
    std::vector<TTarget> Targets_;
    std::string SourceDir_;
    std::int64_t FileProgress_ = 0, FileMax_ = 0, TotalProgress_ = 0, TotalMax_ = 0;
    TDecompressor* Module_ = nullptr;
};

} // namespace veltrane

#pragma once
// TFormChangeDir ("Current directory"): the program's current directory, chosen from a drive
// box of mounted volumes above a directory tree of the chosen volume. Every change of the
// directory starts a new search in the main window (DirectoryListBoxMP3Change).

#include "editing/ui/EditingDialog.h"
#include "platform/Volumes.h"

#include <string>
#include <vector>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace veltrane {

class TFormChangeDir : public TEditingDialog {
    Q_OBJECT
  public:
    // Volumes: the mounted-volume service; it outlives this window.
    explicit TFormChangeDir(platform::IVolumes& Volumes, QWidget* Parent = nullptr);

    QComboBox* DriveComboBoxMP3 = nullptr;      // mounted volumes: root path and name
    QTreeWidget* DirectoryListBoxMP3 = nullptr; // directories of the chosen volume

    // The current directory (full path, bytes); empty until one is set.
    const std::string& Directory() const { return directory_; }
    // Makes Dir current when it differs from the present one: selects its volume, shows it in
    // the tree and, with Notify, emits DirectoryListBoxMP3Change. Returns whether it changed.
    bool SetDirectory(const std::string& Dir, bool Notify = true);
    // Re-reads the mounted volumes into the drive box.
    void RefreshVolumes();

  signals:
    // The current directory changed, by the user or the program: the main window searches.
    void DirectoryListBoxMP3Change();
    // FormShow / FormHide: the main window sets ToolbarButtonShowDir's down state from this.
    void VisibilityChanged(bool Visible);

  protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

  private:
    void DriveComboBoxMP3Change(int Index);
    void TreeCurrentItemChanged(QTreeWidgetItem* Item);
    void ShowInTree(const std::string& Dir);

    platform::IVolumes& volumes_;
    std::vector<platform::MountedVolume> volumeList_;
    std::string directory_;
    bool updating_ = false; // the program is moving the controls: no user change events
};

} // namespace veltrane

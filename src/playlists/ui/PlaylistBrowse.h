#pragma once
// The frame shared by the load, save and add dialogs: a drive box of mounted volumes, a
// directory tree down to the current directory and the files there that match a mask.

#include "editing/ui/EditingDialog.h"
#include "playlists/ui/PlaylistHost.h"

#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace veltrane {

class TFormPlayListEditor;

class TPlaylistBrowseDialog : public TEditingDialog {
    Q_OBJECT
  public:
    TPlaylistBrowseDialog(const QString& Caption, int ClientWidth, int ClientHeight,
                          bool CloseBox, std::string Mask, IPlaylistHost& Host,
                          TFormPlayListEditor& Editor, QWidget* Parent);

    QComboBox* DriveComboBox = nullptr;
    QTreeWidget* DirectoryListBox = nullptr;
    QListWidget* FileListBox = nullptr;

    // The directory the dialog works in (bytes, no trailing "/" but for the root).
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& Dir);
    // The names (without directory) the file list shows, in its order.
    const std::vector<std::string>& FileNames() const { return names_; }
    // The names of the selected files, in list order.
    std::vector<std::string> SelectedNames() const;

  protected:
    // The dialog became visible: back to the change-directory window's directory.
    void showEvent(QShowEvent* Event) override;
    void RefreshFiles();

    IPlaylistHost& host_;
    TFormPlayListEditor& editor_;

  private:
    void ShowInTree(const std::string& Dir);

    std::string mask_;
    std::string directory_;
    std::vector<std::string> names_;
    std::vector<platform::MountedVolume> volumes_;
    bool updating_ = false;
};

// A dialog's name field: the text typed, or the picked file's own bytes while the field
// still shows that name unchanged (names that are not UTF-8 keep their bytes).
class TNameField {
  public:
    void Picked(const std::string& Name) { picked_ = Name; }
    std::string Bytes(const QString& Shown) const;

  private:
    std::string picked_;
};

} // namespace veltrane

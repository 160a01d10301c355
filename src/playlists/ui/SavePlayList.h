#pragma once
// TFormSavePlayList ("Save playlist"): writes the editor's playlist to an M3U file, asking
// Append, Overwrite or Cancel when the file exists, then reloads the editor from the file.

#include "playlists/ui/PlaylistBrowse.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace veltrane {

class TMsgBox;

class TFormSavePlayList : public TPlaylistBrowseDialog {
    Q_OBJECT
  public:
    TFormSavePlayList(IPlaylistHost& Host, TFormPlayListEditor& Editor, QWidget* Parent = nullptr);

    QLineEdit* EditFileName = nullptr;
    QPushButton* BitBtnSave = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    TMsgBox* MsgBoxSaveExists = nullptr;
    QCheckBox* CheckBoxExtended = nullptr; // "Extended (#EXTINF from the tags)"
    QCheckBox* CheckBoxRelative = nullptr; // "Relative paths"

    void FileListBoxClick();
    void BitBtnSaveClick();
    void BitBtnCancelClick();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    TNameField name_;
};

} // namespace veltrane

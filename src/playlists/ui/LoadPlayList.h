#pragma once
// TFormLoadPlayList ("Load playList"): reads an M3U file into the editor's playlist, asking
// whether to append or overwrite when the playlist has entries.

#include "playlists/ui/PlaylistBrowse.h"
#include "tagcore/UiText.h"

class QLineEdit;
class QPushButton;

#include <string_view>

namespace veltrane {

class TMsgBox;

// Said when a path is typed into the name box.
inline constexpr std::string_view kMsgLoadNameOnly =
    VT_TRANSLATE_NOOP("veltrane::TFormLoadPlayList",
                      "Only a file name is taken here; the folder is chosen in the folder list.");

class TFormLoadPlayList : public TPlaylistBrowseDialog {
    Q_OBJECT
  public:
    TFormLoadPlayList(IPlaylistHost& Host, TFormPlayListEditor& Editor, QWidget* Parent = nullptr);

    QLineEdit* EditFileName = nullptr;
    QPushButton* BitBtnLoad = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    TMsgBox* MsgBoxLoadDlg = nullptr;

    void FileListBoxClick();
    void FileListBoxDblClick();
    void BitBtnLoadClick();
    void BitBtnCancelClick();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    TNameField name_;
};

} // namespace veltrane

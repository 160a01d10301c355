#pragma once
// TFormAddMP3 ("Add MP3s to current playlist"): appends the MP3 files picked in a directory
// to the editor's playlist, in the file list's order.

#include "playlists/ui/PlaylistBrowse.h"

class QPushButton;

namespace veltrane {

class TFormAddMP3 : public TPlaylistBrowseDialog {
    Q_OBJECT
  public:
    TFormAddMP3(IPlaylistHost& Host, TFormPlayListEditor& Editor, QWidget* Parent = nullptr);

    QPushButton* BitBtnAdd = nullptr;
    QPushButton* BitBtnCancel = nullptr;

    void BitBtnAddClick();
    void BitBtnCancelClick();
};

} // namespace veltrane

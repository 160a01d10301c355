#include "playlists/ui/AddMP3ToPlayList.h"

#include "playlists/ui/PlayListEditor.h"

#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QPushButton>
#include <QStyle>

namespace veltrane {

TFormAddMP3::TFormAddMP3(IPlaylistHost& Host, TFormPlayListEditor& Editor, QWidget* Parent)
    : TPlaylistBrowseDialog(tr("Add MP3s to current playlist"), 427, 248, false, "*.mp3", Host,
                            Editor, Parent) {
    setObjectName("FormAddMP3");
    FileListBox->setGeometry(216, 8, 201, 201);
    FileListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    BitBtnAdd = AddButton(tr("Add"), "BitBtnAdd", 216, 215, 97, 25);
    BitBtnAdd->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnAdd->setDefault(true);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 320, 215, 97, 25);
    BitBtnCancel->setAutoDefault(false);
    connect(BitBtnAdd, &QPushButton::clicked, this, &TFormAddMP3::BitBtnAddClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormAddMP3::BitBtnCancelClick);
    SetDefaultButtons(BitBtnAdd, BitBtnCancel); // Enter and Esc reach only these
    SetTabChain({DriveComboBox, FileListBox, BitBtnAdd, BitBtnCancel, DirectoryListBox});
    BackImage->lower();
}

void TFormAddMP3::BitBtnAddClick() {
    if (FileNames().empty())
        return;
    const std::string dir = Directory();
    const std::string prefix = !dir.empty() && dir.back() == '/' ? dir : dir + "/";
    for (const std::string& name : SelectedNames())
        editor_.Playlist.AddFile(prefix + name);
    editor_.PlaylistChanged();
    hide();
}

void TFormAddMP3::BitBtnCancelClick() {
    hide();
}

} // namespace veltrane

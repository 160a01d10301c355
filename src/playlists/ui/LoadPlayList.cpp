#include "playlists/ui/LoadPlayList.h"

#include "components/ui/msgbox.h"
#include "playlists/ui/PlayListEditor.h"

#include <QLineEdit>
#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QPushButton>
#include <QStyle>

#include <sys/stat.h>

namespace veltrane {

TFormLoadPlayList::TFormLoadPlayList(IPlaylistHost& Host, TFormPlayListEditor& Editor,
                                     QWidget* Parent)
    : TPlaylistBrowseDialog(tr("Load playList"), 423, 248, false, "*.m3u;*.m3u8", Host, Editor,
                            Parent) {
    setObjectName("FormLoadPlayList");
    FileListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    EditFileName = new QLineEdit(this);
    EditFileName->setObjectName("EditFileName");
    EditFileName->setGeometry(216, 184, 201, 21);
    BitBtnLoad = AddButton(tr("Load"), "BitBtnLoad", 216, 215, 97, 25);
    BitBtnLoad->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnLoad->setDefault(true);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 320, 215, 97, 25);
    BitBtnCancel->setAutoDefault(false);

    MsgBoxLoadDlg = new TMsgBox(this);
    MsgBoxLoadDlg->setObjectName("MsgBoxLoadDlg");
    MsgBoxLoadDlg->MsgBoxType = mbWarn;
    MsgBoxLoadDlg->ButtonStyles = btsCustom;
    MsgBoxLoadDlg->Lines = {tr("Do you want to append this play list to the current playlist, or "
                               "overwrite the current playlist?")
                                .toStdString()};
    MsgBoxLoadDlg->ButtonTexts = {tr("Append").toStdString(), tr("Overwrite").toStdString(),
                                  tr("Cancel").toStdString()};
    MsgBoxLoadDlg->CancelButton = 3;

    connect(FileListBox, &QListWidget::itemClicked, this, &TFormLoadPlayList::FileListBoxClick);
    connect(FileListBox, &QListWidget::itemDoubleClicked, this,
            &TFormLoadPlayList::FileListBoxDblClick);
    connect(BitBtnLoad, &QPushButton::clicked, this, &TFormLoadPlayList::BitBtnLoadClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormLoadPlayList::BitBtnCancelClick);
    SetDefaultButtons(BitBtnLoad, BitBtnCancel); // Enter and Esc reach only these
    SetTabChain({DirectoryListBox, DriveComboBox, FileListBox, EditFileName, BitBtnLoad,
                 BitBtnCancel});
    BackImage->lower();
}

void TFormLoadPlayList::showEvent(QShowEvent* Event) {
    EditFileName->clear();
    name_.Picked({});
    TPlaylistBrowseDialog::showEvent(Event);
}

void TFormLoadPlayList::FileListBoxClick() {
    const int row = FileListBox->currentRow();
    if (row < 0 || !FileListBox->item(row)->isSelected())
        return;
    name_.Picked(FileNames()[static_cast<std::size_t>(row)]);
    EditFileName->setText(FileListBox->item(row)->text());
}

void TFormLoadPlayList::FileListBoxDblClick() {
    FileListBoxClick();
    BitBtnLoadClick();
}

void TFormLoadPlayList::BitBtnLoadClick() {
    const std::string typed = name_.Bytes(EditFileName->text());
    // The box takes a bare name: a folder typed into it would be passed over without a word.
    if (typed.find('/') != std::string::npos) {
        host_.ShowError(tr(kMsgLoadNameOnly.data()).toStdString());
        EditFileName->setFocus();
        return;
    }
    const auto path = ResolvePlaylistPath(Directory(), typed);
    if (!path)
        return;
    struct stat st {};
    if (::stat(path->c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return;
    TPlaylistLoadMode mode = plReplace;
    if (!editor_.Playlist.Empty()) {
        switch (MsgBoxLoadDlg->Execute(this)) {
        case 1: mode = plAppend; break;
        case 2: mode = plReplace; break;
        default: hide(); return;
        }
    }
    try {
        editor_.Playlist.LoadIntoPlaylist(*path, mode);
    } catch (const EPlaylistFileError& e) {
        host_.ShowError(std::string(e.what()) + "\n" + *path);
        return;
    }
    editor_.PlaylistChanged();
    hide();
}

void TFormLoadPlayList::BitBtnCancelClick() {
    hide();
}

} // namespace veltrane

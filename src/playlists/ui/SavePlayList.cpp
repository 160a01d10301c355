#include "playlists/ui/SavePlayList.h"

#include "components/ui/DisplayText.h"
#include "components/ui/msgbox.h"
#include "playlists/ui/PlayListEditor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QPushButton>
#include <QStyle>

#include <sys/stat.h>

namespace veltrane {

namespace {

// A file of that name; a directory does not count.
bool FileExists(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace

TFormSavePlayList::TFormSavePlayList(IPlaylistHost& Host, TFormPlayListEditor& Editor,
                                     QWidget* Parent)
    : TPlaylistBrowseDialog(tr("Save playlist"), 427, 296, true, "*.m3u;*.m3u8", Host, Editor,
                            Parent) {
    setObjectName("FormSavePlayList");
    FileListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    EditFileName = new QLineEdit(this);
    EditFileName->setObjectName("EditFileName");
    EditFileName->setGeometry(216, 184, 201, 21);
    BitBtnSave = AddButton(tr("Save"), "BitBtnSave", 216, 215, 97, 25);
    BitBtnSave->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnSave->setDefault(true);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 320, 215, 97, 25);
    BitBtnCancel->setAutoDefault(false);
    CheckBoxExtended = new QCheckBox(tr("Extended (#EXTINF from the tags)"), this);
    CheckBoxExtended->setObjectName("CheckBoxExtended");
    CheckBoxExtended->setGeometry(8, 250, 409, 19);
    CheckBoxRelative = new QCheckBox(tr("Relative paths"), this);
    CheckBoxRelative->setObjectName("CheckBoxRelative");
    CheckBoxRelative->setGeometry(8, 272, 409, 19);

    MsgBoxSaveExists = new TMsgBox(this);
    MsgBoxSaveExists->setObjectName("MsgBoxSaveExists");
    MsgBoxSaveExists->MsgBoxType = mbWarn;
    MsgBoxSaveExists->ButtonStyles = btsCustom;
    MsgBoxSaveExists->Lines = {
        tr("The file specified already exists.").toStdString(),
        tr("Should the new file overwrite the old one, or be appended to the old one?")
            .toStdString()};
    MsgBoxSaveExists->ButtonTexts = {tr("Append").toStdString(), tr("Overwrite").toStdString(),
                                     tr("Cancel").toStdString()};
    MsgBoxSaveExists->CancelButton = 3;

    connect(FileListBox, &QListWidget::itemClicked, this, &TFormSavePlayList::FileListBoxClick);
    connect(BitBtnSave, &QPushButton::clicked, this, &TFormSavePlayList::BitBtnSaveClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormSavePlayList::BitBtnCancelClick);
    SetDefaultButtons(BitBtnSave, BitBtnCancel); // Enter and Esc reach only these
    SetTabChain({DriveComboBox, DirectoryListBox, FileListBox, EditFileName, BitBtnSave,
                 BitBtnCancel, CheckBoxExtended, CheckBoxRelative});
    BackImage->lower();
}

void TFormSavePlayList::showEvent(QShowEvent* Event) {
    EditFileName->clear();
    name_.Picked({});
    TPlaylistBrowseDialog::showEvent(Event);
}

void TFormSavePlayList::FileListBoxClick() {
    const int row = FileListBox->currentRow();
    if (row < 0 || !FileListBox->item(row)->isSelected())
        return;
    name_.Picked(FileNames()[static_cast<std::size_t>(row)]);
    EditFileName->setText(FileListBox->item(row)->text());
}

void TFormSavePlayList::BitBtnSaveClick() {
    const auto path = ResolvePlaylistPath(Directory(), name_.Bytes(EditFileName->text()));
    if (!path)
        return;
    TPlaylistWriteMode mode = pwOverwrite;
    if (FileExists(*path)) {
        switch (MsgBoxSaveExists->Execute(this)) {
        case 1: mode = pwAppend; break;
        case 2: mode = pwOverwrite; break;
        default: hide(); return;
        }
    }
    try {
        editor_.Playlist.Save(*path, mode,
                              TPlaylistWriteOptions{CheckBoxExtended->isChecked(),
                                                    CheckBoxRelative->isChecked()},
                              host_.Codec());
    } catch (const EPlaylistFileError& e) {
        // The dialog stays open; the editor keeps its entries, name and flag.
        host_.ShowError(std::string(e.what()) + "\n" + *path);
        return;
    }
    editor_.LoadPlayList(*path);
    hide();
}

void TFormSavePlayList::BitBtnCancelClick() {
    hide();
}

} // namespace veltrane

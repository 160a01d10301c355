#include "editing/ui/EditMP3Tag.h"

#include "editing/TagEditing.h"
#include "editing/TagFromFileName.h"
#include "tagcore/InOutError.h"

#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QHideEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace veltrane {

TFormEditMP3Tag::TFormEditMP3Tag(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog("Edit tag", 300, 252, true, Parent), host_(Host) {
    setObjectName("FormEditMP3Tag");
    const auto edit = [this](const char* name, int y, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaxLength(maxLength);
        e->setGeometry(72, y, 212, 21);
        return e;
    };
    LabelType = AddLabel("Song", 12, 14);
    EditSongName = edit("EditSongName", 12, 30);
    Label1 = AddLabel("Artist", 12, 40);
    EditArtistName = edit("EditArtistName", 38, 30);
    Label2 = AddLabel("Album", 12, 66);
    EditAlbum = edit("EditAlbum", 64, 30);
    Label3 = AddLabel("Year", 12, 92);
    EditYear = edit("EditYear", 90, 4);
    EditYear->setGeometry(72, 90, 48, 21);
    Label8 = AddLabel("Style", 132, 92);
    ComboBoxStyle = new QComboBox(this);
    ComboBoxStyle->setObjectName("ComboBoxStyle");
    ComboBoxStyle->setEditable(false);
    ComboBoxStyle->setGeometry(164, 90, 120, 21);
    Label4 = AddLabel("Comment", 12, 118);
    EditComment = edit("EditComment", 116, 30);

    QFont note = font();
    note.setItalic(true);
    note.setUnderline(true);
    Label5 = AddLabel("note: editting tags while the file is", 12, 150);
    Label6 = AddLabel("played by an external MP3 player", 12, 166);
    Label7 = AddLabel("might result in errors I can't prevent!!", 12, 182);
    for (QLabel* l : {Label5, Label6, Label7}) {
        l->setFont(note);
        l->adjustSize();
    }

    BitBtnSave = AddButton("Save", "BitBtnSave", 120, 214, 80, 27);
    BitBtnSave->setDefault(true);
    BitBtnCancel = AddButton("Cancel", "BitBtnCancel", 208, 214, 80, 27);

    SetTabChain({EditSongName, EditArtistName, EditAlbum, EditYear, ComboBoxStyle, EditComment,
                 BitBtnSave, BitBtnCancel});

    EditSongName->installEventFilter(this);
    connect(BitBtnSave, &QPushButton::clicked, this, &TFormEditMP3Tag::BitBtnSaveClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormEditMP3Tag::BitBtnCancelClick);
    FormCreate();
}

void TFormEditMP3Tag::FormCreate() {
    FillStyles(ComboBoxStyle);
}

void TFormEditMP3Tag::FormShow() {
    setWindowTitle("Edit tag for " + PathToQ(NameWithoutDirectory(Record.FileName)));
    const TEditorFields fields = EditorFieldsFromTag(Record);
    EditSongName->setText(ToQ(fields.Title));
    EditArtistName->setText(ToQ(fields.Artist));
    EditAlbum->setText(ToQ(fields.Album));
    EditYear->setText(ToQ(fields.Year));
    EditComment->setText(ToQ(fields.Comment));
    const int index =
        ComboBoxStyle->findText(ToQ(fields.Style), Qt::MatchExactly | Qt::MatchCaseSensitive);
    ComboBoxStyle->setCurrentIndex(index < 0 ? 0 : index);
    EditSongName->setFocus();
    EditSongNameEnter();
}

void TFormEditMP3Tag::FormHide() {
    TFileList& list = host_.FileList();
    const std::size_t row = host_.RememberedRow();
    if (row >= 1 && row < list.Count()) {
        list.SetSelected(row, true);
        host_.ListChanged();
    }
}

void TFormEditMP3Tag::EditSongNameEnter() {
    EditSongName->selectAll();
}

void TFormEditMP3Tag::BitBtnSaveClick() {
    TEditorFields fields;
    fields.Title = FromQ(EditSongName->text());
    fields.Artist = FromQ(EditArtistName->text());
    fields.Album = FromQ(EditAlbum->text());
    fields.Year = FromQ(EditYear->text());
    fields.Comment = FromQ(EditComment->text());
    fields.Style = FromQ(ComboBoxStyle->currentText());
    try {
        Record = SaveSingleTag(Record, fields, &host_.FileList());
    } catch (const std::exception& e) {
        // The window stays open with the user's input.
        host_.ShowError(e.what());
        return;
    }
    host_.ListChanged();
    hide();
}

void TFormEditMP3Tag::BitBtnCancelClick() {
    hide();
}

void TFormEditMP3Tag::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void TFormEditMP3Tag::hideEvent(QHideEvent* Event) {
    TEditingDialog::hideEvent(Event);
    if (!Event->spontaneous())
        FormHide();
}

bool TFormEditMP3Tag::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == EditSongName && Event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, EditSongName, [this] { EditSongNameEnter(); });
    }
    return TEditingDialog::eventFilter(Watched, Event);
}

} // namespace veltrane

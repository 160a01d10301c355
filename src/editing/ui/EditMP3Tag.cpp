#include "editing/ui/EditMP3Tag.h"

#include "browser/ErrorText.h"
#include "editing/TagEditing.h"
#include "editing/TagFromFileName.h"
#include "editing/ui/FieldHints.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include "components/ui/msgbox.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QEvent>
#include <QFont>
#include <QHideEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace veltrane {

TFormEditMP3Tag::TFormEditMP3Tag(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Edit tag"), 300, 278, true, Parent), host_(Host) {
    setObjectName("FormEditMP3Tag");
    // The edits start after the widest caption, so a larger font never pushes a caption
    // against its box.
    int widest = 0;
    for (const char* caption : {QT_TR_NOOP("Song"), QT_TR_NOOP("Artist"), QT_TR_NOOP("Album"),
                                QT_TR_NOOP("Year"), QT_TR_NOOP("Style"), QT_TR_NOOP("Comment")})
        widest = std::max(widest, fontMetrics().horizontalAdvance(tr(caption)));
    const int editX = std::max(72, 12 + widest + 10);
    const auto edit = [this, editX](const char* name, int y, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaxLength(maxLength);
        e->setGeometry(editX, y, 284 - editX, 21);
        return e;
    };
    const int labelWidth = editX - 12 - 4;
    LabelType = AddRowLabel(tr("Song"), 12, 12, labelWidth);
    EditSongName = edit("EditSongName", 12, 30);
    Label1 = AddRowLabel(tr("Artist"), 12, 38, labelWidth);
    EditArtistName = edit("EditArtistName", 38, 30);
    Label2 = AddRowLabel(tr("Album"), 12, 64, labelWidth);
    EditAlbum = edit("EditAlbum", 64, 30);
    Label3 = AddRowLabel(tr("Year"), 12, 90, labelWidth);
    EditYear = edit("EditYear", 90, 4);
    EditYear->setGeometry(editX, 90, 48, 21);
    // The track shares the year's row; the genre, whose names are long, has a row of its own.
    const int trackX = editX + 48 + 12;
    const int trackWidth = fontMetrics().horizontalAdvance(tr("Track")) + 2;
    LabelTrack = AddRowLabel(tr("Track"), trackX, 90, trackWidth);
    EditTrack = edit("EditTrack", 90, 3);
    EditTrack->setGeometry(trackX + trackWidth + 6, 90, 40, 21);
    Label8 = AddRowLabel(tr("Style"), 12, 116, labelWidth);
    ComboBoxStyle = new QComboBox(this);
    ComboBoxStyle->setObjectName("ComboBoxStyle");
    ComboBoxStyle->setEditable(false);
    ComboBoxStyle->setGeometry(editX, 116, 284 - editX, 21);
    Label4 = AddRowLabel(tr("Comment"), 12, 142, labelWidth);
    EditComment = edit("EditComment", 142, 30);

    QFont note = font();
    note.setItalic(true);
    note.setUnderline(true);
    // Lines a line-height apart, ending clear of the buttons with a larger font too.
    const int step = std::max(16, QFontMetrics(note).height());
    const int noteY = std::min(176, 240 - 4 - 3 * step);
    Label5 = AddLabel(tr("note: editting tags while the file is"), 12, noteY);
    Label6 = AddLabel(tr("played by an external MP3 player"), 12, noteY + step);
    Label7 = AddLabel(tr("might result in errors I can't prevent!!"), 12, noteY + 2 * step);
    for (QLabel* l : {Label5, Label6, Label7}) {
        l->setFont(note);
        l->adjustSize();
    }

    BitBtnSave = AddButton(tr("Save"), "BitBtnSave", 120, 240, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 208, 240, 80, 27);
    SetDefaultButtons(BitBtnSave, BitBtnCancel);
    LabelCodePage = AddLabel(QString(), 12, 240, 272);
    LabelCodePage->setObjectName("LabelCodePage");
    LabelCodePage->hide();

    SetTabChain({EditSongName, EditArtistName, EditAlbum, EditYear, EditTrack, ComboBoxStyle,
                 EditComment, BitBtnSave, BitBtnCancel});

    FieldHints = new TFieldHints(this);
    const auto room = [](std::size_t Bytes) { return [Bytes] { return Bytes; }; };
    for (QLineEdit* e : {EditSongName, EditArtistName, EditAlbum})
        FieldHints->Add(e, room(30));
    FieldHints->Add(EditYear, room(4));
    // A track takes the comment's last two bytes.
    FieldHints->Add(EditComment, [this]() -> std::size_t {
        return EditTrack->text().trimmed().isEmpty() ? 30 : 28;
    });
    connect(EditTrack, &QLineEdit::textEdited, this,
            [this] { FieldHints->Update(EditComment, true); });

    EditSongName->installEventFilter(this);
    connect(BitBtnSave, &QPushButton::clicked, this, &TFormEditMP3Tag::BitBtnSaveClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormEditMP3Tag::BitBtnCancelClick);
    FormCreate();
}

void TFormEditMP3Tag::FormCreate() {
    FillStyles(ComboBoxStyle);
}

void TFormEditMP3Tag::FormShow() {
    opened_ = ReadEditedFileState(Record.FileName);
    setWindowTitle(tr("Edit tag for %1").arg(PathToQ(NameWithoutDirectory(Record.FileName))));
    const TEditorFields fields = EditorFieldsFromTag(Record);
    EditSongName->setText(ToQ(fields.Title));
    EditArtistName->setText(ToQ(fields.Artist));
    EditAlbum->setText(ToQ(fields.Album));
    EditYear->setText(ToQ(fields.Year));
    EditComment->setText(ToQ(fields.Comment));
    EditTrack->setText(ToQ(fields.Track));
    const int index =
        ComboBoxStyle->findText(ToQ(fields.Style), Qt::MatchExactly | Qt::MatchCaseSensitive);
    ComboBoxStyle->setCurrentIndex(index < 0 ? 0 : index);
    const TagCodec& codec = host_.FileList().Codec();
    WriteCodecs = {&codec.ForTag(Record.CodePage)};
    FieldHints->SetCodecs(WriteCodecs);
    ShowExtraLine(LabelCodePage, codec.IsAuto() ? ToQ(CodePagesLine(WriteCodecs)) : QString(),
                  {BitBtnSave, BitBtnCancel});
    FieldHints->UpdateAll();
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
    fields.Track = FromQ(EditTrack->text());
    // Refused before anything else is asked or written; the box keeps what was typed.
    if (!ParseTrack(fields.Track)) {
        host_.ShowError(UiText("TagEditing", kMsgBadTrack.data()));
        EditTrack->setFocus();
        EditTrack->selectAll();
        return;
    }
    // The user may go back and change what the tag cannot hold.
    if (!AcceptLossySave({{tr("Song").toStdString(), fields.Title},
                          {tr("Artist").toStdString(), fields.Artist},
                          {tr("Album").toStdString(), fields.Album},
                          {tr("Year").toStdString(), fields.Year},
                          {tr("Comment").toStdString(), fields.Comment}}))
        return;
    // Another program's write since the editor read the file is not overwritten unasked.
    if (opened_ && ReadEditedFileState(Record.FileName) != opened_) {
        switch (AskChangedByOthers()) {
        case caReload:
            try {
                Record = GetMP3Tag(Record.FileName, host_.FileList().Codec());
            } catch (const EInOutError& e) {
                host_.ShowError(InOutErrorMessage(e, Record.FileName));
                return;
            }
            FormShow();
            return;
        case caCancel:
            return;
        case caWriteAnyway:
            break;
        }
    }
    try {
        Record = SaveSingleTag(Record, fields, &host_.FileList());
    } catch (const EInOutError& e) {
        // The window stays open with the user's input.
        host_.ShowError(InOutErrorMessage(e, Record.FileName));
        return;
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
        return;
    }
    host_.ListChanged();
    hide();
    if (CommentCutByTrack(Record))
        host_.ShowError(CommentCutReport({Record.FileName}));
}

TFormEditMP3Tag::TChangedAnswer TFormEditMP3Tag::AskChangedByOthers() {
    const QString question = tr("%1 was changed by another program since it was opened here.")
                                 .arg(PathToQ(Record.FileName));
    if (AskChanged)
        return AskChanged(question.toStdString());
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), question);
    QPushButton* reload = box.addButton(tr("Reload"), QMessageBox::AcceptRole);
    QPushButton* write = box.addButton(tr("Write anyway"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(reload);
    box.setEscapeButton(cancel);
    ExecAboveAll(box, this);
    if (box.clickedButton() == reload)
        return caReload;
    return box.clickedButton() == write ? caWriteAnyway : caCancel;
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

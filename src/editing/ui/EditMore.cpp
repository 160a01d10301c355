#include "editing/ui/EditMore.h"

#include "editing/ui/FieldHints.h"
#include "tagcore/UiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace veltrane {

namespace {

void Invert(QCheckBox* Box) {
    Box->setChecked(!Box->isChecked());
}

} // namespace

TFormEditMore::TFormEditMore(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Change tag for more files"), 407, 306, true, Parent), host_(Host) {
    setObjectName("FormEditMore");
    LabelInfo = AddLabel(QString(), 8, 10, 391, 18);
    QFont bold = LabelInfo->font();
    bold.setBold(true);
    LabelInfo->setFont(bold);
    LabelInfo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    // The values start after the widest caption, so a larger font never pushes a caption
    // against its box.
    int widest = 0;
    for (const char* caption :
         {QT_TR_NOOP("Song"), QT_TR_NOOP("Artist"), QT_TR_NOOP("Album"), QT_TR_NOOP("Year"),
          QT_TR_NOOP("Style"), QT_TR_NOOP("Comment"), QT_TR_NOOP("Track")})
        widest = std::max(widest, fontMetrics().horizontalAdvance(tr(caption)));
    const int valueX = std::max(80, 12 + widest + 10);
    // Likewise the leave boxes move left when their captions would run past the edge.
    const int leaveWidth = fontMetrics().horizontalAdvance(tr("leave as it is")) + 2;
    const int boxX = std::min(296, 407 - 4 - leaveWidth - 16);
    int y = 36;
    const auto addRow = [&](QLabel*& label, const char* caption, QWidget* value, int valueWidth,
                            QCheckBox*& box, const char* boxName, TClickLabel*& leaveLabel) {
        label = AddRowLabel(tr(caption), 12, y, valueX - 12 - 4);
        value->setGeometry(valueX, y, std::min(valueWidth, boxX - 8 - valueX), 21);
        box = new QCheckBox(this);
        box->setObjectName(boxName);
        box->setGeometry(boxX, y + 5, 11, 11);
        box->setFocusPolicy(Qt::NoFocus);
        box->setChecked(true);
        leaveLabel = AddClickLabel(tr("leave as it is"), boxX + 16, y, 407 - boxX - 16, 21);
        leaveLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        y += 26;
    };
    const auto edit = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaxLength(maxLength);
        return e;
    };
    EditSongName = edit("EditSongName", 30);
    EditArtistName = edit("EditArtistName", 30);
    EditAlbum = edit("EditAlbum", 30);
    EditYear = edit("EditYear", 4);
    ComboBoxStyle = new QComboBox(this);
    ComboBoxStyle->setObjectName("ComboBoxStyle");
    EditComment = edit("EditComment", 30);
    EditTrack = edit("EditTrack", 3);
    addRow(LabelType, QT_TR_NOOP("Song"), EditSongName, 200, CheckBoxLeaveSongName,
           "CheckBoxLeaveSongName", Label2);
    addRow(Label5, QT_TR_NOOP("Artist"), EditArtistName, 200, CheckBoxLeaveArtistName,
           "CheckBoxLeaveArtistName", Label6);
    addRow(Label1, QT_TR_NOOP("Album"), EditAlbum, 200, CheckBoxLeaveAlbum, "CheckBoxLeaveAlbum",
           Label7);
    addRow(Label3, QT_TR_NOOP("Year"), EditYear, 48, CheckBoxLeaveYear, "CheckBoxLeaveYear",
           Label8);
    addRow(Label12, QT_TR_NOOP("Style"), ComboBoxStyle, 160, CheckBoxLeaveStyle,
           "CheckBoxLeaveStyle", Label13);
    addRow(Label4, QT_TR_NOOP("Comment"), EditComment, 200, CheckBoxLeaveComment,
           "CheckBoxLeaveComment", Label9);
    addRow(LabelTrack, QT_TR_NOOP("Track"), EditTrack, 40, CheckBoxLeaveTrack, "CheckBoxLeaveTrack",
           LabelLeaveTrack);

    // The note ends clear of the buttons, a line-height per line, whatever the font.
    const int step = std::max(16, fontMetrics().height());
    const int noteY = 272 - 8 - 2 * step;
    Label10 = AddLabel(tr("note: renaming a file while the file is played by an"), 12, noteY);
    Label11 = AddLabel(tr("external MP3 player might result in errors I can't prevent!"), 12,
                       noteY + step);
    BitBtnSave = AddButton(tr("Save"), "BitBtnSave", 222, 272, 85, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 314, 272, 85, 27);
    SetDefaultButtons(BitBtnSave, BitBtnCancel);
    LabelCodePage = AddLabel(QString(), 12, 272, 383);
    LabelCodePage->setObjectName("LabelCodePage");
    LabelCodePage->hide();

    SetTabChain({EditSongName, EditArtistName, EditAlbum, EditYear, ComboBoxStyle, EditComment,
                 EditTrack, BitBtnSave, BitBtnCancel});

    FieldHints = new TFieldHints(this);
    const auto room = [](std::size_t Bytes) { return [Bytes] { return Bytes; }; };
    for (QLineEdit* e : {EditSongName, EditArtistName, EditAlbum})
        FieldHints->Add(e, room(30));
    FieldHints->Add(EditYear, room(4));
    // A track set in the same run takes the comment's last two bytes.
    FieldHints->Add(EditComment, [this]() -> std::size_t {
        return CheckBoxLeaveTrack->isChecked() || EditTrack->text().trimmed().isEmpty() ? 30 : 28;
    });
    connect(EditTrack, &QLineEdit::textEdited, this,
            [this] { FieldHints->Update(EditComment, true); });
    connect(CheckBoxLeaveTrack, &QCheckBox::toggled, this,
            [this] { FieldHints->Update(EditComment, isVisible()); });

    connect(EditSongName, &QLineEdit::textChanged, this, &TFormEditMore::EditSongNameChange);
    connect(EditArtistName, &QLineEdit::textChanged, this, &TFormEditMore::EditArtistNameChange);
    connect(EditAlbum, &QLineEdit::textChanged, this, &TFormEditMore::EditAlbumChange);
    connect(EditYear, &QLineEdit::textChanged, this, &TFormEditMore::EditYearChange);
    connect(EditComment, &QLineEdit::textChanged, this, &TFormEditMore::EditCommentChange);
    connect(EditTrack, &QLineEdit::textChanged, this, &TFormEditMore::EditTrackChange);
    connect(ComboBoxStyle, &QComboBox::activated, this, &TFormEditMore::ComboBoxStyleChange);
    connect(Label2, &TClickLabel::clicked, this, &TFormEditMore::Label2Click);
    connect(Label6, &TClickLabel::clicked, this, &TFormEditMore::Label6Click);
    connect(Label7, &TClickLabel::clicked, this, &TFormEditMore::Label7Click);
    connect(Label8, &TClickLabel::clicked, this, &TFormEditMore::Label8Click);
    connect(Label9, &TClickLabel::clicked, this, &TFormEditMore::Label9Click);
    connect(Label13, &TClickLabel::clicked, this, &TFormEditMore::Label13Click);
    connect(LabelLeaveTrack, &TClickLabel::clicked, this, &TFormEditMore::LabelLeaveTrackClick);
    connect(BitBtnSave, &QPushButton::clicked, this, &TFormEditMore::BitBtnSaveClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormEditMore::BitBtnCancelClick);
    FormCreate();
}

void TFormEditMore::FormCreate() {
    FillStyles(ComboBoxStyle);
}

void TFormEditMore::FormShow() {
    LabelInfo->setText(ToQ(EditMoreHeadline(host_.FileList().SelCount())));
    for (QLineEdit* e : {EditSongName, EditArtistName, EditAlbum, EditYear, EditComment, EditTrack})
        e->clear();
    // An edit that was empty already sends no change; every showing starts all checked.
    for (QCheckBox* b : {CheckBoxLeaveSongName, CheckBoxLeaveArtistName, CheckBoxLeaveAlbum,
                         CheckBoxLeaveYear, CheckBoxLeaveComment, CheckBoxLeaveTrack})
        b->setChecked(true);
    EditSongName->setFocus();
    CheckBoxLeaveStyle->setChecked(true);
    ComboBoxStyle->setCurrentIndex(0);
    const TagCodec& codec = host_.FileList().Codec();
    WriteCodecs = veltrane::WriteCodecs(codec, host_.FileList().SelectedCodePages());
    FieldHints->SetCodecs(WriteCodecs);
    ShowExtraLine(LabelCodePage, codec.IsAuto() ? ToQ(CodePagesLine(WriteCodecs)) : QString(),
                  {BitBtnSave, BitBtnCancel});
    FieldHints->UpdateAll();
}

void TFormEditMore::EditSongNameChange() {
    CheckBoxLeaveSongName->setChecked(LeaveForText(FromQ(EditSongName->text())));
}
void TFormEditMore::EditArtistNameChange() {
    CheckBoxLeaveArtistName->setChecked(LeaveForText(FromQ(EditArtistName->text())));
}
void TFormEditMore::EditAlbumChange() {
    CheckBoxLeaveAlbum->setChecked(LeaveForText(FromQ(EditAlbum->text())));
}
void TFormEditMore::EditYearChange() {
    CheckBoxLeaveYear->setChecked(LeaveForText(FromQ(EditYear->text())));
}
void TFormEditMore::EditCommentChange() {
    CheckBoxLeaveComment->setChecked(LeaveForText(FromQ(EditComment->text())));
}
void TFormEditMore::EditTrackChange() {
    CheckBoxLeaveTrack->setChecked(LeaveForText(FromQ(EditTrack->text())));
}
void TFormEditMore::ComboBoxStyleChange() {
    CheckBoxLeaveStyle->setChecked(LeaveForStyleIndex(ComboBoxStyle->currentIndex()));
}

void TFormEditMore::Label2Click() {
    Invert(CheckBoxLeaveSongName);
}
void TFormEditMore::Label6Click() {
    Invert(CheckBoxLeaveArtistName);
}
void TFormEditMore::Label7Click() {
    Invert(CheckBoxLeaveAlbum);
}
void TFormEditMore::Label8Click() {
    Invert(CheckBoxLeaveYear);
}
void TFormEditMore::Label9Click() {
    Invert(CheckBoxLeaveComment);
}
void TFormEditMore::Label13Click() {
    Invert(CheckBoxLeaveStyle);
}
void TFormEditMore::LabelLeaveTrackClick() {
    Invert(CheckBoxLeaveTrack);
}

TEditMoreFields TFormEditMore::Fields() const {
    const auto field = [](QCheckBox* box, const QString& value) {
        return TLeaveField{box->isChecked(), FromQ(value)};
    };
    TEditMoreFields fields;
    fields.Title = field(CheckBoxLeaveSongName, EditSongName->text());
    fields.Artist = field(CheckBoxLeaveArtistName, EditArtistName->text());
    fields.Album = field(CheckBoxLeaveAlbum, EditAlbum->text());
    fields.Year = field(CheckBoxLeaveYear, EditYear->text());
    fields.Style = field(CheckBoxLeaveStyle, ComboBoxStyle->currentText());
    fields.Comment = field(CheckBoxLeaveComment, EditComment->text());
    fields.Track = field(CheckBoxLeaveTrack, EditTrack->text());
    return fields;
}

void TFormEditMore::BitBtnSaveClick() {
    const TEditMoreFields fields = Fields();
    // Refused before the question about the code page, and before any file is read.
    if (!TrackFieldValid(fields)) {
        host_.ShowError(UiText("TagEditing", kMsgBadTrack.data()));
        EditTrack->setFocus();
        return;
    }
    std::vector<TNamedText> typed;
    for (const auto& [name, field] : {std::pair{QT_TR_NOOP("Song"), &fields.Title},
                                      {QT_TR_NOOP("Artist"), &fields.Artist},
                                      {QT_TR_NOOP("Album"), &fields.Album},
                                      {QT_TR_NOOP("Year"), &fields.Year},
                                      {QT_TR_NOOP("Comment"), &fields.Comment}})
        if (!field->Leave)
            typed.push_back({tr(name).toStdString(), field->Value});
    // The user may go back and change what the tag cannot hold.
    if (!AcceptLossySave(typed))
        return;
    host_.SetLockDisplay(true);
    hide();
    TFileFailures failures;
    TRunNotes notes;
    try {
        failures = EditMoreRun(host_.FileList(), fields, host_.ProgressWindow(), &notes);
    } catch (...) {
        host_.SetLockDisplay(false);
        host_.ListChanged();
        throw;
    }
    host_.SetLockDisplay(false);
    host_.ListChanged();
    if (!failures.empty())
        host_.ShowError(
            FailureReport(tr("These files could not be changed:").toStdString(), failures));
    for (const std::string& message : notes.Messages())
        host_.ShowError(message);
}

void TFormEditMore::BitBtnCancelClick() {
    hide();
}

void TFormEditMore::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

} // namespace veltrane

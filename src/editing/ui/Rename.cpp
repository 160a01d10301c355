#include "editing/ui/Rename.h"

#include "browser/ErrorText.h"
#include "editing/TagFromFileName.h"
#include "editing/ui/DeriveFormat.h"
#include "editing/ui/PreviewChanges.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace veltrane {

TFormRename::TFormRename(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Rename"), 380, 200, false, Parent), host_(Host) {
    setObjectName("FormRename");
    LabelRename = AddLabel(QString(), 10, 12, 360, 18);
    LabelRename->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    EditRename = new QLineEdit(this);
    EditRename->setObjectName("EditRename");
    EditRename->setMaxLength(127);
    EditRename->setGeometry(16, 36, 348, 21);
    CheckBoxDerive = new QCheckBox(this);
    CheckBoxDerive->setObjectName("CheckBoxDerive");
    CheckBoxDerive->setGeometry(16, 70, 16, 16);
    Label2 = AddClickLabel(tr("derive from filename"), 36, 70);
    LabelDeriveFormat = AddLabel(QString(), 16, 94, 348, 18);
    LabelDeriveFormat->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    ButtonEditDeriveFormat =
        AddButton(tr("Edit derive format"), "ButtonEditDeriveFormat", 230, 66, 134, 25);
    Bevel1 = AddBevel(8, 62, 364, 56);
    Label1 = AddLabel(tr("note: renaming a file while the file is played by an"), 10, 126);
    Label3 = AddLabel(tr("external MP3 player might result in errors I can't prevent!"), 10, 142);
    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 200, 166, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 290, 166, 80, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);

    EditRename->installEventFilter(this);
    connect(Label2, &TClickLabel::clicked, this, &TFormRename::Label2Click);
    connect(ButtonEditDeriveFormat, &QPushButton::clicked, this,
            &TFormRename::ButtonEditDeriveFormatClick);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormRename::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormRename::BitBtnCancelClick);
    Preview = new TFormPreviewChanges(this);
}

void TFormRename::FormShow() {
    TFileList& list = host_.FileList();
    if (FormDeriveFormat)
        FormDeriveFormat->Format.SetSeparator(" - ");
    const std::size_t selected = list.SelCount();
    const std::ptrdiff_t current = list.ItemIndex();
    if (selected == 1 && current >= 1 && static_cast<std::size_t>(current) < list.Count()) {
        shownName_ = NameWithoutDirectory(list.GetFileName(static_cast<std::size_t>(current)));
        shownText_ = PathToQ(shownName_);
        const QString& name = shownText_;
        LabelRename->setText(ToQ(RenameHeadlineOne(FromQ(name))));
        EditRename->setText(name);
        EditRename->show();
        EditRename->setFocus();
        EditRename->selectAll();
        CheckBoxDerive->setChecked(false);
        CheckBoxDerive->setEnabled(true);
    } else {
        shownName_.clear();
        shownText_.clear();
        LabelRename->setText(ToQ(RenameHeadlineMany(selected)));
        EditRename->clear();
        EditRename->hide();
        CheckBoxDerive->setChecked(true);
        CheckBoxDerive->setEnabled(false);
    }
    if (FormDeriveFormat) {
        FormDeriveFormat->Format.Reset();
        FormDeriveFormat->UpdateControls();
    }
    UpdateDeriveFormat();
}

void TFormRename::UpdateDeriveFormat() {
    LabelDeriveFormat->setText(FormDeriveFormat ? ToQ(FormDeriveFormat->Format.FormatText())
                                                : QString());
}

void TFormRename::Label2Click() {
    if (CheckBoxDerive->isEnabled())
        CheckBoxDerive->setChecked(!CheckBoxDerive->isChecked());
}

void TFormRename::ButtonEditDeriveFormatClick() {
    if (FormDeriveFormat) {
        FormDeriveFormat->hide();
        FormDeriveFormat->exec();
    }
}

void TFormRename::EditRenameEnter() {
    EditRename->selectAll();
}

void TFormRename::BitBtnOKClick() {
    TFileList& list = host_.FileList();
    if (!CheckBoxDerive->isChecked()) {
        const std::ptrdiff_t current = list.ItemIndex();
        if (current >= 1 && static_cast<std::size_t>(current) < list.Count()) {
            // A name that is not UTF-8 does not survive the round trip through the edit:
            // left as shown, it is the file's own name.
            const std::string typed = EditRename->text() == shownText_
                                          ? shownName_
                                          : QFile::encodeName(EditRename->text()).toStdString();
            // An empty name would become the hidden ".mp3": refused, the window stays.
            if (typed.empty()) {
                host_.ShowError(tr("The new name is empty.").toStdString());
                EditRename->setFocus();
                return;
            }
            const TRenameResult result =
                RenameByTypedName(list.GetFileName(static_cast<std::size_t>(current)), typed);
            if (result.Status == TRenameResult::rsFailed)
                host_.ShowError(WithFileError(result.Message,
                                              list.GetFileName(static_cast<std::size_t>(current)),
                                              result.Code));
            else if (!result.Message.empty())
                host_.ShowError(result.Message);
            // The name is taken: the typed text stays for another try.
            if (result.Status == TRenameResult::rsExists) {
                EditRename->setFocus();
                return;
            }
        }
    } else if (FormDeriveFormat) {
        // Cancel comes back here, so the user can change the format and try again.
        if (!PreviewBeforeStep(
                *Preview, host_, kKeyPreviewRenameFromTags, tr("Rename from tags"), [&] {
                    return RenamePreviewRun(list, FormDeriveFormat->Format, host_.ProgressWindow());
                }))
            return;
        const TRenameRun run =
            RenameFromTagsRun(list, FormDeriveFormat->Format, host_.ProgressWindow());
        if (!run.Failures.empty())
            host_.ShowError(
                FailureReport(tr("These files could not be renamed:").toStdString(), run.Failures));
    }
    hide();
    host_.RunSearch();
}

void TFormRename::BitBtnCancelClick() {
    hide();
}

void TFormRename::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

bool TFormRename::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == EditRename && Event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, EditRename, [this] { EditRenameEnter(); });
    return TEditingDialog::eventFilter(Watched, Event);
}

} // namespace veltrane

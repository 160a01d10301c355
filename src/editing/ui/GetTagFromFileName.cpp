#include "editing/ui/GetTagFromFileName.h"

#include "editing/ui/DeriveFormat.h"
#include "editing/ui/PreviewChanges.h"
#include "editing/ui/Rename.h"

#include <QCheckBox>
#include <QPushButton>
#include <QShowEvent>

namespace veltrane {

TFormGetTagFromFilename::TFormGetTagFromFilename(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Derive tag from filename"), 330, 272, false, Parent), host_(Host) {
    setObjectName("FormGetTagFromFilename");
    LabelDeriveFormat = AddLabel(QString(), 10, 14, 310, 18);
    LabelDeriveFormat->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    ButtonEditDeriveFormat =
        AddButton(tr("Edit derive format"), "ButtonEditDeriveFormat", 95, 38, 140, 25);
    AddBevel(8, 6, 314, 64);

    CheckBoxSmartCut = new QCheckBox(this);
    CheckBoxSmartCut->setObjectName("CheckBoxSmartCut");
    CheckBoxSmartCut->setGeometry(16, 84, 16, 16);
    CheckBoxSmartCut->setChecked(true);
    Label2 = AddLabel(tr("smart cut *"), 36, 84);
    CheckBoxClearTag = new QCheckBox(this);
    CheckBoxClearTag->setObjectName("CheckBoxClearTag");
    CheckBoxClearTag->setGeometry(170, 84, 16, 16);
    Label9 = AddLabel(tr("clear tag"), 190, 84);

    Label1 = AddLabel(tr("* smart cut:"), 16, 112);
    Label3 = AddLabel(tr("When this option is enabled, the"), 16, 128);
    Label4 = AddLabel(tr("program tries to find out itself, which part of the"), 16, 144);
    Label5 = AddLabel(tr("filename needs to be transported to the ID3 tag."), 16, 160);
    Label6 = AddLabel(tr("This way it tries to get rid of all the extra spaces"), 16, 176);
    Label7 = AddLabel(tr("and brackets and so on. Be aware, the program"), 16, 192);
    Label8 = AddLabel(tr("might make a wrong dicision somewhere!"), 16, 208);
    AddBevel(8, 76, 314, 152);

    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 150, 238, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 240, 238, 80, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);

    connect(ButtonEditDeriveFormat, &QPushButton::clicked, this,
            &TFormGetTagFromFilename::ButtonEditDeriveFormatClick);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormGetTagFromFilename::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormGetTagFromFilename::BitBtnCancelClick);
    Preview = new TFormPreviewChanges(this);
}

void TFormGetTagFromFilename::FormShow() {
    if (FormDeriveFormat) {
        FormDeriveFormat->Format.SetSeparator("-");
        FormDeriveFormat->UpdateControls();
    }
    UpdateDeriveFormat();
}

void TFormGetTagFromFilename::UpdateDeriveFormat() {
    LabelDeriveFormat->setText(FormDeriveFormat ? ToQ(FormDeriveFormat->Format.FormatText())
                                                : QString());
}

void TFormGetTagFromFilename::ButtonEditDeriveFormatClick() {
    if (FormDeriveFormat)
        FormDeriveFormat->show();
}

void TFormGetTagFromFilename::BitBtnOKClick() {
    if (!FormDeriveFormat)
        return;
    const TDeriveOptions options{CheckBoxSmartCut->isChecked(), CheckBoxClearTag->isChecked()};
    // Cancel comes back here, so the user can change the format and try again.
    if (!PreviewBeforeStep(*Preview, host_, kKeyPreviewTagsFromNames, tr("Tags from file names"),
                           [&] {
                               return DerivePreviewRun(host_.FileList(), FormDeriveFormat->Format,
                                                       options, host_.ProgressWindow());
                           }))
        return;
    TFileFailures failures;
    TRunNotes notes;
    try {
        failures = DeriveRun(host_.FileList(), FormDeriveFormat->Format, options,
                             host_.ProgressWindow(), &notes);
    } catch (...) {
        host_.ListChanged();
        throw;
    }
    host_.ListChanged();
    hide();
    if (!failures.empty())
        host_.ShowError(
            FailureReport(tr("These files could not be changed:").toStdString(), failures));
    for (const std::string& message : notes.Messages())
        host_.ShowError(message);
}

void TFormGetTagFromFilename::BitBtnCancelClick() {
    hide();
}

void TFormGetTagFromFilename::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void LinkDeriveFormat(TFormDeriveFormat& Derive, TFormRename& Rename,
                      TFormGetTagFromFilename& GetTag) {
    Derive.FormRename = &Rename;
    Derive.FormGetTagFromFilename = &GetTag;
    Rename.FormDeriveFormat = &Derive;
    GetTag.FormDeriveFormat = &Derive;
    Rename.UpdateDeriveFormat();
    GetTag.UpdateDeriveFormat();
}

} // namespace veltrane

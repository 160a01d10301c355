#include "editing/ui/NumberTracks.h"

#include "tagcore/UiText.h"

#include <QCheckBox>
#include <QFont>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>

namespace veltrane {

std::string NumberTracksHeadline(std::size_t Selected) {
    return Selected == 1 ? UiText("veltrane::TFormNumberTracks", "numbering 1 file")
                         : FillText(UiText("veltrane::TFormNumberTracks", "numbering %1 files"),
                                    {std::to_string(Selected)});
}

TFormNumberTracks::TFormNumberTracks(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Number tracks"), 300, 150, true, Parent), host_(Host) {
    setObjectName("FormNumberTracks");
    LabelInfo = AddLabel(QString(), 8, 10, 284, 18);
    QFont bold = LabelInfo->font();
    bold.setBold(true);
    LabelInfo->setFont(bold);
    LabelInfo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    const int startWidth = fontMetrics().horizontalAdvance(tr("first track")) + 4;
    LabelStart = AddRowLabel(tr("first track"), 16, 40, startWidth);
    SpinEditStart = new QSpinBox(this);
    SpinEditStart->setObjectName("SpinEditStart");
    SpinEditStart->setRange(1, 255);
    SpinEditStart->setGeometry(16 + startWidth + 8, 40, 60, 21);

    CheckBoxKeepExisting = new QCheckBox(this);
    CheckBoxKeepExisting->setObjectName("CheckBoxKeepExisting");
    CheckBoxKeepExisting->setGeometry(16, 76, 16, 16);
    LabelKeepExisting = AddClickLabel(tr("leave files that have a track as they are"), 36, 76);

    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 116, 114, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 204, 114, 80, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);
    SetTabChain({SpinEditStart, CheckBoxKeepExisting, BitBtnOK, BitBtnCancel});

    connect(LabelKeepExisting, &TClickLabel::clicked, this,
            &TFormNumberTracks::LabelKeepExistingClick);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormNumberTracks::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormNumberTracks::BitBtnCancelClick);
}

void TFormNumberTracks::FormShow() {
    LabelInfo->setText(ToQ(NumberTracksHeadline(host_.FileList().SelCount())));
    SpinEditStart->setValue(1);
    SpinEditStart->setFocus();
    SpinEditStart->selectAll();
}

void TFormNumberTracks::LabelKeepExistingClick() {
    CheckBoxKeepExisting->setChecked(!CheckBoxKeepExisting->isChecked());
}

TNumberOptions TFormNumberTracks::Options() const {
    TNumberOptions options;
    options.Start = static_cast<unsigned>(SpinEditStart->value());
    options.KeepExisting = CheckBoxKeepExisting->isChecked();
    return options;
}

void TFormNumberTracks::BitBtnOKClick() {
    TFileFailures failures;
    TRunNotes notes;
    host_.SetLockDisplay(true);
    try {
        failures = NumberTracksRun(host_.FileList(), Options(), host_.ProgressWindow(), &notes);
    } catch (const ETrackRange& e) {
        // Nothing was written: the window stays open for another start number.
        host_.SetLockDisplay(false);
        host_.ShowError(e.what());
        return;
    } catch (...) {
        host_.SetLockDisplay(false);
        host_.ListChanged();
        throw;
    }
    host_.SetLockDisplay(false);
    host_.ListChanged();
    hide();
    if (!failures.empty())
        host_.ShowError(
            FailureReport(tr("These files could not be changed:").toStdString(), failures));
    for (const std::string& message : notes.Messages())
        host_.ShowError(message);
}

void TFormNumberTracks::BitBtnCancelClick() {
    hide();
}

void TFormNumberTracks::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

} // namespace veltrane

#include "editing/ui/DeriveFormat.h"

#include "tagcore/UiText.h"

#include "editing/ui/GetTagFromFileName.h"
#include "editing/ui/Rename.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace veltrane {

TFormDeriveFormat::TFormDeriveFormat(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Derive options"), 360, 200, false, Parent), host_(Host) {
    setObjectName("FormDeriveFormat");
    ListBoxDeriveOptions = new QListWidget(this);
    ListBoxDeriveOptions->setObjectName("ListBoxDeriveOptions");
    ListBoxDeriveOptions->setGeometry(10, 10, 120, 140);
    ListBoxDeriveHowTo = new QListWidget(this);
    ListBoxDeriveHowTo->setObjectName("ListBoxDeriveHowTo");
    ListBoxDeriveHowTo->setGeometry(230, 10, 120, 140);
    ButtonGoToHowTo = AddButton("--->", "ButtonGoToHowTo", 140, 14, 80, 25);
    ButtonGoToOptions = AddButton("<---", "ButtonGoToOptions", 140, 44, 80, 25);
    Label1 = AddLabel(tr("seperator sign"), 140, 84);
    Label1->setWordWrap(false);
    EditSeperatorSign = new QLineEdit(this);
    EditSeperatorSign->setObjectName("EditSeperatorSign");
    EditSeperatorSign->setMaxLength(static_cast<int>(kMaxSeparatorChars));
    EditSeperatorSign->setGeometry(140, 102, 80, 21);
    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 180, 164, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 270, 164, 80, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);
    TimerUpdateScreen = new QTimer(this);
    TimerUpdateScreen->setObjectName("TimerUpdateScreen");
    TimerUpdateScreen->setInterval(1);

    connect(ListBoxDeriveOptions, &QListWidget::itemDoubleClicked, this,
            &TFormDeriveFormat::ListBoxDeriveOptionsDblClick);
    connect(ListBoxDeriveHowTo, &QListWidget::itemDoubleClicked, this,
            &TFormDeriveFormat::ListBoxDeriveHowToDblClick);
    connect(ButtonGoToHowTo, &QPushButton::clicked, this, &TFormDeriveFormat::ButtonGoToHowToClick);
    connect(ButtonGoToOptions, &QPushButton::clicked, this,
            &TFormDeriveFormat::ButtonGoToOptionsClick);
    connect(EditSeperatorSign, &QLineEdit::textEdited, this,
            [this](const QString& text) { Format.SetSeparator(FromQ(text)); });
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormDeriveFormat::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormDeriveFormat::BitBtnCancelClick);
    connect(TimerUpdateScreen, &QTimer::timeout, this, &TFormDeriveFormat::TimerUpdateScreenTimer);
    UpdateControls();
}

void TFormDeriveFormat::UpdateControls() {
    const auto fill = [](QListWidget* box, const std::vector<std::string>& items) {
        box->clear();
        for (const std::string& item : items)
            box->addItem(ToQ(item));
    };
    fill(ListBoxDeriveOptions, Format.Options());
    fill(ListBoxDeriveHowTo, Format.HowTo());
    if (EditSeperatorSign->text() != ToQ(Format.Separator()))
        EditSeperatorSign->setText(ToQ(Format.Separator()));
}

void TFormDeriveFormat::FormShow() {
    TimerUpdateScreen->start();
}

void TFormDeriveFormat::ListBoxDeriveOptionsDblClick() {
    const int row = ListBoxDeriveOptions->currentRow();
    if (row >= 0 && ListBoxDeriveOptions->currentItem()->isSelected() &&
        Format.MoveToHowTo(static_cast<std::size_t>(row)))
        UpdateControls();
}

void TFormDeriveFormat::ListBoxDeriveHowToDblClick() {
    const int row = ListBoxDeriveHowTo->currentRow();
    if (row >= 0 && ListBoxDeriveHowTo->currentItem()->isSelected() &&
        Format.MoveToOptions(static_cast<std::size_t>(row)))
        UpdateControls();
}

void TFormDeriveFormat::ButtonGoToHowToClick() {
    ListBoxDeriveOptionsDblClick();
}

void TFormDeriveFormat::ButtonGoToOptionsClick() {
    ListBoxDeriveHowToDblClick();
}

void TFormDeriveFormat::BitBtnOKClick() {
    // A format without a field would neither cut nor build a name.
    if (Format.HowTo().empty()) {
        host_.ShowError(UiText("TFormDeriveFormat", kMsgEmptyFormat.data()));
        return;
    }
    done(QDialog::Accepted);
}

void TFormDeriveFormat::done(int Result) {
    // Cancel keeps the changes too (it undoes nothing), so the shown format follows either way.
    if (FormRename)
        FormRename->UpdateDeriveFormat();
    if (FormGetTagFromFilename)
        FormGetTagFromFilename->UpdateDeriveFormat();
    TEditingDialog::done(Result);
}

void TFormDeriveFormat::BitBtnCancelClick() {
    done(QDialog::Rejected);
}

void TFormDeriveFormat::TimerUpdateScreenTimer() {
    TimerUpdateScreen->stop();
    ListBoxDeriveOptions->viewport()->update();
    ListBoxDeriveHowTo->viewport()->update();
}

void TFormDeriveFormat::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous()) {
        UpdateControls();
        FormShow();
    }
}

} // namespace veltrane

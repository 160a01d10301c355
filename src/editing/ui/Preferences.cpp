#include "editing/ui/Preferences.h"

#include "components/ui/DisplayText.h"
#include "components/ui/msgbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

namespace veltrane {

TFormPreferences::TFormPreferences(IPreferencesHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Preferences"), 340, 264, true, Parent), host_(Host) {
    setObjectName("FormPreferences");
    Bevel1 = AddBevel(8, 8, 324, 204);
    Bevel2 = AddBevel(8, 220, 324, 36);

    Label1 = AddLabel(tr("Default directory:"), 20, 22);
    EditDefaultDir = new QLineEdit(this);
    EditDefaultDir->setObjectName("EditDefaultDir");
    EditDefaultDir->setGeometry(20, 40, 300, 24);
    EditDefaultDir->setMaxLength(32767); // full-length paths, never cut
    EditDefaultDir->setToolTip(tr("Directory which Veltrane will use at at startup"));
    EditDefaultDir->setStatusTip(EditDefaultDir->toolTip());

    CheckBoxDeleteToRecycleBin = new QCheckBox(this);
    CheckBoxDeleteToRecycleBin->setObjectName("CheckBoxDeleteToRecycleBin");
    CheckBoxDeleteToRecycleBin->setGeometry(20, 76, 20, 20);
    Label2 = AddClickLabel(tr("Delete to recycle bin"), 42, 78);
    connect(Label2, &TClickLabel::clicked, this, &TFormPreferences::Label2Click);

    Label3 = AddLabel(tr("Doubleclick action:"), 20, 110);
    ComboBoxDblClickAction = new QComboBox(this);
    ComboBoxDblClickAction->setObjectName("ComboBoxDblClickAction");
    ComboBoxDblClickAction->addItems({tr("Edit tag"), tr("Play file"), tr("Rename file")});
    ComboBoxDblClickAction->setGeometry(160, 106, 160, 24);

    // Both off by default: the window then starts as it always has.
    const auto addCheck = [this](const char* Name, const QString& Text, int Y, QCheckBox*& Box,
                                 TClickLabel*& Label) {
        Box = new QCheckBox(this);
        Box->setObjectName(Name);
        Box->setGeometry(20, Y, 20, 20);
        Label = AddClickLabel(Text, 42, Y + 2);
        connect(Label, &TClickLabel::clicked, Box, [Box] { Box->toggle(); });
    };
    addCheck("CheckBoxKeepLayout", tr("Keep the list layout between runs"), 146, CheckBoxKeepLayout,
             LabelKeepLayout);
    addCheck("CheckBoxStretchList", tr("Stretch the list with the window"), 176,
             CheckBoxStretchList, LabelStretchList);

    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 160, 226, 80, 24);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 248, 226, 80, 24);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormPreferences::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormPreferences::BitBtnCancelClick);

    BackImage->lower();
    backImages_ = {BackImage};
    ComboBoxDblClickAction->setCurrentIndex(
        host_.CurrentSettings().DblClickAction <= 2 ? host_.CurrentSettings().DblClickAction : -1);
}

void TFormPreferences::FormCreate(std::vector<QLabel*> BackImages) {
    backImages_ = std::move(BackImages);
    const std::string picture = host_.BackImageFileName();
    if (!picture.empty() && QFile::exists(QtFilePath(picture)))
        SetBackImage(QtFilePath(picture));
    // Set once: after Cancel the box keeps showing the user's last choice.
    const std::uint8_t action = host_.CurrentSettings().DblClickAction;
    ComboBoxDblClickAction->setCurrentIndex(action <= 2 ? action : -1);
}

void TFormPreferences::SetBackImage(const QString& FileName) {
    QPixmap picture;
    if (FileName.isEmpty() || !picture.load(FileName))
        return;
    for (QLabel* label : backImages_) {
        if (!label)
            continue;
        label->setScaledContents(true);
        label->setPixmap(picture);
    }
}

void TFormPreferences::FormShow() {
    const TSettings s = host_.CurrentSettings();
    shownDir_ = s.DefaultDir;
    EditDefaultDir->setText(PathToQ(s.DefaultDir));
    CheckBoxDeleteToRecycleBin->setChecked(s.DeleteToRecycleBin);
    const TLayoutPreferences layout = host_.LayoutPreferences();
    CheckBoxKeepLayout->setChecked(layout.KeepLayout);
    CheckBoxStretchList->setChecked(layout.StretchList);
}

void TFormPreferences::showEvent(QShowEvent* Event) {
    FormShow();
    TEditingDialog::showEvent(Event);
}

void TFormPreferences::Label2Click() {
    CheckBoxDeleteToRecycleBin->setChecked(!CheckBoxDeleteToRecycleBin->isChecked());
}

void TFormPreferences::BitBtnOKClick() {
    // A name that is not valid UTF-8 cannot survive the edit box; unedited, its bytes stay.
    const std::string dir = EditDefaultDir->text() == PathToQ(shownDir_)
                                ? shownDir_
                                : QFile::encodeName(EditDefaultDir->text()).toStdString();
    auto error = StorePreferences(host_, CheckBoxDeleteToRecycleBin->isChecked(), dir,
                                  ComboBoxDblClickAction->currentIndex());
    if (!error)
        error = StoreLayoutPreferences(
            host_, {CheckBoxKeepLayout->isChecked(), CheckBoxStretchList->isChecked()});
    if (error) {
        // The window stays open so the user can try again or cancel.
        if (ShowError)
            ShowError(*error);
        else
            ShowMessageBox(this, QMessageBox::Critical, tr("Error"),
                           QString::fromStdString(*error));
        return;
    }
    emit PreferencesStored();
    hide();
}

void TFormPreferences::BitBtnCancelClick() {
    hide();
}

} // namespace veltrane

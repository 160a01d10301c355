#include "editing/ui/deSelect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace veltrane {

TFormDeSelect::TFormDeSelect(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("(de)select some mp3's"), 300, 214, true, Parent), host_(Host) {
    setObjectName("FormDeSelect");
    LabelType = AddLabel(tr("Select all containing"), 16, 12, 268, 18);
    EditContaining = new QLineEdit(this);
    EditContaining->setObjectName("EditContaining");
    EditContaining->setGeometry(16, 32, 268, 21);
    CheckBoxCS = new QCheckBox(this);
    CheckBoxCS->setObjectName("CheckBoxCS");
    CheckBoxCS->setGeometry(16, 62, 16, 16);
    Label2 = AddClickLabel(tr("case sensitive"), 36, 62);
    Bevel1 = AddBevel(8, 6, 284, 80);

    Label8 = AddLabel(tr("Style"), 16, 100);
    ComboBoxStyle = new QComboBox(this);
    ComboBoxStyle->setObjectName("ComboBoxStyle");
    ComboBoxStyle->setGeometry(64, 96, 220, 22);
    Bevel2 = AddBevel(8, 90, 284, 36);

    CheckBoxUseTextSearch = new QCheckBox(this);
    CheckBoxUseTextSearch->setObjectName("CheckBoxUseTextSearch");
    CheckBoxUseTextSearch->setGeometry(16, 140, 16, 16);
    CheckBoxUseTextSearch->setChecked(true);
    Label1 = AddClickLabel(tr("use text search"), 36, 140);
    CheckBoxUseStyleSearch = new QCheckBox(this);
    CheckBoxUseStyleSearch->setObjectName("CheckBoxUseStyleSearch");
    CheckBoxUseStyleSearch->setGeometry(160, 140, 16, 16);
    Label3 = AddClickLabel(tr("use style search"), 180, 140);

    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 116, 178, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 204, 178, 80, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);

    SetTabChain({EditContaining, CheckBoxCS, ComboBoxStyle, CheckBoxUseTextSearch,
                 CheckBoxUseStyleSearch, BitBtnOK, BitBtnCancel});

    connect(Label1, &TClickLabel::clicked, this, &TFormDeSelect::Label1Click);
    connect(Label2, &TClickLabel::clicked, this, &TFormDeSelect::Label2Click);
    connect(Label3, &TClickLabel::clicked, this, &TFormDeSelect::Label3Click);
    connect(CheckBoxUseTextSearch, &QCheckBox::toggled, this,
            &TFormDeSelect::CheckBoxUseTextSearchClick);
    connect(CheckBoxUseStyleSearch, &QCheckBox::toggled, this,
            &TFormDeSelect::CheckBoxUseStyleSearchClick);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormDeSelect::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormDeSelect::BitBtnCancelClick);
    FormCreate();
}

void TFormDeSelect::FormCreate() {
    FillStyles(ComboBoxStyle);
    ComboBoxStyle->setCurrentIndex(-1);
}

void TFormDeSelect::FormShow() {
    LabelType->setText(ToQ(DeSelectHeadline(Mode)));
    EditContaining->clear();
    EditContaining->setFocus();
}

void TFormDeSelect::Label1Click() {
    CheckBoxUseTextSearch->setChecked(!CheckBoxUseTextSearch->isChecked());
}
void TFormDeSelect::Label2Click() {
    CheckBoxCS->setChecked(!CheckBoxCS->isChecked());
}
void TFormDeSelect::Label3Click() {
    CheckBoxUseStyleSearch->setChecked(!CheckBoxUseStyleSearch->isChecked());
}

void TFormDeSelect::CheckBoxUseTextSearchClick() {
    if (!CheckBoxUseTextSearch->isChecked())
        CheckBoxUseStyleSearch->setChecked(true);
}

void TFormDeSelect::CheckBoxUseStyleSearchClick() {
    if (!CheckBoxUseStyleSearch->isChecked())
        CheckBoxUseTextSearch->setChecked(true);
}

TSelectSearch TFormDeSelect::Search() const {
    TSelectSearch search;
    search.Text = FromQ(EditContaining->text());
    search.CaseSensitive = CheckBoxCS->isChecked();
    search.UseTextSearch = CheckBoxUseTextSearch->isChecked();
    search.UseStyleSearch = CheckBoxUseStyleSearch->isChecked();
    // No entry chosen stands for the empty entry.
    search.Style =
        ComboBoxStyle->currentIndex() < 0 ? std::string() : FromQ(ComboBoxStyle->currentText());
    return search;
}

void TFormDeSelect::BitBtnOKClick() {
    TFileList& list = host_.FileList();
    const std::vector<char> before = SelectionMarks(list);
    const TFileFailures failures = ApplySelectSearch(list, Mode, Search(), host_.ProgressWindow(), list.Codec());
    FocusFirstNewlySelected(list, before);
    host_.ListChanged();
    host_.ShowFocusedRow();
    hide();
    if (!failures.empty())
        host_.ShowError(FailureReport(
            tr("The tags of these files could not be read:").toStdString(), failures));
}

void TFormDeSelect::BitBtnCancelClick() {
    hide();
}

void TFormDeSelect::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

} // namespace veltrane

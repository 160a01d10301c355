#include "editing/ui/ConvertCodePage.h"

#include "browser/CodePageChoice.h"
#include "editing/Recode.h"
#include "editing/ui/PreviewChanges.h"
#include "tagcore/CodePageGuess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>

namespace veltrane {

TFormConvertCodePage::TFormConvertCodePage(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Convert code page"), 340, 150, true, Parent), host_(Host) {
    setObjectName("FormConvertCodePage");
    LabelInfo = AddLabel(QString(), 8, 10, 324, 18);
    QFont bold = LabelInfo->font();
    bold.setBold(true);
    LabelInfo->setFont(bold);
    LabelInfo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    const int captionWidth = std::max(fontMetrics().horizontalAdvance(tr("Read as")),
                                      fontMetrics().horizontalAdvance(tr("Write as"))) +
                             4;
    const auto box = [&](const char* Name, int Y) {
        auto* b = new QComboBox(this);
        b->setObjectName(Name);
        b->setGeometry(16 + captionWidth + 8, Y, 324 - captionWidth - 16, 24);
        return b;
    };
    LabelFrom = AddRowLabel(tr("Read as"), 16, 40, captionWidth, 24);
    ComboBoxFrom = box("ComboBoxFrom", 40);
    LabelTo = AddRowLabel(tr("Write as"), 16, 74, captionWidth, 24);
    ComboBoxTo = box("ComboBoxTo", 74);
    LabelFrom->setBuddy(ComboBoxFrom);
    LabelTo->setBuddy(ComboBoxTo);
    ComboBoxFrom->addItem(tr("Automatic (per file)"), QByteArray("auto"));
    for (const auto& [name, caption] : NamedCodePages()) {
        ComboBoxFrom->addItem(ToQ(ShownCodePageCaption(name)), QByteArray::fromStdString(name));
        ComboBoxTo->addItem(ToQ(ShownCodePageCaption(name)), QByteArray::fromStdString(name));
    }

    BitBtnOK = AddButton(tr("Convert"), "BitBtnOK", 156, 114, 85, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 247, 114, 85, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);
    SetTabChain({ComboBoxFrom, ComboBoxTo, BitBtnOK, BitBtnCancel});

    Preview = new TFormPreviewChanges(this);
    // Always shown before a conversion: there is no switch to keep.
    Preview->CheckBoxShowPreview->hide();

    connect(BitBtnOK, &QPushButton::clicked, this, &TFormConvertCodePage::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QWidget::hide);
}

void TFormConvertCodePage::FormShow() {
    LabelInfo->setText(ToQ(RecodeHeadline(host_.FileList().SelCount())));
    // Each file read in its own code page, written in the one the list reads in (a fixed
    // choice), so that the list then shows them right.
    ComboBoxFrom->setCurrentIndex(0);
    const TagCodec& list = host_.FileList().Codec();
    const int to = ComboBoxTo->findData(
        QByteArray::fromStdString(list.IsAuto() ? TagCodec::Default().Name() : list.Name()));
    ComboBoxTo->setCurrentIndex(std::max(to, 0));
    ComboBoxTo->setFocus();
}

void TFormConvertCodePage::BitBtnOKClick() {
    const std::string from = ComboBoxFrom->currentData().toByteArray().toStdString();
    const std::string to = ComboBoxTo->currentData().toByteArray().toStdString();
    TFileList& list = host_.FileList();
    TRecodeResult plan;
    try {
        plan = RecodeSelected(list, from, to, true);
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
        return;
    }
    if (plan.Preview.empty()) {
        host_.ShowNotice(tr("The tags of these files are in %1 already, or hold only ASCII text.")
                             .arg(ToQ(ShownCodePageCaption(to)))
                             .toStdString());
        return;
    }
    Preview->SetRows(windowTitle(), plan.Preview);
    if (Preview->exec() != QDialog::Accepted)
        return; // back to this window, nothing written
    TRecodeResult result;
    host_.SetLockDisplay(true);
    try {
        result = RecodeSelected(list, from, to, false);
    } catch (const std::exception& e) {
        host_.SetLockDisplay(false);
        host_.ListChanged();
        host_.ShowError(e.what());
        return;
    }
    host_.SetLockDisplay(false);
    host_.ListChanged();
    hide();
    if (!result.Refused.empty())
        host_.ShowError(FailureReport(
            tr("These files were left as they were: their text cannot be written in %1 whole:")
                .arg(ToQ(ShownCodePageCaption(to)))
                .toStdString(),
            result.Refused));
    if (!result.Failures.empty())
        host_.ShowError(
            FailureReport(tr("These files could not be changed:").toStdString(), result.Failures));
}

void TFormConvertCodePage::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void AddConvertCodePageEntry(QMenu& Menu, IEditingHost& Host, QWidget* Parent) {
    QAction* action = Menu.addAction(TFormConvertCodePage::tr("Convert code page..."));
    action->setObjectName("ConvertCodePage");
    QObject::connect(action, &QAction::triggered, Parent, [&Host, Parent] {
        if (Host.FileList().SelCount() == 0)
            return;
        OpenToolWindow<TFormConvertCodePage>(*Parent, "FormConvertCodePage", [&Host, Parent] {
            return new TFormConvertCodePage(Host, Parent);
        });
    });
}

} // namespace veltrane

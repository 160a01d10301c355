#include "editing/ui/FillFromId3v2Form.h"

#include "tagcore/UiText.h"

#include <QAction>
#include <QCheckBox>
#include <QFont>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>

namespace veltrane {

namespace {

// The captions of the list's columns, in the order of TFillField.
constexpr const char* kCaptions[] = {QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Song"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Artist"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Album"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Year"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Comment"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Style"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormFillFromId3v2", "Track")};
constexpr TFillField kFields[] = {ffTitle, ffArtist, ffAlbum, ffYear, ffComment, ffGenre, ffTrack};

} // namespace

std::string FillHeadline(std::size_t Selected) {
    return Selected == 1 ? UiText("veltrane::TFormFillFromId3v2", "filling 1 file")
                         : FillText(UiText("veltrane::TFormFillFromId3v2", "filling %1 files"),
                                    {std::to_string(Selected)});
}

TFormFillFromId3v2::TFormFillFromId3v2(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Fill ID3v1 from ID3v2"), 300, 210, true, Parent), host_(Host) {
    setObjectName("FormFillFromId3v2");
    LabelInfo = AddLabel(QString(), 8, 10, 284, 18);
    QFont bold = LabelInfo->font();
    bold.setBold(true);
    LabelInfo->setFont(bold);
    LabelInfo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    AddLabel(tr("take from the ID3v2 tag:"), 16, 34, 268, 18);
    for (int i = 0; i < 7; ++i) {
        auto* box = new QCheckBox(tr(kCaptions[i]), this);
        box->setObjectName(QStringLiteral("CheckBox") + QString::fromLatin1(kCaptions[i]));
        box->setGeometry(i < 4 ? 24 : 160, 56 + (i % 4) * 22, 120, 20);
        box->setChecked(true);
        CheckBoxField[i] = box;
    }
    CheckBoxOnlyEmpty = new QCheckBox(tr("Only fill empty fields"), this);
    CheckBoxOnlyEmpty->setObjectName("CheckBoxOnlyEmpty");
    CheckBoxOnlyEmpty->setGeometry(16, 150, 268, 20);
    CheckBoxOnlyEmpty->setChecked(true);

    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 116, 178, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 204, 178, 80, 27);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);
    SetTabChain({CheckBoxField[0], CheckBoxField[1], CheckBoxField[2], CheckBoxField[3],
                 CheckBoxField[4], CheckBoxField[5], CheckBoxField[6], CheckBoxOnlyEmpty, BitBtnOK,
                 BitBtnCancel});
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormFillFromId3v2::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QWidget::hide);
}

void TFormFillFromId3v2::FormShow() {
    LabelInfo->setText(ToQ(FillHeadline(SelectedFilePaths(host_.FileList()).size())));
    BitBtnOK->setFocus();
}

TFillOptions TFormFillFromId3v2::Options() const {
    TFillOptions options;
    options.Fields = 0;
    for (int i = 0; i < 7; ++i)
        if (CheckBoxField[i]->isChecked())
            options.Fields |= kFields[i];
    options.Overwrite = !CheckBoxOnlyEmpty->isChecked();
    return options;
}

void TFormFillFromId3v2::BitBtnOKClick() {
    TFillResult result;
    host_.SetLockDisplay(true);
    try {
        result = FillFromId3v2Run(host_.FileList(), Options(), host_.ProgressWindow());
    } catch (...) {
        host_.SetLockDisplay(false);
        host_.ListChanged();
        throw;
    }
    host_.SetLockDisplay(false);
    host_.ListChanged();
    hide();
    if (result.Failures.empty())
        host_.ShowNotice(FillReport(result));
    else
        host_.ShowError(FillReport(result));
}

void TFormFillFromId3v2::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void AddFillFromId3v2Entry(QMenu& Menu, IEditingHost& Host, QWidget* Parent) {
    QAction* action = Menu.addAction(TFormFillFromId3v2::tr("Fill ID3v1 from ID3v2..."));
    action->setObjectName("FillID3v1fromID3v2");
    QObject::connect(action, &QAction::triggered, Parent, [&Host, Parent] {
        if (SelectedFilePaths(Host.FileList()).empty())
            return;
        OpenToolWindow<TFormFillFromId3v2>(*Parent, "FormFillFromId3v2", [&Host, Parent] { return new TFormFillFromId3v2(Host, Parent); });
    });
}

} // namespace veltrane

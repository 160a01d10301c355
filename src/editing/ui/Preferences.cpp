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
#include <QTabBar>

#include <algorithm>

namespace veltrane {

TFormPreferences::TFormPreferences(IPreferencesHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Preferences"), 340, 264, true, Parent), host_(Host) {
    setObjectName("FormPreferences");
    Bevel1 = AddBevel(8, 8, 324, 204);

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

    // The controls so far make the first page; the tabs above it add their height.
    TabBarPages = new QTabBar(this);
    TabBarPages->setObjectName("TabBarPages");
    TabBarPages->addTab(tr("General"));
    TabBarPages->addTab(tr("More"));
    TabBarPages->setDrawBase(false);
    const int tabsHeight = TabBarPages->sizeHint().height();
    TabBarPages->setGeometry(8, 4, 324, tabsHeight);
    const int top = 4 + tabsHeight - 8; // the page's bevel starts under the tabs
    PageGeneral = new QWidget(this);
    PageGeneral->setObjectName("PageGeneral");
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == BackImage || child == TabBarPages || child == PageGeneral)
            continue;
        child->setParent(PageGeneral);
        child->show();
    }
    PageGeneral->setGeometry(0, top, 340, 212);
    PageMore = new QWidget(this);
    PageMore->setObjectName("PageMore");
    PageMore->setGeometry(0, top, 340, 212);
    PageMore->hide();
    CreateMorePage();
    connect(TabBarPages, &QTabBar::currentChanged, this, [this](int Index) {
        PageGeneral->setVisible(Index == 0);
        PageMore->setVisible(Index == 1);
    });
    setFixedSize(340, 264 + top);
    BackImage->setGeometry(0, 0, 340, 264 + top);

    Bevel2 = AddBevel(8, top + 220, 324, 36);
    BitBtnOK = AddButton(tr("OK"), "BitBtnOK", 160, top + 226, 80, 24);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 248, top + 226, 80, 24);
    SetDefaultButtons(BitBtnOK, BitBtnCancel);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormPreferences::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormPreferences::BitBtnCancelClick);

    BackImage->lower();
    backImages_ = {BackImage};
    ComboBoxDblClickAction->setCurrentIndex(
        host_.CurrentSettings().DblClickAction <= 2 ? host_.CurrentSettings().DblClickAction : -1);
}

void TFormPreferences::CreateMorePage() {
    auto* bevel = new QFrame(PageMore);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(8, 8, 324, 204);
    const auto addCheck = [this](const char* Name, const QString& Text, int Y) {
        auto* box = new QCheckBox(Text, PageMore);
        box->setObjectName(Name);
        box->setGeometry(20, Y, 304, 22);
        box->setToolTip(Text); // a long caption may be cut in a large font
        return box;
    };
    CheckBoxClearReadOnly = addCheck("CheckBoxClearReadOnly",
                                     tr("Make read-only files writable when reading a folder"), 16);
    CheckBoxSyncID3v2 = addCheck("CheckBoxSyncID3v2", tr("Keep ID3v2 tags in step"), 42);
    CheckBoxShowAudio = addCheck("CheckBoxShowAudio", tr("Show length and bit rate"), 68);
    CheckBoxPreviewTagsFromNames = addCheck(
        "CheckBoxPreviewTagsFromNames", tr("Show the preview of Read ID3 tags from filename"), 94);
    CheckBoxPreviewRenameFromTags =
        addCheck("CheckBoxPreviewRenameFromTags", tr("Show the preview of Rename from tags"), 120);
    CheckBoxPreviewImportTags =
        addCheck("CheckBoxPreviewImportTags", tr("Show the preview of Import tags"), 146);
    auto* label = new QLabel(tr("Tag code page:"), PageMore);
    label->setGeometry(20, 176, 136, 24);
    ComboBoxTagCodePage = new QComboBox(PageMore);
    ComboBoxTagCodePage->setObjectName("ComboBoxTagCodePage");
    ComboBoxTagCodePage->setGeometry(160, 176, 160, 24);
    label->setBuddy(ComboBoxTagCodePage);
    SetTagCodePages({{QStringLiteral("Windows-1252"), std::string()}}, std::string());
}

void TFormPreferences::SetTagCodePages(const std::vector<std::pair<QString, std::string>>& Items,
                                       const std::string& Current) {
    codePages_ = Items;
    ComboBoxTagCodePage->clear();
    for (const auto& [label, value] : Items)
        ComboBoxTagCodePage->addItem(label, QByteArray::fromStdString(value));
    int index = ComboBoxTagCodePage->findData(QByteArray::fromStdString(Current));
    if (index < 0 && !Current.empty()) {
        // Written by hand or by a later version: shown as it stands, and kept by OK.
        ComboBoxTagCodePage->addItem(ToQ(Current), QByteArray::fromStdString(Current));
        index = ComboBoxTagCodePage->count() - 1;
    }
    ComboBoxTagCodePage->setCurrentIndex(std::max(index, 0));
}

TMorePreferences TFormPreferences::MoreFromControls() const {
    TMorePreferences m;
    m.ClearReadOnly = CheckBoxClearReadOnly->isChecked();
    m.SyncID3v2 = CheckBoxSyncID3v2->isChecked();
    m.ShowAudio = CheckBoxShowAudio->isChecked();
    m.TagCodePage = ComboBoxTagCodePage->currentIndex() < 0
                        ? shownMore_.TagCodePage
                        : ComboBoxTagCodePage->currentData().toByteArray().toStdString();
    m.PreviewTagsFromNames = CheckBoxPreviewTagsFromNames->isChecked();
    m.PreviewRenameFromTags = CheckBoxPreviewRenameFromTags->isChecked();
    m.PreviewImportTags = CheckBoxPreviewImportTags->isChecked();
    return m;
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
    shownMore_ = host_.MorePreferences();
    CheckBoxClearReadOnly->setChecked(shownMore_.ClearReadOnly);
    CheckBoxSyncID3v2->setChecked(shownMore_.SyncID3v2);
    CheckBoxShowAudio->setChecked(shownMore_.ShowAudio);
    CheckBoxPreviewTagsFromNames->setChecked(shownMore_.PreviewTagsFromNames);
    CheckBoxPreviewRenameFromTags->setChecked(shownMore_.PreviewRenameFromTags);
    CheckBoxPreviewImportTags->setChecked(shownMore_.PreviewImportTags);
    SetTagCodePages(codePages_, shownMore_.TagCodePage);
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
    if (!error)
        error = StoreMorePreferences(host_, MoreFromControls());
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

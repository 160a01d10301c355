#include "editing/ui/ChangeDir.h"

#include "editing/ui/DirectoryTreeView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTreeWidget>

namespace veltrane {

TFormChangeDir::TFormChangeDir(platform::IVolumes& Volumes, QWidget* Parent)
    : TEditingDialog(tr("Current directory"), 260, 340, true, Parent), volumes_(Volumes) {
    setObjectName("FormChangeDir");
    DriveComboBoxMP3 = new QComboBox(this);
    DriveComboBoxMP3->setObjectName("DriveComboBoxMP3");
    DriveComboBoxMP3->setGeometry(8, 8, 244, 24);

    DirectoryListBoxMP3 = new QTreeWidget(this);
    DirectoryListBoxMP3->setObjectName("DirectoryListBoxMP3");
    DirectoryListBoxMP3->setGeometry(8, 40, 244, 292);
    DirectoryListBoxMP3->setHeaderHidden(true);
    DirectoryListBoxMP3->setColumnCount(1);
    DirectoryListBoxMP3->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DirectoryListBoxMP3->header()->setStretchLastSection(false);

    connect(DirectoryListBoxMP3, &QTreeWidget::itemExpanded, this,
            [](QTreeWidgetItem* item) { FillDirectoryItem(item); });
    connect(DirectoryListBoxMP3, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { TreeCurrentItemChanged(item); });
    connect(DriveComboBoxMP3, &QComboBox::activated, this,
            [this](int index) { DriveComboBoxMP3Change(index); });
    BackImage->lower();
    RefreshVolumes();
}

void TFormChangeDir::RefreshVolumes() {
    volumeList_ = volumes_.MountedVolumes();
    updating_ = true;
    DriveComboBoxMP3->clear();
    for (const platform::MountedVolume& v : volumeList_) {
        QString text = PathToQ(v.root);
        if (v.name != v.root)
            text += "  [" + PathToQ(v.name) + "]";
        DriveComboBoxMP3->addItem(text, QByteArray::fromStdString(v.root));
    }
    if (const platform::MountedVolume* v = platform::VolumeOf(volumeList_, directory_))
        DriveComboBoxMP3->setCurrentIndex(static_cast<int>(v - volumeList_.data()));
    updating_ = false;
}

void TFormChangeDir::ShowInTree(const std::string& Dir) {
    const platform::MountedVolume* volume = platform::VolumeOf(volumeList_, Dir);
    const std::string root = volume ? volume->root : std::string("/");
    updating_ = true;
    if (volume)
        DriveComboBoxMP3->setCurrentIndex(static_cast<int>(volume - volumeList_.data()));
    ShowDirectoryInTree(DirectoryListBoxMP3, root, Dir);
    updating_ = false;
}

bool TFormChangeDir::SetDirectory(const std::string& Dir, bool Notify) {
    std::string dir = Dir;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir.empty() || dir == directory_)
        return false;
    directory_ = dir;
    ShowInTree(dir);
    if (Notify) emit DirectoryListBoxMP3Change();
    return true;
}

void TFormChangeDir::DriveComboBoxMP3Change(int Index) {
    if (updating_ || Index < 0)
        return;
    SetDirectory(DriveComboBoxMP3->itemData(Index).toByteArray().toStdString());
}

void TFormChangeDir::TreeCurrentItemChanged(QTreeWidgetItem* Item) {
    if (updating_ || !Item)
        return;
    const std::string dir = DirectoryOfItem(Item);
    if (dir == directory_)
        return;
    directory_ = dir;
    emit DirectoryListBoxMP3Change();
}

void TFormChangeDir::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    emit VisibilityChanged(true);
}

void TFormChangeDir::hideEvent(QHideEvent* Event) {
    TEditingDialog::hideEvent(Event);
    emit VisibilityChanged(false);
}

} // namespace veltrane

#include "editing/ui/ChangeDir.h"

#include "editing/DirectoryTree.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTreeWidget>

namespace veltrane {
namespace {

constexpr int PathRole = Qt::UserRole;       // the directory's bytes
constexpr int FilledRole = Qt::UserRole + 1; // children read already

std::string PathOf(const QTreeWidgetItem* item) {
    return item->data(0, PathRole).toByteArray().toStdString();
}

} // namespace

TFormChangeDir::TFormChangeDir(platform::IVolumes& Volumes, QWidget* Parent)
    : TEditingDialog("Current directory", 260, 340, true, Parent), volumes_(Volumes) {
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
            [this](QTreeWidgetItem* item) { FillChildren(item); });
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

QTreeWidgetItem* TFormChangeDir::NewItem(const std::string& Path) {
    auto* item = new QTreeWidgetItem({PathToQ(DirectoryName(Path))});
    item->setData(0, PathRole, QByteArray::fromStdString(Path));
    // Children are read when the item opens; until then it offers to open.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TFormChangeDir::FillChildren(QTreeWidgetItem* Item) {
    if (Item->data(0, FilledRole).toBool())
        return;
    Item->setData(0, FilledRole, true);
    const std::vector<std::string> dirs = SubDirectories(PathOf(Item));
    for (const std::string& dir : dirs)
        Item->addChild(NewItem(dir));
    if (dirs.empty())
        Item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TFormChangeDir::ShowInTree(const std::string& Dir) {
    const platform::MountedVolume* volume = platform::VolumeOf(volumeList_, Dir);
    const std::string root = volume ? volume->root : std::string("/");
    updating_ = true;
    if (volume)
        DriveComboBoxMP3->setCurrentIndex(static_cast<int>(volume - volumeList_.data()));
    DirectoryListBoxMP3->clear();
    QTreeWidgetItem* item = NewItem(root);
    DirectoryListBoxMP3->addTopLevelItem(item);
    const std::vector<std::string> chain = DirectoryChain(root, Dir);
    for (size_t i = 1; i < chain.size(); ++i) {
        FillChildren(item);
        item->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int c = 0; c < item->childCount() && !next; ++c)
            if (PathOf(item->child(c)) == chain[i])
                next = item->child(c);
        if (!next) {
            // Hidden or unreadable on the way down: show it anyway, so the current one appears.
            next = NewItem(chain[i]);
            item->addChild(next);
        }
        item = next;
    }
    item->setExpanded(true);
    DirectoryListBoxMP3->setCurrentItem(item);
    DirectoryListBoxMP3->scrollToItem(item);
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
    const std::string dir = PathOf(Item);
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

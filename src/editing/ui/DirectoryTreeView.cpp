#include "editing/ui/DirectoryTreeView.h"

#include "components/ui/DisplayText.h"
#include "editing/DirectoryTree.h"

#include <QTreeWidget>

#include <vector>

namespace veltrane {
namespace {

constexpr int PathRole = Qt::UserRole;       // the directory's bytes
constexpr int FilledRole = Qt::UserRole + 1; // children read already

} // namespace

std::string DirectoryOfItem(const QTreeWidgetItem* Item) {
    return Item->data(0, PathRole).toByteArray().toStdString();
}

QTreeWidgetItem* NewDirectoryItem(const std::string& Path) {
    auto* item = new QTreeWidgetItem({DisplayText(DirectoryName(Path))});
    item->setData(0, PathRole, QByteArray::fromStdString(Path));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FillDirectoryItem(QTreeWidgetItem* Item) {
    if (Item->data(0, FilledRole).toBool())
        return;
    Item->setData(0, FilledRole, true);
    const std::vector<std::string> dirs = SubDirectories(DirectoryOfItem(Item));
    for (const std::string& dir : dirs)
        Item->addChild(NewDirectoryItem(dir));
    if (dirs.empty())
        Item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void ShowDirectoryInTree(QTreeWidget* Tree, const std::string& Root, const std::string& Dir) {
    Tree->clear();
    QTreeWidgetItem* item = NewDirectoryItem(Root);
    Tree->addTopLevelItem(item);
    const std::vector<std::string> chain = DirectoryChain(Root, Dir);
    for (std::size_t i = 1; i < chain.size(); ++i) {
        FillDirectoryItem(item);
        item->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int c = 0; c < item->childCount() && !next; ++c)
            if (DirectoryOfItem(item->child(c)) == chain[i])
                next = item->child(c);
        if (!next) {
            next = NewDirectoryItem(chain[i]);
            item->addChild(next);
        }
        item = next;
    }
    item->setExpanded(true);
    Tree->setCurrentItem(item);
    Tree->scrollToItem(item);
}

} // namespace veltrane

#pragma once
// A tree of directories whose children are read only when an item opens, as the
// change-directory window and the playlist browsers show it. Paths are bytes.

#include <string>

class QTreeWidget;
class QTreeWidgetItem;

namespace veltrane {

// The directory an item stands for.
std::string DirectoryOfItem(const QTreeWidgetItem* Item);
// An item for Path, offering to open until its children are read.
QTreeWidgetItem* NewDirectoryItem(const std::string& Path);
// Reads Item's subdirectories the first time it is asked (connected to itemExpanded).
void FillDirectoryItem(QTreeWidgetItem* Item);
// Shows Root with the directories down to Dir opened, Dir current and scrolled to. A directory
// on the way that cannot be listed (hidden, unreadable) is shown anyway.
void ShowDirectoryInTree(QTreeWidget* Tree, const std::string& Root, const std::string& Dir);

} // namespace veltrane

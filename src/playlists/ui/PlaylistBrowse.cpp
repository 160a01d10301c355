#include "playlists/ui/PlaylistBrowse.h"

#include "browser/FindFile.h"
#include "components/ui/DisplayText.h"
#include "editing/ui/DirectoryTreeView.h"
#include "playlists/Playlist.h"

#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>

#include <algorithm>

namespace veltrane {

std::string TNameField::Bytes(const QString& Shown) const {
    if (!picked_.empty() && Shown == DisplayText(picked_))
        return picked_;
    return Shown.toStdString();
}

TPlaylistBrowseDialog::TPlaylistBrowseDialog(const QString& Caption, int ClientWidth,
                                             int ClientHeight, bool CloseBox, std::string Mask,
                                             IPlaylistHost& Host, TFormPlayListEditor& Editor,
                                             QWidget* Parent)
    : TEditingDialog(Caption, ClientWidth, ClientHeight, CloseBox, Parent), host_(Host),
      editor_(Editor), mask_(std::move(Mask)) {
    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName("DriveComboBox");
    DriveComboBox->setGeometry(8, 8, 201, 19);
    DirectoryListBox = new QTreeWidget(this);
    DirectoryListBox->setObjectName("DirectoryListBox");
    DirectoryListBox->setGeometry(8, 32, 201, 209);
    DirectoryListBox->setHeaderHidden(true);
    DirectoryListBox->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DirectoryListBox->header()->setStretchLastSection(false);
    FileListBox = new QListWidget(this);
    FileListBox->setObjectName("FileListBox");
    FileListBox->setGeometry(216, 8, 201, 169);

    connect(DirectoryListBox, &QTreeWidget::itemExpanded, this,
            [](QTreeWidgetItem* item) { FillDirectoryItem(item); });
    connect(DirectoryListBox, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) {
                if (updating_ || !item)
                    return;
                directory_ = DirectoryOfItem(item);
                RefreshFiles();
            });
    connect(DriveComboBox, &QComboBox::activated, this, [this](int index) {
        if (!updating_ && index >= 0)
            SetDirectory(DriveComboBox->itemData(index).toByteArray().toStdString());
    });
}

void TPlaylistBrowseDialog::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    volumes_ = host_.Volumes().MountedVolumes();
    updating_ = true;
    DriveComboBox->clear();
    for (const platform::MountedVolume& v : volumes_) {
        QString text = DisplayText(v.root);
        if (v.name != v.root)
            text += "  [" + DisplayText(v.name) + "]";
        DriveComboBox->addItem(text, QByteArray::fromStdString(v.root));
    }
    updating_ = false;
    SetDirectory(host_.CurrentDirectory());
}

void TPlaylistBrowseDialog::ShowInTree(const std::string& Dir) {
    const platform::MountedVolume* volume = platform::VolumeOf(volumes_, Dir);
    const std::string root = volume ? volume->root : std::string("/");
    updating_ = true;
    if (volume)
        DriveComboBox->setCurrentIndex(static_cast<int>(volume - volumes_.data()));
    ShowDirectoryInTree(DirectoryListBox, root, Dir);
    updating_ = false;
}

void TPlaylistBrowseDialog::SetDirectory(const std::string& Dir) {
    std::string dir = Dir.empty() ? std::string("/") : Dir;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    directory_ = dir;
    ShowInTree(dir);
    RefreshFiles();
}

void TPlaylistBrowseDialog::RefreshFiles() {
    // The mask may name several wildcards, separated by ";" ("*.m3u;*.m3u8").
    std::vector<std::pair<std::wstring, std::string>> keyed;
    for (std::size_t start = 0; start <= mask_.size();) {
        const std::size_t end = std::min(mask_.find(';', start), mask_.size());
        TFindFile find;
        find.Directory = directory_;
        find.Filter = mask_.substr(start, end - start);
        find.Recurse = false;
        find.Execute();
        for (const std::string& path : find.Files) {
            std::string name = path.substr(path.rfind('/') + 1);
            keyed.emplace_back(PlaylistSortKey(name), std::move(name));
        }
        start = end + 1;
    }
    // A sorted list, letter case ignored, as the list boxes of the other windows.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    names_.clear();
    FileListBox->clear();
    for (auto& entry : keyed) {
        names_.push_back(std::move(entry.second));
        FileListBox->addItem(DisplayText(names_.back()));
    }
}

std::vector<std::string> TPlaylistBrowseDialog::SelectedNames() const {
    std::vector<std::string> names;
    for (int row = 0; row < FileListBox->count(); ++row)
        if (FileListBox->item(row)->isSelected())
            names.push_back(names_[static_cast<std::size_t>(row)]);
    return names;
}

} // namespace veltrane

#pragma once
// The file list's "Export tags..." and "Import tags..." popup menu items.

#include "editing/ui/EditingHost.h"

#include <QObject>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace veltrane {

class TFormPreviewChanges;

class TTagTableActions : public QObject {
    Q_OBJECT
  public:
    // Adds both items to Menu right after After (at the end when After is null).
    TTagTableActions(IEditingHost& Host, QMenu* Menu, QAction* After, QWidget* Window);

    QAction* ExportTags = nullptr; // "Export tags..."
    QAction* ImportTags = nullptr; // "Import tags..."
    TFormPreviewChanges* Preview = nullptr;
    // The file the user picks (Save: a new table, else one to read); "" when cancelled.
    // Empty: the desktop's file dialog. Tests answer it themselves.
    std::function<std::string(bool Save)> PickFile;

    void ExportTagsClick();
    void ImportTagsClick();

  private:
    std::string Pick(bool Save);
    IEditingHost& host_;
    QWidget* window_;
};

} // namespace veltrane

#pragma once
// The preview of a change over many files: the counts at the top, a table of file, field,
// old value, new value and note, and Apply / Cancel. Shared by every command that shows what
// it will do before doing it.

#include "editing/ChangePreview.h"
#include "editing/ui/EditingHost.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace veltrane {

class TFormPreviewChanges : public QDialog {
    Q_OBJECT
  public:
    explicit TFormPreviewChanges(QWidget* Parent = nullptr);

    // Fills the window for one run: its caption, the rows and their counts. Apply is enabled
    // only when there is a change to make. Unchanged rows are greyed, rows that cannot be done
    // red, rows with a warning amber.
    void SetRows(const QString& Caption, const std::vector<TPreviewRow>& Rows);

    QLabel* LabelCounts = nullptr;
    QTableWidget* TableChanges = nullptr;
    QCheckBox* CheckBoxShowPreview = nullptr; // "Show this preview"
    QPushButton* BitBtnApply = nullptr;
    QPushButton* BitBtnCancel = nullptr;
};

// The preview before a step of the command whose switch is Key (kKeyPreview...): when the
// user has not turned it off in the settings file, builds the rows with MakeRows, shows them
// and waits. A cleared "Show this preview" is kept with Apply only.
// True when the step is to run: Apply, the preview turned off, or nothing to show.
bool PreviewBeforeStep(TFormPreviewChanges& Preview, IEditingHost& Host, const char* Key,
                       const QString& Caption,
                       const std::function<std::vector<TPreviewRow>()>& MakeRows);

} // namespace veltrane

#pragma once
// The preview of a change over many files: the counts at the top, a table of file, field,
// old value, new value and note, and Apply / Cancel. Shared by every command that shows what
// it will do before doing it.

#include "editing/ChangePreview.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace veltrane {

class TFormPreviewChanges : public QDialog {
    Q_OBJECT
  public:
    explicit TFormPreviewChanges(QWidget* Parent = nullptr);

    // Fills the window for one run: its caption, the rows and their counts. Apply is enabled
    // only when there is a change to make.
    void SetRows(const QString& Caption, const std::vector<TPreviewRow>& Rows);

    QLabel* LabelCounts = nullptr;
    QTableWidget* TableChanges = nullptr;
    QPushButton* BitBtnApply = nullptr;
    QPushButton* BitBtnCancel = nullptr;
};

} // namespace veltrane

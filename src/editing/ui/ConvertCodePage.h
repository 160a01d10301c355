#pragma once
// TFormConvertCodePage ("Convert code page"): writes the selected files' tags in another code
// page, as one step with the batch preview before it.

#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QComboBox;
class QMenu;
class QPushButton;

namespace veltrane {

class TFormPreviewChanges;

class TFormConvertCodePage : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormConvertCodePage(IEditingHost& Host, QWidget* Parent = nullptr);

    QLabel* LabelInfo = nullptr;
    QLabel* LabelFrom = nullptr;
    QComboBox* ComboBoxFrom = nullptr; // "Automatic (per file)" and the code pages by name
    QLabel* LabelTo = nullptr;
    QComboBox* ComboBoxTo = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    TFormPreviewChanges* Preview = nullptr;

    void FormShow();
    // Shows the preview; when it is accepted, converts and reads the rows again.
    void BitBtnOKClick();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

// Adds "Convert code page..." to Menu; it opens the window (made the first time, a child of
// Parent) over the selected rows of Host's list.
void AddConvertCodePageEntry(QMenu& Menu, IEditingHost& Host, QWidget* Parent);

} // namespace veltrane

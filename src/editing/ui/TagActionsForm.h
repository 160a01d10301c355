#pragma once
// TFormActions ("Actions"): case conversion, replace and format over the selected files, each
// run as one step with the batch preview before it.

#include "editing/TagActions.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;

namespace veltrane {

class TFormPreviewChanges;

class TFormActions : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormActions(IEditingHost& Host, QWidget* Parent = nullptr);

    QLabel* LabelInfo = nullptr;
    // Song, artist, album, year, comment: the fields Case and Replace change.
    QCheckBox* CheckBoxField[5] = {};
    QLabel* LabelFieldsError = nullptr;
    QTabWidget* PageControlActions = nullptr; // Case, Replace, Format
    QComboBox* ComboBoxCaseMode = nullptr;
    QLineEdit* EditFind = nullptr;
    QLineEdit* EditReplaceWith = nullptr;
    QCheckBox* CheckBoxIgnoreCase = nullptr;
    QCheckBox* CheckBoxRegularExpression = nullptr;
    QLabel* LabelFindError = nullptr;
    QLabel* LabelWithError = nullptr;
    QComboBox* ComboBoxFormatField = nullptr;
    QLineEdit* EditPattern = nullptr;
    QLabel* LabelPatternError = nullptr;
    QPushButton* BitBtnApply = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    TFormPreviewChanges* Preview = nullptr;

    void FormShow();
    // Checks the action as the controls hold it, showing what is wrong at its field; Apply
    // is enabled only for an action that can run.
    void ControlsChange();
    void BitBtnApplyClick();

    // The action as the controls describe it.
    TActionSpec Spec() const;

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    std::optional<TTagAction> MakeAction();
    IEditingHost& host_;
};

// "acting on 1 file", "acting on 12 files"
std::string ActionsHeadline(std::size_t Selected);

// Adds "Actions..." to Menu; it opens the window (made the first time, a child of Parent)
// over the selected rows of Host's list.
void AddActionsEntry(QMenu& Menu, IEditingHost& Host, QWidget* Parent);

} // namespace veltrane

#pragma once
// TFormGetTagFromFilename: fills the tags of the selected files from their names.

#include "editing/TagFromFileName.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QCheckBox;
class QPushButton;

namespace veltrane {

class TFormDeriveFormat;
class TFormPreviewChanges;

class TFormGetTagFromFilename : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormGetTagFromFilename(IEditingHost& Host, QWidget* Parent = nullptr);

    // The window holding the derive format (created later at start-up).
    TFormDeriveFormat* FormDeriveFormat = nullptr;

    QLabel* LabelDeriveFormat = nullptr;
    QPushButton* ButtonEditDeriveFormat = nullptr;
    QCheckBox* CheckBoxSmartCut = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* CheckBoxClearTag = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    // What OK will change, shown before it does.
    TFormPreviewChanges* Preview = nullptr;

    void FormShow();
    void UpdateDeriveFormat();
    void ButtonEditDeriveFormatClick();
    void BitBtnOKClick();
    void BitBtnCancelClick();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

// Links the derive window with the two windows that show its format text.
class TFormRename;
void LinkDeriveFormat(TFormDeriveFormat& Derive, TFormRename& Rename,
                      TFormGetTagFromFilename& GetTag);

} // namespace veltrane

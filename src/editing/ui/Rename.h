#pragma once
// TFormRename: renames one file to a typed name, or the selected files from their tags.

#include "editing/RenameFromTags.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace veltrane {

class TFormDeriveFormat;
class TFormPreviewChanges;

class TFormRename : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormRename(IEditingHost& Host, QWidget* Parent = nullptr);

    // The window holding the derive format (created later at start-up).
    TFormDeriveFormat* FormDeriveFormat = nullptr;

    QLabel* LabelRename = nullptr;
    QLineEdit* EditRename = nullptr;
    QCheckBox* CheckBoxDerive = nullptr;
    TClickLabel* Label2 = nullptr;
    QLabel* LabelDeriveFormat = nullptr;
    QPushButton* ButtonEditDeriveFormat = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Bevel1 = nullptr;
    // What OK will rename from tags, shown before it does.
    TFormPreviewChanges* Preview = nullptr;

    void FormShow();
    void UpdateDeriveFormat();
    void Label2Click();
    void ButtonEditDeriveFormatClick();
    void EditRenameEnter();
    void BitBtnOKClick();
    void BitBtnCancelClick();

  protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    IEditingHost& host_;
    // The file's own name as bytes, and as EditRename first showed it.
    std::string shownName_;
    QString shownText_;
};

} // namespace veltrane

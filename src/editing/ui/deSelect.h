#pragma once
// TFormDeSelect: selects or deselects rows of the file list by text or genre.

#include "editing/SelectSearch.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace veltrane {

class TFormDeSelect : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormDeSelect(IEditingHost& Host, QWidget* Parent = nullptr);

    // Set by the main window just before it shows the window.
    TDeSelectMode Mode = TDeSelectMode::dmSelect;

    QLabel* LabelType = nullptr;
    QLineEdit* EditContaining = nullptr;
    QCheckBox* CheckBoxCS = nullptr;
    TClickLabel* Label2 = nullptr;
    QComboBox* ComboBoxStyle = nullptr;
    QLabel* Label8 = nullptr;
    QCheckBox* CheckBoxUseTextSearch = nullptr;
    TClickLabel* Label1 = nullptr;
    QCheckBox* CheckBoxUseStyleSearch = nullptr;
    TClickLabel* Label3 = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;

    void FormCreate();
    void FormShow();
    void Label1Click();
    void Label2Click();
    void Label3Click();
    void CheckBoxUseTextSearchClick();
    void CheckBoxUseStyleSearchClick();
    void BitBtnOKClick();
    void BitBtnCancelClick();

    // The search as the controls hold it now.
    TSelectSearch Search() const;

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

} // namespace veltrane

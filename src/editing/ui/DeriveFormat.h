#pragma once
// TFormDeriveFormat: edits the derive format, the program's one store of it.

#include "editing/DeriveFormatModel.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"
#include "tagcore/UiText.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace veltrane {

class TFormRename;
class TFormGetTagFromFilename;

class TFormDeriveFormat : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormDeriveFormat(IEditingHost& Host, QWidget* Parent = nullptr);

    // The format the lists and the separator edit show.
    TDeriveFormat Format;
    // The windows whose format text OK refreshes, in this order (set at start-up).
    TFormRename* FormRename = nullptr;
    TFormGetTagFromFilename* FormGetTagFromFilename = nullptr;

    QListWidget* ListBoxDeriveOptions = nullptr;
    QListWidget* ListBoxDeriveHowTo = nullptr;
    QPushButton* ButtonGoToHowTo = nullptr;
    QPushButton* ButtonGoToOptions = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* EditSeperatorSign = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QTimer* TimerUpdateScreen = nullptr;

    // Shows Format in the controls; called after another window changed it.
    void UpdateControls();

    void FormShow();
    void ListBoxDeriveOptionsDblClick();
    void ListBoxDeriveHowToDblClick();
    void ButtonGoToHowToClick();
    void ButtonGoToOptionsClick();
    void BitBtnOKClick();
    void BitBtnCancelClick();
    // However the window closes, the Rename and read-tags windows show the format now in use.
    void done(int Result) override;
    void TimerUpdateScreenTimer();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

inline constexpr std::string_view kMsgEmptyFormat =
    VT_TRANSLATE_NOOP("TFormDeriveFormat", "Put at least one field into the format.");

} // namespace veltrane

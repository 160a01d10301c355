#pragma once
// TFormNumberTracks ("Number tracks"): gives the selected files track numbers in list order.

#include "editing/TrackNumbers.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace veltrane {

class TFormNumberTracks : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormNumberTracks(IEditingHost& Host, QWidget* Parent = nullptr);

    QLabel* LabelInfo = nullptr;
    QLabel* LabelStart = nullptr;
    QSpinBox* SpinEditStart = nullptr;
    QCheckBox* CheckBoxKeepExisting = nullptr;
    TClickLabel* LabelKeepExisting = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;

    void FormShow();
    void LabelKeepExistingClick();
    void BitBtnOKClick();
    void BitBtnCancelClick();

    // The numbering as the controls hold it now.
    TNumberOptions Options() const;

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

// "numbering 1 file", "numbering 12 files"
std::string NumberTracksHeadline(std::size_t Selected);

} // namespace veltrane

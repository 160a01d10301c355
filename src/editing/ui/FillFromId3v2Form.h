#pragma once
// TFormFillFromId3v2 ("Fill ID3v1 from ID3v2"): the selected files' ID3v1 tags take the
// values of their ID3v2 tags, the fields chosen by a box each.

#include "editing/FillFromId3v2.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QCheckBox;
class QMenu;
class QPushButton;

namespace veltrane {

class TFormFillFromId3v2 : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormFillFromId3v2(IEditingHost& Host, QWidget* Parent = nullptr);

    QLabel* LabelInfo = nullptr;
    // Title, artist, album, year, comment, genre, track.
    QCheckBox* CheckBoxField[7] = {};
    QCheckBox* CheckBoxOnlyEmpty = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;

    void FormShow();
    void BitBtnOKClick();

    // The fill as the controls hold it now.
    TFillOptions Options() const;

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

// "filling 1 file", "filling 12 files"
std::string FillHeadline(std::size_t Selected);

// Adds "Fill ID3v1 from ID3v2..." to Menu; it opens the window (made the first time, a child
// of Parent) over the selected rows of Host's list.
void AddFillFromId3v2Entry(QMenu& Menu, IEditingHost& Host, QWidget* Parent);

} // namespace veltrane

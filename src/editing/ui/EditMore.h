#pragma once
// TFormEditMore: sets chosen tag fields to one value in every selected file.

#include "editing/TagEditing.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace veltrane {

class TFieldHints;

class TFormEditMore : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormEditMore(IEditingHost& Host, QWidget* Parent = nullptr);

    QLabel* LabelInfo = nullptr;
    QLabel* LabelType = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LabelTrack = nullptr;
    QLineEdit* EditSongName = nullptr;
    QLineEdit* EditArtistName = nullptr;
    QLineEdit* EditAlbum = nullptr;
    QLineEdit* EditYear = nullptr;
    QComboBox* ComboBoxStyle = nullptr;
    QLineEdit* EditComment = nullptr;
    QLineEdit* EditTrack = nullptr;
    QCheckBox* CheckBoxLeaveSongName = nullptr;
    QCheckBox* CheckBoxLeaveArtistName = nullptr;
    QCheckBox* CheckBoxLeaveAlbum = nullptr;
    QCheckBox* CheckBoxLeaveYear = nullptr;
    QCheckBox* CheckBoxLeaveStyle = nullptr;
    QCheckBox* CheckBoxLeaveComment = nullptr;
    QCheckBox* CheckBoxLeaveTrack = nullptr;
    TClickLabel* Label2 = nullptr;
    TClickLabel* Label6 = nullptr;
    TClickLabel* Label7 = nullptr;
    TClickLabel* Label8 = nullptr;
    TClickLabel* Label13 = nullptr;
    TClickLabel* Label9 = nullptr;
    TClickLabel* LabelLeaveTrack = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* LabelCodePage = nullptr; // with "Automatic": the code pages the files are written in
    QPushButton* BitBtnSave = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    TFieldHints* FieldHints = nullptr; // what the code page or the room will change, as typed

    void FormCreate();
    void FormShow();
    void EditSongNameChange();
    void EditArtistNameChange();
    void EditAlbumChange();
    void EditYearChange();
    void EditCommentChange();
    void EditTrackChange();
    void ComboBoxStyleChange();
    void Label2Click();
    void Label6Click();
    void Label7Click();
    void Label8Click();
    void Label9Click();
    void Label13Click();
    void LabelLeaveTrackClick();
    void BitBtnSaveClick();
    void BitBtnCancelClick();

    // The fields as the controls hold them now.
    TEditMoreFields Fields() const;

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IEditingHost& host_;
};

} // namespace veltrane

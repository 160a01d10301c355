#pragma once
// TFormEditMP3Tag: edits the tag of the one file the main window placed into Record.

#include "editing/ui/EditingDialog.h"
#include "editing/ui/EditingHost.h"
#include "editing/TagEditing.h"
#include "tagcore/MP3Tag.h"

#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace veltrane {

class TFieldHints;

class TFormEditMP3Tag : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormEditMP3Tag(IEditingHost& Host, QWidget* Parent = nullptr);

    // Written by the main window before it shows the window; rewritten by Save.
    TMP3Tag Record;

    QLineEdit* EditSongName = nullptr;
    QLineEdit* EditArtistName = nullptr;
    QLineEdit* EditAlbum = nullptr;
    QLineEdit* EditYear = nullptr;
    QLineEdit* EditTrack = nullptr;
    QComboBox* ComboBoxStyle = nullptr;
    QLineEdit* EditComment = nullptr;
    QPushButton* BitBtnSave = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QLabel* LabelType = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* LabelTrack = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* LabelCodePage = nullptr; // with "Automatic": the code page the file is written in
    TFieldHints* FieldHints = nullptr; // what the code page or the room will change, as typed

    // Save found the file changed by another program since FormShow read it.
    enum TChangedAnswer { caReload, caWriteAnyway, caCancel };
    // Asks "FILE was changed by another program since it was opened here."; empty: a message
    // box with Reload, Write anyway and Cancel (Esc).
    std::function<TChangedAnswer(const std::string& Question)> AskChanged;

    void FormCreate();
    void FormShow();
    void FormHide();
    void EditSongNameEnter();
    void BitBtnSaveClick();
    void BitBtnCancelClick();

  protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    TChangedAnswer AskChangedByOthers();
    IEditingHost& host_;
    std::optional<TEditedFileState> opened_; // the file as FormShow found it
};

} // namespace veltrane

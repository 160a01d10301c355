#pragma once
// TFormPlayListEditor ("Playlist editor"): the playlist's entries in a list with twelve
// buttons around it. The main window fills it with its selected files; the load, save and add
// dialogs work on its playlist and update it themselves.

#include "editing/ui/EditingDialog.h"
#include "playlists/Playlist.h"
#include "playlists/ui/PlaylistHost.h"

#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace veltrane {

class TMsgBox;
class TFormSavePlayList;
class TFormLoadPlayList;
class TFormAddMP3;

class TFormPlayListEditor : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormPlayListEditor(IPlaylistHost& Host, QWidget* Parent = nullptr);

    TPlaylist Playlist;

    QLineEdit* EditPlayListName = nullptr;
    QPushButton* BitBtnSave = nullptr;
    QPushButton* BitBtnLoad = nullptr;
    QPushButton* BitBtnAdd = nullptr;
    QPushButton* BitBtnRemove = nullptr;
    QPushButton* BitBtnUp = nullptr;
    QPushButton* BitBtnDown = nullptr;
    QPushButton* BitBtnReverse = nullptr;
    QPushButton* BitBtnRandomize = nullptr;
    QPushButton* BitBtnSort = nullptr;
    QPushButton* BitBtnCleanup = nullptr;
    QPushButton* BitBtnLaunch = nullptr;
    QPushButton* BitBtnClose = nullptr;
    QListWidget* ListBoxPlayList = nullptr;
    // "Save changes?" with Yes, No and Cancel.
    TMsgBox* MsgBoxSaveChanges = nullptr;

    // The dialogs it shows; linked after all windows are created.
    TFormSavePlayList* FormSavePlayList = nullptr;
    TFormLoadPlayList* FormLoadPlayList = nullptr;
    TFormAddMP3* FormAddMP3 = nullptr;

    // The main window's playlist command: the selected files, then the editor is shown.
    void OpenWith(const std::vector<std::string>& Paths);
    // The save dialog's reload after writing: the file's lines and name; the flag stays.
    // A failed read is reported and leaves the playlist as it was.
    void LoadPlayList(const std::string& Path);
    // Shows the playlist again after a change from outside (the dialogs).
    void PlaylistChanged();

    // The entry with the keyboard focus, if any.
    std::optional<std::size_t> CurrentEntry() const;

    void BitBtnSaveClick();
    void BitBtnLoadClick();
    void BitBtnAddClick();
    void BitBtnRemoveClick();
    void BitBtnUpClick();
    void BitBtnDownClick();
    void BitBtnReverseClick();
    void BitBtnRandomizeClick();
    void BitBtnSortClick();
    void BitBtnCleanupClick();
    void BitBtnLaunchClick();
    void BitBtnCloseClick();

  protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void reject() override; // Esc: the Close button

  private:
    QPushButton* Button(const char* Name, const char* Caption, int X, int Y, int W,
                        const char* Hint, std::vector<std::string> Help,
                        void (TFormPlayListEditor::*Handler)());
    void ShowList(std::optional<std::size_t> Current = std::nullopt);
    void ListSelectionChanged();
    static void ShowDialog(QWidget* Dialog);

    IPlaylistHost& host_;
    std::vector<std::pair<QObject*, std::vector<std::string>>> help_;
    bool filling_ = false;
};

} // namespace veltrane

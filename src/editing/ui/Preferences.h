#pragma once
// TFormPreferences ("Preferences"): edits the default directory, delete to recycle bin and the
// double-click action, keeps them in the main window and stores them in the settings file.
// Its SetBackImage also gives the program's windows their common background picture.

#include "editing/PreferencesLogic.h"
#include "editing/ui/EditingDialog.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace veltrane {

class TFormPreferences : public TEditingDialog {
    Q_OBJECT
  public:
    // Host: the main window's settings and file names; it outlives this window.
    explicit TFormPreferences(IPreferencesHost& Host, QWidget* Parent = nullptr);

    QLabel* Label1 = nullptr;            // "Default directory:"
    QLineEdit* EditDefaultDir = nullptr; // full-length paths
    TClickLabel* Label2 = nullptr;       // "Delete to recycle bin"; a click toggles the box
    QCheckBox* CheckBoxDeleteToRecycleBin = nullptr;
    QLabel* Label3 = nullptr;                    // "Doubleclick action:"
    QComboBox* ComboBoxDblClickAction = nullptr; // "Edit tag", "Play file", "Rename file"
    QCheckBox* CheckBoxKeepLayout = nullptr;     // "Keep the list layout between runs"
    TClickLabel* LabelKeepLayout = nullptr;
    QCheckBox* CheckBoxStretchList = nullptr; // "Stretch the list with the window"
    TClickLabel* LabelStretchList = nullptr;
    QPushButton* BitBtnOK = nullptr;             // default button: stores and closes
    QPushButton* BitBtnCancel = nullptr;         // Esc: closes, stores nothing
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;

    // Two pages: the controls above on the first, the "More" switches on the second.
    QTabBar* TabBarPages = nullptr;
    QWidget* PageGeneral = nullptr;
    QWidget* PageMore = nullptr;
    QCheckBox* CheckBoxClearReadOnly = nullptr; // "Make read-only files writable when reading..."
    QCheckBox* CheckBoxSyncID3v2 = nullptr;     // "Keep ID3v2 tags in step"
    QCheckBox* CheckBoxShowAudio = nullptr;     // "Show length and bit rate"
    QCheckBox* CheckBoxPreviewTagsFromNames = nullptr;
    QCheckBox* CheckBoxPreviewRenameFromTags = nullptr;
    QCheckBox* CheckBoxPreviewImportTags = nullptr;
    QComboBox* ComboBoxTagCodePage = nullptr; // "Tag code page"; item data: the stored value

    // The code pages offered: (shown label, stored value) pairs, the value "" standing for
    // the default; selects Current. A stored value not in the list is kept as its own item.
    void SetTagCodePages(const std::vector<std::pair<QString, std::string>>& Items,
                         const std::string& Current);

    // Error display for a failed write; empty: a modal message box.
    std::function<void(const std::string& Text)> ShowError;

    // Once, after all windows exist: BackImages are the background labels of the program's
    // windows in order (main window first, this window's own among them); loads the host's
    // background picture into them, then selects the double-click action.
    void FormCreate(std::vector<QLabel*> BackImages);
    // Loads FileName into every window's background; a missing file changes nothing.
    void SetBackImage(const QString& FileName);
    void FormShow();
    void Label2Click();
    void BitBtnOKClick();
    void BitBtnCancelClick();

  signals:
    // The settings were written and taken over by the host.
    void PreferencesStored();

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    IPreferencesHost& host_;
    std::vector<QLabel*> backImages_;
    std::string shownDir_; // the default directory's bytes as shown, kept when left unedited
    std::vector<std::pair<QString, std::string>> codePages_;
    TMorePreferences shownMore_; // as the host had them when the window was shown
    TMorePreferences MoreFromControls() const;
    void CreateMorePage();
};

} // namespace veltrane

#pragma once
// The main window: the dock with its toolbars, the file list over the background picture, the
// status bar, the searching panel. It owns the program's state and forwards every command to
// the browser logic.

#include "browser/FileList.h"
#include "browser/FindFile.h"
#include "components/FileSrc.h"

#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace veltrane {

namespace platform {
class IAssociations;
class IFileOperations;
class IProcessStarter;
} // namespace platform

class TMultiList;
class TMinMax;
class TAnimatedSymbol;

// The operating-system services the window uses, chosen by the program start (tests pass
// fakes). Not owned; they outlive the window.
struct TMainServices {
    platform::IAssociations* Associations = nullptr;
    platform::IFileOperations* FileOperations = nullptr;
    platform::IProcessStarter* Processes = nullptr;
    // The start directory: the settings file lives here. Empty: the working directory.
    std::string StartDirectory;
    // Asks Yes/No before a delete; empty: a message box. Tests answer it themselves.
    std::function<bool(const std::string& Question)> Confirm;
    // Shows an error text; empty: a message box.
    std::function<void(const std::string& Text)> ShowError;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(TMainServices Services, QWidget* Parent = nullptr);
    ~TMainForm() override;

    // --- State (read and changed by the other windows as well).
    std::string BrowserCommand;
    std::string MP3PlayerCommand;
    std::string ModPlayerCommand;
    std::string DefaultDir = ".";
    std::string StartDir;
    std::string BackImageFileName;
    bool DeleteToRecycleBin = true;
    bool SubdirMode = false;
    std::uint8_t DblClickAction = 0;
    std::size_t RememberedRow = 0;

    // The list model: rows, selection, focus, row buffer and sort column.
    TFileList FileList;
    TFindFile FindMP3;
    TFileSource FileSourceBackImage{"FileSourceBackImage"};
    TFileSource FileSourceSearchFiles{"FileSourceSearchFiles"};
    TFileSource FileSourceSoundFile{"FileSourceSoundFile"};

    // The program's current directory (the change-directory window shows it).
    const std::string& CurrentDirectory() const { return currentDir_; }
    // Makes Dir current and searches it.
    void ChangeDirectory(const std::string& Dir);
    // Runs FindMP3 on the current directory, with its before and after events.
    void RunSearch();
    // The settings file: the start directory followed by "/Veltrane.ini".
    std::string SettingsFileName() const;

    // --- Controls.
    QToolBar* ToolBarDirectory = nullptr;
    QToolBar* ToolBarEditTools = nullptr;
    QToolBar* ToolBarMisc = nullptr;
    QToolButton* ToolbarButtonShowDir = nullptr;
    QLineEdit* EditDockCurrentDir = nullptr;
    QToolButton* ToolbarButton97Refresh = nullptr;
    QToolButton* ToolbarButton97Select = nullptr;
    QToolButton* ToolbarButton97Deselect = nullptr;
    QToolButton* ToolbarButton97EditMore = nullptr;
    QToolButton* ToolbarButton97RenameFile = nullptr;
    QToolButton* ToolbarButton97PlayListEditor = nullptr;
    QToolButton* ToolbarButton97ReadTags = nullptr;
    QToolButton* ToolbarButton97Play = nullptr;
    QToolButton* ToolbarButton97Recursive = nullptr;
    QToolButton* ToolbarButton97DeleteSelected = nullptr;
    QToolButton* ToolbarButton97Help = nullptr;
    QToolButton* ToolbarButton97About = nullptr;
    QToolButton* ToolbarButton97EditPreferences = nullptr;
    QToolButton* ToolbarButtonQuit = nullptr;
    QLabel* BackImage = nullptr;
    TMultiList* MultiListMP3 = nullptr;
    QMenu* PopupMenuMultiListMP3 = nullptr;
    QAction* Refresh = nullptr;
    QAction* Selectfiles = nullptr;
    QAction* Deselectfiles = nullptr;
    QAction* EditselectedMP3s = nullptr;
    QAction* Renameselectedfiles = nullptr;
    QAction* Playselectedfile = nullptr;
    QAction* Deleteselectedfiles = nullptr;
    QLabel* StatusPanel0 = nullptr; // selection count
    QLabel* StatusPanel1 = nullptr; // selection size
    QLabel* StatusPanel2 = nullptr; // current hint
    QFrame* PanelSearching = nullptr;
    QLabel* LabelSearchFrom = nullptr;
    TAnimatedSymbol* AnimatedSymbol = nullptr;
    QPlainTextEdit* MemoStyles = nullptr;
    TMinMax* MinMax1 = nullptr;

    // --- Start-up.
    void FormCreate();
    void FormShow();
    void FormClose();

    // --- Hints and help.
    void DisplayHint(const QString& Hint);
    void EditDockCurrentDirEnter();
    void EditDockCurrentDirKeyDown(int Key);

    // --- Commands.
    void ToolbarButton97RefreshClick();
    void ToolbarButton97SelectClick();
    void ToolbarButton97DeselectClick();
    void ToolbarButton97EditMoreClick();
    void ToolbarButton97RenameFileClick();
    void ToolbarButton97ReadTagsClick();
    void ToolbarButton97PlayListEditorClick();
    void ToolbarButton97PlayClick();
    void ToolbarButton97DeleteSelectedClick();
    void ToolbarButton97RecursiveClick();
    void ToolbarButtonShowDirClick();
    void ToolbarButton97HelpClick();
    void ToolbarButton97AboutClick();
    void ToolbarButton97EditPreferencesClick();
    void ToolbarButtonQuitClick();
    void MultiListMP3Click();
    void MultiListMP3DblClick();
    void MultiListMP3KeyDown(int& Key, Qt::KeyboardModifiers Shift);
    void MultiListMP3ListHeaderClick(int Section);
    void SelectAllFiles();
    void UpdateFooter();

    // --- The search and the list.
    void FindMP3BeforeExecute();
    void FindMP3AfterExecute();
    void UpdateList();
    void SortList();
    void SingleUpdate(const TMP3Tag& Tag);
    std::string GetFileName(std::size_t Row) const { return FileList.GetFileName(Row); }
    bool FilesInThisDir() const { return FileList.FilesInThisDir(); }
    // Shows the row changes of the model in the control.
    void RefreshList();

signals:
    // The list holds the rows of a finished search (the footer is updated too).
    void ListFilled();

protected:
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void RestoreMedia();
    void CreateControls();
    void CreateToolbars();
    void CreatePopupMenu();
    QToolButton* AddButton(QToolBar* Bar, const char* Name, const QString& Hint,
                           const QIcon& Icon, void (TMainForm::*Handler)(),
                           bool Checkable = false);
    void ControlMouseMove(QWidget* Control);
    void EditSelectedFile();
    void ReportError(const std::string& Text);
    void LayoutCentral();

    TMainServices services_;
    std::string currentDir_;
    bool shown_ = false;
    std::vector<QWidget*> hintControls_;
    QWidget* central_ = nullptr;
};

} // namespace veltrane

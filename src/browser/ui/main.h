#pragma once
// The main window: the dock with its toolbars, the file list over the background picture, the
// status bar, the searching panel. It owns the program's state and forwards every command to
// the browser logic.

#include "browser/Execfile.h"
#include "browser/FileList.h"
#include "browser/FileOp.h"
#include "browser/FindFile.h"
#include "browser/HelpTexts.h"
#include "browser/Layout.h"
#include "browser/Settings.h"
#include "browser/ui/mProgressForm.h"
#include "components/FileSrc.h"
#include "editing/SyncV2.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QToolButton;

namespace veltrane {

namespace platform {
class IAssociations;
class IFileOperations;
class IPeakMeter;
class IProcessStarter;
class IVolumes;
} // namespace platform

class TMultiList;
class TRunFileList;
class TMinMax;
class TMarsCaption;
class TAnimatedSymbol;
class TFormChangeDir;
class TFormDeSelect;
class TFormEditMP3Tag;
class TFormEditMore;
class TFormRename;
class TFormDeriveFormat;
class TFormHelp;
class TFormGetTagFromFilename;
class TFormPreferences;
class TFormAbout;
class TFormNumberTracks;
class TTagTableActions;
class TMainHost;
class TFormPlayListEditor;
class TFormSavePlayList;
class TFormLoadPlayList;
class TFormAddMP3;

// The operating-system services the window uses, chosen by the program start (tests pass
// fakes). All four are required; not owned, they outlive the window.
struct TMainServices {
    platform::IAssociations* Associations = nullptr;
    platform::IFileOperations* FileOperations = nullptr;
    platform::IProcessStarter* Processes = nullptr;
    platform::IVolumes* Volumes = nullptr;
    // The sound server's peak meter for the About window; empty: the desktop's own server.
    platform::IPeakMeter* PeakMeter = nullptr;
    // The start directory: the settings file lives here. Empty: the working directory.
    std::string StartDirectory;
    // Asks Yes/No before a delete; empty: a message box. Tests answer it themselves.
    std::function<bool(const std::string& Question)> Confirm;
    // Shows an error text; empty: a message box.
    std::function<void(const std::string& Text)> ShowError;
    // Shows a notice of what was done; empty: ShowError when set, else an information box.
    std::function<void(const std::string& Text)> ShowNotice;
    // Where the temporary media files are recorded for a later run to clean up after a kill;
    // empty: not recorded.
    TRunFileList* RunFiles = nullptr;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TMainForm(TMainServices Services, QWidget* Parent = nullptr);
    ~TMainForm() override;

    // --- State (read and changed by the other windows as well).
    std::string BrowserCommand;
    std::string MP3PlayerCommand;
    std::string PlaylistPlayerCommand; // the ".m3u" player, else the MP3 player
    std::string ModPlayerCommand;
    std::string DefaultDir = ".";
    std::string StartDir;
    std::string BackImageFileName;
    bool DeleteToRecycleBin = true;
    bool SubdirMode = false;
    std::uint8_t DblClickAction = 0;
    // The "More" page's switches, kept here; the preview switches are read from the settings
    // file when asked for, since the previews change them there.
    TMorePreferences MorePrefs;
    // What the tag steps do with ID3v2 tags: follow MorePrefs.SyncID3v2, or only count them.
    TSyncV2 SyncV2;
    void ApplySyncV2();
    // Reads and writes tags in MorePrefs.TagCodePage.
    void ApplyTagCodePage();
    // The folders whose "Tags here look like ..." was shown.
    std::vector<std::string> toldCodePage_;
    // After a step: the files whose ID3v2 tag was left alone, or the note that it was not kept
    // in step.
    void ReportSyncV2();
    std::size_t RememberedRow = 0;

    // A directory named on the command line; shown instead of the default directory.
    std::optional<std::string> CommandLineDir;
    // Files named on the command line or dropped: after the next listing their rows are
    // selected, the first one's focused (CommandLineDir or the current folder holds them).
    std::vector<std::string> CommandLineFiles;
    // `veltrane PATH...` and drops: a folder, or MP3 files of one folder with their rows
    // selected; what is not opened is named in a message after the listing.
    void OpenPaths(const std::vector<std::string>& Paths);

    // The list model: rows, selection, focus, row buffer and sort column.
    TFileList FileList;
    TFindFile FindMP3;
    TFileOperation FileOperation;
    std::unique_ptr<ITrashRecorder> trashRecorder_; // deletes to the trash, for Undo
    TExecFile PlayFile;
    TmProgressWnd ProgressWindow;
    TFileSource FileSourceBackImage{"FileSourceBackImage"};
    TFileSource FileSourceSearchFiles{"FileSourceSearchFiles"};
    TFileSource FileSourceSoundFile{"FileSourceSoundFile"};

    // The other windows, created once after the main window (those that exist).
    TFormChangeDir* FormChangeDir = nullptr;
    TFormDeSelect* FormDeSelect = nullptr;
    TFormEditMP3Tag* FormEditMP3Tag = nullptr;
    TFormEditMore* FormEditMore = nullptr;
    TFormRename* FormRename = nullptr;
    TFormDeriveFormat* FormDeriveFormat = nullptr;
    TFormHelp* FormHelp = nullptr;
    TFormGetTagFromFilename* FormGetTagFromFilename = nullptr;
    TFormPreferences* FormPreferences = nullptr;
    TFormPlayListEditor* FormPlayListEditor = nullptr;
    TFormSavePlayList* FormSavePlayList = nullptr;
    TFormLoadPlayList* FormLoadPlayList = nullptr;
    TFormAddMP3* FormAddMP3 = nullptr;
    TFormAbout* FormAbout = nullptr;
    TFormNumberTracks* FormNumberTracks = nullptr;
    // Creates the other windows in the program's fixed order and links them to this one.
    void CreateWindows();

    // What the editing and preferences windows reach of this window.
    TMainHost& Host() { return *host_; }

    // The program's current directory: the change-directory window's directory.
    std::string CurrentDirectory() const;
    // Makes Dir current; a change starts a search.
    void ChangeDirectory(const std::string& Dir);
    // Runs FindMP3 on the current directory, with its before and after events.
    void RunSearch();
    // The settings file the preferences write: the start directory followed by
    // "/Veltrane.ini", or the user's config folder when the start directory cannot be written.
    std::string SettingsFileName() const;

    // --- Controls.
    QToolBar* ToolBarDirectory = nullptr;
    QToolBar* ToolBarEditTools = nullptr;
    QToolBar* ToolBarMisc = nullptr;
    QToolBar* ToolBarFilter = nullptr;
    QLineEdit* EditFilter = nullptr; // the list shows the rows holding its text
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
    QAction* Numbertracks = nullptr; // "Number tracks..."
    TTagTableActions* TagTables = nullptr; // "Export tags...", "Import tags..."
    QAction* Undo = nullptr; // "Undo: <the last step>", Ctrl+Z
    QAction* Redo = nullptr; // "Redo: <the last undo>", Ctrl+Shift+Z
    QLabel* StatusPanel0 = nullptr; // selection count
    QLabel* StatusPanel1 = nullptr; // selection size
    QLabel* StatusPanel2 = nullptr; // current hint
    QLabel* StatusPanelFilter = nullptr; // "N of M files shown" while a filter is set
    QLabel* StatusPanelLength = nullptr; // the selection's total length, with the audio columns
    QFrame* PanelSearching = nullptr;
    QLabel* LabelSearchFrom = nullptr;
    TAnimatedSymbol* AnimatedSymbol = nullptr;
    QPlainTextEdit* MemoStyles = nullptr;
    TMinMax* MinMax1 = nullptr;
    TMarsCaption* MarsCaption = nullptr;

    // --- Start-up.
    void FormCreate();
    void FormShow();
    void FormClose();

    // --- Hints and help.
    void DisplayHint(const QString& Hint);
    // The pointer moved over a toolbar control: its help lines, once per arrival.
    void ControlMouseMove(QWidget* Control);
    void ToolbarButtonShowDirMouseMove();
    void EditDockCurrentDirMouseMove();
    void ToolbarButton97RefreshMouseMove();
    void ToolbarButton97SelectMouseMove();
    void ToolbarButton97DeselectMouseMove();
    void ToolbarButton97EditMoreMouseMove();
    void ToolbarButton97RenameFileMouseMove();
    void ToolbarButton97PlayListEditorMouseMove();
    void ToolbarButton97ReadTagsMouseMove();
    void ToolbarButton97PlayMouseMove();
    void ToolbarButton97RecursiveMouseMove();
    void ToolbarButton97DeleteSelectedMouseMove();
    void ToolbarButton97HelpMouseMove();
    void ToolbarButton97AboutMouseMove();
    void ToolbarButton97EditPreferencesMouseMove();
    void ToolbarButtonQuitMouseMove();
    void ToolbarButton97PlayListEditorMouseUp();
    void EditDockCurrentDirEnter();
    void EditDockCurrentDirKeyDown(int Key);

    // --- Commands.
    void ToolbarButton97RefreshClick();
    void ToolbarButton97SelectClick();
    void ToolbarButton97DeselectClick();
    void ToolbarButton97EditMoreClick();
    void ToolbarButton97RenameFileClick();
    void ToolbarButton97ReadTagsClick();
    void NumbertracksClick();
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
    void EditFilterChange(const QString& Text);
    void UpdateFilterPanel();
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
    // An error message box (or the test's recorder).
    void ReportError(const std::string& Text);
    // A notice that is no error (a reading the user cancelled): an information box.
    void ReportNotice(const std::string& Text);
    std::string FolderMissingMessage(const std::string& Dir) const;

    // --- Layout ("Layout" section of the settings file).
    const TListLayout& Layout() const { return layout_; }
    // Keep takes effect at the next close; stretch at once (and enables Maximize).
    void SetLayoutPreferences(const TLayoutPreferences& Value);
    // The "More" page's switches; a change of ShowAudio reads the folder again.
    void SetMorePreferences(const TMorePreferences& Value);
    // The focus back on the list with its focused row in view, the window active.
    void FocusList();

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
    QToolButton* AddButton(QToolBar* Bar, const char* Name, TToolbarControl Control,
                           const QIcon& Icon, void (TMainForm::*Handler)(), bool Checkable = false);
    void EditSelectedFile();
    void ShowHelpState();
    void ToggleWindow(QWidget* Window);
    void RunListCommand(int Command);
    void LayoutCentral();
    void ApplicationHints();
    void ChooseCommandLineFile();
    void ApplyStretch(bool On);
    // The Length and Bitrate columns and the length panel, shown or not.
    void ApplyShowAudio(bool On);
    void RestoreWindowPlace();
    void StoreLayout();
    void UpdateSortArrow();
    // Tool windows take the keyboard when shown; when one goes, the focus goes back to the
    // window it came from, or to the list.
    void WatchToolWindows();
    void ToolWindowShown(QWidget* Window);
    void ToolWindowHidden(QWidget* Window);
    void ReturnFocus();

    TMainServices services_;
    std::unique_ptr<platform::IPeakMeter> ownPeakMeter_; // when the services bring none
    std::unique_ptr<TMainHost> host_;
    std::string currentDir_;
    THelpState helpState_;
    TSettingsFiles settingsFiles_;
    std::map<QWidget*, TToolbarControl> controlOf_;
    bool shown_ = false;
    std::vector<QWidget*> hintControls_;
    QWidget* central_ = nullptr;
    std::string openNotice_; // from OpenPaths, shown after the listing
    TListLayout layout_;
    QRect fixedListGeometry_; // the list's place when it does not follow the window
    // Track takes the list's remaining width; stretching widens the text columns instead.
    void FitListColumns();
    std::vector<int> columnBase_; // the first seven widths before stretching
    std::vector<int> columnsSet_; // the widths FitListColumns set last
    QWidget* listViewport_ = nullptr; // the list's viewport, whose resizes refit the columns
    std::map<QWidget*, QPointer<QWidget>> openers_; // the window active when a tool window came
    QPointer<QWidget> focusTarget_;                 // where ReturnFocus goes; none: the list
    QTimer* focusTimer_ = nullptr;
};

} // namespace veltrane

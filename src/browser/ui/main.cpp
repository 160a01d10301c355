#include "browser/ui/main.h"

#include "browser/FileOp.h"
#include "browser/MainLogic.h"
#include "components/ui/AniSymbl.h"
#include "components/ui/MinMax.h"
#include "media/Media.h"
#include "components/ui/MultiLst.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/Profile.h"
#include "platform/SystemDirs.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace veltrane {

namespace {

QString Q(const std::string& Bytes) { return QString::fromStdString(Bytes); }

// Busy cursor for one scope, restored on every exit path.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A small painted glyph for buttons whose theme icon is missing.
QIcon GlyphIcon(const QString& Text, const QColor& Color) {
    QPixmap pix(24, 24);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Color.darker(150), 1));
    p.setBrush(Color.lighter(170));
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(Text.size() > 1 ? 10 : 16);
    p.setFont(f);
    p.setPen(Color.darker(200));
    p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, Text);
    return QIcon(pix);
}

// The desktop's icon when the theme has one, else the fallback.
QIcon ThemeIcon(std::initializer_list<const char*> Names, const QIcon& Fallback) {
    for (const char* name : Names) {
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull() && !icon.pixmap(24, 24).isNull()) return icon;
    }
    return Fallback;
}

QIcon StdIcon(QStyle::StandardPixmap Pixmap) { return QApplication::style()->standardIcon(Pixmap); }

} // namespace

TMainForm::TMainForm(TMainServices Services, QWidget* Parent)
    : QMainWindow(Parent), services_(std::move(Services)) {
    setObjectName("MainForm");
    // Without a desktop theme the bundled Adwaita icons still give every button a picture.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor")
        QIcon::setThemeName("Adwaita");
    RestoreMedia();
    CreateControls();
    FormCreate();
}

// The stores write their files to the temporary directory; a store that cannot is left
// without a file, and what needs it does without.
void TMainForm::RestoreMedia() {
    const struct {
        TFileSource& Store;
        const char* Extension;
        std::string_view (*Data)();
    } stores[] = {{FileSourceBackImage, ".bmp", &media::BackImageFileData},
                  {FileSourceSearchFiles, ".Avi", &media::SearchFilesFileData},
                  {FileSourceSoundFile, ".mod", &media::SoundFileFileData}};
    for (const auto& s : stores) {
        s.Store.SetExtension(s.Extension);
        s.Store.SetCompress(true);
        try {
            s.Store.ReadFileData(s.Data());
        } catch (const std::exception&) {
        }
    }
}

TMainForm::~TMainForm() = default;

std::string TMainForm::SettingsFileName() const {
    std::string dir = StartDir.empty() ? std::string(".") : StartDir;
    if (dir.back() != '/') dir += '/';
    return dir + "Veltrane.ini";
}

// --- Layout -------------------------------------------------------------------------------

void TMainForm::CreateControls() {
    setWindowTitle("Veltrane v 2.0");
    setWindowFlags((windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint) &
                   ~Qt::WindowMaximizeButtonHint);
    resize(772, 577);

    CreateToolbars();

    central_ = new QWidget(this);
    central_->setObjectName("ClientArea");
    setCentralWidget(central_);

    BackImage = new QLabel(central_);
    BackImage->setObjectName("BackImage");
    BackImage->setScaledContents(true);
    BackImage->lower();

    MultiListMP3 = new TMultiList(central_);
    MultiListMP3->setObjectName("MultiListMP3");
    MultiListMP3->SetItems(&FileList);
    ConfigureMainFileList(*MultiListMP3);
    MultiListMP3->installEventFilter(this);
    connect(MultiListMP3, &TMultiList::Click, this, &TMainForm::MultiListMP3Click);
    connect(MultiListMP3, &TMultiList::SelectionChanged, this, &TMainForm::MultiListMP3Click);
    connect(MultiListMP3, &TMultiList::DblClick, this, &TMainForm::MultiListMP3DblClick);
    connect(MultiListMP3, &TMultiList::KeyDown, this, &TMainForm::MultiListMP3KeyDown);
    connect(MultiListMP3, &TMultiList::OnListHeaderClick, this,
            &TMainForm::MultiListMP3ListHeaderClick);
    CreatePopupMenu();

    PanelSearching = new QFrame(central_);
    PanelSearching->setObjectName("PanelSearching");
    PanelSearching->setFrameShape(QFrame::Panel);
    PanelSearching->setFrameShadow(QFrame::Raised);
    PanelSearching->setAutoFillBackground(true);
    auto* searchLayout = new QVBoxLayout(PanelSearching);
    auto* labelSearching = new QLabel("searching for all MP3's from:", PanelSearching);
    LabelSearchFrom = new QLabel(PanelSearching);
    LabelSearchFrom->setObjectName("LabelSearchFrom");
    AnimatedSymbol = new TAnimatedSymbol(PanelSearching);
    AnimatedSymbol->setObjectName("AnimatedSymbol");
    AnimatedSymbol->SetAutoPlay(false);
    AnimatedSymbol->hide();
    searchLayout->addWidget(labelSearching);
    searchLayout->addWidget(LabelSearchFrom);
    searchLayout->addWidget(AnimatedSymbol, 0, Qt::AlignHCenter);
    PanelSearching->resize(320, 100);
    PanelSearching->hide();

    MemoStyles = new QPlainTextEdit(central_);
    MemoStyles->setObjectName("MemoStyles");
    MemoStyles->setReadOnly(true);
    QStringList genres;
    for (const std::string& g : GenreTable()) genres << Q(g);
    MemoStyles->setPlainText(genres.join('\n'));
    MemoStyles->hide();

    StatusPanel0 = new QLabel(this);
    StatusPanel1 = new QLabel(this);
    StatusPanel2 = new QLabel(this);
    StatusPanel0->setObjectName("StatusPanel0");
    StatusPanel1->setObjectName("StatusPanel1");
    StatusPanel2->setObjectName("StatusPanel2");
    StatusPanel0->setMinimumWidth(130);
    StatusPanel1->setMinimumWidth(130);
    statusBar()->setObjectName("StatusBar");
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1);
    statusBar()->addWidget(StatusPanel2, 1);

    // Configured before it attaches, so the window never sees the default limits.
    MinMax1 = new TMinMax();
    MinMax1->setParent(this);
    MinMax1->setObjectName("MinMax1");
    MinMax1->MinTrackSize = {770, 565};
    MinMax1->MaxTrackSize = {770, 565};
    MinMax1->SetOptions(opAllowResize);
    MinMax1->SetParentWindow(this);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QToolButton* TMainForm::AddButton(QToolBar* Bar, const char* Name, const QString& Hint,
                                  const QIcon& Icon, void (TMainForm::*Handler)(),
                                  bool Checkable) {
    auto* action = new QAction(Icon, Hint, this);
    action->setObjectName(QString::fromLatin1(Name) + "Action");
    action->setStatusTip(Hint);
    action->setCheckable(Checkable);
    Bar->addAction(action);
    auto* button = qobject_cast<QToolButton*>(Bar->widgetForAction(action));
    button->setObjectName(QString::fromLatin1(Name));
    button->setStatusTip(Hint);
    button->setAutoRaise(true);
    button->installEventFilter(this);
    hintControls_.push_back(button);
    // A checkable button shows the state its command sets, not the click's own toggle.
    connect(action, &QAction::triggered, this, [this, Handler, action, Checkable] {
        const bool before = !action->isChecked();
        if (Checkable) action->setChecked(before);
        (this->*Handler)();
    });
    return button;
}

void TMainForm::CreateToolbars() {
    auto makeBar = [this](const char* Title) {
        auto* bar = new QToolBar(QString::fromLatin1(Title), this);
        bar->setObjectName(QString::fromLatin1(Title));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setIconSize(QSize(22, 22));
        bar->toggleViewAction()->setEnabled(false);
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    setContextMenuPolicy(Qt::NoContextMenu);
    ToolBarDirectory = makeBar("Directory");
    ToolBarEditTools = makeBar("Edit tools");
    ToolBarMisc = makeBar("Misc");

    ToolbarButtonShowDir = AddButton(
        ToolBarDirectory, "ToolbarButtonShowDir", "Show/hide change directory window",
        ThemeIcon({"folder-open", "folder"}, StdIcon(QStyle::SP_DirOpenIcon)),
        &TMainForm::ToolbarButtonShowDirClick, true);
    EditDockCurrentDir = new QLineEdit(ToolBarDirectory);
    EditDockCurrentDir->setObjectName("EditDockCurrentDir");
    EditDockCurrentDir->setFixedWidth(200);
    EditDockCurrentDir->setStatusTip("Current directory");
    EditDockCurrentDir->installEventFilter(this);
    hintControls_.push_back(EditDockCurrentDir);
    ToolBarDirectory->addWidget(EditDockCurrentDir);

    QToolBar* e = ToolBarEditTools;
    ToolbarButton97Refresh =
        AddButton(e, "ToolbarButton97Refresh", "Refresh (F5)",
                  ThemeIcon({"view-refresh"}, StdIcon(QStyle::SP_BrowserReload)),
                  &TMainForm::ToolbarButton97RefreshClick);
    ToolbarButton97Select = AddButton(e, "ToolbarButton97Select", "Select file(s) (+)",
                                      ThemeIcon({"list-add"}, GlyphIcon("+", QColor(40, 140, 40))),
                                      &TMainForm::ToolbarButton97SelectClick);
    ToolbarButton97Deselect =
        AddButton(e, "ToolbarButton97Deselect", "Deselect file(s) (-)",
                  ThemeIcon({"list-remove"}, GlyphIcon(QString(QChar(0x2212)), QColor(170, 40, 40))),
                  &TMainForm::ToolbarButton97DeselectClick);
    ToolbarButton97EditMore =
        AddButton(e, "ToolbarButton97EditMore", "Edit selected mp3's",
                  ThemeIcon({"document-properties", "accessories-text-editor"},
                            StdIcon(QStyle::SP_FileDialogDetailedView)),
                  &TMainForm::ToolbarButton97EditMoreClick);
    ToolbarButton97RenameFile =
        AddButton(e, "ToolbarButton97RenameFile", "Rename selected file (F2)",
                  ThemeIcon({"edit-find-replace", "insert-text"}, GlyphIcon("Ab", QColor(60, 90, 170))),
                  &TMainForm::ToolbarButton97RenameFileClick);
    ToolbarButton97PlayListEditor =
        AddButton(e, "ToolbarButton97PlayListEditor", "Playlist Editor",
                  ThemeIcon({"media-playlist-repeat", "view-list"},
                            StdIcon(QStyle::SP_FileDialogListView)),
                  &TMainForm::ToolbarButton97PlayListEditorClick);
    ToolbarButton97ReadTags =
        AddButton(e, "ToolbarButton97ReadTags", "Read ID3 tags from filename",
                  ThemeIcon({"insert-text", "format-text-bold"}, GlyphIcon("ID3", QColor(150, 110, 30))),
                  &TMainForm::ToolbarButton97ReadTagsClick);
    ToolbarButton97Play = AddButton(e, "ToolbarButton97Play", "Play selected MP3 (Ctrl-Enter)",
                                    ThemeIcon({"media-playback-start"}, StdIcon(QStyle::SP_MediaPlay)),
                                    &TMainForm::ToolbarButton97PlayClick);
    ToolbarButton97Recursive =
        AddButton(e, "ToolbarButton97Recursive", "Subdir mode",
                  ThemeIcon({"go-bottom", "folder-visiting"}, StdIcon(QStyle::SP_FileDialogToParent)),
                  &TMainForm::ToolbarButton97RecursiveClick, true);
    ToolbarButton97DeleteSelected =
        AddButton(e, "ToolbarButton97DeleteSelected", "Delete selected files (Del)",
                  ThemeIcon({"edit-delete", "user-trash"}, StdIcon(QStyle::SP_TrashIcon)),
                  &TMainForm::ToolbarButton97DeleteSelectedClick);

    QToolBar* m = ToolBarMisc;
    ToolbarButton97Help = AddButton(m, "ToolbarButton97Help", "Show help",
                                    ThemeIcon({"help-browser", "help-contents"},
                                              StdIcon(QStyle::SP_DialogHelpButton)),
                                    &TMainForm::ToolbarButton97HelpClick, true);
    ToolbarButton97About = AddButton(m, "ToolbarButton97About", "About this program",
                                     ThemeIcon({"help-about"}, StdIcon(QStyle::SP_MessageBoxInformation)),
                                     &TMainForm::ToolbarButton97AboutClick);
    ToolbarButton97EditPreferences =
        AddButton(m, "ToolbarButton97EditPreferences", "Preferences",
                  ThemeIcon({"preferences-system", "preferences-desktop"},
                            StdIcon(QStyle::SP_FileDialogInfoView)),
                  &TMainForm::ToolbarButton97EditPreferencesClick);
    ToolbarButtonQuit = AddButton(m, "ToolbarButtonQuit", "Close the program",
                                  ThemeIcon({"application-exit", "window-close"},
                                            StdIcon(QStyle::SP_DialogCloseButton)),
                                  &TMainForm::ToolbarButtonQuitClick);
    // The one button that shows its hint in a balloon as well.
    ToolbarButton97PlayListEditor->setToolTip("Playlist Editor");
}

void TMainForm::CreatePopupMenu() {
    PopupMenuMultiListMP3 = new QMenu(this);
    PopupMenuMultiListMP3->setObjectName("PopupMenuMultiListMP3");
    auto add = [this](const char* Name, const char* Caption, void (TMainForm::*Handler)()) {
        QAction* a = PopupMenuMultiListMP3->addAction(QString::fromLatin1(Caption));
        a->setObjectName(QString::fromLatin1(Name));
        connect(a, &QAction::triggered, this, Handler);
        return a;
    };
    Refresh = add("Refresh", "Refresh", &TMainForm::ToolbarButton97RefreshClick);
    Selectfiles = add("Selectfiles", "Select files", &TMainForm::ToolbarButton97SelectClick);
    Deselectfiles =
        add("Deselectfiles", "Deselect files", &TMainForm::ToolbarButton97DeselectClick);
    EditselectedMP3s =
        add("EditselectedMP3s", "Edit selected MP3's", &TMainForm::ToolbarButton97EditMoreClick);
    Renameselectedfiles = add("Renameselectedfiles", "Rename selected files",
                              &TMainForm::ToolbarButton97RenameFileClick);
    Playselectedfile =
        add("Playselectedfile", "Play selected file", &TMainForm::ToolbarButton97PlayClick);
    Deleteselectedfiles = add("Deleteselectedfiles", "Delete selected files",
                              &TMainForm::ToolbarButton97DeleteSelectedClick);
    MultiListMP3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MultiListMP3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& Pos) { PopupMenuMultiListMP3->popup(MultiListMP3->mapToGlobal(Pos)); });
}

void TMainForm::LayoutCentral() {
    if (!central_) return;
    BackImage->setGeometry(central_->rect());
    PanelSearching->move(MultiListMP3->geometry().center() - PanelSearching->rect().center());
}

void TMainForm::resizeEvent(QResizeEvent* Event) {
    QMainWindow::resizeEvent(Event);
    LayoutCentral();
}

// --- Start-up -----------------------------------------------------------------------------

void TMainForm::FormCreate() {
    FileList.SetSortColumn(1);
    MultiListMP3->SetColumnSeperator("\t");
    StartDir = services_.StartDirectory.empty() ? platform::CurrentDirectory()
                                                : services_.StartDirectory;
    currentDir_ = StartDir;
    BackImageFileName = FileSourceBackImage.FileName();
    if (!BackImageFileName.empty()) BackImage->setPixmap(QPixmap(Q(BackImageFileName)));

    const std::string ini = SettingsFileName();
    DeleteToRecycleBin =
        platform::GetPrivateProfileInt("Preferences", "DeleteToRecycleBin", 1, ini) != 0;
    DefaultDir = platform::GetPrivateProfileString("Preferences", "DefaultDir", ".", ini);
    DblClickAction = static_cast<std::uint8_t>(
        platform::GetPrivateProfileInt("Preferences", "DblClickActionIndex", 0, ini));

    FindMP3.Filter = "*.mp3";
    FindMP3.BeforeExecute = [this](TFindFile&) { FindMP3BeforeExecute(); };
    FindMP3.AfterExecute = [this](TFindFile&) { FindMP3AfterExecute(); };
}

void TMainForm::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (!shown_) {
        shown_ = true;
        // The list keeps the place it gets at the first showing; only the picture follows
        // later resizes.
        MultiListMP3->setGeometry(central_->rect().adjusted(8, 6, -11, -6));
        LayoutCentral();
        QTimer::singleShot(0, this, &TMainForm::FormShow);
    }
}

void TMainForm::FormShow() {
    const bool canPlay = !MP3PlayerCommand.empty();
    ToolbarButton97Play->setEnabled(canPlay);
    Playselectedfile->setEnabled(canPlay);
    std::string dir = DefaultDir;
    if (dir != "." && platform::IsDirectory(dir)) {
        ChangeDirectory(dir);
    } else if (dir == "." && platform::IsDirectory(StartDir)) {
        // "." names the start directory; the tree holds full paths, so it always differs.
        ChangeDirectory(StartDir);
    } else {
        EditDockCurrentDir->setText(Q(currentDir_));
    }
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    FormClose();
    QMainWindow::closeEvent(Event);
}

void TMainForm::FormClose() { FileList.RowBuffer().clear(); }

void TMainForm::ChangeDirectory(const std::string& Dir) {
    currentDir_ = Dir;
    RunSearch();
}

void TMainForm::RunSearch() { FindMP3.Execute(); }

// --- Hints --------------------------------------------------------------------------------

bool TMainForm::event(QEvent* Event) {
    if (Event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    }
    return QMainWindow::event(Event);
}

void TMainForm::DisplayHint(const QString& Hint) { StatusPanel2->setText(Hint); }

void TMainForm::ControlMouseMove(QWidget*) {}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    auto* widget = qobject_cast<QWidget*>(Watched);
    switch (Event->type()) {
    case QEvent::ToolTip:
        // Balloons only for the playlist-editor button.
        if (widget && widget != ToolbarButton97PlayListEditor &&
            std::find(hintControls_.begin(), hintControls_.end(), widget) != hintControls_.end())
            return true;
        break;
    case QEvent::MouseMove:
    case QEvent::Enter:
        if (widget && std::find(hintControls_.begin(), hintControls_.end(), widget) !=
                          hintControls_.end())
            ControlMouseMove(widget);
        break;
    case QEvent::FocusIn:
        if (Watched == EditDockCurrentDir)
            QTimer::singleShot(0, this, &TMainForm::EditDockCurrentDirEnter);
        break;
    case QEvent::KeyPress:
        if (Watched == EditDockCurrentDir) {
            const int key = static_cast<QKeyEvent*>(Event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                EditDockCurrentDirKeyDown(key);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::EditDockCurrentDirEnter() { EditDockCurrentDir->selectAll(); }

void TMainForm::EditDockCurrentDirKeyDown(int Key) {
    if (Key != Qt::Key_Return && Key != Qt::Key_Enter) return;
    const std::string typed = EditDockCurrentDir->text().toStdString();
    if (auto dir = platform::ResolveTypedDirectory(typed)) {
        ChangeDirectory(*dir);
    } else {
        EditDockCurrentDir->setText(Q(currentDir_));
    }
    EditDockCurrentDir->deselect();
    EditDockCurrentDir->end(false);
}

// --- The search and the list --------------------------------------------------------------

void TMainForm::FindMP3BeforeExecute() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LabelSearchFrom->setText(Q(currentDir_));
    try {
        AnimatedSymbol->SetAVIName(FileSourceSearchFiles.FileName());
        AnimatedSymbol->show();
        AnimatedSymbol->SetState(acmPlaying);
    } catch (const std::exception&) {
        // A clip that cannot play leaves the panel without its animation.
        AnimatedSymbol->hide();
    }
    LayoutCentral();
    PanelSearching->show();
    PanelSearching->raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    FindMP3.Directory = currentDir_;
    FindMP3.Recurse = SubdirMode;
}

void TMainForm::FindMP3AfterExecute() {
    QApplication::restoreOverrideCursor();
    AnimatedSymbol->SetState(acmClosed);
    AnimatedSymbol->hide();
    PanelSearching->hide();
    UpdateList();
}

void TMainForm::UpdateList() {
    BusyCursor busy;
    EditDockCurrentDir->setText(Q(currentDir_));
    try {
        FileList.UpdateList(FindMP3.Files, currentDir_, nullptr);
    } catch (const EInOutError& e) {
        RefreshList();
        ReportError(e.what());
        return;
    }
    RefreshList();
    if (FindMP3.Files.empty()) {
        StatusPanel0->clear();
        StatusPanel1->clear();
    } else {
        UpdateFooter();
    }
    emit ListFilled();
}

void TMainForm::SortList() {
    BusyCursor busy;
    FileList.SortList(nullptr);
    RefreshList();
}

void TMainForm::MultiListMP3ListHeaderClick(int Section) {
    BusyCursor busy;
    FileList.MultiListMP3ListHeaderClick(Section, nullptr);
    RefreshList();
}

void TMainForm::SingleUpdate(const TMP3Tag& Tag) {
    FileList.SingleUpdate(Tag);
    RefreshList();
}

void TMainForm::RefreshList() { MultiListMP3->viewport()->update(); }

// --- Commands -----------------------------------------------------------------------------

void TMainForm::ToolbarButton97RefreshClick() { RunSearch(); }
void TMainForm::ToolbarButton97SelectClick() {}
void TMainForm::ToolbarButton97DeselectClick() {}
void TMainForm::ToolbarButton97EditMoreClick() {}
void TMainForm::ToolbarButton97RenameFileClick() {}
void TMainForm::ToolbarButton97ReadTagsClick() {}
void TMainForm::ToolbarButton97PlayListEditorClick() {}
void TMainForm::ToolbarButton97PlayClick() {}
void TMainForm::EditSelectedFile() {}

void TMainForm::ToolbarButton97DeleteSelectedClick() {}

void TMainForm::ToolbarButton97RecursiveClick() {
    SubdirMode = !SubdirMode;
    ToolbarButton97Recursive->setChecked(SubdirMode);
    RunSearch();
}

void TMainForm::ToolbarButtonShowDirClick() {}
void TMainForm::ToolbarButton97HelpClick() {}
void TMainForm::ToolbarButton97AboutClick() {}
void TMainForm::ToolbarButton97EditPreferencesClick() {}
void TMainForm::ToolbarButtonQuitClick() { close(); }

void TMainForm::MultiListMP3Click() {
    if (FilesInThisDir()) UpdateFooter();
}

void TMainForm::MultiListMP3DblClick() {}

void TMainForm::MultiListMP3KeyDown(int& Key, Qt::KeyboardModifiers Shift) {
    (void)Key;
    (void)Shift;
}

void TMainForm::SelectAllFiles() {}

void TMainForm::UpdateFooter() {
    std::size_t count = 0;
    for (std::size_t i = 1; i < FileList.Count(); ++i)
        if (FileList.Selected(i) && !FileList.Row(i).Path.empty()) ++count;
    std::uint64_t size = 0;
    try {
        size = SelectedSize(FileList);
    } catch (const EInOutError& e) {
        ReportError(e.what());
        return;
    }
    StatusPanel0->setText(count == 1 ? QString("1 file selected")
                                     : QString("%1 files selected").arg(count));
    StatusPanel1->setText(QLocale().toString(static_cast<double>(size) * 0.000001, 'f', 2) +
                          " megabyte");
}

void TMainForm::ReportError(const std::string& Text) {
    if (services_.ShowError) {
        services_.ShowError(Text);
        return;
    }
    QMessageBox::critical(this, QApplication::applicationName(), Q(Text));
}

} // namespace veltrane

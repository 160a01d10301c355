#include "browser/ui/main.h"
#include <QShortcut>
#include <QSignalBlocker>
#include "browser/ui/MainPlaylistHost.h"
#include "browser/ui/DropOpen.h"

#include "components/ui/DisplayText.h"

#include "browser/CodePageChoice.h"
#include "browser/ErrorText.h"
#include "browser/FileOp.h"
#include "browser/MainCommands.h"
#include "browser/MainLogic.h"
#include "browser/PlayerCommands.h"
#include "browser/Settings.h"
#include "browser/VanishedFiles.h"
#include "browser/ui/ToolbarIcons.h"
#include "components/RunFiles.h"
#include "components/ui/About.h"
#include "components/ui/AniSymbl.h"
#include "components/ui/MinMax.h"
#include "components/ui/MultiLst.h"
#include "components/ui/marsCap.h"
#include "components/ui/msgbox.h"
#include "editing/PreferencesLogic.h"
#include "editing/ui/ChangeDir.h"
#include "editing/ui/ConvertCodePage.h"
#include "editing/ui/DeriveFormat.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"
#include "editing/ui/EditingHost.h"
#include "editing/ui/GetTagFromFileName.h"
#include "editing/ui/NumberTracks.h"
#include "editing/ui/FillFromId3v2Form.h"
#include "editing/ui/TagTableActions.h"
#include "editing/ui/TagActionsForm.h"
#include "editing/ui/Preferences.h"
#include "editing/ui/Rename.h"
#include "editing/JournaledSteps.h"
#include "editing/ui/UndoAction.h"
#include "editing/ui/deSelect.h"
#include "editing/ui/help.h"
#include "id3v2/Id3v2Reader.h"
#include "media/Media.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/PeakMeter.h"
#include "platform/SystemDirs.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFocusEvent>
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

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

namespace veltrane {

namespace {

QString Q(const std::string& Bytes) {
    return DisplayText(Bytes);
}

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
        if (!icon.isNull() && !icon.pixmap(24, 24).isNull())
            return icon;
    }
    return Fallback;
}

QIcon StdIcon(QStyle::StandardPixmap Pixmap) {
    return QApplication::style()->standardIcon(Pixmap);
}

} // namespace

// The main window as the editing and preferences windows see it.
class TMainHost : public IEditingHost, public IPreferencesHost {
  public:
    explicit TMainHost(TMainForm& Form) : form_(Form) {}

    TFileList& FileList() override { return form_.FileList; }
    void ListChanged() override {
        form_.RefreshList();
        form_.UpdateFooter();
        form_.ReportSyncV2();
    }
    void ShowFocusedRow() override {
        if (form_.FileList.ItemIndex() >= 1)
            form_.MultiListMP3->MakeVisible(static_cast<std::size_t>(form_.FileList.ItemIndex()));
    }
    void SetLockDisplay(bool On) override { form_.MultiListMP3->SetLockDisplay(On); }
    IProgress* ProgressWindow() override { return &form_.ProgressWindow; }
    void RunSearch() override { form_.RunSearch(); }
    std::size_t RememberedRow() const override { return form_.RememberedRow; }
    void ShowError(const std::string& Text) override { form_.ReportError(Text); }
    void ShowNotice(const std::string& Text) override { form_.ReportNotice(Text); }

    std::string SettingsFileName() const override { return form_.SettingsFileName(); }
    std::string BackImageFileName() const override { return form_.BackImageFileName; }
    TSettings CurrentSettings() const override {
        TSettings s;
        s.DeleteToRecycleBin = form_.DeleteToRecycleBin;
        s.DefaultDir = form_.DefaultDir;
        s.DblClickAction = form_.DblClickAction;
        return s;
    }
    void SetDeleteToRecycleBin(bool Value) override { form_.DeleteToRecycleBin = Value; }
    void SetDefaultDir(const std::string& Value) override { form_.DefaultDir = Value; }
    void SetDblClickAction(std::uint8_t Value) override { form_.DblClickAction = Value; }
    TLayoutPreferences LayoutPreferences() const override {
        return {form_.Layout().KeepLayout, form_.Layout().StretchList};
    }
    void SetLayoutPreferences(const TLayoutPreferences& Value) override {
        form_.SetLayoutPreferences(Value);
    }
    TMorePreferences MorePreferences() const override {
        TMorePreferences more = form_.MorePrefs;
        const TMorePreferences stored = ReadMorePreferences(form_.SettingsFileName());
        more.PreviewTagsFromNames = stored.PreviewTagsFromNames;
        more.PreviewRenameFromTags = stored.PreviewRenameFromTags;
        more.PreviewImportTags = stored.PreviewImportTags;
        return more;
    }
    void SetMorePreferences(const TMorePreferences& Value) override {
        form_.SetMorePreferences(Value);
    }

  private:
    TMainForm& form_;
};

TMainForm::TMainForm(TMainServices Services, QWidget* Parent)
    : QMainWindow(Parent), FileOperation(*Services.FileOperations),
      PlayFile(*Services.Processes, *Services.Associations), ProgressWindow(this),
      services_(std::move(Services)), host_(std::make_unique<TMainHost>(*this)) {
    setObjectName("MainForm");
    // Without a desktop theme the bundled Adwaita icons still give every button a picture.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor")
        QIcon::setThemeName("Adwaita");
    RestoreMedia();
    CreateControls();
    FormCreate();
    new TDropOpener(*this);
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
            if (services_.RunFiles)
                services_.RunFiles->Add(s.Store.FileName());
        } catch (const std::exception&) {
        }
    }
}

// The child windows and the list use members of this window (the host, the rows): they go
// first, before the members they use.
TMainForm::~TMainForm() {
    if (ActiveSyncV2() == &SyncV2)
        SetSyncV2(nullptr);
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
    MultiListMP3->SetItems(nullptr);
    listViewport_ = nullptr;
    delete MultiListMP3;
}

std::string TMainForm::SettingsFileName() const {
    return settingsFiles_.Write.empty() ? SettingsFilePath(StartDir) : settingsFiles_.Write;
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
    listViewport_ = MultiListMP3->viewport();
    listViewport_->installEventFilter(this);
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
    auto* labelSearching = new QLabel(tr("searching for all MP3's from:"), PanelSearching);
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
    for (const std::string& g : GenreTable())
        genres << Q(g);
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
    StatusPanelFilter = new QLabel(this);
    StatusPanelFilter->setObjectName("StatusPanelFilter");
    StatusPanelFilter->hide();
    statusBar()->addPermanentWidget(StatusPanelFilter);
    StatusPanelLength = new QLabel(this);
    StatusPanelLength->setObjectName("StatusPanelLength");
    StatusPanelLength->setMinimumWidth(80);
    StatusPanelLength->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->insertWidget(2, StatusPanelLength);
    StatusPanelLength->hide();

    // Configured before it attaches, so the window never sees the default limits.
    MinMax1 = new TMinMax();
    MinMax1->setParent(this);
    MinMax1->setObjectName("MinMax1");
    MinMax1->MinTrackSize = {770, 565};
    MinMax1->MaxTrackSize = {770, 565};
    MinMax1->SetOptions(opAllowResize);
    MinMax1->SetParentWindow(this);

    // The title bar is the program's own: navy to purple, "Veltrane" and the caption.
    MarsCaption = new TMarsCaption(this);
    MarsCaption->SetActiveBeginColor(8388608);
    MarsCaption->SetActiveEndColor(8388736);
    MarsCaption->SetActiveFontColor(16777215);
    MarsCaption->SetInactiveBeginColor(8421504);
    MarsCaption->SetInactiveEndColor(13750737);
    MarsCaption->SetInactiveFontColor(10921638);
    MarsCaption->SetApplicationName("Veltrane");
    MarsCaption->SetApplicationNameFont(TMarsCaption::ComicFont(12, true));
    MarsCaption->SetCaptionFont(TMarsCaption::ComicFont(13, false));
    MarsCaption->SetNumColors(256);
    MarsCaption->SetCaption(" v 2.0");

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QToolButton* TMainForm::AddButton(QToolBar* Bar, const char* Name, TToolbarControl Control,
                                  const QIcon& Icon, void (TMainForm::*Handler)(), bool Checkable) {
    const QString Hint = Q(ControlHint(Control));
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
    controlOf_[button] = Control;
    // A checkable button shows the state its command sets, not the click's own toggle.
    connect(action, &QAction::triggered, this, [this, Handler, action, Checkable] {
        const bool before = !action->isChecked();
        if (Checkable)
            action->setChecked(before);
        (this->*Handler)();
    });
    return button;
}

void TMainForm::CreateToolbars() {
    auto makeBar = [this](const char* Name, const QString& Title) {
        auto* bar = new QToolBar(Title, this);
        bar->setObjectName(QString::fromLatin1(Name));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setIconSize(QSize(22, 22));
        bar->toggleViewAction()->setEnabled(false);
        // Without drag handles the three bars would run together; a frame keeps them apart.
        bar->setStyleSheet("QToolBar { border: 1px solid palette(mid); border-radius: 3px;"
                           " margin: 1px 2px; padding: 1px; }");
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    setContextMenuPolicy(Qt::NoContextMenu);
    ToolBarDirectory = makeBar("Directory", tr("Directory"));
    ToolBarEditTools = makeBar("Edit tools", tr("Edit tools"));
    ToolBarMisc = makeBar("Misc", tr("Misc"));

    ToolbarButtonShowDir =
        AddButton(ToolBarDirectory, "ToolbarButtonShowDir", TToolbarControl::ShowDir,
                  ThemeIcon({"folder-open", "folder"}, StdIcon(QStyle::SP_DirOpenIcon)),
                  &TMainForm::ToolbarButtonShowDirClick, true);
    EditDockCurrentDir = new QLineEdit(ToolBarDirectory);
    EditDockCurrentDir->setObjectName("EditDockCurrentDir");
    EditDockCurrentDir->setFixedWidth(200);
    EditDockCurrentDir->setStatusTip(Q(ControlHint(TToolbarControl::EditDockCurrentDir)));
    EditDockCurrentDir->installEventFilter(this);
    hintControls_.push_back(EditDockCurrentDir);
    controlOf_[EditDockCurrentDir] = TToolbarControl::EditDockCurrentDir;
    ToolBarDirectory->addWidget(EditDockCurrentDir);

    QToolBar* e = ToolBarEditTools;
    ToolbarButton97Refresh =
        AddButton(e, "ToolbarButton97Refresh", TToolbarControl::Refresh,
                  ThemeIcon({"view-refresh"}, StdIcon(QStyle::SP_BrowserReload)),
                  &TMainForm::ToolbarButton97RefreshClick);
    ToolbarButton97Select = AddButton(e, "ToolbarButton97Select", TToolbarControl::Select,
                                      ThemeIcon({"list-add"}, GlyphIcon("+", QColor(40, 140, 40))),
                                      &TMainForm::ToolbarButton97SelectClick);
    ToolbarButton97Deselect = AddButton(
        e, "ToolbarButton97Deselect", TToolbarControl::Deselect,
        ThemeIcon({"list-remove"}, GlyphIcon(QString(QChar(0x2212)), QColor(170, 40, 40))),
        &TMainForm::ToolbarButton97DeselectClick);
    ToolbarButton97EditMore =
        AddButton(e, "ToolbarButton97EditMore", TToolbarControl::EditMore,
                  ThemeIcon({"document-properties", "accessories-text-editor"},
                            StdIcon(QStyle::SP_FileDialogDetailedView)),
                  &TMainForm::ToolbarButton97EditMoreClick);
    ToolbarButton97RenameFile = AddButton(
        e, "ToolbarButton97RenameFile", TToolbarControl::RenameFile,
        ThemeIcon({"edit-find-replace", "insert-text"}, GlyphIcon("Ab", QColor(60, 90, 170))),
        &TMainForm::ToolbarButton97RenameFileClick);
    ToolbarButton97PlayListEditor = AddButton(
        e, "ToolbarButton97PlayListEditor", TToolbarControl::PlayListEditor,
        ThemeIcon({"media-playlist-repeat", "view-list"}, StdIcon(QStyle::SP_FileDialogListView)),
        &TMainForm::ToolbarButton97PlayListEditorClick);
    ToolbarButton97ReadTags = AddButton(
        e, "ToolbarButton97ReadTags", TToolbarControl::ReadTags,
        ThemeIcon({"insert-text", "format-text-bold"}, GlyphIcon("ID3", QColor(150, 110, 30))),
        &TMainForm::ToolbarButton97ReadTagsClick);
    ToolbarButton97Play =
        AddButton(e, "ToolbarButton97Play", TToolbarControl::Play,
                  ThemeIcon({"media-playback-start"}, StdIcon(QStyle::SP_MediaPlay)),
                  &TMainForm::ToolbarButton97PlayClick);
    ToolbarButton97Recursive = AddButton(
        e, "ToolbarButton97Recursive", TToolbarControl::Recursive,
        ThemeIcon({"go-bottom", "folder-visiting"}, StdIcon(QStyle::SP_FileDialogToParent)),
        &TMainForm::ToolbarButton97RecursiveClick, true);
    ToolbarButton97DeleteSelected =
        AddButton(e, "ToolbarButton97DeleteSelected", TToolbarControl::DeleteSelected,
                  ThemeIcon({"edit-delete", "user-trash"}, StdIcon(QStyle::SP_TrashIcon)),
                  &TMainForm::ToolbarButton97DeleteSelectedClick);

    QToolBar* m = ToolBarMisc;
    ToolbarButton97Help = AddButton(
        m, "ToolbarButton97Help", TToolbarControl::Help,
        ThemeIcon({"help-browser", "help-contents"}, StdIcon(QStyle::SP_DialogHelpButton)),
        &TMainForm::ToolbarButton97HelpClick, true);
    ToolbarButton97About =
        AddButton(m, "ToolbarButton97About", TToolbarControl::About,
                  ThemeIcon({"help-about"}, StdIcon(QStyle::SP_MessageBoxInformation)),
                  &TMainForm::ToolbarButton97AboutClick);
    ToolbarButton97EditPreferences =
        AddButton(m, "ToolbarButton97EditPreferences", TToolbarControl::EditPreferences,
                  ThemeIcon({"preferences-system", "preferences-desktop"},
                            StdIcon(QStyle::SP_FileDialogInfoView)),
                  &TMainForm::ToolbarButton97EditPreferencesClick);
    ToolbarButtonQuit = AddButton(
        m, "ToolbarButtonQuit", TToolbarControl::Quit,
        ThemeIcon({"application-exit", "window-close"}, StdIcon(QStyle::SP_DialogCloseButton)),
        &TMainForm::ToolbarButtonQuitClick);

    // A row of its own: beside the three described bars the box would fold away at the
    // window's first size.
    addToolBarBreak(Qt::TopToolBarArea);
    ToolBarFilter = makeBar("Filter", tr("Filter"));
    ToolBarFilter->addWidget(new QLabel(tr("Filter") + ' ', ToolBarFilter));
    EditFilter = new QLineEdit(ToolBarFilter);
    EditFilter->setObjectName("EditFilter");
    EditFilter->setFixedWidth(160);
    EditFilter->installEventFilter(this);
    ToolBarFilter->addWidget(EditFilter);
    connect(EditFilter, &QLineEdit::textChanged, this, &TMainForm::EditFilterChange);
    auto* focusFilter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(focusFilter, &QShortcut::activated, this, [this] {
        EditFilter->setFocus(Qt::ShortcutFocusReason);
        EditFilter->selectAll();
    });
    // The program's own pictures: coloured when enabled, faint grey when not.
    for (const auto& [control, kind] : controlOf_)
        if (auto* button = qobject_cast<QToolButton*>(control))
            button->defaultAction()->setIcon(ToolbarIcon(kind));
    // The one button that shows its hint in a balloon as well.
    ToolbarButton97PlayListEditor->setToolTip(Q(ControlHint(TToolbarControl::PlayListEditor)));
}

void TMainForm::CreatePopupMenu() {
    PopupMenuMultiListMP3 = new QMenu(this);
    PopupMenuMultiListMP3->setObjectName("PopupMenuMultiListMP3");
    auto add = [this](const char* Name, const QString& Caption, void (TMainForm::*Handler)()) {
        QAction* a = PopupMenuMultiListMP3->addAction(Caption);
        a->setObjectName(QString::fromLatin1(Name));
        connect(a, &QAction::triggered, this, Handler);
        return a;
    };
    Refresh = add("Refresh", tr("Refresh"), &TMainForm::ToolbarButton97RefreshClick);
    Selectfiles = add("Selectfiles", tr("Select files"), &TMainForm::ToolbarButton97SelectClick);
    Deselectfiles =
        add("Deselectfiles", tr("Deselect files"), &TMainForm::ToolbarButton97DeselectClick);
    EditselectedMP3s = add("EditselectedMP3s", tr("Edit selected MP3's"),
                           &TMainForm::ToolbarButton97EditMoreClick);
    Renameselectedfiles = add("Renameselectedfiles", tr("Rename selected files"),
                              &TMainForm::ToolbarButton97RenameFileClick);
    Playselectedfile =
        add("Playselectedfile", tr("Play selected file"), &TMainForm::ToolbarButton97PlayClick);
    Deleteselectedfiles = add("Deleteselectedfiles", tr("Delete selected files"),
                              &TMainForm::ToolbarButton97DeleteSelectedClick);
    Numbertracks = add("Numbertracks", tr("Number tracks..."), &TMainForm::NumbertracksClick);
    AddConvertCodePageEntry(*PopupMenuMultiListMP3, *host_, this);
    AddFillFromId3v2Entry(*PopupMenuMultiListMP3, *host_, this);
    TagTables = new TTagTableActions(*host_, PopupMenuMultiListMP3, nullptr, this);
    AddActionsEntry(*PopupMenuMultiListMP3, *host_, this);
    PopupMenuMultiListMP3->addSeparator();
    auto* undo = new TUndoAction(
        this, PopupMenuMultiListMP3, [this](const std::string& Text) { ReportError(Text); },
        [this] { ToolbarButton97RefreshClick(); });
    auto* redo = new TRedoAction(
        this, PopupMenuMultiListMP3, [this](const std::string& Text) { ReportError(Text); },
        [this] { ToolbarButton97RefreshClick(); });
    // What was taken back stands in the status bar until the next hint.
    undo->ShowDone = redo->ShowDone = [this](const std::string& Text) {
        StatusPanel2->setText(Q(Text));
    };
    Undo = undo;
    Redo = redo;
    MultiListMP3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MultiListMP3, &QWidget::customContextMenuRequested, this, [this](const QPoint& Pos) {
        PopupMenuMultiListMP3->popup(MultiListMP3->mapToGlobal(Pos));
    });
}

void TMainForm::LayoutCentral() {
    if (!central_)
        return;
    BackImage->setGeometry(central_->rect());
    if (shown_)
        MultiListMP3->setGeometry(layout_.StretchList ? central_->rect().adjusted(8, 6, -11, -6)
                                                      : fixedListGeometry_);
    PanelSearching->move(MultiListMP3->geometry().center() - PanelSearching->rect().center());
}

void TMainForm::resizeEvent(QResizeEvent* Event) {
    QMainWindow::resizeEvent(Event);
    LayoutCentral();
}

// --- Start-up -----------------------------------------------------------------------------

void TMainForm::FormCreate() {
    FileList.SetSortColumn(1);
    ApplicationHints();
    MultiListMP3->SetColumnSeperator("\t");
    StartDir =
        services_.StartDirectory.empty() ? platform::CurrentDirectory() : services_.StartDirectory;
    currentDir_ = StartDir;
    BackImageFileName = FileSourceBackImage.FileName();
    if (!BackImageFileName.empty())
        BackImage->setPixmap(QPixmap(QtFilePath(BackImageFileName)));

    settingsFiles_ = LocateSettingsFiles(StartDir, platform::ConfigDirectory());
    const TSettings settings = ReadSettings(settingsFiles_.Read);
    DeleteToRecycleBin = settings.DeleteToRecycleBin;
    DefaultDir = settings.DefaultDir;
    DblClickAction = settings.DblClickAction;
    MorePrefs = ReadMorePreferences(settingsFiles_.Read);
    ApplyShowAudio(MorePrefs.ShowAudio);
    ApplySyncV2();
    FileList.SetId3v2Hint(ReadUnicodeTitles);
    ApplyTagCodePage();
    SetReadOnlyPolicy({MorePrefs.ClearReadOnly, false});
    layout_ = ReadLayout(settingsFiles_.Read, FileList.ColumnCount());
    if (layout_.KeepLayout) {
        FileList.SetSortColumn(layout_.SortColumn);
        SubdirMode = layout_.SubdirMode;
        ToolbarButton97Recursive->setChecked(SubdirMode);
        for (std::size_t i = 0; i < layout_.ColumnWidths.size(); ++i)
            MultiListMP3->SetSectionWidth(static_cast<int>(i), layout_.ColumnWidths[i]);
    }
    UpdateSortArrow();

    const TPlayerCommands players = LookUpPlayerCommands(*services_.Associations);
    MP3PlayerCommand = players.Mp3Player;
    PlaylistPlayerCommand = PlaylistPlayer(players);
    ModPlayerCommand = players.ModPlayer;
    BrowserCommand = players.Browser;

    FileOperation.Operation = foDelete;
    FileOperation.Flags = fofNoConfirmation;
    trashRecorder_ = std::make_unique<TJournaledTrash>();
    FileOperation.TrashRecorder = trashRecorder_.get();
    ProgressWindow.SetCaption(tr("Progress"));
    ProgressWindow.Width = 256;

    FindMP3.Filter = "*.mp3";
    // Found files go straight into the list's compact rows.
    FindMP3.Sink = &FileList.FoundFiles();
    FindMP3.BeforeExecute = [this](TFindFile&) { FindMP3BeforeExecute(); };
    FindMP3.AfterExecute = [this](TFindFile&) { FindMP3AfterExecute(); };
}

void TMainForm::ApplicationHints() {
    helpState_ = THelpState{};
    veltrane::DisplayHint(helpState_, std::string());
}

void TMainForm::CreateWindows() {
    if (FormChangeDir)
        return;
    // The program's fixed order.
    FormChangeDir = new TFormChangeDir(*services_.Volumes, this);
    FormDeSelect = new TFormDeSelect(*host_, this);
    FormEditMP3Tag = new TFormEditMP3Tag(*host_, this);
    if (!services_.PeakMeter)
        ownPeakMeter_ = std::make_unique<platform::PulsePeakMeter>();
    FormAbout = new TFormAbout(
        PlayFile, services_.PeakMeter ? *services_.PeakMeter : *ownPeakMeter_, this);
    FormAbout->ModPlayerCommand = ModPlayerCommand;
    FormAbout->BrowserCommand = BrowserCommand;
    FormAbout->SoundFileName = FileSourceSoundFile.FileName();
    if (services_.ShowError)
        FormAbout->ShowMessage = services_.ShowError;
    FormEditMore = new TFormEditMore(*host_, this);
    FormRename = new TFormRename(*host_, this);
    FormDeriveFormat = new TFormDeriveFormat(*host_, this);
    CreatePlaylistWindowsBeforeHelp(*this, *services_.Volumes);
    FormHelp = new TFormHelp(this);
    CreatePlaylistWindowsAfterHelp(*this);
    FormGetTagFromFilename = new TFormGetTagFromFilename(*host_, this);
    FormPreferences = new TFormPreferences(*host_, this);
    FormNumberTracks = new TFormNumberTracks(*host_, this);
    FormChangeDir->setObjectName("FormChangeDir");
    FormDeSelect->setObjectName("FormDeSelect");
    FormEditMP3Tag->setObjectName("FormEditMP3Tag");
    FormEditMore->setObjectName("FormEditMore");
    FormRename->setObjectName("FormRename");
    FormDeriveFormat->setObjectName("FormDeriveFormat");
    FormHelp->setObjectName("FormHelp");
    FormGetTagFromFilename->setObjectName("FormGetTagFromFilename");
    FormPreferences->setObjectName("FormPreferences");
    {
        std::vector<std::pair<QString, std::string>> choices;
        for (const auto& [caption, value] : TagCodePageChoices(SystemCodePage()))
            choices.emplace_back(Q(caption), value);
        FormPreferences->SetTagCodePages(choices, MorePrefs.TagCodePage);
    }

    LinkDeriveFormat(*FormDeriveFormat, *FormRename, *FormGetTagFromFilename);
    if (services_.ShowError)
        FormPreferences->ShowError = services_.ShowError;
    // The windows sharing the background picture, in the order it is given to them.
    FormPreferences->FormCreate(
        {BackImage, FormPreferences->BackImage, FormRename->BackImage, FormChangeDir->BackImage,
         FormDeriveFormat->BackImage, FormDeSelect->BackImage, FormEditMore->BackImage,
         FormEditMP3Tag->BackImage, FormHelp->BackImage, FormGetTagFromFilename->BackImage,
         PlaylistBackImage(*this, 0), PlaylistBackImage(*this, 1), PlaylistBackImage(*this, 2),
         PlaylistBackImage(*this, 3), FormNumberTracks->BackImage});

    connect(FormChangeDir, &TFormChangeDir::DirectoryListBoxMP3Change, this, &TMainForm::RunSearch);
    connect(FormChangeDir, &TFormChangeDir::VisibilityChanged, ToolbarButtonShowDir,
            &QToolButton::setChecked);
    connect(FormHelp, &TFormHelp::VisibilityChanged, ToolbarButton97Help, &QToolButton::setChecked);
    FormHelp->ShowHelp(helpState_);
    WatchToolWindows();
}

void TMainForm::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (!shown_) {
        shown_ = true;
        // Unless it is stretched, the list keeps the place it gets at the first showing, at
        // the described size; only the picture follows later resizes.
        fixedListGeometry_ = central_->rect().adjusted(8, 6, -11, -6);
        MultiListMP3->setGeometry(fixedListGeometry_);
        ApplyStretch(layout_.StretchList);
        RestoreWindowPlace();
        MultiListMP3->setFocus(Qt::OtherFocusReason);
        QTimer::singleShot(0, this, &TMainForm::FormShow);
    }
}

void TMainForm::FormShow() {
    const bool canPlay = HasPlayer(MP3PlayerCommand);
    ToolbarButton97Play->setEnabled(canPlay);
    Playselectedfile->setEnabled(canPlay);
    if (auto dir = StartupDirectory(CommandLineDir, DefaultDir, StartDir)) {
        ChangeDirectory(*dir);
    } else {
        // The working directory stays current, shown but not searched.
        if (FormChangeDir)
            FormChangeDir->SetDirectory(StartDir, false);
        EditDockCurrentDir->setText(Q(CurrentDirectory()));
    }
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    FormClose();
    // Closing the main window ends the program, its tool windows with it.
    for (QDialog* w : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        w->hide();
    QMainWindow::closeEvent(Event);
}

// The player started last keeps playing after the program ends.
void TMainForm::FormClose() {
    StoreLayout();
    FileList.RowBuffer().clear();
}

// --- Layout kept between runs -----------------------------------------------------------------

void TMainForm::SetLayoutPreferences(const TLayoutPreferences& Value) {
    layout_.KeepLayout = Value.KeepLayout;
    if (Value.StretchList != layout_.StretchList)
        ApplyStretch(Value.StretchList);
}

void TMainForm::SetMorePreferences(const TMorePreferences& Value) {
    const bool audioChanged = Value.ShowAudio != MorePrefs.ShowAudio;
    const bool codePageChanged = Value.TagCodePage != MorePrefs.TagCodePage;
    MorePrefs = Value;
    ApplySyncV2();
    SetReadOnlyPolicy({MorePrefs.ClearReadOnly, false});
    if (codePageChanged)
        ApplyTagCodePage();
    if (!audioChanged && !codePageChanged)
        return;
    if (audioChanged) {
        ApplyShowAudio(Value.ShowAudio);
        UpdateSortArrow();
    }
    RunSearch(); // the rows are read again: with or without the audio, in the new code page
}

void TMainForm::ApplyTagCodePage() {
    bool unknown = false;
    FileList.SetCodec(TagCodecFor(MorePrefs.TagCodePage, &unknown));
    if (unknown)
        StatusPanel2->setText(tr("The tag code page \"%1\" in the settings is unknown; tags are "
                                 "read in Windows-1252.")
                                  .arg(Q(MorePrefs.TagCodePage)));
}

void TMainForm::ApplySyncV2() {
    {
        const std::lock_guard<std::mutex> lock(SyncV2.Mutex);
        SyncV2.Enabled = MorePrefs.SyncID3v2;
        SyncV2.Count = !MorePrefs.SyncID3v2;
        SyncV2.Skipped.clear();
        SyncV2.Holding = 0;
    }
    SetSyncV2(&SyncV2);
}

void TMainForm::ReportSyncV2() {
    std::size_t holding = 0;
    TFileFailures skipped;
    {
        const std::lock_guard<std::mutex> lock(SyncV2.Mutex);
        std::swap(holding, SyncV2.Holding);
        skipped.swap(SyncV2.Skipped);
    }
    if (!SyncV2.Enabled && holding > 0)
        StatusPanel2->setText(tr("%1 files also hold an ID3v2 tag, which players show first; it "
                                 "was not changed (Preferences, More: Keep ID3v2 tags in step).")
                                  .arg(holding));
    if (!skipped.empty()) {
        std::string text = tr("These files' ID3v2 tags were left as they were; their ID3v1 "
                              "tags were written:")
                               .toStdString();
        for (const TFileFailure& f : skipped)
            text += "\n" + f.Path + ": " + f.Error;
        ReportError(text);
    }
}

void TMainForm::ApplyShowAudio(bool On) {
    FileList.SetShowAudio(On);
    ShowMainFileListAudio(*MultiListMP3, On);
    StatusPanelLength->setVisible(On);
    FitListColumns();
}

void TMainForm::FitListColumns() {
    std::vector<int> now;
    for (int i = 0; i < kFileListColumnCount; ++i)
        now.push_back(MultiListMP3->SectionWidth(i));
    // A width the user dragged (or a kept layout) becomes the base that stretching adds to.
    if (columnBase_.empty() || !std::equal(now.begin(), now.begin() + 7, columnsSet_.begin(),
                                           columnsSet_.begin() + std::min<std::size_t>(
                                                                     columnsSet_.size(), 7)))
        columnBase_.assign(now.begin(), now.begin() + 7);
    const int trackMin =
        std::max(24, MultiListMP3->fontMetrics().horizontalAdvance(QStringLiteral("255")) + 8);
    std::vector<int> tail;
    for (int i = kFileListColumnCount; i < FileList.ColumnCount(); ++i)
        tail.push_back(MultiListMP3->SectionWidth(i));
    columnsSet_ = veltrane::FitListColumns(columnBase_, MultiListMP3->viewport()->width(),
                                           layout_.StretchList, trackMin, tail);
    for (int i = 0; i < FileList.ColumnCount(); ++i)
        MultiListMP3->SetSectionWidth(i, columnsSet_[static_cast<std::size_t>(i)]);
}

void TMainForm::ApplyStretch(bool On) {
    layout_.StretchList = On;
    // Maximize is worth having only when the list follows the window.
    const int icons = MarsCaption->BorderIcons();
    MarsCaption->SetBorderIcons(On ? icons | biMaximize : icons & ~biMaximize);
    if (!On && isMaximized())
        showNormal();
    LayoutCentral();
}

void TMainForm::RestoreWindowPlace() {
    if (!layout_.KeepLayout || !layout_.Window)
        return;
    std::vector<TRectangle> screens;
    QList<QScreen*> all = QGuiApplication::screens();
    std::stable_partition(all.begin(), all.end(),
                          [](QScreen* s) { return s == QGuiApplication::primaryScreen(); });
    for (const QScreen* screen : all) {
        const QRect a = screen->availableGeometry();
        screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    if (const auto place = PlaceOnScreens(layout_.Window->Rect, screens))
        setGeometry(place->Left, place->Top, place->Width, place->Height);
    if (layout_.Window->Maximized && layout_.StretchList)
        showMaximized();
}

void TMainForm::StoreLayout() {
    if (!layout_.KeepLayout)
        return;
    TListLayout kept = layout_;
    kept.ColumnWidths.clear();
    for (int i = 0; i < FileList.ColumnCount(); ++i)
        kept.ColumnWidths.push_back(MultiListMP3->SectionWidth(i));
    kept.SortColumn = FileList.SortColumn();
    kept.SubdirMode = SubdirMode;
    const QRect r = isMaximized() ? normalGeometry() : geometry();
    kept.Window = TWindowPlace{{r.x(), r.y(), r.width(), r.height()}, isMaximized()};
    const std::string file = SettingsFileName();
    if (!WriteLayout(file, kept))
        ReportError(UnableToWriteMessage(file));
}

void TMainForm::UpdateSortArrow() {
    const int column = FileList.SortColumn();
    MultiListMP3->SetSortArrow(std::abs(column) - 1, column > 0);
}

// --- Focus ------------------------------------------------------------------------------------

void TMainForm::WatchToolWindows() {
    focusTimer_ = new QTimer(this);
    focusTimer_->setSingleShot(true);
    connect(focusTimer_, &QTimer::timeout, this, &TMainForm::ReturnFocus);
    for (QDialog* window : findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        openers_[window] = nullptr;
        window->installEventFilter(this);
    }
}

void TMainForm::ToolWindowShown(QWidget* Window) {
    QWidget* active = QApplication::activeWindow();
    openers_[Window] = active != Window ? active : nullptr;
    // Shown, a window takes the keyboard, so Esc closes it and not what lies behind.
    QTimer::singleShot(0, Window, [Window] {
        if (!Window->isVisible())
            return;
        Window->raise();
        Window->activateWindow();
    });
}

void TMainForm::ToolWindowHidden(QWidget* Window) {
    if (!isVisible())
        return; // the program ends
    const QPointer<QWidget> opener = openers_[Window];
    focusTarget_ = opener && opener != this && opener->isVisible() ? opener : nullptr;
    focusTimer_->start(0);
}

void TMainForm::ReturnFocus() {
    if (!isVisible())
        return;
    // A message box or the progress window first: the focus goes back once they are done.
    if (QApplication::activeModalWidget() || !isEnabled() || TmProgressWnd::IsOpen()) {
        focusTimer_->start(50);
        return;
    }
    if (focusTarget_ && focusTarget_->isVisible()) {
        focusTarget_->raise();
        focusTarget_->activateWindow();
    } else {
        FocusList();
    }
    focusTarget_ = nullptr;
}

void TMainForm::FocusList() {
    activateWindow();
    MultiListMP3->setFocus(Qt::OtherFocusReason);
    if (FileList.ItemIndex() >= 1)
        MultiListMP3->MakeVisible(static_cast<std::size_t>(FileList.ItemIndex()));
}

std::string TMainForm::CurrentDirectory() const {
    if (FormChangeDir && !FormChangeDir->Directory().empty())
        return FormChangeDir->Directory();
    return currentDir_;
}

void TMainForm::ChangeDirectory(const std::string& Dir) {
    if (FormChangeDir) {
        // The window reports the change, and the change starts the search.
        FormChangeDir->SetDirectory(Dir);
        return;
    }
    if (Dir == currentDir_ && !FindMP3.Directory.empty())
        return;
    currentDir_ = Dir;
    RunSearch();
}

void TMainForm::RunSearch() {
    FindMP3.Execute();
}

// --- Hints --------------------------------------------------------------------------------

bool TMainForm::event(QEvent* Event) {
    if (Event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    }
    return QMainWindow::event(Event);
}

void TMainForm::DisplayHint(const QString& Hint) {
    veltrane::DisplayHint(helpState_, Hint.toStdString());
    StatusPanel2->setText(Q(helpState_.StatusHint));
    ShowHelpState();
}

void TMainForm::ShowHelpState() {
    if (FormHelp)
        FormHelp->ShowHelp(helpState_);
}

void TMainForm::ControlMouseMove(QWidget* Control) {
    auto it = controlOf_.find(Control);
    if (it == controlOf_.end())
        return;
    if (veltrane::ControlMouseMove(helpState_, it->second))
        ShowHelpState();
}

void TMainForm::ToolbarButtonShowDirMouseMove() {
    ControlMouseMove(ToolbarButtonShowDir);
}
void TMainForm::EditDockCurrentDirMouseMove() {
    ControlMouseMove(EditDockCurrentDir);
}
void TMainForm::ToolbarButton97RefreshMouseMove() {
    ControlMouseMove(ToolbarButton97Refresh);
}
void TMainForm::ToolbarButton97SelectMouseMove() {
    ControlMouseMove(ToolbarButton97Select);
}
void TMainForm::ToolbarButton97DeselectMouseMove() {
    ControlMouseMove(ToolbarButton97Deselect);
}
void TMainForm::ToolbarButton97EditMoreMouseMove() {
    ControlMouseMove(ToolbarButton97EditMore);
}
void TMainForm::ToolbarButton97RenameFileMouseMove() {
    ControlMouseMove(ToolbarButton97RenameFile);
}
void TMainForm::ToolbarButton97PlayListEditorMouseMove() {
    ControlMouseMove(ToolbarButton97PlayListEditor);
}
void TMainForm::ToolbarButton97ReadTagsMouseMove() {
    ControlMouseMove(ToolbarButton97ReadTags);
}
void TMainForm::ToolbarButton97PlayMouseMove() {
    ControlMouseMove(ToolbarButton97Play);
}
void TMainForm::ToolbarButton97RecursiveMouseMove() {
    ControlMouseMove(ToolbarButton97Recursive);
}
void TMainForm::ToolbarButton97DeleteSelectedMouseMove() {
    ControlMouseMove(ToolbarButton97DeleteSelected);
}
void TMainForm::ToolbarButton97HelpMouseMove() {
    ControlMouseMove(ToolbarButton97Help);
}
void TMainForm::ToolbarButton97AboutMouseMove() {
    ControlMouseMove(ToolbarButton97About);
}
void TMainForm::ToolbarButton97EditPreferencesMouseMove() {
    ControlMouseMove(ToolbarButton97EditPreferences);
}
void TMainForm::ToolbarButtonQuitMouseMove() {
    ControlMouseMove(ToolbarButtonQuit);
}

void TMainForm::ToolbarButton97PlayListEditorMouseUp() {
    if (veltrane::PlayListEditorMouseUp(helpState_))
        ShowHelpState();
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    // Compared by the pointer kept: while the list is being destroyed it is no scroll area.
    if (listViewport_ && Watched == listViewport_ && Event->type() == QEvent::Resize)
        FitListColumns();
    auto* widget = qobject_cast<QWidget*>(Watched);
    if (widget && openers_.count(widget)) {
        if (Event->type() == QEvent::Show)
            ToolWindowShown(widget);
        else if (Event->type() == QEvent::Hide)
            ToolWindowHidden(widget);
        return QMainWindow::eventFilter(Watched, Event);
    }
    const bool hinted = widget && std::find(hintControls_.begin(), hintControls_.end(), widget) !=
                                      hintControls_.end();
    switch (Event->type()) {
    case QEvent::ToolTip:
        // Balloons only for the playlist-editor button.
        if (hinted && widget != ToolbarButton97PlayListEditor)
            return true;
        break;
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::HoverMove:
        if (hinted)
            ControlMouseMove(widget);
        break;
    case QEvent::MouseButtonRelease:
        if (widget == ToolbarButton97PlayListEditor)
            ToolbarButton97PlayListEditorMouseUp();
        break;
    case QEvent::FocusIn: {
        // Entered by the user, not given back when a window comes back to the front.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(Event)->reason();
        if (Watched == EditDockCurrentDir && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, &TMainForm::EditDockCurrentDirEnter);
        break;
    }
    case QEvent::KeyPress:
        if (Watched == EditFilter && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Escape) {
            EditFilter->clear();
            return true;
        }
        if (Watched == EditDockCurrentDir) {
            const int key = static_cast<QKeyEvent*>(Event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                EditDockCurrentDirKeyDown(key);
                return true;
            }
            if (key == Qt::Key_F5) {
                ToolbarButton97RefreshClick();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::EditDockCurrentDirEnter() {
    EditDockCurrentDir->selectAll();
}

void TMainForm::EditDockCurrentDirKeyDown(int Key) {
    if (Key != Qt::Key_Return && Key != Qt::Key_Enter)
        return;
    const std::string typed = EditDockCurrentDir->text().toStdString();
    // An absolute path ("~/" expanded) of an existing directory becomes current; anything
    // else, a relative name included, puts the current directory back.
    const std::optional<std::string> dir = platform::ResolveTypedDirectory(typed);
    if (dir)
        ChangeDirectory(*dir);
    EditDockCurrentDir->setText(Q(CurrentDirectory()));
    EditDockCurrentDir->deselect();
    EditDockCurrentDir->end(false);
    // An absolute path that names no folder is said, not just put back.
    const std::string expanded = platform::ExpandHome(typed);
    if (!dir && !expanded.empty() && expanded.front() == '/' && !platform::IsDirectory(expanded))
        ReportError(FolderMissingMessage(expanded));
}

// --- The search and the list --------------------------------------------------------------

void TMainForm::FindMP3BeforeExecute() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string dir = CurrentDirectory();
    LabelSearchFrom->setText(Q(dir));
    try {
        AnimatedSymbol->SetAVIName(FileSourceSearchFiles.FileName());
        AnimatedSymbol->show();
        AnimatedSymbol->SetState(acmPlaying);
    } catch (const std::exception&) {
        // A clip that cannot play leaves the panel without its animation; the search runs.
        AnimatedSymbol->hide();
    }
    LayoutCentral();
    PanelSearching->show();
    PanelSearching->raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    FindMP3.Directory = dir;
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
    if (FormChangeDir)
        FormChangeDir->RefreshVolumes();
    EditDockCurrentDir->setText(Q(FindMP3.Directory));
    const bool found = FindMP3.FoundCount() > 0;
    const bool missing = !platform::IsDirectory(FindMP3.Directory);
    try {
        FileList.UpdateList(FindMP3.Directory, &ProgressWindow);
    } catch (const EInOutError& e) {
        RefreshList();
        ReportError(InOutErrorMessage(e));
        return;
    }
    // A new listing starts at the top, whatever the previous one showed.
    MultiListMP3->SetTopIndex(0);
    RefreshList();
    if (!found) {
        StatusPanel0->clear();
        StatusPanel1->clear();
        StatusPanelLength->clear();
    } else {
        UpdateFooter();
    }
    ChooseCommandLineFile();
    if (std::find(toldCodePage_.begin(), toldCodePage_.end(), FindMP3.Directory) ==
        toldCodePage_.end()) {
        const std::string notice = CodePageNotice(FileList);
        if (!notice.empty()) {
            toldCodePage_.push_back(FindMP3.Directory);
            StatusPanel2->setText(Q(notice));
        }
    }
    emit ListFilled();
    // The list reads "No mp3's found!" either way; this says why.
    if (missing)
        ReportError(FolderMissingMessage(FindMP3.Directory));
    const std::string skipped = SkippedEntriesMessage(FindMP3.Problems);
    if (!skipped.empty())
        ReportError(skipped);
    if (FileList.ReadingCancelled())
        ReportNotice(ReadingCancelledMessage(FileList.LeftOut()));
}

void TMainForm::ChooseCommandLineFile() {
    const std::vector<std::string> files = std::move(CommandLineFiles);
    CommandLineFiles.clear(); // only the next listing
    const std::string notice = std::move(openNotice_);
    openNotice_.clear();
    if (!files.empty()) {
        std::unordered_map<std::string_view, std::size_t> order;
        for (const std::string& file : files)
            order.emplace(file, order.size());
        std::size_t focus = 0, focusOrder = files.size();
        FileList.SetAllSelected(false);
        for (std::size_t i = 1; i < FileList.Count(); ++i) {
            const auto it = order.find(FileList.Rows().Path(i));
            if (it == order.end())
                continue;
            FileList.SetSelected(i, true);
            if (it->second < focusOrder)
                focus = i, focusOrder = it->second;
        }
        if (focus > 0) {
            FileList.SetItemIndex(static_cast<std::ptrdiff_t>(focus));
            MultiListMP3->MakeVisible(focus);
        }
        UpdateFooter();
        RefreshList();
    }
    if (!notice.empty())
        ReportError(notice);
}

void TMainForm::SortList() {
    BusyCursor busy;
    FileList.SortList(&ProgressWindow);
    RefreshList();
    UpdateFooter();
}

void TMainForm::MultiListMP3ListHeaderClick(int Section) {
    BusyCursor busy;
    FileList.MultiListMP3ListHeaderClick(Section, &ProgressWindow);
    UpdateSortArrow();
    RefreshList();
    // The sort dropped the selection: the footer must not count it any more.
    UpdateFooter();
}

void TMainForm::SingleUpdate(const TMP3Tag& Tag) {
    FileList.SingleUpdate(Tag);
    RefreshList();
}

void TMainForm::RefreshList() {
    MultiListMP3->viewport()->update();
    UpdateFilterPanel();
}

void TMainForm::EditFilterChange(const QString& Text) {
    const std::string text = Text.toStdString();
    if (text == FileList.Filter())
        return;
    FileList.SetFilter(text);
    MultiListMP3->SetTopIndex(0);
    RefreshList();
    UpdateFooter();
}

void TMainForm::UpdateFilterPanel() {
    // A change of folder empties the filter: the box follows.
    const QString filter = Q(FileList.Filter());
    if (EditFilter && EditFilter->text() != filter) {
        const QSignalBlocker quiet(EditFilter);
        EditFilter->setText(filter);
    }
    if (!StatusPanelFilter)
        return;
    if (!FileList.Filtered()) {
        StatusPanelFilter->hide();
        return;
    }
    StatusPanelFilter->setText(tr("%1 of %2 files shown")
                                   .arg(FileList.FileRowsShown())
                                   .arg(FileList.FileRowsTotal()));
    StatusPanelFilter->show();
}

// --- Commands -----------------------------------------------------------------------------

namespace {
// A window asked for again while it is open takes up its new state (mode, record, selection)
// instead of keeping what it showed before.
template <class Form> void ShowForm(Form* Window) {
    if (Window->isVisible())
        Window->FormShow();
    else
        Window->show();
    Window->raise();
    Window->activateWindow();
}
} // namespace

void TMainForm::ToggleWindow(QWidget* Window) {
    if (!Window)
        return;
    if (Window->isVisible()) {
        Window->hide();
    } else {
        Window->show();
        Window->raise();
    }
}

void TMainForm::ToolbarButton97RefreshClick() {
    RunSearch();
}

void TMainForm::ToolbarButton97SelectClick() {
    if (!FormDeSelect)
        return;
    FormDeSelect->Mode = TDeSelectMode::dmSelect;
    ShowForm(FormDeSelect);
}

void TMainForm::ToolbarButton97DeselectClick() {
    if (!FormDeSelect)
        return;
    FormDeSelect->Mode = TDeSelectMode::dmDeselect;
    ShowForm(FormDeSelect);
}

void TMainForm::ToolbarButton97EditMoreClick() {
    if (!FilesInThisDir())
        return;
    if (FileList.SelCount() == 1) {
        EditSelectedFile();
    } else if (FormEditMore) {
        ShowForm(FormEditMore);
    }
}

void TMainForm::EditSelectedFile() {
    if (!FormEditMP3Tag)
        return;
    RememberedRow = HighestSelectedRow(FileList);
    const auto focused = static_cast<std::size_t>(FileList.ItemIndex());
    const std::string path = GetFileName(focused);
    try {
        FormEditMP3Tag->Record = GetMP3Tag(path, FileList.Codec());
    } catch (const EInOutError& e) {
        ReportError(InOutErrorMessage(e, path));
        if (DropRowIfVanished(FileList, focused)) {
            RefreshList();
            UpdateFooter();
        }
        return;
    }
    ShowForm(FormEditMP3Tag);
}

void TMainForm::ToolbarButton97RenameFileClick() {
    if (!FilesInThisDir() || !FormRename)
        return;
    ShowForm(FormRename);
}

void TMainForm::ToolbarButton97ReadTagsClick() {
    if (!FilesInThisDir() || FileList.SelCount() == 0 || !FormGetTagFromFilename)
        return;
    ShowForm(FormGetTagFromFilename);
}

void TMainForm::NumbertracksClick() {
    if (!FilesInThisDir() || FileList.SelCount() == 0 || !FormNumberTracks)
        return;
    ShowForm(FormNumberTracks);
}

void TMainForm::ToolbarButton97PlayListEditorClick() {
    OpenPlaylistEditor(*this);
}

void TMainForm::ToolbarButton97PlayClick() {
    if (!FilesInThisDir())
        return;
    // Ctrl+Enter and the double-click reach here with the button disabled.
    if (!HasPlayer(MP3PlayerCommand)) {
        ReportError(NoPlayerMessage(tr("MP3 files").toStdString()));
        return;
    }
    const auto focused = static_cast<std::size_t>(FileList.ItemIndex());
    PlayPath(PlayFile, MP3PlayerCommand, GetFileName(focused));
}

void TMainForm::ToolbarButton97DeleteSelectedClick() {
    if (!FilesInThisDir() || FileList.SelCount() == 0)
        return;
    const std::string question = DeleteQuestion(FileList.SelCount());
    const bool yes = services_.Confirm
                         ? services_.Confirm(question)
                         : AskYesNo(this, QMessageBox::Question, QApplication::applicationName(),
                                    Q(question), true);
    if (!yes)
        return;
    PrepareDelete(FileOperation, SelectedFiles(FileList), DeleteToRecycleBin);
    {
        ProgressScope progress(&ProgressWindow, FileOperation.ProgressTitle,
                               FileOperation.FilesFrom.size());
        FileOperation.OnProgress = [&progress](std::size_t Done, std::size_t, const std::string&) {
            progress.SetPosition(Done);
            return true;
        };
        FileOperation.Execute();
        FileOperation.OnProgress = nullptr;
    }
    // What could not be deleted is named once and stays where it was.
    const std::string report = FileOperation.FailureReport();
    if (!report.empty())
        ReportError(report);
    RunSearch();
}

void TMainForm::ToolbarButton97RecursiveClick() {
    SubdirMode = !SubdirMode;
    ToolbarButton97Recursive->setChecked(SubdirMode);
    RunSearch();
}

void TMainForm::ToolbarButtonShowDirClick() {
    ToggleWindow(FormChangeDir);
    ToolbarButtonShowDir->setChecked(FormChangeDir && FormChangeDir->isVisible());
}

void TMainForm::ToolbarButton97HelpClick() {
    ToggleWindow(FormHelp);
    ToolbarButton97Help->setChecked(FormHelp && FormHelp->isVisible());
}

// Modal: the main window waits while the tune plays.
void TMainForm::ToolbarButton97AboutClick() {
    if (FormAbout && !FormAbout->isVisible())
        FormAbout->show();
}

void TMainForm::ToolbarButton97EditPreferencesClick() {
    if (!FormPreferences)
        return;
    FormPreferences->show();
    FormPreferences->raise();
}

void TMainForm::ToolbarButtonQuitClick() {
    close();
}

void TMainForm::MultiListMP3Click() {
    if (FilesInThisDir())
        UpdateFooter();
}

void TMainForm::MultiListMP3DblClick() {
    RunListCommand(static_cast<int>(DoubleClickCommand(DblClickAction)));
}

void TMainForm::RunListCommand(int Command) {
    switch (static_cast<TListCommand>(Command)) {
    case TListCommand::SelectAll:
        SelectAllFiles();
        break;
    case TListCommand::Play:
        ToolbarButton97PlayClick();
        break;
    case TListCommand::Rename:
        ToolbarButton97RenameFileClick();
        break;
    case TListCommand::Refresh:
        ToolbarButton97RefreshClick();
        break;
    case TListCommand::Select:
        ToolbarButton97SelectClick();
        break;
    case TListCommand::Deselect:
        ToolbarButton97DeselectClick();
        break;
    case TListCommand::Delete:
        ToolbarButton97DeleteSelectedClick();
        break;
    case TListCommand::DoubleClickAction:
        MultiListMP3DblClick();
        break;
    case TListCommand::EditTag:
        if (FilesInThisDir())
            EditSelectedFile();
        break;
    case TListCommand::None:
        break;
    }
}

void TMainForm::MultiListMP3KeyDown(int& Key, Qt::KeyboardModifiers Shift) {
    TListKey key = TListKey::Other;
    const bool keypad = Shift.testFlag(Qt::KeypadModifier);
    switch (Key) {
    case Qt::Key_A:
        key = TListKey::A;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = TListKey::Enter;
        break;
    case Qt::Key_F2:
        key = TListKey::F2;
        break;
    case Qt::Key_F5:
        key = TListKey::F5;
        break;
    case Qt::Key_Plus:
        if (keypad)
            key = TListKey::KeypadPlus;
        break;
    case Qt::Key_Minus:
        if (keypad)
            key = TListKey::KeypadMinus;
        break;
    case Qt::Key_Delete:
        key = TListKey::Delete;
        break;
    default:
        break;
    }
    TKeyModifiers mods;
    mods.Ctrl = Shift.testFlag(Qt::ControlModifier);
    mods.Shift = Shift.testFlag(Qt::ShiftModifier);
    mods.Alt = Shift.testFlag(Qt::AltModifier);
    const TListCommand command = ListKeyCommand(key, mods);
    if (command == TListCommand::None)
        return;
    Key = 0;
    RunListCommand(static_cast<int>(command));
}

void TMainForm::SelectAllFiles() {
    MultiListMP3->SetLockDisplay(true);
    const std::size_t top = MultiListMP3->TopIndex();
    FileList.SetAllSelected(true);
    if (FileList.Count() > 1)
        FileList.SetItemIndex(1);
    UpdateFooter();
    MultiListMP3->SetTopIndex(top);
    MultiListMP3->SetLockDisplay(false);
}

void TMainForm::UpdateFooter() {
    TSelectedSize size;
    try {
        size = FooterSize(FileList);
    } catch (const EInOutError& e) {
        // The footer keeps its previous texts.
        ReportError(InOutErrorMessage(e));
        return;
    }
    // Files gone since the listing lose their rows and are named once.
    if (!size.Vanished.empty()) {
        RefreshList();
        ReportError(VanishedFilesMessage(size.Vanished));
    }
    const QString sep = QLocale().decimalPoint();
    const TFooterTexts texts =
        FooterTexts(SelectedFileCount(FileList), size.Bytes,
                    sep.size() == 1 ? sep.at(0).toLatin1() : '.');
    StatusPanel0->setText(Q(texts.Count));
    StatusPanel1->setText(Q(texts.Size));
    if (FileList.ShowAudio())
        StatusPanelLength->setText(Q(TotalLengthText(FileList.SelectedCentis())));
}

std::string TMainForm::FolderMissingMessage(const std::string& Dir) const {
    return tr("The folder %1 does not exist.").arg(Q(Dir)).toStdString();
}

void TMainForm::ReportError(const std::string& Given) {
    const std::string Text = ShownSystemErrors(Given);
    if (services_.ShowError) {
        services_.ShowError(Text);
        return;
    }
    ShowMessageBox(this, QMessageBox::Critical, QApplication::applicationName(), Q(Text));
}

void TMainForm::ReportNotice(const std::string& Given) {
    const std::string Text = ShownSystemErrors(Given);
    if (services_.ShowNotice) {
        services_.ShowNotice(Text);
        return;
    }
    if (services_.ShowError) {
        services_.ShowError(Text);
        return;
    }
    ShowMessageBox(this, QMessageBox::Information, QApplication::applicationName(), Q(Text));
}

} // namespace veltrane

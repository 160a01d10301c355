#include "playlists/ui/PlayListEditor.h"

#include "browser/PlayerCommands.h"
#include "components/ui/DisplayText.h"
#include "components/ui/msgbox.h"
#include "playlists/ui/AddMP3ToPlayList.h"
#include "playlists/ui/LoadPlayList.h"
#include "playlists/ui/SavePlayList.h"

#include <QEvent>
#include <QShowEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QStyle>

namespace veltrane {

namespace {

// The theme's arrows are drawn pale grey, which reads as a disabled button: these are dark
// while the button works and grey only when it does not.
QIcon MoveIcon(bool Up) {
    QIcon icon;
    for (const auto& [mode, colour] : {std::pair{QIcon::Normal, QColor(0, 0, 128)},
                                       std::pair{QIcon::Active, QColor(0, 0, 128)},
                                       std::pair{QIcon::Disabled, QColor(160, 160, 160)}}) {
        for (const int size : {16, 32}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size / 16.0, size / 16.0);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            QPolygonF arrow({{8, 1}, {15, 8}, {10.5, 8}, {10.5, 15}, {5.5, 15}, {5.5, 8}, {1, 8}});
            if (!Up)
                arrow = QTransform(1, 0, 0, -1, 0, 16).map(arrow);
            painter.drawPolygon(arrow);
            painter.end();
            icon.addPixmap(pixmap, mode);
        }
    }
    return icon;
}

} // namespace

TFormPlayListEditor::TFormPlayListEditor(IPlaylistHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Playlist editor"), 655, 368, false, Parent), host_(Host) {
    setObjectName("FormPlayListEditor");
    EditPlayListName = new QLineEdit(this);
    EditPlayListName->setObjectName("EditPlayListName");
    EditPlayListName->setGeometry(8, 8, 233, 21);
    EditPlayListName->setReadOnly(true);

    using E = TFormPlayListEditor;
    BitBtnSave = Button(
        "BitBtnSave", QT_TR_NOOP("Save"), 8, 32, 113, QT_TR_NOOP("Save the current playlist"),
        {QT_TR_NOOP("Saves the current playlist, if the destination file already exists, "
                    "you can either overwrite or append")},
        &E::BitBtnSaveClick);
    BitBtnSave->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnSave->setDefault(true);
    BitBtnLoad =
        Button("BitBtnLoad", QT_TR_NOOP("Load"), 128, 32, 113, QT_TR_NOOP("Load a playlist"),
               {QT_TR_NOOP("Load an existing playlist, you can either overwrite or append to the "
                           "current playlist")},
               &E::BitBtnLoadClick);
    BitBtnLoad->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    BitBtnAdd =
        Button("BitBtnAdd", QT_TR_NOOP("Add"), 248, 8, 81, QT_TR_NOOP("Add MP3s"),
               {QT_TR_NOOP("Add one of more MP3s to the current playlist.")}, &E::BitBtnAddClick);
    BitBtnRemove =
        Button("BitBtnRemove", QT_TR_NOOP("Remove"), 248, 32, 81, QT_TR_NOOP("Remove selected MP3"),
               {QT_TR_NOOP("Removes the selected MP3s from the current playlist.")},
               &E::BitBtnRemoveClick);
    BitBtnUp = Button("BitBtnUp", "", 336, 8, 73, QT_TR_NOOP("Move selected MP3 one place up"),
                      {QT_TR_NOOP("Move the selected MP3 one place up in the current playlist")},
                      &E::BitBtnUpClick);
    BitBtnUp->setIcon(MoveIcon(true));
    BitBtnDown =
        Button("BitBtnDown", "", 336, 32, 73, QT_TR_NOOP("Move selected MP3 one place down"),
               {QT_TR_NOOP("Move selected MP3 one place down")}, &E::BitBtnDownClick);
    BitBtnDown->setIcon(MoveIcon(false));
    BitBtnReverse =
        Button("BitBtnReverse", QT_TR_NOOP("Reverse"), 416, 8, 73, QT_TR_NOOP("Reverse the list"),
               {QT_TR_NOOP("Simply reverses the current playlist")}, &E::BitBtnReverseClick);
    BitBtnRandomize = Button(
        "BitBtnRandomize", QT_TR_NOOP("Randomize"), 416, 32, 73, QT_TR_NOOP("Randomize the list"),
        {QT_TR_NOOP("Randomizes the current playlist (kinda like shuffle :-))")},
        &E::BitBtnRandomizeClick);
    BitBtnSort =
        Button("BitBtnSort", QT_TR_NOOP("Sort"), 496, 8, 73,
               QT_TR_NOOP("Arrange the current playlist alphabetically"),
               {QT_TR_NOOP("Arranges the current playlist alphabetically")}, &E::BitBtnSortClick);
    BitBtnCleanup = Button(
        "BitBtnCleanup", QT_TR_NOOP("Cleanup"), 496, 32, 73, QT_TR_NOOP("Clean up the playlist"),
        {QT_TR_NOOP("Selects all MP3 in the current playlist that don not (longer) exist")},
        &E::BitBtnCleanupClick);
    BitBtnLaunch =
        Button("BitBtnLaunch", QT_TR_NOOP("Launch"), 576, 8, 73, QT_TR_NOOP("Launch playlist"),
               {QT_TR_NOOP("Starts your MP3 player up with the current playlist"), "",
                QT_TR_NOOP("note: works only if your MP3 file type is registered!")},
               &E::BitBtnLaunchClick);
    BitBtnClose =
        Button("BitBtnClose", QT_TR_NOOP("Close"), 576, 32, 73, QT_TR_NOOP("Close this window"),
               {QT_TR_NOOP("This one's to simple for help =]")}, &E::BitBtnCloseClick);

    ListBoxPlayList = new QListWidget(this);
    ListBoxPlayList->setObjectName("ListBoxPlayList");
    ListBoxPlayList->setGeometry(8, 64, 641, 297);
    ListBoxPlayList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBoxPlayList->setUniformItemSizes(true);
    QFont font("Sans");
    font.setPointSize(8);
    ListBoxPlayList->setFont(font);
    ListBoxPlayList->setStyleSheet(
        "QListWidget { color: purple; background: rgb(183, 183, 255); }"
        "QListWidget::item { height: 13px; }");
    connect(ListBoxPlayList, &QListWidget::itemSelectionChanged, this,
            &TFormPlayListEditor::ListSelectionChanged);

    MsgBoxSaveChanges = new TMsgBox(this);
    MsgBoxSaveChanges->setObjectName("MsgBoxSaveChanges");
    // Cancel (and Esc) goes back to the editor: without it there was no way to stay.
    MsgBoxSaveChanges->ButtonStyles = btsYesNoCancel;
    MsgBoxSaveChanges->MsgBoxType = mbAsk;
    MsgBoxSaveChanges->Lines = {tr("Save changes?").toStdString()};
    MsgBoxSaveChanges->DefButton = 1;

    SetDefaultButtons(BitBtnSave, BitBtnClose); // Enter and Esc reach only these
    SetTabChain({ListBoxPlayList, BitBtnUp, BitBtnDown, EditPlayListName, BitBtnSave, BitBtnClose,
                 BitBtnReverse, BitBtnRandomize, BitBtnAdd, BitBtnRemove, BitBtnLoad,
                 BitBtnLaunch, BitBtnSort, BitBtnCleanup});
    BackImage->lower();
}

QPushButton* TFormPlayListEditor::Button(const char* Name, const char* Caption, int X, int Y, int W,
                                         const char* Hint, std::vector<std::string> Help,
                                         void (TFormPlayListEditor::*Handler)()) {
    QPushButton* button = AddButton(*Caption ? tr(Caption) : QString(), Name, X, Y, W, 25);
    button->setToolTip(tr(Hint));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, Handler);
    // The help window's text: an empty line before each text.
    std::vector<std::string> lines{""};
    for (const std::string& line : Help)
        lines.push_back(line.empty() ? line : tr(line.c_str()).toStdString());
    help_.emplace_back(button, std::move(lines));
    button->installEventFilter(this);
    return button;
}

bool TFormPlayListEditor::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::Enter)
        for (const auto& [control, lines] : help_)
            if (control == Watched)
                host_.ShowHelpLines(lines);
    return TEditingDialog::eventFilter(Watched, Event);
}

void TFormPlayListEditor::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        Playlist.EditorShown();
}

void TFormPlayListEditor::reject() {
    BitBtnCloseClick();
}

void TFormPlayListEditor::ShowDialog(QWidget* Dialog) {
    if (!Dialog)
        return;
    Dialog->show();
    Dialog->raise();
    Dialog->activateWindow();
}

void TFormPlayListEditor::ShowList(std::optional<std::size_t> Current) {
    filling_ = true;
    ListBoxPlayList->clear();
    for (std::size_t i = 0; i < Playlist.Count(); ++i) {
        auto* item = new QListWidgetItem(DisplayText(Playlist.Get(i)), ListBoxPlayList);
        item->setSelected(Playlist.Selected(i));
    }
    if (Current && *Current < Playlist.Count())
        ListBoxPlayList->selectionModel()->setCurrentIndex(
            ListBoxPlayList->model()->index(static_cast<int>(*Current), 0),
            QItemSelectionModel::NoUpdate);
    EditPlayListName->setText(DisplayText(Playlist.FileName()));
    filling_ = false;
}

void TFormPlayListEditor::ListSelectionChanged() {
    if (filling_)
        return;
    for (int row = 0; row < ListBoxPlayList->count(); ++row)
        Playlist.SetSelected(static_cast<std::size_t>(row), ListBoxPlayList->item(row)->isSelected());
}

std::optional<std::size_t> TFormPlayListEditor::CurrentEntry() const {
    const int row = ListBoxPlayList->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= Playlist.Count())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

void TFormPlayListEditor::OpenWith(const std::vector<std::string>& Paths) {
    Playlist.Fill(Paths);
    ShowList();
    show();
    raise();
    activateWindow();
}

void TFormPlayListEditor::LoadPlayList(const std::string& Path) {
    try {
        Playlist.LoadPlayList(Path);
    } catch (const EPlaylistFileError& e) {
        host_.ShowError(std::string(e.what()) + "\n" + Path);
    }
    ShowList();
}

void TFormPlayListEditor::PlaylistChanged() {
    ShowList(CurrentEntry());
}

void TFormPlayListEditor::BitBtnSaveClick() {
    ShowDialog(FormSavePlayList);
}

void TFormPlayListEditor::BitBtnLoadClick() {
    ShowDialog(FormLoadPlayList);
}

void TFormPlayListEditor::BitBtnAddClick() {
    ShowDialog(FormAddMP3);
}

void TFormPlayListEditor::BitBtnRemoveClick() {
    const auto current = CurrentEntry();
    Playlist.Remove();
    ShowList(current ? std::optional(std::min(*current, Playlist.Count() ? Playlist.Count() - 1 : 0))
                     : std::nullopt);
}

void TFormPlayListEditor::BitBtnUpClick() {
    ShowList(Playlist.Up(CurrentEntry()));
    ListBoxPlayList->setFocus();
}

void TFormPlayListEditor::BitBtnDownClick() {
    ShowList(Playlist.Down(CurrentEntry()));
    ListBoxPlayList->setFocus();
}

void TFormPlayListEditor::BitBtnReverseClick() {
    Playlist.Reverse();
    ShowList();
}

void TFormPlayListEditor::BitBtnRandomizeClick() {
    Playlist.Randomize();
    ShowList();
}

void TFormPlayListEditor::BitBtnSortClick() {
    Playlist.Sort();
    ShowList();
}

void TFormPlayListEditor::BitBtnCleanupClick() {
    if (Playlist.Empty())
        return;
    Playlist.Cleanup();
    ShowList(CurrentEntry());
}

void TFormPlayListEditor::BitBtnLaunchClick() {
    if (Playlist.FileName().empty()) {
        host_.ShowError(tr("Please save the playlist first!").toStdString());
        return;
    }
    const std::string player = host_.PlaylistPlayerCommand();
    if (!HasPlayer(player)) {
        host_.ShowError(NoPlayerMessage(tr(".m3u files").toStdString()));
        return;
    }
    Playlist.Launch(host_.PlayFile(), player);
}

void TFormPlayListEditor::BitBtnCloseClick() {
    if (Playlist.Changed()) {
        const int answer = MsgBoxSaveChanges->Execute(this);
        if (answer != 1 && answer != 2)
            return; // Cancel, Esc or the box closed: the editor stays as it is
        if (answer == 1)
            ShowDialog(FormSavePlayList);
    }
    hide();
}

} // namespace veltrane

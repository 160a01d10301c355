// The main window with its real services, in temporary XDG directories: listing, refresh,
// select all and the footer, delete to the trash and for good, play, and preferences kept
// between two starts.

#include "browser/MainCommands.h"
#include "browser/PlayerCommands.h"
#include "browser/ui/mProgressForm.h"
#include "browser/ui/main.h"
#include "components/ui/MultiLst.h"
#include "components/ui/marsCap.h"
#include "editing/ui/ChangeDir.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"
#include "editing/ui/GetTagFromFileName.h"
#include "editing/ui/Preferences.h"
#include "editing/ui/Rename.h"
#include "editing/ui/deSelect.h"
#include "editing/ui/help.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/ProcessStarter.h"
#include "playlists/ui/PlayListEditor.h"
#include "support/AudioFiles.h"
#include "support/Mp3Builder.h"
#include "support/platform/FakeVolumes.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using namespace veltrane;
namespace fs = std::filesystem;

namespace {

// Set up in main() before GIO caches the user directories.
QTemporaryDir* gRoot = nullptr;

std::string RootPath(const char* sub) {
    return (gRoot->path() + "/" + sub).toStdString();
}

void WriteText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Song(const std::string& title, const std::string& artist) {
    test::RawTag tag;
    tag.title = title;
    tag.artist = artist;
    tag.genre = 17;
    return test::Mp3Bytes(20000, tag);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    platform::GioAssociations associations_;
    platform::LinuxFileOperations fileOps_;
    platform::LinuxProcessStarter processes_;
    test::FakeVolumes volumes_;
    std::vector<std::string> errors_;
    std::vector<std::string> questions_;
    bool answer_ = true;
    std::string music_;
    std::string start_;

    std::unique_ptr<TMainForm> Start(const std::string& dir,
                                     const std::vector<std::string>& paths = {},
                                     bool realBoxes = false) {
        TMainServices services;
        services.Associations = &associations_;
        services.FileOperations = &fileOps_;
        services.Processes = &processes_;
        services.Volumes = &volumes_;
        services.StartDirectory = start_;
        services.Confirm = [this](const std::string& q) {
            questions_.push_back(q);
            return answer_;
        };
        if (!realBoxes)
            services.ShowError = [this](const std::string& t) { errors_.push_back(t); };
        auto form = std::make_unique<TMainForm>(services);
        form->CreateWindows();
        if (!dir.empty())
            form->CommandLineDir = dir;
        if (!paths.empty())
            form->OpenPaths(paths);
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        if ((!dir.empty() || !paths.empty()) && filled.isEmpty() && !filled.wait(5000))
            return nullptr;
        return form;
    }

    static QStringList Names(const TMainForm& form) {
        QStringList names;
        for (std::size_t i = 1; i < form.FileList.Count(); ++i)
            names << QString::fromStdString(
                std::string(TFileList::GetStringItem(1, form.FileList.Row(i).Text)));
        return names;
    }

    static void SelectRow(TMainForm& form, std::size_t row) {
        form.FileList.SetAllSelected(false);
        form.FileList.SetSelected(row, true);
        form.FileList.SetItemIndex(static_cast<std::ptrdiff_t>(row));
    }

    static void Key(TMainForm& form, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(form.MultiListMP3, key, mods);
    }

  private slots:
    void init() {
        errors_.clear();
        questions_.clear();
        answer_ = true;
        music_ = RootPath("music");
        start_ = RootPath("start");
        fs::remove_all(music_);
        fs::remove(start_ + "/Veltrane.ini");
        fs::remove_all(RootPath("data/Trash"));
        fs::create_directories(start_);
        WriteText(music_ + "/b.mp3", Song("Bravo", "Two"));
        WriteText(music_ + "/A.mp3", Song("Alpha", "One"));
        WriteText(music_ + "/c d;e.mp3", Song("Charlie", "Three"));
        WriteText(music_ + "/tiny.mp3", std::string(100, 'x'));
        volumes_.volumes = {{"/", "", "", "/"}};
    }

    void opensFolderAndRefreshes() {
        auto form = Start(music_);
        QVERIFY(form);
        QCOMPARE(Names(*form), QStringList({" A.mp3", " b.mp3", " c d;e.mp3"}));
        QCOMPARE(std::string(TFileList::GetStringItem(2, form->FileList.Row(1).Text)), "Alpha");
        QCOMPARE(std::string(TFileList::GetStringItem(6, form->FileList.Row(1).Text)), "Rock ");
        QCOMPARE(form->EditDockCurrentDir->text().toStdString(), music_);
        QCOMPARE(form->CurrentDirectory(), music_);

        WriteText(music_ + "/d.mp3", Song("Delta", "Four"));
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        Key(*form, Qt::Key_F5);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(form->FileList.Count(), std::size_t(5));

        // The subdir button finds files below the directory and stays down.
        WriteText(music_ + "/Live/x.mp3", Song("Xray", "Five"));
        form->ToolbarButton97Recursive->click();
        QTRY_COMPARE(filled.count(), 2);
        QVERIFY(form->ToolbarButton97Recursive->isChecked());
        QVERIFY(Names(*form).contains(" Live/x.mp3"));
        QVERIFY(errors_.empty());
    }

    void skippedEntriesAreNamedInOneMessageAfterTheList() {
        fs::create_symlink("gone.mp3", music_ + "/dangling.mp3");
        auto form = Start(music_);
        QVERIFY(form);
        QCOMPARE(Names(*form), QStringList({" A.mp3", " b.mp3", " c d;e.mp3"}));
        QCOMPARE(errors_.size(), std::size_t(1));
        QVERIFY(errors_[0].find(music_ + "/dangling.mp3: dangling symbolic link") !=
                std::string::npos);
    }

    // "Open with": the file's folder is listed with that file's row focused and selected.
    void commandLineFileIsFocusedAndSelected() {
        auto form = Start("", {"../music/./c d;e.mp3"});
        QVERIFY(form);
        QCOMPARE(form->FileList.SelCount(), std::size_t(1));
        const auto focused = static_cast<std::size_t>(form->FileList.ItemIndex());
        QCOMPARE(form->FileList.Row(focused).Path, music_ + "/c d;e.mp3");
        QVERIFY(form->FileList.Selected(focused));
        QCOMPARE(form->StatusPanel0->text(), QString("1 file selected"));
        // Later listings leave the selection to the user.
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        Key(*form, Qt::Key_F5);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(form->FileList.SelCount(), std::size_t(0));
    }

    // Cancel while the list is read: the rows read so far, and how many files were left out.
    void cancelWhileReadingListsWhatWasRead() {
        fs::remove(music_ + "/tiny.mp3");
        int presses = 0;
        QTimer presser;
        QObject::connect(&presser, &QTimer::timeout, [&] {
            TfrmProgress* window = TmProgressWnd::OpenWindow();
            if (!window || !window->ButtonCancel->isVisible() || window->CancelPressed)
                return;
            ++presses;
            window->ButtonCancel->click();
        });
        presser.start(0);
        auto form = Start(music_);
        presser.stop();
        QVERIFY(form);
        QCOMPARE(presses, 1);
        QCOMPARE(form->FileList.Count(), std::size_t(2));
        QVERIFY(form->FilesInThisDir());
        QCOMPARE(errors_,
                 std::vector<std::string>{"Reading cancelled: 2 files left out of the list."});
        QVERIFY(!TmProgressWnd::IsOpen());
        QVERIFY(form->isEnabled());
    }

    void selectAllFillsFooter() {
        auto form = Start(music_);
        QVERIFY(form);
        Key(*form, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(form->FileList.SelCount(), std::size_t(3));
        QCOMPARE(form->FileList.ItemIndex(), std::ptrdiff_t(1));
        QCOMPARE(form->StatusPanel0->text(), QString("3 files selected"));
        const auto bytes = 3 * fs::file_size(music_ + "/A.mp3");
        QCOMPARE(form->StatusPanel1->text(),
                 QString::number(double(bytes) / 1e6, 'f', 2) + " megabyte");

        SelectRow(*form, 2);
        form->MultiListMP3Click();
        QCOMPARE(form->StatusPanel0->text(), QString("1 file selected"));
    }

    void directoryEditTakesOnlyExistingAbsolutePaths() {
        auto form = Start(music_);
        QVERIFY(form);
        fs::create_directories(music_ + "/Sub");
        WriteText(music_ + "/Sub/s.mp3", Song("Sierra", "Six"));
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);

        form->EditDockCurrentDir->setText("Sub");
        QTest::keyClick(form->EditDockCurrentDir, Qt::Key_Return);
        QCOMPARE(form->EditDockCurrentDir->text().toStdString(), music_);
        QCOMPARE(filled.count(), 0);

        form->EditDockCurrentDir->setText(QString::fromStdString(music_ + "/Sub"));
        QTest::keyClick(form->EditDockCurrentDir, Qt::Key_Return);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(Names(*form), QStringList({" s.mp3"}));
    }

    void deleteToTrashAndForGood() {
        auto form = Start(music_);
        QVERIFY(form);
        QVERIFY(form->DeleteToRecycleBin); // no settings file: the default
        SelectRow(*form, 3);               // "c d;e.mp3"
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        Key(*form, Qt::Key_Delete);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(questions_,
                 std::vector<std::string>{"Are you sure you want to delete 1 file(s)?"});
        QVERIFY(!fs::exists(music_ + "/c d;e.mp3"));
        QVERIFY(fs::exists(RootPath("data/Trash/files/c d;e.mp3")));
        const std::string info = ReadText(RootPath("data/Trash/info/c d;e.mp3.trashinfo"));
        QVERIFY(info.find("[Trash Info]") != std::string::npos);
        QVERIFY(info.find("Path=") != std::string::npos);
        QCOMPARE(Names(*form), QStringList({" A.mp3", " b.mp3"}));

        // Answering No keeps the file.
        answer_ = false;
        SelectRow(*form, 1);
        Key(*form, Qt::Key_Delete);
        QVERIFY(fs::exists(music_ + "/A.mp3"));

        answer_ = true;
        form->DeleteToRecycleBin = false;
        SelectRow(*form, 1);
        form->ToolbarButton97DeleteSelected->click();
        QTRY_COMPARE(filled.count(), 2);
        QVERIFY(!fs::exists(music_ + "/A.mp3"));
        QVERIFY(!fs::exists(RootPath("data/Trash/files/A.mp3")));
        QVERIFY(errors_.empty());
    }

    void deleteThatFailsIsReportedOnce() {
        auto form = Start(music_);
        QVERIFY(form);
        Key(*form, Qt::Key_A, Qt::ControlModifier);
        // A file that vanished behind the list's back cannot go to the trash; the others do.
        fs::remove(music_ + "/b.mp3");
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        Key(*form, Qt::Key_Delete);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(errors_.size(), std::size_t(1));
        QVERIFY(errors_[0].find("b.mp3") != std::string::npos);
        QVERIFY(errors_[0].find("A.mp3") == std::string::npos);
        QVERIFY(fs::exists(RootPath("data/Trash/files/A.mp3")));
        QVERIFY(fs::exists(RootPath("data/Trash/files/c d;e.mp3")));
        QCOMPARE(form->FileList.Count(), std::size_t(1)); // only tiny.mp3 left: no rows
    }

    // With no player a song that is a program (as files on FAT sticks are) is never run:
    // Ctrl+Enter and the double-click only say that no player is registered.
    void playWithoutPlayerRunsNothing() {
        if (!platform::GioAssociations().CommandForExtension(".mp3").empty())
            QSKIP("this desktop has a player for MP3 files");
        const std::string evil = music_ + "/evil.mp3";
        WriteText(evil, "#!/bin/sh\ntouch '" + evil + ".ran'\n#" + std::string(20000, 'x') + "\n");
        fs::permissions(evil, fs::perms::owner_all);
        auto form = Start(music_);
        QVERIFY(form);
        QVERIFY(!form->ToolbarButton97Play->isEnabled());
        SelectRow(*form, 4);
        QCOMPARE(form->FileList.Row(4).Path, evil);
        Key(*form, Qt::Key_Return, Qt::ControlModifier);
        form->DblClickAction = 1;
        form->MultiListMP3DblClick();
        QCOMPARE(errors_.size(), std::size_t(2));
        for (const std::string& e : errors_)
            QCOMPARE(e, NoPlayerMessage("MP3 files"));
        QCOMPARE(form->PlayFile.ProcessId(), pid_t(-1));
        QVERIFY(!fs::exists(evil + ".ran"));
    }

    // A message box of one always-on-top window (the playlist editor) comes up above it with
    // the focus and gives the focus back, and no other window is hidden or shown again: the
    // text typed in the single-file editor stays.
    void messageBoxLeavesOtherWindowsAsTheyAre() {
        auto form = Start(music_, {}, true);
        QVERIFY(form);
        SelectRow(*form, 2);
        form->ToolbarButton97EditMoreClick();
        TFormEditMP3Tag* editor = form->FormEditMP3Tag;
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QCOMPARE(editor->EditSongName->text(), QString("Bravo"));
        editor->EditSongName->selectAll();
        QTest::keyClicks(editor->EditSongName, "Typed here");
        editor->EditComment->setText("and here");
        form->ToolbarButton97PlayListEditorClick();
        TFormPlayListEditor* playlist = form->FormPlayListEditor;
        QVERIFY(QTest::qWaitForWindowExposed(playlist));
        playlist->activateWindow();
        QTRY_VERIFY(playlist->isActiveWindow());

        struct ShowCounter : QObject {
            QWidget* box = nullptr;
            int shows = 0;
            bool eventFilter(QObject* o, QEvent* e) override {
                auto* w = qobject_cast<QWidget*>(o);
                if (w && w->isWindow() && w != box && !qobject_cast<QMessageBox*>(w) &&
                    (e->type() == QEvent::Show || e->type() == QEvent::Hide))
                    ++shows;
                return false;
            }
        } counter;
        qApp->installEventFilter(&counter);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QTRY_VERIFY(box->isActiveWindow());
            QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(box->windowHandle()->transientParent(), playlist->windowHandle());
            QCOMPARE(box->text(), QString("Please save the playlist first!"));
            seen = true;
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(playlist->BitBtnLaunch, Qt::LeftButton);
        qApp->removeEventFilter(&counter);
        QVERIFY(seen);
        QCOMPARE(counter.shows, 0);
        QTRY_VERIFY(playlist->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), playlist->BitBtnLaunch); // focused by the click
        QCOMPARE(editor->EditSongName->text(), QString("Typed here"));
        QCOMPARE(editor->EditComment->text(), QString("and here"));
        QVERIFY(editor->isVisible() && playlist->isVisible());
    }

    void playStartsRegisteredPlayerWithThePath() {
        const std::string record = RootPath("played.txt");
        fs::remove(record);
        const std::string script = RootPath("bin/recorder");
        WriteText(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                              record + ".part' && mv '" + record + ".part' '" + record + "'\n");
        fs::permissions(script, fs::perms::owner_all);
        WriteText(RootPath("data/applications/recorder.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + script +
                      " %U\nMimeType=audio/mpeg;\n");
        WriteText(RootPath("config/mimeapps.list"),
                  "[Default Applications]\naudio/mpeg=recorder.desktop\n");
        // GIO caches the association files per process and learns of changes through file
        // monitors: under load an earlier test's view can still be current for a moment.
        QTRY_COMPARE_WITH_TIMEOUT(veltrane::platform::GioAssociations().CommandForExtension(".mp3"),
                                  script, 5000);

        auto form = Start(music_);
        QVERIFY(form);
        QCOMPARE(form->MP3PlayerCommand, script);
        QVERIFY(form->ToolbarButton97Play->isEnabled());
        SelectRow(*form, 3);
        Key(*form, Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(record), 5000);
        QCOMPARE(ReadText(record), music_ + "/c d;e.mp3\n");

        // Double-click action 1 plays as well.
        fs::remove(record);
        form->DblClickAction = 1;
        SelectRow(*form, 1);
        form->MultiListMP3DblClick();
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(record), 5000);
        QCOMPARE(ReadText(record), music_ + "/A.mp3\n");
    }

    void vanishedFileGivesOneMessageWithItsName() {
        auto form = Start(music_);
        QVERIFY(form);
        fs::remove(music_ + "/A.mp3");
        // A click on its row: one message naming it; the row goes and the footer follows.
        QTest::mouseClick(form->MultiListMP3->viewport(), Qt::LeftButton, {}, QPoint(40, 18 + 9));
        QCOMPARE(errors_.size(), std::size_t(1));
        QCOMPARE(errors_[0], "File not found\n" + music_ + "/A.mp3");
        QCOMPARE(Names(*form), QStringList({" b.mp3", " c d;e.mp3"}));
        QCOMPARE(form->StatusPanel0->text(), QString("0 files selected"));

        // Editing a file that went: the same single message.
        fs::remove(music_ + "/b.mp3");
        SelectRow(*form, 1);
        Key(*form, Qt::Key_Return); // the double-click action: edit the tag
        QCOMPARE(errors_.size(), std::size_t(2));
        QCOMPARE(errors_[1], "File not found\n" + music_ + "/b.mp3");
        QCOMPARE(Names(*form), QStringList({" c d;e.mp3"}));
        QVERIFY(!form->FormEditMP3Tag->isVisible());
    }

    void listingsStartAtTheTopAndSelectionsComeIntoView() {
        const std::string other = RootPath("other");
        fs::remove_all(other);
        for (int i = 0; i < 60; ++i) {
            const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
            WriteText(music_ + "/s" + n + ".mp3", Song("Song " + n, "Band"));
            WriteText(other + "/t" + n + ".mp3", Song("Tune " + n, "Group"));
        }
        auto form = Start(music_);
        QVERIFY(form);
        TMultiList& list = *form->MultiListMP3;
        const std::size_t page = std::size_t(list.viewport()->height() / list.ItemHeight());
        const auto inView = [&](std::size_t row) {
            return row >= list.TopIndex() + 1 && row < list.TopIndex() + page;
        };

        // Select by text: the row that became selected takes the focus and is shown.
        form->ToolbarButton97SelectClick();
        TFormDeSelect* select = form->FormDeSelect;
        QTRY_VERIFY(select->isVisible());
        select->EditContaining->setText("Song 55");
        select->BitBtnOK->click();
        QCOMPARE(form->FileList.SelCount(), std::size_t(1));
        const std::size_t row = std::size_t(form->FileList.ItemIndex());
        QVERIFY(form->FileList.Selected(row));
        QVERIFY2(inView(row), qPrintable(QString::number(list.TopIndex())));

        // Another folder opens at its top with its first row current.
        QVERIFY(list.TopIndex() > 0);
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        form->ChangeDirectory(other);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(Names(*form).first(), QString(" t00.mp3"));
        QCOMPARE(list.TopIndex(), std::size_t(0));
        QCOMPARE(form->FileList.ItemIndex(), std::ptrdiff_t(1));
    }

    void preferencesKeptForTheNextStart() {
        {
            auto form = Start(music_);
            QVERIFY(form);
            form->ToolbarButton97EditPreferences->click();
            TFormPreferences* prefs = form->FormPreferences;
            QTRY_VERIFY(prefs->isVisible());
            QVERIFY(prefs->CheckBoxDeleteToRecycleBin->isChecked());
            prefs->CheckBoxDeleteToRecycleBin->setChecked(false);
            prefs->EditDefaultDir->setText(QString::fromStdString(music_));
            prefs->BitBtnOK->click();
            QVERIFY(!prefs->isVisible());
            QVERIFY(!form->DeleteToRecycleBin);
        }
        const std::string ini = ReadText(start_ + "/Veltrane.ini");
        QVERIFY(ini.find("[Preferences]") != std::string::npos);
        QVERIFY(ini.find("DeleteToRecycleBin=0") != std::string::npos);

        // No directory on the command line: the stored default directory is searched.
        auto again = Start("");
        QVERIFY(again);
        QVERIFY(!again->DeleteToRecycleBin);
        QCOMPARE(again->DefaultDir, music_);
        QTRY_COMPARE(again->CurrentDirectory(), music_);
        QTRY_COMPARE(again->FileList.Count(), std::size_t(4));
    }

    // With both layout preferences on, the next start looks as this one was left.
    void layoutRestoredAfterARestartWhenAsked() {
        QRect left;
        {
            auto form = Start(music_);
            QVERIFY(form);
            form->ToolbarButton97EditPreferences->click();
            TFormPreferences* prefs = form->FormPreferences;
            QTRY_VERIFY(prefs->isVisible());
            QVERIFY(!prefs->CheckBoxKeepLayout->isChecked());
            QVERIFY(!prefs->CheckBoxStretchList->isChecked());
            prefs->CheckBoxKeepLayout->setChecked(true);
            QTest::mouseClick(prefs->LabelStretchList, Qt::LeftButton);
            prefs->BitBtnOK->click();
            QVERIFY(form->MarsCaption->Button(cbMaximize)->isEnabled());

            form->MultiListMP3ListHeaderClick(2);
            form->MultiListMP3ListHeaderClick(2); // Artist, descending
            form->MultiListMP3->SetSectionWidth(0, 230);
            form->ToolbarButton97Recursive->click();
            form->setGeometry(40, 30, 700, 520);
            // Stretched, the list follows the window.
            QTRY_COMPARE(form->MultiListMP3->width(), form->centralWidget()->width() - 19);
            left = form->geometry();
            form->close();
        }
        const std::string ini = ReadText(start_ + "/Veltrane.ini");
        QVERIFY2(ini.find("[Layout]\nKeepLayout=1\nStretchList=1\n") != std::string::npos,
                 ini.c_str());
        QVERIFY(ini.find("SortColumn=-3\nSubdirMode=1\n") != std::string::npos);

        auto again = Start("");
        QVERIFY(again);
        QCOMPARE(again->FileList.SortColumn(), -3);
        QVERIFY(again->SubdirMode);
        QVERIFY(again->ToolbarButton97Recursive->isChecked());
        QCOMPARE(again->MultiListMP3->SectionWidth(0), 230);
        QCOMPARE(again->MultiListMP3->ListHeader()->sortIndicatorSection(), 2);
        QTRY_COMPARE(again->geometry(), left);
        QTRY_COMPARE(again->MultiListMP3->width(), again->centralWidget()->width() - 19);
    }

    // With the preferences off (the default) a kept layout is ignored: the described start.
    void describedStartWithTheLayoutPreferencesOff() {
        WriteText(start_ + "/Veltrane.ini",
                  "[Layout]\nKeepLayout=0\nStretchList=0\nSortColumn=-3\nSubdirMode=1\n"
                  "ColumnWidths=9,9,9,9,9,9,9,9\nWindowLeft=10\nWindowTop=10\n"
                  "WindowWidth=500\nWindowHeight=400\n");
        const std::string before = ReadText(start_ + "/Veltrane.ini");
        auto form = Start(music_);
        QVERIFY(form);
        QCOMPARE(form->FileList.SortColumn(), 1);
        QVERIFY(!form->SubdirMode);
        QCOMPARE(form->MultiListMP3->SectionWidth(0), 100);
        QCOMPARE(form->MultiListMP3->ListHeader()->sortIndicatorSection(), 0);
        QCOMPARE(form->size(), QSize(772, 577));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(form->geometry().center(), screen.center());
        QVERIFY(!form->MarsCaption->Button(cbMaximize)->isEnabled());
        // The list keeps its place when the window grows.
        const QRect list = form->MultiListMP3->geometry();
        form->resize(900, 700);
        QTRY_COMPARE(form->width(), 900);
        QCOMPARE(form->MultiListMP3->geometry(), list);
        form->close();
        QCOMPARE(ReadText(start_ + "/Veltrane.ini"), before);
    }

    // With "Show length and bit rate" on: Length and Bitrate after Track, sorted by number
    // with the files without a length last, the footer's total; off again, eight columns.
    void audioColumnsWithThePreference() {
        WriteText(start_ + "/Veltrane.ini", "[Preferences]\nShowAudio=1\n");
        WriteText(music_ + "/long.mp3", test::Mp3Frames(1000) + test::TagBytes({}));
        WriteText(music_ + "/short.mp3", test::Mp3Frames(300));
        WriteText(music_ + "/cut.mp3", test::InfoFrame(400, 401 * 417) + test::Mp3Frames(199));
        auto form = Start(music_);
        QVERIFY(form);
        QCOMPARE(form->FileList.ColumnCount(), 10);
        QVERIFY(form->StatusPanelLength->isVisible());
        // Both in view at the window's first size, the longest length text whole.
        const QFontMetrics cells(form->MultiListMP3->font());
        QVERIFY(form->MultiListMP3->SectionWidth(8) >
                cells.horizontalAdvance(QStringLiteral("0:00 truncated")));
        int used = 0;
        for (int i = 0; i < 10; ++i)
            used += form->MultiListMP3->SectionWidth(i);
        QVERIFY(used <= form->MultiListMP3->viewport()->width());
        form->MultiListMP3ListHeaderClick(8); // Length, ascending
        QTRY_COMPARE(form->FileList.SortColumn(), 9);
        const QStringList names = Names(*form);
        QCOMPARE(names.mid(0, 3), QStringList({" cut.mp3", " short.mp3", " long.mp3"}));
        auto cell = [&](std::size_t row, int field) {
            return std::string(TFileList::GetStringItem(field, form->FileList.Row(row).Text));
        };
        QCOMPARE(cell(1, 9), "0:05 truncated");
        QCOMPARE(cell(3, 9), "0:26");
        QCOMPARE(cell(3, 10), "128");
        QCOMPARE(cell(4, 9), "no audio");
        QCOMPARE(cell(4, 10), "?");
        Key(*form, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(form->StatusPanelLength->text(), QString("0:39")); // 5.2 + 7.84 + 26.12 s

        form->ToolbarButton97EditPreferences->click();
        TFormPreferences* prefs = form->FormPreferences;
        QTRY_VERIFY(prefs->isVisible());
        QVERIFY(prefs->CheckBoxShowAudio->isChecked());
        prefs->CheckBoxShowAudio->setChecked(false);
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        prefs->BitBtnOK->click();
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(form->FileList.ColumnCount(), 8);
        QCOMPARE(form->FileList.SortColumn(), 1);
        QVERIFY(!form->StatusPanelLength->isVisible());
        QCOMPARE(cell(1, 9), "");
        QCOMPARE(Names(*form).first(), QString(" A.mp3"));
    }

    // Every tool window takes the keyboard when shown, so Esc closes it; then the focus is on
    // the list again with its focused row in view, never in the directory box.
    void focusAfterEachWindow() {
        for (int i = 0; i < 60; ++i)
            WriteText(music_ + "/s" + std::to_string(10 + i) + ".mp3", Song("S", "B"));
        auto form = Start(music_);
        QVERIFY(form);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(QApplication::focusWidget(), form->MultiListMP3);
        TMultiList& list = *form->MultiListMP3;
        const struct {
            const char* name;
            std::function<void()> open;
            QWidget* window;
        } windows[] = {
            {"edit", [&] { form->ToolbarButton97EditMoreClick(); }, form->FormEditMP3Tag},
            {"rename", [&] { form->ToolbarButton97RenameFileClick(); }, form->FormRename},
            {"from name", [&] { form->ToolbarButton97ReadTagsClick(); },
             form->FormGetTagFromFilename},
            {"select", [&] { form->ToolbarButton97SelectClick(); }, form->FormDeSelect},
            {"preferences", [&] { form->ToolbarButton97EditPreferences->click(); },
             form->FormPreferences},
        };
        for (const auto& w : windows) {
            SelectRow(*form, 50);
            list.SetTopIndex(0);
            w.open();
            QTRY_VERIFY2(w.window->isActiveWindow(), w.name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY2(!w.window->isVisible(), w.name);
            QTRY_VERIFY2(QApplication::focusWidget() == &list, w.name);
            QVERIFY(form->isActiveWindow());
            QVERIFY2(list.TopIndex() > 0, w.name); // row 50 came into view
        }
        // After a rename (a search follows) the list has the focus, not the directory box.
        SelectRow(*form, 1);
        form->ToolbarButton97RenameFileClick();
        QTRY_VERIFY(form->FormRename->isActiveWindow());
        form->FormRename->EditRename->setText("Renamed.mp3");
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        form->FormRename->BitBtnOK->click();
        QTRY_COMPARE(filled.count(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), &list);
        QVERIFY(!form->EditDockCurrentDir->hasSelectedText());
        QVERIFY(fs::exists(music_ + "/Renamed.mp3"));
    }

    void commandsOpenTheirWindows() {
        auto form = Start(music_);
        QVERIFY(form);
        auto hideAll = [&] {
            const std::vector<QWidget*> windows = {
                form->FormDeSelect, form->FormEditMP3Tag,         form->FormEditMore,
                form->FormRename,   form->FormGetTagFromFilename, form->FormChangeDir};
            for (QWidget* w : windows)
                w->hide();
        };

        // Edit with one selected row edits the focused row's file and remembers the selected.
        SelectRow(*form, 2);
        form->FileList.SetItemIndex(1);
        form->ToolbarButton97EditMore->click();
        QTRY_VERIFY(form->FormEditMP3Tag->isVisible());
        QCOMPARE(form->FormEditMP3Tag->Record.Title, std::string("Alpha"));
        QCOMPARE(form->RememberedRow, std::size_t(2));
        hideAll();

        // More than one row: the multi-file editor, from the pop-up menu.
        Key(*form, Qt::Key_A, Qt::ControlModifier);
        form->EditselectedMP3s->trigger();
        QTRY_VERIFY(form->FormEditMore->isVisible());
        QVERIFY(!form->FormEditMP3Tag->isVisible());
        hideAll();

        Key(*form, Qt::Key_F2);
        QTRY_VERIFY(form->FormRename->isVisible());
        hideAll();
        form->ToolbarButton97ReadTags->click();
        QTRY_VERIFY(form->FormGetTagFromFilename->isVisible());
        hideAll();
        Key(*form, Qt::Key_Minus, Qt::KeypadModifier);
        QTRY_VERIFY(form->FormDeSelect->isVisible());
        QCOMPARE(form->FormDeSelect->Mode, TDeSelectMode::dmDeselect);
        hideAll();
        form->Selectfiles->trigger();
        QTRY_VERIFY(form->FormDeSelect->isVisible());
        QCOMPARE(form->FormDeSelect->Mode, TDeSelectMode::dmSelect);
        // Asked for in the other mode while still open, the window shows that mode.
        const QString selectHeadline = form->FormDeSelect->LabelType->text();
        form->Deselectfiles->trigger();
        QCOMPARE(form->FormDeSelect->Mode, TDeSelectMode::dmDeselect);
        QVERIFY(form->FormDeSelect->LabelType->text() != selectHeadline);
        hideAll();

        // Double-click action 2 renames even with several rows selected; Ctrl+Shift+Enter
        // runs the double-click action, not Play.
        form->DblClickAction = 2;
        Key(*form, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(form->FormRename->isVisible());
        hideAll();

        // The change-directory button follows its window.
        form->ToolbarButtonShowDir->click();
        QTRY_VERIFY(form->FormChangeDir->isVisible());
        QVERIFY(form->ToolbarButtonShowDir->isChecked());
        form->FormChangeDir->hide();
        QTRY_VERIFY(!form->ToolbarButtonShowDir->isChecked());

        // On the marker row the file commands do nothing.
        fs::remove_all(music_);
        fs::create_directories(music_);
        QSignalSpy filled(form.get(), &TMainForm::ListFilled);
        Key(*form, Qt::Key_F5);
        QTRY_COMPARE(filled.count(), 1);
        QCOMPARE(std::string(form->FileList.Row(1).Text), std::string("No mp3's found!\t"));
        form->FileList.SetItemIndex(1);
        form->FileList.SetSelected(1, true);
        Key(*form, Qt::Key_F2);
        form->ToolbarButton97EditMore->click();
        Key(*form, Qt::Key_Delete);
        QVERIFY(!form->FormRename->isVisible());
        QVERIFY(!form->FormEditMore->isVisible());
        QVERIFY(questions_.empty());
        QVERIFY(form->StatusPanel0->text().isEmpty());
    }

    void helpModeFollowsThePointer() {
        auto form = Start(music_);
        QVERIFY(form);
        form->ToolbarButton97Help->click();
        QTRY_VERIFY(form->ToolbarButton97Help->isChecked());
        QCOMPARE(form->FormHelp->LabelTopic->text(), QString("Help on help"));

        // The pointer arrives on a button: its help lines, then its hint as topic and status.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(form->ToolbarButton97Refresh, &enter);
        QCOMPARE(form->StatusPanel2->text(), QString("Refresh (F5)"));
        QCOMPARE(form->FormHelp->LabelTopic->text(), QString("Refresh (F5)"));
        QCOMPARE(form->FormHelp->MemoHelp->toPlainText(),
                 QString("\nWith this button you can force the program to reload the current "
                         "directory."));

        // Leaving it: the empty hint brings back the help on help.
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(form.get(), &leave);
        QCOMPARE(form->StatusPanel2->text(), QString());
        QCOMPARE(form->FormHelp->LabelTopic->text(), QString("Help on help"));
        form->ToolbarButton97Help->click();
        QTRY_VERIFY(!form->ToolbarButton97Help->isChecked());
    }

    // Typing in the filter box narrows the list and the footer says how far; select all takes
    // only the rows shown; Esc empties the box and gives every row back, selection as it is.
    void filterBoxNarrowsTheList() {
        auto form = Start(music_);
        QVERIFY(form);
        form->EditFilter->setFocus();
        QTest::keyClicks(form->EditFilter, "ALP");
        QTRY_COMPARE(Names(*form), QStringList({" A.mp3"}));
        QVERIFY(form->StatusPanelFilter->isVisible());
        QCOMPARE(form->StatusPanelFilter->text(), QString("1 of 3 files shown"));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(form->EditFilter, Qt::Key_Backspace);
        QTest::keyClicks(form->EditFilter, "ha");
        QTRY_COMPARE(Names(*form), QStringList({" A.mp3", " c d;e.mp3"}));
        QCOMPARE(form->StatusPanelFilter->text(), QString("2 of 3 files shown"));

        form->MultiListMP3->setFocus();
        Key(*form, Qt::Key_A, Qt::ControlModifier);
        QTRY_COMPARE(form->FileList.SelCount(), std::size_t(2));
        QCOMPARE(form->StatusPanel0->text(), QString("2 files selected"));

        QTest::keyClick(form->EditFilter, Qt::Key_Escape);
        QTRY_COMPARE(form->EditFilter->text(), QString());
        QTRY_COMPARE(Names(*form), QStringList({" A.mp3", " b.mp3", " c d;e.mp3"}));
        QCOMPARE(form->FileList.SelCount(), std::size_t(2));
        QVERIFY(!form->StatusPanelFilter->isVisible());
    }

    // "Make read-only files writable when reading a folder": on by default; off, a read
    // leaves the mode alone and a tag write is refused for that file and names it.
    void readOnlyFilesFollowThePreference() {
        const std::string a = music_ + "/A.mp3";
        const auto mode = [&] {
            struct stat st {};
            ::stat(a.c_str(), &st);
            return st.st_mode & 0777;
        };
        ::chmod(a.c_str(), 0444);
        WriteText(start_ + "/Veltrane.ini", "[Preferences]\nClearReadOnly=0\n");
        {
            auto form = Start(music_);
            QVERIFY(form);
            QCOMPARE(mode(), 0444u);
            SelectRow(*form, 1);
            form->ToolbarButton97EditMore->click();
            QTRY_VERIFY(form->FormEditMP3Tag->isVisible());
            form->FormEditMP3Tag->EditSongName->setText("Neu");
            form->FormEditMP3Tag->BitBtnSave->click();
            QTRY_VERIFY(!errors_.empty());
            QVERIFY(QString::fromStdString(errors_.back()).contains("read-only"));
            QCOMPARE(mode(), 0444u);
        }
        fs::remove(start_ + "/Veltrane.ini");
        auto form = Start(music_);
        QVERIFY(form);
        QCOMPARE(mode(), 0644u);
        ::chmod(a.c_str(), 0644);
    }

    // A file that also holds an ID3v2 tag: with "Keep ID3v2 tags in step" off the status bar
    // says its tag was not changed; with it on, the title frame follows the editor's title.
    void id3v2TagFollowsOnlyWithTheSwitch() {
        const std::string v2 = std::string("ID3\x03\0\0\0\0\0\x0E", 10) + "TIT2" +
                               std::string("\0\0\0\x04\0\0\0", 7) + "Old";
        WriteText(music_ + "/A.mp3", v2 + Song("Alpha", "One"));
        auto form = Start(music_);
        QVERIFY(form);
        const auto save = [&](const char* title) {
            SelectRow(*form, 1);
            form->ToolbarButton97EditMore->click();
            QTRY_VERIFY(form->FormEditMP3Tag->isVisible());
            form->FormEditMP3Tag->EditSongName->setText(title);
            form->FormEditMP3Tag->BitBtnSave->click();
            QTRY_VERIFY(!form->FormEditMP3Tag->isVisible());
        };
        save("Neu");
        QTRY_COMPARE(form->StatusPanel2->text(),
                     QString("1 files also hold an ID3v2 tag, which players show first; it was "
                             "not changed (Preferences, More: Keep ID3v2 tags in step)."));
        QCOMPARE(ReadText(music_ + "/A.mp3").substr(0, v2.size()), v2);

        form->MorePrefs.SyncID3v2 = true;
        form->ApplySyncV2();
        form->StatusPanel2->clear();
        save("Neuer Titel");
        QCOMPARE(form->StatusPanel2->text(), QString());
        const std::string now = ReadText(music_ + "/A.mp3");
        QVERIFY(now.find(std::string("N\0e\0u\0e\0r\0 \0T\0i\0t\0e\0l\0", 22)) < 100);
        QCOMPARE(now.substr(now.size() - 128 - 20000, 20000), Song("Alpha", "One").substr(0, 20000));
        QVERIFY(errors_.empty());
    }
};

int main(int argc, char** argv) {
    QTemporaryDir root;
    gRoot = &root;
    for (const char* sub : {"home", "data", "config", "cache", "start"})
        QDir().mkpath(root.path() + "/" + sub);
    qputenv("HOME", (root.path() + "/home").toUtf8());
    qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (root.path() + "/cache").toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "");
    QDir::setCurrent(root.path() + "/start");
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_guitest.moc"

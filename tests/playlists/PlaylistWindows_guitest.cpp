#include "browser/Execfile.h"
#include "browser/PlayerCommands.h"
#include "components/ui/msgbox.h"
#include "playlists/ui/AddMP3ToPlayList.h"
#include "playlists/ui/LoadPlayList.h"
#include "playlists/ui/PlayListEditor.h"
#include "playlists/ui/SavePlayList.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "support/platform/FakeAssociations.h"
#include "support/platform/FakeProcessStarter.h"
#include "support/platform/FakeVolumes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace veltrane;
using Lines = std::vector<std::string>;

namespace {

class FakeHost : public IPlaylistHost {
  public:
    std::string directory;
    test::FakeVolumes volumes;
    test::FakeProcessStarter starter;
    test::FakeAssociations associations;
    TExecFile playFile{starter, associations};
    Lines help, errors;

    std::string CurrentDirectory() override { return directory; }
    platform::IVolumes& Volumes() override { return volumes; }
    void ShowHelpLines(const Lines& Lines) override { help = Lines; }
    TExecFile& PlayFile() override { return playFile; }
    std::string player = "player";
    std::string MP3PlayerCommand() override { return player; }
    void ShowError(const std::string& Text) override { errors.push_back(Text); }
};

// Answers a message box with the next number of Answers, recording what it asked.
void Answer(TMsgBox* box, std::vector<int>& answers, Lines* asked = nullptr) {
    box->Answer = [&answers, asked](TMsgBox& b) {
        if (asked)
            asked->insert(asked->end(), b.Lines.begin(), b.Lines.end());
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
}

} // namespace

class PlaylistWindowsTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<test::TestDir> owned_;
    test::TestDir* dirp_ = nullptr;
    FakeHost host_;
    TFormPlayListEditor* editor_ = nullptr;
    TFormSavePlayList* save_ = nullptr;
    TFormLoadPlayList* load_ = nullptr;
    TFormAddMP3* add_ = nullptr;

  private slots:
    void init() {
        owned_ = std::make_unique<test::TestDir>();
        dirp_ = owned_.get();
        host_.directory = dirp_->path().string();
        host_.volumes.volumes = {{"/", "/dev/root", "ext4", "/"}};
        host_.errors.clear();
        editor_ = new TFormPlayListEditor(host_);
        save_ = new TFormSavePlayList(host_, *editor_);
        load_ = new TFormLoadPlayList(host_, *editor_);
        add_ = new TFormAddMP3(host_, *editor_);
        editor_->FormSavePlayList = save_;
        editor_->FormLoadPlayList = load_;
        editor_->FormAddMP3 = add_;
    }
    void cleanup() {
        delete add_;
        delete load_;
        delete save_;
        delete editor_;
    }

    void saveOverAnExistingFileAppendsOverwritesOrCancels() {
        const std::string path = dirp_->WriteFile("mix.m3u", "old\r\n");
        editor_->OpenWith({"/m/a.mp3", "/m/b.mp3"});
        std::vector<int> answers = {1, 2, 3};
        Lines asked;
        Answer(save_->MsgBoxSaveExists, answers, &asked);

        const std::string expected[] = {"old\r\n/m/a.mp3\r\n/m/b.mp3\r\n",
                                        "old\r\n/m/a.mp3\r\n/m/b.mp3\r\n",
                                        "old\r\n/m/a.mp3\r\n/m/b.mp3\r\n"};
        for (const std::string& after : expected) {
            QTest::mouseClick(editor_->BitBtnSave, Qt::LeftButton);
            QVERIFY(save_->isVisible());
            QCOMPARE(save_->EditFileName->text(), QString());
            QCOMPARE(save_->FileListBox->count(), 1);
            QTest::keyClicks(save_->EditFileName, "mix");
            QTest::mouseClick(save_->BitBtnSave, Qt::LeftButton);
            QVERIFY(!save_->isVisible());
            QCOMPARE(dirp_->ReadFile("mix.m3u"), after);
        }
        QVERIFY(answers.empty());
        QCOMPARE(asked.front(), std::string("The file specified already exists."));
        // After the append the editor shows the file; the overwrite wrote those lines again.
        QCOMPARE(editor_->Playlist.Entries(), (Lines{"old", "/m/a.mp3", "/m/b.mp3"}));
        QCOMPARE(editor_->EditPlayListName->text().toStdString(), path);
        QVERIFY(editor_->Playlist.Changed());

        // A new name is written without a question; a name nobody can store is refused with
        // the dialog left open and the editor unchanged.
        save_->show();
        QTest::keyClicks(save_->EditFileName, "new");
        QTest::mouseClick(save_->BitBtnSave, Qt::LeftButton);
        QCOMPARE(dirp_->ReadFile("new.m3u"), "old\r\n/m/a.mp3\r\n/m/b.mp3\r\n");
        editor_->Playlist.Add("bad\nname");
        save_->show();
        QTest::keyClicks(save_->EditFileName, "new");
        answers = {2};
        QTest::mouseClick(save_->BitBtnSave, Qt::LeftButton);
        QCOMPARE(host_.errors.size(), size_t(1));
        QVERIFY(save_->isVisible());
        QCOMPARE(editor_->Playlist.Count(), size_t(4));
        QCOMPARE(dirp_->ReadFile("new.m3u"), "old\r\n/m/a.mp3\r\n/m/b.mp3\r\n");
    }

    // The dialog's two options, ticked through their boxes: "#EXTM3U" and an "#EXTINF" line
    // from each file's tag (its name without extension when it has none), entries below the
    // playlist's folder written relative to it; neither ticked, the plain lines.
    void saveOptionsWriteExtendedAndRelativeEntries() {
        const std::string song =
            dirp_->WriteFile("songs/a.mp3", test::Mp3Bytes(300, test::RawTag{"Song", "Band", "", "", "", 255}));
        const std::string bare = dirp_->WriteFile("songs/b c.mp3", test::Mp3BytesNoTag(300));
        const std::string outside = "/m/x.mp3"; // not below the folder: stays absolute
        const struct {
            bool Extended, Relative;
            const char* Name;
            std::string Text;
            Lines Entries;
        } cases[] = {
            {false, false, "plain.m3u", song + "\r\n" + bare + "\r\n" + outside + "\r\n",
             {song, bare, outside}},
            {true, false, "ext.m3u",
             "#EXTM3U\r\n#EXTINF:-1,Band - Song\r\n" + song + "\r\n#EXTINF:-1,b c\r\n" + bare +
                 "\r\n#EXTINF:-1,x\r\n" + outside + "\r\n",
             {song, bare, outside}},
            {false, true, "rel.m3u", "songs/a.mp3\r\nsongs/b c.mp3\r\n" + outside + "\r\n",
             {"songs/a.mp3", "songs/b c.mp3", outside}},
            {true, true, "both.m3u8",
             "#EXTM3U\r\n#EXTINF:-1,Band - Song\r\nsongs/a.mp3\r\n#EXTINF:-1,b c\r\n"
             "songs/b c.mp3\r\n#EXTINF:-1,x\r\n" + outside + "\r\n",
             {"songs/a.mp3", "songs/b c.mp3", outside}},
        };
        for (const auto& c : cases) {
            editor_->OpenWith({song, bare, outside});
            QTest::mouseClick(editor_->BitBtnSave, Qt::LeftButton);
            QVERIFY(save_->isVisible());
            for (const auto& [box, ticked] :
                 {std::pair{save_->CheckBoxExtended, c.Extended}, {save_->CheckBoxRelative, c.Relative}})
                if (box->isChecked() != ticked)
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            QCOMPARE(save_->CheckBoxExtended->isChecked(), c.Extended);
            QCOMPARE(save_->CheckBoxRelative->isChecked(), c.Relative);
            QTest::keyClicks(save_->EditFileName, c.Name);
            QTest::mouseClick(save_->BitBtnSave, Qt::LeftButton);
            QVERIFY(!save_->isVisible());
            QCOMPARE(dirp_->ReadFile(c.Name), c.Text);
            // Reloaded from the file: its entries only, none of the # lines.
            QCOMPARE(editor_->Playlist.Entries(), c.Entries);
        }
        QVERIFY(host_.errors.empty());
    }

    void loadIntoEmptyAndNonEmptyPlaylists() {
        dirp_->WriteFile("one.m3u", "x\r\ny");
        std::vector<int> answers = {1};
        Answer(load_->MsgBoxLoadDlg, answers);
        editor_->OpenWith({});
        QVERIFY(!editor_->Playlist.Changed());
        for (const Lines& after : {Lines{"x", "y"}, Lines{"x", "y", "x", "y"}}) {
            QTest::mouseClick(editor_->BitBtnLoad, Qt::LeftButton);
            QVERIFY(load_->isVisible());
            QListWidgetItem* item = load_->FileListBox->item(0);
            QVERIFY(item);
            // A double-click picks the name and loads.
            const QRect r = load_->FileListBox->visualItemRect(item);
            QTest::mouseClick(load_->FileListBox->viewport(), Qt::LeftButton, {}, r.center());
            QCOMPARE(load_->EditFileName->text(), QString("one.m3u"));
            QTest::mouseDClick(load_->FileListBox->viewport(), Qt::LeftButton, {}, r.center());
            QVERIFY(!load_->isVisible());
            QCOMPARE(editor_->Playlist.Entries(), after);
            QCOMPARE(editor_->ListBoxPlayList->count(), int(after.size()));
            QVERIFY(editor_->Playlist.Changed());
        }
        QVERIFY(answers.empty()); // asked only the second time
        // A missing file: nothing happens and the dialog stays.
        load_->show();
        QTest::keyClicks(load_->EditFileName, "none");
        QTest::mouseClick(load_->BitBtnLoad, Qt::LeftButton);
        QVERIFY(load_->isVisible());
        QVERIFY(host_.errors.empty());
        load_->hide();
    }

    // A path typed into the name box is refused with a word; the folder comes from the list.
    void loadSaysThatATypedPathIsNotTaken() {
        dirp_->WriteFile("sub/two.m3u", "z");
        dirp_->WriteFile("one.m3u", "x");
        editor_->OpenWith({});
        for (const std::string& typed : {dirp_->path().string() + "/one.m3u", std::string("sub/two"),
                                         std::string("../one.m3u")}) {
            host_.errors.clear();
            load_->show();
            QTest::keyClicks(load_->EditFileName, QString::fromStdString(typed));
            QTest::mouseClick(load_->BitBtnLoad, Qt::LeftButton);
            QCOMPARE(host_.errors, Lines{std::string(kMsgLoadNameOnly)});
            QVERIFY(load_->isVisible());
            QVERIFY(editor_->Playlist.Empty());
        }
        load_->hide();
    }

    void addThreeOfFiveFilesInListOrder() {
        for (const char* name : {"a.mp3", "B.mp3", "c.MP3", "d.mp3", "e.mp3", "f.txt"})
            dirp_->WriteFile(std::string("songs/") + name, "x");
        host_.directory = *dirp_ / "songs";
        editor_->OpenWith({"first"});
        QTest::mouseClick(editor_->BitBtnAdd, Qt::LeftButton);
        QCOMPARE(add_->FileListBox->count(), 5);
        for (int row : {4, 0, 2})
            add_->FileListBox->item(row)->setSelected(true);
        QTest::mouseClick(add_->BitBtnAdd, Qt::LeftButton);
        QVERIFY(!add_->isVisible());
        // The list is sorted ignoring case: a, B, c, d, e.
        const std::string d = *dirp_ / "songs/";
        QCOMPARE(editor_->Playlist.Entries(),
                 (Lines{"first", d + "a.mp3", d + "c.MP3", d + "e.mp3"}));
    }

    void closeAsksToSaveOnlyWhenChanged() {
        std::vector<int> answers = {2, 1};
        Lines asked;
        Answer(editor_->MsgBoxSaveChanges, answers, &asked);
        editor_->OpenWith({});
        QTest::mouseClick(editor_->BitBtnClose, Qt::LeftButton);
        QVERIFY(asked.empty());
        QVERIFY(!editor_->isVisible());

        editor_->OpenWith({"/m/a.mp3"});
        QTest::keyClick(editor_, Qt::Key_Escape); // Esc is Close: No
        QCOMPARE(asked, Lines{"Save changes?"});
        QVERIFY(!editor_->isVisible());
        QVERIFY(!save_->isVisible());
        editor_->OpenWith({"/m/a.mp3"});
        QTest::mouseClick(editor_->BitBtnClose, Qt::LeftButton); // Yes
        QVERIFY(!editor_->isVisible());
        QVERIFY(save_->isVisible());
        save_->hide();
    }

    void launchNeedsAFileAndHelpFollowsThePointer() {
        editor_->OpenWith({"/m/a.mp3"});
        QTest::mouseClick(editor_->BitBtnLaunch, Qt::LeftButton);
        QCOMPARE(host_.errors, Lines{"Please save the playlist first!"});
        QVERIFY(host_.starter.started.empty());
        // A saved playlist without a player: said so, and the playlist is never the program.
        const std::string m3u = dirp_->WriteFile("list.m3u", "/m/a.mp3\r\n");
        editor_->Playlist.LoadPlayList(m3u);
        host_.player = "";
        QTest::mouseClick(editor_->BitBtnLaunch, Qt::LeftButton);
        host_.player = "player";
        QCOMPARE(host_.errors.back(), NoPlayerMessage(".m3u files"));
        QVERIFY(host_.starter.started.empty());
        QTest::mouseClick(editor_->BitBtnLaunch, Qt::LeftButton);
        QCOMPARE(host_.starter.started.back().argv, (Lines{"player", m3u}));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(editor_->BitBtnLaunch, &enter);
        QCOMPARE(host_.help, (Lines{"", "Starts your MP3 player up with the current playlist", "",
                                    "note: works only if your MP3 file type is registered!"}));
        QApplication::sendEvent(editor_->BitBtnSort, &enter);
        QCOMPARE(host_.help, (Lines{"", "Arranges the current playlist alphabetically"}));
        editor_->hide();
    }
};

QTEST_MAIN(PlaylistWindowsTest)
#include "PlaylistWindows_guitest.moc"

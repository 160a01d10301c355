// The main window's playlist button: the selected files, in list order, become the editor's
// playlist, which then launches in the registered player.

#include "browser/ui/main.h"
#include "components/ui/msgbox.h"
#include "playlists/ui/PlayListEditor.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "support/platform/FakeAssociations.h"
#include "support/platform/FakeFileOperations.h"
#include "support/platform/FakeProcessStarter.h"
#include "support/platform/FakeVolumes.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace veltrane;

class PlaylistButtonTest : public QObject {
    Q_OBJECT
  private slots:
    void selectedFilesOpenTheEditor() {
        test::TestDir dir;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            dir.WriteFile(name, test::Mp3Bytes(20000, {}));
        test::FakeAssociations associations;
        associations.byExtension[".mp3"] = "player --queue";
        test::FakeFileOperations fileOps;
        test::FakeProcessStarter processes;
        test::FakeVolumes volumes;
        volumes.volumes = {{"/", "", "", "/"}};
        std::vector<std::string> errors;
        TMainServices services{&associations, &fileOps, &processes, &volumes, nullptr,
                               dir.path().string(), nullptr,
                               [&errors](const std::string& t) { errors.push_back(t); }, {}, nullptr};
        TMainForm form(services);
        form.CreateWindows();
        form.CommandLineDir = dir.path().string();
        QSignalSpy filled(&form, &TMainForm::ListFilled);
        form.show();
        QVERIFY(filled.wait(5000));

        QVERIFY(form.ToolbarButton97PlayListEditor->isEnabled());
        form.FileList.SetSelected(3, true);
        form.FileList.SetSelected(1, true);
        form.ToolbarButton97PlayListEditor->click();
        TFormPlayListEditor* editor = form.FormPlayListEditor;
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->Playlist.Entries(),
                 (std::vector<std::string>{dir / "a.mp3", dir / "c.mp3"}));
        QVERIFY(editor->Playlist.Changed());

        // Saved and launched: the player gets the playlist file as one argument.
        const std::string list = dir.WriteFile("my list.m3u", "x\r\n");
        editor->LoadPlayList(list);
        editor->BitBtnLaunch->click();
        QCOMPARE(errors, std::vector<std::string>{});
        QCOMPARE(processes.started.back().argv,
                 (std::vector<std::string>{"player", "--queue", list}));

        // Closing asks to save the handed-over selection; No just hides the editor.
        int asked = 0;
        editor->MsgBoxSaveChanges->Answer = [&asked](TMsgBox&) { return ++asked, 2; };
        editor->BitBtnClose->click();
        QCOMPARE(asked, 1);
        QVERIFY(!editor->isVisible());
    }
};

QTEST_MAIN(PlaylistButtonTest)
#include "PlaylistButton_guitest.moc"

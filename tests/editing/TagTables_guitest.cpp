#include "editing/ui/PreviewChanges.h"
#include "editing/ui/TagTableActions.h"

#include "FakeEditingHost.h"
#include "editing/ChangeJournal.h"
#include "editing/JournaledSteps.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace veltrane {

class TagTablesTest : public QObject {
    Q_OBJECT
  private slots:
    void exportEditPreviewApplyAndCancel() {
        test::TestDir state, dir;
        TChangeJournal journal(state.path().string() + "/veltrane");
        SetActiveJournal(&journal);
        dir.WriteFile("M/a.mp3", test::Mp3Bytes(20000, test::RawTag{"One", "X", "Old", "", "", 255}));
        dir.WriteFile("M/b.mp3", test::Mp3Bytes(20000, test::RawTag{"Two", "Y", "Old", "", "", 255}));
        TFileList list;
        test::FakeEditingHost host(list, dir / "M");
        host.RunSearch();
        QCOMPARE(list.Count(), std::size_t(3));

        QWidget window;
        QMenu menu(&window);
        QAction* first = menu.addAction("Number tracks...");
        QAction* last = menu.addAction("Undo");
        TTagTableActions actions(host, &menu, first, &window);
        QCOMPARE(menu.actions().indexOf(actions.ExportTags), 1);
        QCOMPARE(menu.actions().indexOf(actions.ImportTags), 2);
        QCOMPARE(menu.actions().indexOf(last), 3);
        std::string picked;
        actions.PickFile = [&](bool) { return picked; };

        picked = dir / "t"; // no extension: CSV
        actions.ExportTagsClick();
        std::string csv = dir.ReadFile("t.csv");
        QCOMPARE(csv.substr(0, 10), std::string("path,title"));
        const std::size_t at = csv.find(",X,Old,");
        QVERIFY(at != std::string::npos);
        csv.replace(at, 7, ",X,New,");
        dir.WriteFile("t.csv", csv);

        picked = dir / "t.csv";
        int shown = 0;
        const auto answer = [&](QPushButton* button) {
            QTimer::singleShot(0, [&, button] {
                ++shown;
                QCOMPARE(actions.Preview->LabelCounts->text(), QString("1 change in 1 file"));
                QCOMPARE(actions.Preview->TableChanges->rowCount(), 1);
                QCOMPARE(actions.Preview->TableChanges->item(0, 2)->text(), QString("Old"));
                QCOMPARE(actions.Preview->TableChanges->item(0, 3)->text(), QString("New"));
                button->click();
            });
        };
        answer(actions.Preview->BitBtnCancel);
        actions.ImportTagsClick();
        QCOMPARE(shown, 1);
        QCOMPARE(GetMP3Tag(dir / "M/a.mp3").Album, std::string("Old"));

        answer(actions.Preview->BitBtnApply);
        actions.ImportTagsClick();
        QCOMPARE(shown, 2);
        QCOMPARE(GetMP3Tag(dir / "M/a.mp3").Album, std::string("New"));
        QVERIFY(list.Row(1).Text.find("\tNew\t") != std::string::npos); // the row rebuilt
        QVERIFY(host.errors.empty());

        // A table that cannot be read: an error, no preview.
        dir.WriteFile("t.csv", "path\r\n\"open");
        actions.ImportTagsClick();
        QCOMPARE(shown, 2);
        QCOMPARE(host.errors.size(), std::size_t(1));
        SetActiveJournal(nullptr);
    }
};

} // namespace veltrane

QTEST_MAIN(veltrane::TagTablesTest)
#include "TagTables_guitest.moc"

#include "editing/ui/ChangeDir.h"
#include "support/TestDir.h"
#include "support/platform/FakeVolumes.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace veltrane;

class ChangeDirTest : public QObject {
    Q_OBJECT

    static std::string PathOf(QTreeWidgetItem* item) {
        return item->data(0, Qt::UserRole).toByteArray().toStdString();
    }

  private slots:
    void treeShowsCurrentDirectoryAndChangesStartSearches() {
        test::TestDir dir;
        dir.MakeDir("vol/Music/Rock");
        dir.MakeDir("vol/Music/Jazz");
        dir.MakeDir("vol/Music/.hidden");
        dir.MakeDir("stick/Songs \xE9");
        test::FakeVolumes volumes;
        volumes.volumes = {
            {"/", "", "", "/"}, {dir / "stick", "", "", "stick"}, {dir / "vol", "", "", "vol"}};
        TFormChangeDir form(volumes);
        QCOMPARE(form.DriveComboBoxMP3->count(), 3);
        QSignalSpy changed(&form, &TFormChangeDir::DirectoryListBoxMP3Change);

        QVERIFY(form.SetDirectory(dir / "vol/Music/Rock/"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(QString::fromStdString(form.Directory()),
                 QString::fromStdString(dir / "vol/Music/Rock"));
        QCOMPARE(form.DriveComboBoxMP3->currentIndex(), 2);
        QTreeWidgetItem* current = form.DirectoryListBoxMP3->currentItem();
        QVERIFY(current);
        QCOMPARE(QString::fromStdString(PathOf(current)),
                 QString::fromStdString(dir / "vol/Music/Rock"));
        QCOMPARE(form.DirectoryListBoxMP3->topLevelItem(0)->text(0), QString("vol"));
        QTreeWidgetItem* music = current->parent();
        QCOMPARE(music->childCount(), 2); // Jazz, Rock; the hidden one left out
        QCOMPARE(music->child(0)->text(0), QString("Jazz"));

        // Shown without a search (the start directory when the default one is missing).
        QVERIFY(form.SetDirectory(dir / "vol/Music", false));
        QCOMPARE(changed.count(), 1);
        QVERIFY(form.SetDirectory(dir / "vol/Music/Rock"));
        QCOMPARE(changed.count(), 2);

        // The same directory again: nothing happens.
        QVERIFY(!form.SetDirectory(dir / "vol/Music/Rock"));
        QCOMPARE(changed.count(), 2);

        // The user picks another directory in the tree (rebuilt by the last change).
        music = form.DirectoryListBoxMP3->currentItem()->parent();
        form.DirectoryListBoxMP3->setCurrentItem(music->child(0));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(QString::fromStdString(form.Directory()),
                 QString::fromStdString(dir / "vol/Music/Jazz"));

        // The user picks another volume: its root becomes current.
        form.DriveComboBoxMP3->setCurrentIndex(1);
        emit form.DriveComboBoxMP3->activated(1);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(QString::fromStdString(form.Directory()), QString::fromStdString(dir / "stick"));
        QTreeWidgetItem* root = form.DirectoryListBoxMP3->topLevelItem(0);
        root->setExpanded(true);
        QCOMPARE(root->childCount(), 1);
        // A name that is not UTF-8 keeps its bytes.
        QCOMPARE(PathOf(root->child(0)), dir / "stick/Songs \xE9");
    }

    void showAndHideReportVisibility() {
        test::FakeVolumes volumes;
        volumes.volumes = {{"/", "", "", "/"}};
        TFormChangeDir form(volumes);
        QSignalSpy visible(&form, &TFormChangeDir::VisibilityChanged);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(visible.count(), 1);
        QCOMPARE(visible.last().at(0).toBool(), true);
        form.hide();
        QCOMPARE(visible.last().at(0).toBool(), false);
        QCOMPARE(form.windowTitle(), QString("Current directory"));
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    }
};

QTEST_MAIN(ChangeDirTest)
#include "ChangeDir_guitest.moc"

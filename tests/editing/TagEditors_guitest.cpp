// Window tests of the single-file and multi-file tag editors.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

using namespace veltrane;

class TagEditorsTest : public QObject {
    Q_OBJECT

  private slots:
    void editorSaveWritesAndRefreshesTheRow() {
        test::EditingFolder folder;
        const std::string path = folder.Add("a.mp3", test::Tagged("Song  ", "Band", 17));
        TFileList& list = folder.List();
        const std::size_t row = folder.RowOf(path);
        test::FakeEditingHost host(list);
        host.rememberedRow = row;
        TFormEditMP3Tag form(host);
        form.Record = GetMP3Tag(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QCOMPARE(form.windowTitle(), QString("Edit tag for a.mp3"));
        QCOMPARE(form.EditSongName->text(), QString("Song"));
        QCOMPARE(form.ComboBoxStyle->currentText(), QString("Rock "));
        QCOMPARE(form.ComboBoxStyle->itemText(0), QString());
        QTRY_VERIFY(form.EditSongName->hasFocus());

        form.EditSongName->setText(" New");
        form.EditYear->setText("abcd");
        form.ComboBoxStyle->setCurrentIndex(0);
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        const TMP3Tag tag = GetMP3Tag(path);
        QCOMPARE(tag.Title, std::string(" New"));
        QCOMPARE(tag.Year, std::string("abcd"));
        QCOMPARE(int(tag.Genre), 255);
        QVERIFY(list.ItemText(row).find("\t New\tBand\t") != std::string::npos);
        QVERIFY(list.Selected(row));
    }

    void editorCancelWritesNothingAndReselects() {
        test::EditingFolder folder;
        const std::string path = folder.AddNoTag("b.mp3");
        TFileList& list = folder.List();
        test::FakeEditingHost host(list);
        host.rememberedRow = folder.RowOf(path);
        TFormEditMP3Tag form(host);
        form.Record = GetMP3Tag(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.EditSongName->text(), QString());
        QCOMPARE(form.ComboBoxStyle->currentIndex(), 0);
        form.EditSongName->setText("x");
        QTest::keyClick(form.EditSongName, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QCOMPARE(std::filesystem::file_size(path), test::kAudioBytes);
        QVERIFY(list.Selected(host.rememberedRow));
    }

    void editorEnterSavesAndAFailedWriteKeepsTheWindow() {
        test::EditingFolder folder;
        const std::string path = folder.AddNoTag("c.mp3");
        TFileList& list = folder.List();
        test::FakeEditingHost host(list);
        TFormEditMP3Tag form(host);
        form.Record = GetMP3Tag(path);
        std::filesystem::remove(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.EditSongName->setText("t");
        QTest::keyClick(form.EditSongName, Qt::Key_Return);
        QCOMPARE(host.errors.size(), std::size_t(1));
        QVERIFY(form.isVisible());
        QCOMPARE(form.EditSongName->text(), QString("t"));
    }

    void editMoreLeaveBoxesFollowTheEdits() {
        test::EditingFolder folder;
        folder.AddNoTag("a.mp3");
        TFileList& list = folder.List();
        list.SetAllSelected(true);
        test::FakeEditingHost host(list);
        TFormEditMore form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QString("Change tag for more files"));
        QCOMPARE(form.LabelInfo->text(), QString("changing tag for 1 file"));

        QTest::keyClicks(form.EditAlbum, "x");
        QVERIFY(!form.CheckBoxLeaveAlbum->isChecked());
        QTest::keyClick(form.EditAlbum, Qt::Key_Backspace);
        QVERIFY(form.CheckBoxLeaveAlbum->isChecked());

        QTest::mouseClick(form.Label9, Qt::LeftButton);
        QVERIFY(!form.CheckBoxLeaveComment->isChecked());
        QTest::mouseClick(form.Label13, Qt::LeftButton);
        QVERIFY(!form.CheckBoxLeaveStyle->isChecked());
        form.ComboBoxStyle->setCurrentIndex(3);
        emit form.ComboBoxStyle->activated(3);
        QVERIFY(!form.CheckBoxLeaveStyle->isChecked());
        form.ComboBoxStyle->setCurrentIndex(0);
        emit form.ComboBoxStyle->activated(0);
        QVERIFY(form.CheckBoxLeaveStyle->isChecked());
        QCOMPARE(form.CheckBoxLeaveYear->focusPolicy(), Qt::NoFocus);

        // Every showing starts over with all boxes checked.
        form.hide();
        form.show();
        QVERIFY(form.CheckBoxLeaveComment->isChecked());
        QCOMPARE(form.EditAlbum->text(), QString());
    }

    void editMoreSaveWritesSelectedFilesAndReportsFailures() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("A", "X", 17));
        const std::string b = folder.AddNoTag("b.mp3");
        const std::string c = folder.AddNoTag("c.mp3");
        TFileList& list = folder.List();
        folder.Select({a, b, c});
        std::filesystem::remove(b);
        test::FakeEditingHost host(list);
        TFormEditMore form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.LabelInfo->text(), QString("changing tag for 3 files"));
        QTest::keyClicks(form.EditAlbum, "Best");
        form.EditComment->clear();
        QTest::mouseClick(form.Label9, Qt::LeftButton); // blank the comment too
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);

        QVERIFY(!form.isVisible());
        QCOMPARE(host.lockCalls, (std::vector<bool>{true, false}));
        QCOMPARE(host.errors.size(), std::size_t(1));
        QVERIFY(host.errors[0].find(b + ": File not found") != std::string::npos);
        TMP3Tag tag = GetMP3Tag(a);
        QCOMPARE(tag.Album, std::string("Best"));
        QCOMPARE(tag.Title, std::string("A"));
        QCOMPARE(int(tag.Genre), 17);
        tag = GetMP3Tag(c);
        QCOMPARE(tag.Album, std::string("Best"));
        QCOMPARE(tag.Header, std::string("TAG"));
    }
};

QTEST_MAIN(TagEditorsTest)
#include "TagEditors_guitest.moc"

// Window tests of the derive format, tags-from-names, rename and (de)select windows.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/SyncV2.h"
#include "editing/ui/DeriveFormat.h"
#include "editing/ui/GetTagFromFileName.h"
#include "editing/ui/PreviewChanges.h"
#include "editing/ui/Rename.h"
#include "editing/ui/deSelect.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <filesystem>

using namespace veltrane;
namespace fs = std::filesystem;

namespace {

// The three windows that share the derive format, linked as at start-up.
struct DeriveWindows {
    explicit DeriveWindows(IEditingHost& host) : rename(host), derive(host), getTag(host) {
        LinkDeriveFormat(derive, rename, getTag);
    }
    TFormRename rename;
    TFormDeriveFormat derive;
    TFormGetTagFromFilename getTag;
};

// Answers the next showing of Preview: keeps its counts and rows ("cell|cell|...", then "|grey",
// "|red" or "|amber" for a marked row), clears "Show this preview" when asked, and presses Apply or
// Cancel.
struct PreviewAnswer {
    QString counts;
    QStringList rows;
    int shown = 0;
    void Next(TFormPreviewChanges& Preview, bool Apply, bool HideNextTime = false) {
        QTimer::singleShot(0, [this, &Preview, Apply, HideNextTime] {
            ++shown;
            counts = Preview.LabelCounts->text();
            rows.clear();
            QTableWidget* table = Preview.TableChanges;
            const QColor grey = Preview.palette().color(QPalette::Disabled, QPalette::Text);
            for (int r = 0; r < table->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columnCount(); ++c)
                    cells << (c == 0 ? table->item(r, c)->text().section('/', -1)
                                     : table->item(r, c)->text());
                const QTableWidgetItem* file = table->item(r, 0);
                if (file->foreground().color() == grey)
                    cells << "grey";
                else if (file->foreground().color() == QColor(0xa0, 0x00, 0x00))
                    cells << "red";
                else if (file->background().style() != Qt::NoBrush)
                    cells << "amber";
                rows << cells.join('|');
            }
            QVERIFY(Preview.CheckBoxShowPreview->isChecked());
            if (HideNextTime)
                Preview.CheckBoxShowPreview->setChecked(false);
            (Apply ? Preview.BitBtnApply : Preview.BitBtnCancel)->click();
        });
    }
};

QStringList Items(QListWidget* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->item(i)->text();
    return items;
}

} // namespace

class DeriveWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void deriveWindowMovesItemsAndRefreshesBothTexts() {
        TFileList list;
        test::FakeEditingHost host(list);
        DeriveWindows w(host);
        w.derive.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.derive));
        QCOMPARE(Items(w.derive.ListBoxDeriveHowTo), (QStringList{"2. Artistname", "1. Songname"}));

        QTest::mouseClick(w.derive.ButtonGoToHowTo, Qt::LeftButton); // nothing selected
        QCOMPARE(w.derive.ListBoxDeriveHowTo->count(), 2);
        w.derive.ListBoxDeriveOptions->setCurrentRow(1); // "4. Year"
        QTest::mouseClick(w.derive.ButtonGoToHowTo, Qt::LeftButton);
        QCOMPARE(Items(w.derive.ListBoxDeriveHowTo),
                 (QStringList{"2. Artistname", "1. Songname", "4. Year"}));
        w.derive.EditSeperatorSign->selectAll();
        QTest::keyClicks(w.derive.EditSeperatorSign, "_");
        QCOMPARE(w.derive.Format.Separator(), std::string("_"));
        QTest::mouseClick(w.derive.BitBtnOK, Qt::LeftButton);
        QVERIFY(!w.derive.isVisible());
        QCOMPARE(w.rename.LabelDeriveFormat->text(), QString("Artistname_Songname_Year"));
        QCOMPARE(w.getTag.LabelDeriveFormat->text(), QString("Artistname_Songname_Year"));

        // Cancel keeps the change, and both texts show the format that is now in use.
        w.derive.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.derive));
        w.derive.ListBoxDeriveHowTo->setCurrentRow(2);
        QTest::mouseClick(w.derive.ButtonGoToOptions, Qt::LeftButton);
        QTest::keyClick(&w.derive, Qt::Key_Escape);
        QVERIFY(!w.derive.isVisible());
        QCOMPARE(w.derive.Format.FormatText(), std::string("Artistname_Songname"));
        QCOMPARE(w.rename.LabelDeriveFormat->text(), QString("Artistname_Songname"));
        QCOMPARE(w.getTag.LabelDeriveFormat->text(), QString("Artistname_Songname"));
    }

    void deriveWindowRefusesAnEmptyFormat() {
        TFileList list;
        test::FakeEditingHost host(list);
        DeriveWindows w(host);
        w.derive.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.derive));
        for (int i = 0; i < 2; ++i) {
            w.derive.ListBoxDeriveHowTo->setCurrentRow(0);
            QTest::mouseClick(w.derive.ButtonGoToOptions, Qt::LeftButton);
        }
        QCOMPARE(w.derive.ListBoxDeriveHowTo->count(), 0);
        QTest::mouseClick(w.derive.BitBtnOK, Qt::LeftButton);
        QCOMPARE(host.errors, (std::vector<std::string>{std::string(kMsgEmptyFormat)}));
        QVERIFY(w.derive.isVisible());
    }

    void getTagDerivesTheSelectedFiles() {
        test::EditingFolder folder;
        const std::string a = folder.Add("[Band] - (Song).mp3", test::Tagged("x", "y", 17));
        const std::string b = folder.AddNoTag("Other - Tune.mp3");
        TFileList& list = folder.List();
        folder.Select({a});
        test::FakeEditingHost host(list);
        DeriveWindows w(host);
        w.getTag.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.getTag));
        QCOMPARE(w.getTag.windowTitle(), QString("Derive tag from filename"));
        QCOMPARE(w.getTag.LabelDeriveFormat->text(), QString("Artistname-Songname"));
        QVERIFY(w.getTag.CheckBoxSmartCut->isChecked());
        QVERIFY(!w.getTag.CheckBoxClearTag->isChecked());
        PreviewAnswer answer;
        answer.Next(*w.getTag.Preview, true);
        QTest::mouseClick(w.getTag.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 1);
        QVERIFY(!w.getTag.isVisible());
        const TMP3Tag tag = GetMP3Tag(a);
        QCOMPARE(tag.Artist, std::string("Band"));
        QCOMPARE(tag.Title, std::string("Song"));
        QCOMPARE(int(tag.Genre), 17);
        QCOMPARE(fs::file_size(b), test::kAudioBytes);
    }

    void renameOneFileByTypedName() {
        test::EditingFolder folder;
        const std::string a = folder.AddNoTag("old.mp3");
        TFileList& list = folder.List();
        const std::size_t row = folder.RowOf(a);
        list.SetSelected(row, true);
        list.SetItemIndex(static_cast<std::ptrdiff_t>(row));
        test::FakeEditingHost host(list, folder.Dir().path().string());
        DeriveWindows w(host);
        w.rename.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.rename));
        QCOMPARE(w.rename.LabelRename->text(), QString("Rename old.mp3 to:"));
        QCOMPARE(w.rename.EditRename->text(), QString("old.mp3"));
        QVERIFY(w.rename.CheckBoxDerive->isEnabled());
        QVERIFY(!w.rename.CheckBoxDerive->isChecked());
        QCOMPARE(w.rename.LabelDeriveFormat->text(), QString("Artistname - Songname"));

        w.rename.EditRename->setText("new");
        QTest::keyClick(w.rename.EditRename, Qt::Key_Return);
        QVERIFY(!w.rename.isVisible());
        QVERIFY(fs::exists(folder / "new.mp3"));
        QCOMPARE(host.searches, 1);
        QVERIFY(host.errors.empty());
    }

    void renameOntoAnExistingNameLeavesBothFiles() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("A", "A"));
        const std::string b = folder.Add("b.mp3", test::Tagged("B", "B"));
        const std::string bBytes = folder.Dir().ReadFile("b.mp3");
        TFileList& list = folder.List();
        list.SetSelected(folder.RowOf(a), true);
        list.SetItemIndex(static_cast<std::ptrdiff_t>(folder.RowOf(a)));
        test::FakeEditingHost host(list, folder.Dir().path().string());
        DeriveWindows w(host);
        w.rename.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.rename));
        w.rename.EditRename->setText("b.mp3");
        QTest::mouseClick(w.rename.BitBtnOK, Qt::LeftButton);
        QCOMPARE(host.errors, (std::vector<std::string>{"File with that name already exists!"}));
        QVERIFY(fs::exists(a));
        QCOMPARE(folder.Dir().ReadFile("b.mp3"), bBytes);
        // The window stays with the typed name for another try; an empty name is refused.
        QVERIFY(w.rename.isVisible());
        QCOMPARE(w.rename.EditRename->text(), QString("b.mp3"));
        w.rename.EditRename->clear();
        QTest::keyClick(w.rename.EditRename, Qt::Key_Return);
        QCOMPARE(host.errors.back(), std::string("The new name is empty."));
        QVERIFY(w.rename.isVisible());
        QVERIFY(fs::exists(a) && !fs::exists(folder / ".mp3"));
        QCOMPARE(host.searches, 0);
    }

    void renameKeepsANameThatIsNotUtf8() {
        test::EditingFolder folder;
        const std::string a = folder.AddNoTag("caf\xE9.mp3"); // Latin-1
        TFileList& list = folder.List();
        list.SetSelected(folder.RowOf(a), true);
        list.SetItemIndex(static_cast<std::ptrdiff_t>(folder.RowOf(a)));
        test::FakeEditingHost host(list, folder.Dir().path().string());
        DeriveWindows w(host);
        w.rename.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.rename));
        QCOMPARE(w.rename.EditRename->text(), QString::fromUtf8("caf\xC3\xA9.mp3"));
        // Unchanged, it is the present name: refused, not renamed to its UTF-8 spelling.
        QTest::mouseClick(w.rename.BitBtnOK, Qt::LeftButton);
        QCOMPARE(host.errors, (std::vector<std::string>{"File with that name already exists!"}));
        QVERIFY(fs::exists(a));
        QVERIFY(!fs::exists(folder / "caf\xC3\xA9.mp3"));
    }

    void renameSeveralFilesFromTags() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
        const std::string b = folder.Add("b.mp3", test::Tagged("Live?", "AC/DC:"));
        TFileList& list = folder.List();
        folder.Select({a, b});
        test::FakeEditingHost host(list, folder.Dir().path().string());
        DeriveWindows w(host);
        w.derive.Format.SetSeparator("x"); // showing the rename window resets the format
        w.rename.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.rename));
        QCOMPARE(w.rename.LabelRename->text(), QString("Rename 2 files"));
        QVERIFY(!w.rename.EditRename->isVisible());
        QVERIFY(w.rename.CheckBoxDerive->isChecked());
        QVERIFY(!w.rename.CheckBoxDerive->isEnabled());
        QTest::mouseClick(w.rename.Label2, Qt::LeftButton);
        QVERIFY(w.rename.CheckBoxDerive->isChecked());
        QCOMPARE(w.rename.LabelDeriveFormat->text(), QString("Artistname - Songname"));

        PreviewAnswer answer;
        answer.Next(*w.rename.Preview, true);
        QTest::mouseClick(w.rename.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 1);
        QVERIFY(fs::exists(folder / "Band - Song.mp3"));
        QVERIFY(fs::exists(folder / "ACDC - Live.mp3"));
        QCOMPARE(host.searches, 1);
        QCOMPARE(list.Count(), std::size_t(3));
    }

    void tagsFromNamesPreviewCancelApplyAndTurnedOff() {
        test::EditingFolder folder;
        const std::string changed = folder.Add("Band - Song.mp3", test::Tagged("Old", "Band"));
        const std::string same = folder.Add("Same - Name.mp3", test::Tagged("Name", "Same"));
        const std::string more = folder.AddNoTag("Jean-Luc Ponty - Open Mind.mp3");
        TFileList& list = folder.List();
        folder.Select({changed, same, more});
        test::FakeEditingHost host(list);
        host.settingsFile = folder / "Veltrane.ini";
        DeriveWindows w(host);
        w.getTag.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.getTag));

        PreviewAnswer answer;
        answer.Next(*w.getTag.Preview, false, true); // unticked, then cancelled: not kept
        QTest::mouseClick(w.getTag.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 1);
        QCOMPARE(
            platform::GetPrivateProfileString("Preview", "TagsFromNames", "", host.settingsFile),
            std::string());
        QCOMPARE(answer.counts,
                 QString("3 changes in 2 files; 1 file unchanged; 2 rows with a warning"));
        const QString note = "more pieces than fields: \"Open Mind\" is not used";
        QCOMPARE(answer.rows,
                 (QStringList{"Band - Song.mp3|title|Old|Song|",
                              "Jean-Luc Ponty - Open Mind.mp3|title||Luc Ponty|" + note + "|amber",
                              "Jean-Luc Ponty - Open Mind.mp3|artist||Jean|" + note + "|amber",
                              "Same - Name.mp3||||unchanged|grey"}));
        QCOMPARE(GetMP3Tag(changed).Title, std::string("Old")); // Cancel wrote nothing
        QVERIFY(w.getTag.isVisible());
        QCOMPARE(host.listChanged, 0);

        answer.Next(*w.getTag.Preview, true, true);
        QTest::mouseClick(w.getTag.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 2);
        QCOMPARE(GetMP3Tag(changed).Title, std::string("Song"));
        QVERIFY(!w.getTag.isVisible());
        // The message after the run names the file whose name lost a piece.
        // A warning about what was not used, not a plain notice of success.
        QCOMPARE(host.errors.size(), std::size_t(1));
        QVERIFY(host.errors[0].find("more pieces than fields") != std::string::npos);
        QVERIFY(host.errors[0].find(more) != std::string::npos);
        QVERIFY(host.notices.empty());
        QCOMPARE(
            platform::GetPrivateProfileString("Preview", "TagsFromNames", "", host.settingsFile),
            std::string("0"));

        // Turned off, OK runs at once.
        SetMP3Tag(changed, [&] {
            TMP3Tag t = GetMP3Tag(changed);
            t.Title = "Again";
            return t;
        }());
        folder.Select({changed}); // a run deselects the rows it rebuilt
        w.getTag.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.getTag));
        QTimer::singleShot(0, [&] {
            if (w.getTag.Preview->isVisible())
                w.getTag.Preview->reject();
        });
        QTest::mouseClick(w.getTag.BitBtnOK, Qt::LeftButton);
        QCOMPARE(GetMP3Tag(changed).Title, std::string("Song"));
        QCoreApplication::processEvents();
        QCOMPARE(answer.shown, 2);
    }

    void renamePreviewMarksClashesAndRunsOnlyOnApply() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
        const std::string twin = folder.Add("b.mp3", test::Tagged("Song", "Band"));
        const std::string untagged = folder.AddNoTag("c.mp3");
        const std::string odd = folder.Add("d.mp3", test::Tagged("Live?", "AC/DC"));
        TFileList& list = folder.List();
        folder.Select({a, twin, untagged, odd});
        test::FakeEditingHost host(list, folder.Dir().path().string());
        DeriveWindows w(host);
        w.rename.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.rename));

        PreviewAnswer answer;
        answer.Next(*w.rename.Preview, false);
        QTest::mouseClick(w.rename.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 1);
        QCOMPARE(answer.counts,
                 QString("2 changes in 2 files; 1 file unchanged; 1 row cannot be done"));
        QCOMPARE(
            answer.rows,
            (QStringList{"a.mp3|name|a.mp3|Band - Song.mp3|",
                         "b.mp3|name|b.mp3|Band - Song.mp3|an earlier file of this run "
                         "takes that name|red",
                         "c.mp3|name|c.mp3|c.mp3|the file has no tag|grey",
                         "d.mp3|name|d.mp3|ACDC - Live.mp3|removed / ? (not allowed in a name)"}));
        QVERIFY(w.rename.isVisible());
        QCOMPARE(host.searches, 0);
        QVERIFY(fs::exists(a));

        answer.Next(*w.rename.Preview, true);
        QTest::mouseClick(w.rename.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 2);
        QVERIFY(!w.rename.isVisible());
        QCOMPARE(host.searches, 1);
        QVERIFY(fs::exists(folder / "Band - Song.mp3"));
        QVERIFY(fs::exists(folder / "ACDC - Live.mp3"));
        QVERIFY(fs::exists(twin)); // the clash the preview showed
        QCOMPARE(host.errors.size(), std::size_t(1));
    }

    void deSelectByTextAndStyle() {
        test::EditingFolder folder;
        const std::string live = folder.Add("a.mp3", test::Tagged("Live", "Band", 17));
        const std::string other = folder.Add("b.mp3", test::Tagged("Studio", "Band", 0));
        TFileList& list = folder.List();
        test::FakeEditingHost host(list);
        TFormDeSelect form(host);
        form.Mode = TDeSelectMode::dmSelect;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QString("(de)select some mp3's"));
        QCOMPARE(form.LabelType->text(), QString("Select all containing"));
        QCOMPARE(form.ComboBoxStyle->currentIndex(), -1);
        QTRY_VERIFY(form.EditContaining->hasFocus());
        QTest::keyClicks(form.EditContaining, "LIVE");
        QTest::keyClick(form.EditContaining, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QVERIFY(list.Selected(folder.RowOf(live)));
        QVERIFY(!list.Selected(folder.RowOf(other)));

        // Clearing the text search checks the style search; the genre then decides alone.
        form.Mode = TDeSelectMode::dmDeselect;
        form.show();
        QCOMPARE(form.LabelType->text(), QString("Deselect all containing"));
        QCOMPARE(form.EditContaining->text(), QString());
        QTest::mouseClick(form.Label1, Qt::LeftButton);
        QVERIFY(!form.CheckBoxUseTextSearch->isChecked());
        QVERIFY(form.CheckBoxUseStyleSearch->isChecked());
        form.CheckBoxUseStyleSearch->setChecked(false);
        QVERIFY(form.CheckBoxUseTextSearch->isChecked());
        form.CheckBoxUseStyleSearch->setChecked(true);
        form.ComboBoxStyle->setCurrentIndex(form.ComboBoxStyle->findText("Rock "));
        QTest::mouseClick(form.BitBtnOK, Qt::LeftButton);
        QVERIFY(!list.Selected(folder.RowOf(live)));

        list.SetSelected(folder.RowOf(other), true);
        form.show();
        QTest::mouseClick(form.BitBtnCancel, Qt::LeftButton);
        QVERIFY(list.Selected(folder.RowOf(other)));
        QVERIFY(form.CheckBoxUseStyleSearch->isChecked()); // settings persist
    }

    // With ID3v2 tags kept in step, the preview shows the frames that change beside the fields.
    void getTagPreviewShowsTheId3v2Frames() {
        test::EditingFolder folder;
        const std::string a = folder.Add("Band - Song.mp3", test::Tagged("x", "y"));
        const std::string bytes = std::string("ID3\x03\0\0\0\0\0\x0E", 10) + "TIT2" +
                                  std::string("\0\0\0\x04\0\0\0", 7) + "Old" +
                                  test::Mp3Bytes(test::kAudioBytes, test::Tagged("x", "y"));
        folder.Dir().WriteFile("Band - Song.mp3", bytes);
        TFileList& list = folder.List();
        folder.Select({a});
        TSyncV2 sync;
        sync.Enabled = true;
        const TSyncV2Scope scope(&sync);
        test::FakeEditingHost host(list);
        DeriveWindows w(host);
        w.getTag.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.getTag));
        PreviewAnswer answer;
        answer.Next(*w.getTag.Preview, false);
        QTest::mouseClick(w.getTag.BitBtnOK, Qt::LeftButton);
        QCOMPARE(answer.shown, 1);
        QCOMPARE(answer.rows, (QStringList{"Band - Song.mp3|title|x|Song|",
                                           "Band - Song.mp3|artist|y|Band|",
                                           "Band - Song.mp3|v2:TIT2|Old|Song|",
                                           "Band - Song.mp3|v2:TPE1||Band|"}));
        QCOMPARE(folder.Dir().ReadFile("Band - Song.mp3"), bytes);
    }
};

QTEST_MAIN(DeriveWindowsTest)
#include "DeriveWindows_guitest.moc"

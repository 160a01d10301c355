// Window tests of the derive format, tags-from-names, rename and (de)select windows.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/ui/DeriveFormat.h"
#include "editing/ui/GetTagFromFileName.h"
#include "editing/ui/Rename.h"
#include "editing/ui/deSelect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
        QTest::mouseClick(w.getTag.BitBtnOK, Qt::LeftButton);
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

        QTest::mouseClick(w.rename.BitBtnOK, Qt::LeftButton);
        QVERIFY(fs::exists(folder / "Band - Song.mp3"));
        QVERIFY(fs::exists(folder / "ACDC - Live.mp3"));
        QCOMPARE(host.searches, 1);
        QCOMPARE(list.Count(), std::size_t(3));
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
};

QTEST_MAIN(DeriveWindowsTest)
#include "DeriveWindows_guitest.moc"

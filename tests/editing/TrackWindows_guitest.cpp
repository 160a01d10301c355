// Window tests of the track: its box in the single-file editor, its row in the multi-file
// editor and the "Number tracks" window.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"
#include "editing/ui/NumberTracks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace veltrane;

namespace {

std::string AddWithTrack(test::EditingFolder& folder, const std::string& name, int track) {
    const std::string path = folder.Add(name, test::Tagged("Song", "Band", 17));
    TMP3Tag tag = GetMP3Tag(path);
    tag.Track = static_cast<std::uint8_t>(track);
    SetMP3Tag(path, tag);
    return path;
}

} // namespace

class TrackWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void editorShowsChecksAndSavesTheTrack() {
        test::EditingFolder folder;
        const std::string path = AddWithTrack(folder, "a.mp3", 7);
        test::FakeEditingHost host(folder.List());
        TFormEditMP3Tag form(host);
        form.Record = GetMP3Tag(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.EditTrack->text(), QString("7"));
        // Between the year and the genre in the tab order.
        form.EditYear->setFocus();
        QTRY_VERIFY(form.EditYear->hasFocus());
        QTest::keyClick(form.EditYear, Qt::Key_Tab);
        QTRY_VERIFY(form.EditTrack->hasFocus());
        QTest::keyClick(form.EditTrack, Qt::Key_Tab);
        QTRY_VERIFY(form.ComboBoxStyle->hasFocus());

        for (const char* bad : {"0", "256", "7x"}) {
            form.EditTrack->setText(bad);
            QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
            QVERIFY(form.isVisible());
            QCOMPARE(host.errors.back(), std::string(kMsgBadTrack));
            QCOMPARE(int(GetMP3Tag(path).Track), 7);
        }
        form.EditTrack->setText("12");
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(int(GetMP3Tag(path).Track), 12);
        QCOMPARE(TFileList::GetStringItem(kTrackColumn, host.FileList().ItemText(1)),
                 std::string_view("12"));
    }

    void editMoreTrackRowFollowsItsEditAndBox() {
        test::EditingFolder folder;
        const std::string a = AddWithTrack(folder, "a.mp3", 7);
        const std::string b = AddWithTrack(folder, "b.mp3", 9);
        test::FakeEditingHost host(folder.List());
        host.FileList().SetAllSelected(true);
        TFormEditMore form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.CheckBoxLeaveTrack->isChecked());
        QTest::keyClicks(form.EditTrack, "3");
        QVERIFY(!form.CheckBoxLeaveTrack->isChecked());
        QTest::keyClick(form.EditTrack, Qt::Key_Backspace);
        QVERIFY(form.CheckBoxLeaveTrack->isChecked());
        // Emptied and released by its label: every selected file loses its track.
        QTest::mouseClick(form.LabelLeaveTrack, Qt::LeftButton);
        QVERIFY(!form.CheckBoxLeaveTrack->isChecked());
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(int(GetMP3Tag(a).Track), 0);
        QCOMPARE(int(GetMP3Tag(b).Track), 0);
        QCOMPARE(GetMP3Tag(b).Title, std::string("Song"));
    }

    void numberTracksNumbersOrRefusesAndStaysOpen() {
        test::EditingFolder folder;
        std::vector<std::string> paths;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            paths.push_back(folder.Add(name, test::Tagged("S", "B")));
        test::FakeEditingHost host(folder.List());
        host.FileList().SetAllSelected(true);
        TFormNumberTracks form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QString("Number tracks"));
        QCOMPARE(form.LabelInfo->text(), QString("numbering 3 files"));
        QCOMPARE(form.SpinEditStart->value(), 1);

        form.SpinEditStart->setValue(254);
        QTest::mouseClick(form.BitBtnOK, Qt::LeftButton);
        QVERIFY(form.isVisible());
        QCOMPARE(host.errors.back(), TrackRangeMessage(254, 3));
        QCOMPARE(int(GetMP3Tag(paths[0]).Track), 0);

        form.SpinEditStart->setValue(5);
        QTest::keyClick(form.SpinEditStart, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        for (std::size_t i = 0; i < paths.size(); ++i)
            QCOMPARE(int(GetMP3Tag(paths[i]).Track), int(5 + i));
        QCOMPARE(TFileList::GetStringItem(kTrackColumn, host.FileList().ItemText(3)),
                 std::string_view("7"));
    }
};

QTEST_MAIN(TrackWindowsTest)
#include "TrackWindows_guitest.moc"

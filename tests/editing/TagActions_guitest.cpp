// Window test of "Actions": a bad pattern at its field, Apply through the preview, rows
// rebuilt, Esc.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/SyncV2.h"
#include "editing/ui/PreviewChanges.h"
#include "editing/ui/TagActionsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace veltrane;

class TagActionsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void badPatternAtItsFieldThenApplyThroughThePreview() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("song feat. one", "band"));
        const std::string b = folder.Add("b.mp3", test::Tagged("Other", "band"));
        const std::string c = folder.Add("c.mp3", test::Tagged("a very long song feat. title", "x"));
        test::FakeEditingHost host(folder.List());
        folder.Select({a, b, c});
        TFormActions form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.LabelInfo->text(), QString("acting on 3 files"));

        form.PageControlActions->setCurrentIndex(1);
        QVERIFY(!form.BitBtnApply->isEnabled()); // nothing to find yet, and no red text
        QVERIFY(form.LabelFindError->text().isEmpty());
        form.CheckBoxRegularExpression->click();
        QTest::keyClicks(form.EditFind, "feat(");
        QVERIFY(form.LabelFindError->text().contains("at character 6"));
        QVERIFY(!form.BitBtnApply->isEnabled());
        QTest::keyClick(form.EditFind, Qt::Key_Backspace);
        QTest::keyClicks(form.EditFind, "\\.");
        QTest::keyClicks(form.EditReplaceWith, "featuring $9");
        QVERIFY(!form.LabelWithError->text().isEmpty());
        form.EditReplaceWith->setText("featuring");
        QVERIFY(form.LabelWithError->text().isEmpty());
        QVERIFY(form.BitBtnApply->isEnabled());

        // Cancel in the preview comes back here with nothing written.
        QStringList rows;
        const auto answer = [&](bool apply) {
            QTimer::singleShot(0, [&, apply] {
                rows.clear();
                QTableWidget* table = form.Preview->TableChanges;
                for (int r = 0; r < table->rowCount(); ++r)
                    rows << table->item(r, 3)->text() + "|" + table->item(r, 4)->text();
                QVERIFY(!form.Preview->CheckBoxShowPreview->isVisible());
                (apply ? form.Preview->BitBtnApply : form.Preview->BitBtnCancel)->click();
            });
        };
        answer(false);
        QTest::mouseClick(form.BitBtnApply, Qt::LeftButton);
        QVERIFY(form.isVisible());
        QCOMPARE(GetMP3Tag(a).Title, std::string("song feat. one"));
        answer(true);
        QTest::keyClick(form.EditFind, Qt::Key_Return);
        QCOMPARE(rows, QStringList({"song featuring one|", "|unchanged",
                                    "a very long song featuring tit|cut to 30 bytes"}));
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(GetMP3Tag(a).Title, std::string("song featuring one"));
        QCOMPARE(GetMP3Tag(c).Title, std::string("a very long song featuring tit"));
        QCOMPARE(TFileList::GetStringItem(2, host.FileList().ItemText(folder.RowOf(a))),
                 std::string_view("song featuring one"));
        QCOMPARE(host.errors.size(), std::size_t(1)); // the cut file is named
        QVERIFY(host.errors[0].find(c) != std::string::npos);

        // Format takes one field; Esc closes like the other tool windows.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControlActions->setCurrentIndex(2);
        QVERIFY(!form.CheckBoxField[0]->isEnabled());
        QTest::keyClicks(form.EditPattern, "%genre");
        QVERIFY(form.LabelPatternError->text().contains("no closing"));
        QTest::keyClick(form.EditPattern, Qt::Key_Escape);
        QTRY_VERIFY(!form.isVisible());
    }

    // With ID3v2 tags kept in step, the preview shows the frame beside the field, and the
    // action takes the frame's whole text, not its ID3v1 cut.
    void previewShowsTheId3v2FrameAndApplyTakesItsWholeText() {
        test::EditingFolder folder;
        const std::string title(40, 'x');
        const std::string a = folder.Add("a.mp3", test::Tagged(title.substr(0, 30), "band"));
        const std::string bytes =
            std::string("ID3\x03\0\0\0\0\0\x33TIT2\0\0\0\x29\0\0\0", 21) + title +
            test::Mp3Bytes(test::kAudioBytes, test::Tagged(title.substr(0, 30), "band"));
        folder.Dir().WriteFile("a.mp3", bytes);
        test::FakeEditingHost host(folder.List());
        folder.Select({a});
        TSyncV2 sync;
        sync.Enabled = true;
        const TSyncV2Scope scope(&sync);
        TFormActions form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControlActions->setCurrentIndex(0);
        form.ComboBoxCaseMode->setCurrentIndex(1); // upper case
        QStringList rows;
        QTimer::singleShot(0, [&] {
            QTableWidget* table = form.Preview->TableChanges;
            for (int r = 0; r < table->rowCount(); ++r)
                rows << table->item(r, 1)->text() + "|" + table->item(r, 3)->text();
            form.Preview->BitBtnApply->click();
        });
        QTest::mouseClick(form.BitBtnApply, Qt::LeftButton);
        const QString upper(40, 'X');
        QCOMPARE(rows, QStringList({"title|" + upper.left(30), "v2:TIT2|" + upper}));
        QTRY_VERIFY(!form.isVisible());
        const std::string now = folder.Dir().ReadFile("a.mp3");
        QCOMPARE(V2FieldText(now, ParseV2Layout(now), TV2Field::vfTitle),
                 std::optional(std::string(40, 'X')));
    }
};

QTEST_MAIN(TagActionsWindowTest)
#include "TagActions_guitest.moc"

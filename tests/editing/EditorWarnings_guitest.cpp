// The editors warn before typed characters that the tag's code page cannot hold are saved
// as "?", and the user can go back.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"
#include "editing/ui/FieldHints.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace veltrane;

namespace {
// Types Text as a keyboard would (keyClicks takes ASCII only).
void Type(QWidget* Edit, const QString& Text) {
    for (const QChar c : Text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Edit, &press);
    }
}
} // namespace

class EditorWarningsTest : public QObject {
    Q_OBJECT

  private slots:
    void singleFileEditorAsksBeforeSavingQuestionMarks() {
        test::EditingFolder folder;
        const std::string path = folder.Add("a.mp3", test::Tagged("Song", "Band"));
        TFileList& list = folder.List();
        test::FakeEditingHost host(list);
        TFormEditMP3Tag form(host);
        std::vector<std::string> questions;
        bool answer = false;
        form.ConfirmLossySave = [&](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
        form.Record = GetMP3Tag(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        // Characters the code page holds save without a word.
        form.EditSongName->setText(QString::fromUtf8("Caf\u00e9"));
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QVERIFY(questions.empty());
        QCOMPARE(GetMP3Tag(path).Title, std::string("Caf\xC3\xA9"));

        form.show();
        form.EditArtistName->setText(QString::fromUtf8("\u0141\u00f3d\u017a"));
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QCOMPARE(questions.size(), std::size_t(1));
        QVERIFY(questions[0].find("Artist: \xC5\x81\xC5\xBA") != std::string::npos);
        // Going back leaves the window open with the text and the file as it was.
        QVERIFY(form.isVisible());
        QCOMPARE(form.EditArtistName->text(), QString::fromUtf8("\u0141\u00f3d\u017a"));
        QCOMPARE(GetMP3Tag(path).Artist, std::string("Band"));

        answer = true;
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(GetMP3Tag(path).Artist, std::string("?\xC3\xB3"
                                                     "d?"));
    }

    // While typing, both editors mark a field that will change and say what changes.
    void bothEditorsHintWhileTyping() {
        test::EditingFolder folder;
        const std::string path = folder.Add("a.mp3", test::Tagged("Song", "Band"));
        TFileList& list = folder.List();
        folder.Select({path});
        test::FakeEditingHost host(list);
        TFormEditMP3Tag single(host);
        single.Record = GetMP3Tag(path);
        TFormEditMore more(host);
        struct TEditor {
            QWidget* Form;
            QLineEdit *Artist, *Comment, *Track;
        };
        for (const TEditor& e : {TEditor{&single, single.EditArtistName, single.EditComment,
                                         single.EditTrack},
                                 TEditor{&more, more.EditArtistName, more.EditComment,
                                         more.EditTrack}}) {
            e.Form->show();
            QVERIFY(QTest::qWaitForWindowExposed(e.Form));
            e.Artist->clear();
            Type(e.Artist, QString::fromUtf8("Café"));
            QCOMPARE(TFieldHints::Hint(e.Artist), QString());
            Type(e.Artist, QString::fromUtf8(" Łódź"));
            QCOMPARE(TFieldHints::Hint(e.Artist), QString::fromUtf8("becomes \"?\": Łź"));
            QTest::keyClick(e.Artist, Qt::Key_Backspace);
            QTest::keyClick(e.Artist, Qt::Key_Backspace);
            QTest::keyClick(e.Artist, Qt::Key_Backspace);
            QTest::keyClick(e.Artist, Qt::Key_Backspace);
            QCOMPARE(TFieldHints::Hint(e.Artist), QString());

            // 29 characters fit without a track and lose the last one with it.
            e.Comment->clear();
            e.Track->clear();
            QTest::keyClicks(e.Comment, QString(28, QChar('c')) + "Z");
            QCOMPARE(TFieldHints::Hint(e.Comment), QString());
            QTest::keyClicks(e.Track, "7");
            QCOMPARE(TFieldHints::Hint(e.Comment),
                     QString("cut after 28 characters: \"Z\" is left out"));
            e.Form->hide();
        }
    }

    void multiFileEditorAsksAndNamesTheFiles() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("One", "Band"));
        const std::string b = folder.Add("b.mp3", test::Tagged("Two", "Band"));
        TFileList& list = folder.List();
        folder.Select({a, b});
        test::FakeEditingHost host(list);
        TFormEditMore form(host);
        int asked = 0;
        form.ConfirmLossySave = [&](const std::string&) { return ++asked > 1; };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.EditAlbum->setText(QString::fromUtf8("\u65e5"));
        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(form.isVisible());
        QCOMPARE(GetMP3Tag(a).Album, std::string());

        QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
        QCOMPARE(asked, 2);
        QCOMPARE(GetMP3Tag(b).Album, std::string("?"));
        QCOMPARE(host.errors.size(), std::size_t(1));
        QVERIFY(host.errors[0].find(a + "\n" + b) != std::string::npos);
    }
};

QTEST_MAIN(EditorWarningsTest)
#include "EditorWarnings_guitest.moc"

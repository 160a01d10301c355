#include "editing/ui/UndoAction.h"

#include "editing/ChangeJournal.h"
#include "editing/JournaledSteps.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <QTest>
#include <QWidget>

namespace veltrane {

class UndoActionTest : public QObject {
    Q_OBJECT
  private slots:
    void namesTheStepAndUndoesOnTheKey() {
        test::TestDir state, dir;
        TChangeJournal journal(state.path().string() + "/veltrane");
        SetActiveJournal(&journal);
        const std::string a = dir.WriteFile("a.mp3", test::Mp3BytesNoTag(500));
        const std::string before = dir.ReadFile("a.mp3");

        QWidget window;
        QMenu menu(&window);
        int refreshed = 0;
        std::string shown;
        TUndoAction action(&window, &menu, [&](const std::string& t) { shown = t; },
                           [&] { ++refreshed; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        action.UpdateState();
        QCOMPARE(action.text(), QString("Undo"));
        QVERIFY(!action.isEnabled());

        const std::string album = "Wrong";
        RunTagStep({a}, [](std::size_t) { return std::string("set album of 1 file"); },
                   [&](TMP3Tag& t) { t.Album = album; }, TagCodec::Default(), {}, nullptr);
        action.UpdateState();
        QCOMPARE(action.text(), QString("Undo: set album of 1 file"));
        QVERIFY(action.isEnabled());

        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(dir.ReadFile("a.mp3"), before);
        QCOMPARE(refreshed, 1);
        QVERIFY(shown.empty());
        action.UpdateState();
        QVERIFY(!action.isEnabled());
        SetActiveJournal(nullptr);
    }

    // Redo sits beside Undo on Ctrl+Shift+Z; each says in the status what it took back.
    void redoTakesTheUndoBackAndBothSayWhatTheyDid() {
        test::TestDir state, dir;
        TChangeJournal journal(state.path().string() + "/veltrane");
        SetActiveJournal(&journal);
        const std::string a = dir.WriteFile("a.mp3", test::Mp3BytesNoTag(500));
        const std::string before = dir.ReadFile("a.mp3");
        QWidget window;
        QMenu menu(&window);
        std::vector<std::string> done, errors;
        TUndoAction undo(&window, &menu, [&](const std::string& t) { errors.push_back(t); }, {});
        TRedoAction redo(&window, &menu, [&](const std::string& t) { errors.push_back(t); }, {});
        undo.ShowDone = redo.ShowDone = [&](const std::string& t) { done.push_back(t); };
        QCOMPARE(menu.actions().indexOf(&redo), menu.actions().indexOf(&undo) + 1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        RunTagStep({a}, [](std::size_t) { return std::string("set album of 1 file"); },
                   [](TMP3Tag& t) { t.Album = "Wrong"; }, TagCodec::Default(), {}, nullptr);
        const std::string wrong = dir.ReadFile("a.mp3");
        redo.UpdateState();
        QCOMPARE(redo.text(), QString("Redo"));
        QVERIFY(!redo.isEnabled());

        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(dir.ReadFile("a.mp3"), before);
        redo.UpdateState();
        QCOMPARE(redo.text(), QString("Redo: set album of 1 file"));
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dir.ReadFile("a.mp3"), wrong);
        undo.UpdateState();
        QCOMPARE(undo.text(), QString("Undo: set album of 1 file"));
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(dir.ReadFile("a.mp3"), before);
        QCOMPARE(done, (std::vector<std::string>{"Undone: set album of 1 file",
                                                 "Redone: set album of 1 file",
                                                 "Undone: set album of 1 file"}));
        QVERIFY(errors.empty());
        SetActiveJournal(nullptr);
    }

    // The journal cannot be written: the window asks once, and a Yes holds for the run.
    void asksOnceWhetherToEditWithoutUndo() {
        test::TestDir dir;
        TChangeJournal blocked(dir.WriteFile("state", "x") + "/veltrane");
        SetActiveJournal(&blocked);
        const std::string a = dir.WriteFile("a.mp3", test::Mp3BytesNoTag(500));
        QWidget window;
        QMenu menu(&window);
        std::string asked;
        auto action = std::make_unique<TUndoAction>(&window, &menu, [](const std::string&) {}, [] {});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto edit = [&](const std::string& album) {
            return RunTagStep({a}, [](std::size_t) { return std::string("set album of 1 file"); },
                              [&](TMP3Tag& t) { t.Album = album; }, TagCodec::Default(), {},
                              nullptr);
        };
        // The box itself, answered No, then Yes.
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                asked = box->text().toStdString();
                box->button(answer)->click();
            });
            const TFileFailures failures = edit(answer == QMessageBox::Yes ? "Yes" : "No");
            QCOMPARE(failures.empty(), answer == QMessageBox::Yes);
        }
        QCOMPARE(QString::fromStdString(asked).left(37),
                 QString("Changes cannot be recorded for Undo: "));
        QVERIFY(QString::fromStdString(asked).endsWith(". Make them without Undo?"));
        QCOMPARE(GetMP3Tag(a).Album, std::string("Yes"));
        asked.clear();
        QVERIFY(edit("Again").empty()); // asked no more
        QCOMPARE(GetMP3Tag(a).Album, std::string("Again"));
        // Gone with the window's entry: refused again.
        action.reset();
        QCOMPARE(edit("Later").size(), std::size_t(1));
        SetActiveJournal(nullptr);
    }
};

} // namespace veltrane

QTEST_MAIN(veltrane::UndoActionTest)
#include "UndoAction_guitest.moc"

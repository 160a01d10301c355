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

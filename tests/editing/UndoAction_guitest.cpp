#include "editing/ui/UndoAction.h"

#include "editing/ChangeJournal.h"
#include "editing/JournaledSteps.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <QMenu>
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
};

} // namespace veltrane

QTEST_MAIN(veltrane::UndoActionTest)
#include "UndoAction_guitest.moc"

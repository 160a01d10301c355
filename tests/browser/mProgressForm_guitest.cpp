#include "browser/ui/mProgressForm.h"

#include <QProgressBar>
#include <QTest>

using namespace veltrane;

class ProgressFormTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { QVERIFY(!TmProgressWnd::IsOpen()); }

    void opensCentredOverTheDisabledOwner() {
        QWidget owner;
        owner.setGeometry(100, 100, 770, 565);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        TmProgressWnd progress(&owner);
        progress.SetCaption("Reading 3 files...");
        progress.Max = 2;
        progress.Open();
        TfrmProgress* window = TmProgressWnd::OpenWindow();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("Reading 3 files..."));
        QCOMPARE(window->width(), 256);
        QCOMPARE(window->height(), 55);
        QCOMPARE(window->ProgressBar->geometry(), QRect(20, 20, 216, 15));
        const QRect frame = owner.frameGeometry();
        QCOMPARE(window->x(), frame.left() + frame.width() / 2 - 128);
        QCOMPARE(window->y(), frame.top() + frame.height() / 2 - 55 / 2);
        QVERIFY(!owner.isEnabled());
        QVERIFY(window->isEnabled());
        progress.SetPosition(2);
        QCOMPARE(window->ProgressBar->value(), 2);
        // The user cannot close it.
        window->close();
        QVERIFY(window->isVisible());
        progress.Close();
        QVERIFY(owner.isEnabled());
        QVERIFY(!TmProgressWnd::IsOpen());
        progress.Close(); // closed: nothing
    }

    void oneWindowInTheWholeProgram() {
        QWidget owner;
        owner.show();
        TmProgressWnd first(&owner), second(&owner);
        first.Open();
        TfrmProgress* window = TmProgressWnd::OpenWindow();
        first.Open();
        second.Open();
        QCOMPARE(TmProgressWnd::OpenWindow(), window);
        second.Close();
        QVERIFY(!TmProgressWnd::IsOpen());
        QVERIFY(owner.isEnabled());
    }

    void captionWhileOpenIsNotKept() {
        QWidget owner;
        TmProgressWnd progress(&owner);
        progress.SetCaption("First");
        progress.Open();
        progress.SetCaption("Changed");
        QCOMPARE(TmProgressWnd::OpenWindow()->windowTitle(), QString("Changed"));
        QCOMPARE(progress.Caption(), QString("First"));
        progress.Close();
        progress.Open();
        QCOMPARE(TmProgressWnd::OpenWindow()->windowTitle(), QString("First"));
        progress.Close();
    }

    void positionCallbackAndLargeRanges() {
        QWidget owner;
        TmProgressWnd progress(&owner);
        progress.OnPositionWindow = [](int& left, int& top) {
            left = 10;
            top = 20;
        };
        // More than 16 bits, and more than an int: the bar shows the scaled position.
        progress.Start("Reading 5000000000 files...", 5000000000ull);
        TfrmProgress* window = TmProgressWnd::OpenWindow();
        QCOMPARE(window->pos(), QPoint(10, 20));
        progress.SetPosition(2500000000ull);
        const double ratio = double(window->ProgressBar->value()) / window->ProgressBar->maximum();
        QVERIFY(ratio > 0.49 && ratio < 0.51);
        progress.Finish();
        progress.Start("Reading 100000 files...", 99999);
        progress.SetPosition(70000);
        QCOMPARE(TmProgressWnd::OpenWindow()->ProgressBar->value(), 70000);
        progress.Finish();
    }
};

QTEST_MAIN(ProgressFormTest)
#include "mProgressForm_guitest.moc"

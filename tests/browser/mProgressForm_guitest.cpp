#include "browser/ui/mProgressForm.h"

#include <QApplication>
#include <QFontMetrics>
#include <QProgressBar>
#include <QPushButton>
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

    // Offered Cancel: a button below the bar, the window grown to hold it whole at any font;
    // the button and Esc both cancel, and the next window starts without it.
    void cancelIsShownWholeAndPressedByButtonOrEsc() {
        const QFont font = QApplication::font();
        for (const int points : {9, 24}) {
            for (const bool byKey : {false, true}) {
                QFont big = font;
                big.setPointSize(points);
                QApplication::setFont(big);
                QWidget owner;
                owner.setGeometry(100, 100, 770, 565);
                owner.show();
                TmProgressWnd progress(&owner);
                progress.Start("Reading 9 files...", 8);
                TfrmProgress* window = TmProgressWnd::OpenWindow();
                QVERIFY(!window->ButtonCancel->isVisible());
                progress.OfferCancel();
                QVERIFY(window->ButtonCancel->isVisible());
                const QRect button = window->ButtonCancel->geometry();
                QVERIFY2(window->rect().contains(button),
                         qPrintable(QString("%1pt: button bottom %2, window height %3")
                                        .arg(points)
                                        .arg(button.bottom())
                                        .arg(window->height())));
                QVERIFY(button.height() >= window->ButtonCancel->sizeHint().height());
                QVERIFY(button.top() > window->ProgressBar->geometry().bottom());
                // Wider only where the title needs it.
                QCOMPARE(window->width() == 256, points == 9);
                QVERIFY(!progress.Cancelled());
                if (byKey)
                    QTest::keyClick(window, Qt::Key_Escape);
                else
                    QTest::mouseClick(window->ButtonCancel, Qt::LeftButton);
                QVERIFY(progress.Cancelled());
                QVERIFY(!window->ButtonCancel->isEnabled());
                progress.Finish();
                QVERIFY(!progress.Cancelled());
                progress.Start("Sorting 3 items...", 3);
                QVERIFY(!TmProgressWnd::OpenWindow()->ButtonCancel->isVisible());
                QCOMPARE(TmProgressWnd::OpenWindow()->height(), 55);
                QVERIFY(!progress.Cancelled());
                progress.Finish();
            }
        }
        QApplication::setFont(font);
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

    // A caption too long for the title bar widens the window about its centre, open or not.
    void widensForALongTitleAboutItsCentre() {
        QWidget owner;
        owner.setGeometry(100, 100, 770, 565);
        owner.show();
        TmProgressWnd progress(&owner);
        const QString title = "Reading 1,000,000 files...";
        QFont bold = QApplication::font();
        bold.setBold(true);
        const int need = QFontMetrics(bold).horizontalAdvance(title) + 100;
        for (const bool whileOpen : {true, false}) {
            progress.Start(whileOpen ? "Reading 3 files..." : title.toStdString(), 2);
            TfrmProgress* window = TmProgressWnd::OpenWindow();
            const int centre = owner.frameGeometry().left() + owner.frameGeometry().width() / 2;
            if (whileOpen) {
                QCOMPARE(window->width(), 256);
                progress.SetCaption(title);
            }
            QVERIFY2(window->width() >= need, qPrintable(QString::number(window->width())));
            QVERIFY(std::abs(window->x() + window->width() / 2 - centre) <= 2);
            QCOMPARE(window->ProgressBar->width(), window->width() - 40);
            progress.Finish();
        }
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

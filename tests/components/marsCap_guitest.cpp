// The gradient caption on a real window: it takes over the title bar, draws the gradient by
// state, and its buttons, caption drag and edges work where the desktop cannot move windows.

#include "components/ui/marsCap.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>

using namespace veltrane;

class MarsCaptionTest : public QObject {
    Q_OBJECT

    static std::unique_ptr<QMainWindow> Window(TMarsCaption*& caption) {
        auto w = std::make_unique<QMainWindow>();
        w->setWindowFlags((w->windowFlags() | Qt::WindowMinimizeButtonHint |
                           Qt::WindowSystemMenuHint) & ~Qt::WindowMaximizeButtonHint);
        w->setCentralWidget(new QLabel("content"));
        w->resize(400, 300);
        w->move(100, 100);
        caption = new TMarsCaption(w.get());
        caption->SetApplicationName("Veltrane");
        caption->SetCaption(" v 2.0");
        w->show();
        w->activateWindow();
        return w;
    }

    // Press, two moves (past the drag distance, then to the end) and release; the pointer's
    // screen positions are fixed at the start, as a real pointer's are while the window moves.
    static void Drag(QWidget* w, QPoint from, QPoint to) {
        const QPoint origin = w->mapToGlobal(QPoint(0, 0));
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(at), QPointF(origin + at), button, buttons,
                          Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

  private slots:
    void ownerMustBeAWindow() {
        QWidget window;
        auto* child = new QWidget(&window);
        for (QWidget* owner : {static_cast<QWidget*>(nullptr), child}) {
            try {
                TMarsCaption caption(owner);
                QFAIL("no error");
            } catch (const std::invalid_argument& e) {
                QCOMPARE(QString(e.what()), QString("The MarsCaption's owner must be a Form!"));
            }
        }
    }

    void takesOverTheTitleBar() {
        TMarsCaption* caption = nullptr;
        auto w = Window(caption);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        const TCaptionLayout& L = caption->Layout();
        QCOMPARE(caption->geometry().top(), L.FrameHeight);
        QCOMPARE(caption->width(), w->width() - 2 * L.FrameWidth);
        QCOMPARE(w->centralWidget()->geometry().top() >= L.FrameHeight + L.CaptionHeight, true);
        QVERIFY(caption->Button(cbClose)->isVisible());
        QVERIFY(caption->Button(cbMinimize)->isEnabled());
        QVERIFY(caption->Button(cbMaximize)->isVisible());
        QVERIFY(!caption->Button(cbMaximize)->isEnabled());
        QVERIFY(!caption->Button(cbHelp)->isVisible());

        // The window's width follows into the caption.
        w->resize(500, 300);
        QTRY_COMPARE(caption->width(), 500 - 2 * L.FrameWidth);
    }

    void gradientByState() {
        TMarsCaption* caption = nullptr;
        auto w = Window(caption);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        caption->SetActiveBeginColor(0x000080);   // red 128
        caption->SetActiveEndColor(0x800000);     // blue 128
        caption->SetInactiveBeginColor(0x00FF00); // green
        caption->SetInactiveEndColor(0x00FF00);
        caption->SetNumColors(256);
        QImage active = caption->Picture();
        QCOMPARE(active.pixelColor(0, active.height() - 1), QColor(128, 0, 0));
        QCOMPARE(active.pixelColor(active.width() - 1, active.height() - 1), QColor(0, 0, 128));

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTRY_VERIFY(!caption->Active());
        QImage inactive = caption->Picture();
        QCOMPARE(inactive.pixelColor(inactive.width() / 2, inactive.height() - 1),
                 QColor(0, 255, 0));
    }

    void draggingTheCaptionMovesTheWindow() {
        TMarsCaption* caption = nullptr;
        auto w = Window(caption);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QPoint before = w->pos();
        const QPoint grip(caption->width() / 2, caption->height() / 2);
        Drag(caption, grip, grip + QPoint(40, 25));
        QTRY_COMPARE(w->pos(), before + QPoint(40, 25));
        QVERIFY(caption->PointerFallbackUsed());
    }

    void edgesResizeTheWindow() {
        TMarsCaption* caption = nullptr;
        auto w = Window(caption);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect before = w->geometry();
        const QPoint edge(w->width() - 1, w->height() / 2);
        Drag(w.get(), edge, edge + QPoint(30, 0));
        QTRY_COMPARE(w->width(), before.width() + 30);
        QCOMPARE(w->height(), before.height());
        const QPoint corner(0, 0);
        Drag(w.get(), corner, corner + QPoint(-10, -20));
        QTRY_COMPARE(w->geometry().topLeft(), before.topLeft() + QPoint(-10, -20));
        QCOMPARE(w->height(), before.height() + 20);
    }

    void closeButtonClosesTheWindow() {
        TMarsCaption* caption = nullptr;
        auto w = Window(caption);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseClick(caption->Button(cbClose), Qt::LeftButton);
        QTRY_VERIFY(!w->isVisible());
    }
};

QTEST_MAIN(MarsCaptionTest)
#include "marsCap_guitest.moc"

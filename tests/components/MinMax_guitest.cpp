// TMinMax on a real window: the limits it applies for each set of options, and what it gives
// back when it lets go of a window.

#include "components/ui/MinMax.h"

#include <QTest>
#include <QWidget>

using namespace veltrane;

class MinMaxTest : public QObject {
    Q_OBJECT

  private slots:
    void withoutResizeTheWindowKeepsItsSize() {
        QWidget window;
        window.resize(500, 400);
        TMinMax limiter;
        limiter.SetOptions(0);
        limiter.SetParentWindow(&window);
        QCOMPARE(window.minimumSize(), QSize(500, 400));
        QCOMPARE(window.maximumSize(), QSize(500, 400));
        limiter.SetParentWindow(nullptr);
        QCOMPARE(window.minimumSize(), QSize(0, 0));
        QCOMPARE(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }

    void minimumTrackSizeOnlyLimitsFromBelow() {
        QWidget window;
        window.resize(800, 600);
        TMinMax limiter;
        limiter.MinTrackSize = {400, 300};
        limiter.SetOptions(opAllowResize | opMinTrackSize);
        limiter.SetParentWindow(&window);
        QCOMPARE(window.minimumSize(), QSize(400, 300));
        QCOMPARE(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        window.resize(100, 100);
        QCOMPARE(window.size(), QSize(400, 300));
    }

    void allowResizeAloneAppliesNoLimit() {
        QWidget window;
        TMinMax limiter;
        limiter.MinTrackSize = {770, 565};
        limiter.MaxTrackSize = {770, 565};
        limiter.SetOptions(opAllowResize);
        limiter.SetParentWindow(&window);
        window.resize(300, 200);
        QCOMPARE(window.size(), QSize(300, 200));
        window.resize(1000, 900);
        QCOMPARE(window.size(), QSize(1000, 900));
    }

    void computeReportsMaximizedValuesByOption() {
        const TMinMaxInfo info = TMinMax::Compute(opMaxSize | opMaxPosition | opAllowResize,
                                                  {640, 480}, {10, 20}, {}, {}, QSize(300, 200));
        QVERIFY(info.HasMaxSize);
        QCOMPARE(info.MaxSize, QSize(640, 480));
        QVERIFY(info.HasMaxPosition);
        QCOMPARE(info.MaxPosition, QPoint(10, 20));
        QVERIFY(info.Resizable);
        const TMinMaxInfo none = TMinMax::Compute(0, {640, 480}, {10, 20}, {}, {}, QSize(300, 200));
        QVERIFY(!none.HasMaxSize);
        QVERIFY(!none.Resizable);
    }
};

QTEST_MAIN(MinMaxTest)
#include "MinMax_guitest.moc"

#include "components/Lzrw1Kh.h"
#include "components/ui/AniSymbl.h"
#include "media/Media.h"
#include "support/TestDir.h"

#include <QSignalSpy>
#include <QTest>

using namespace veltrane;

class AniSymblTest : public QObject {
    Q_OBJECT
  private:
    test::TestDir dir_;
    std::string clip_;

  private slots:
    void initTestCase() {
        clip_ = dir_.WriteFile("search.Avi",
                               TCompressStream().DecompressBytes(media::SearchFilesFileData()));
    }

    void startsClosedAndSmall() {
        TAnimatedSymbol a;
        QCOMPARE(a.size(), QSize(32, 32));
        QCOMPARE(a.State(), acmClosed);
        QVERIFY(!a.IsOpen());
    }

    void autoPlayOpensAndPlaysAtOnce() {
        TAnimatedSymbol a;
        a.SetAVIName(clip_);
        QVERIFY(a.IsOpen());
        QVERIFY(a.IsPlaying());
        QTRY_VERIFY(a.CurrentFrame() > 0);
    }

    void closedStateClosesEvenWithAName() {
        TAnimatedSymbol a;
        a.SetAutoPlay(false);
        a.SetState(acmOpen);
        a.SetAVIName(clip_);
        QVERIFY(a.IsOpen());
        a.SetState(acmClosed);
        QVERIFY(!a.IsOpen());
    }

    void openWithoutPlayingThenPlayARange() {
        TAnimatedSymbol a;
        a.SetAutoPlay(false);
        a.SetState(acmOpen);
        a.SetAVIName(clip_);
        QVERIFY(a.IsOpen());
        QVERIFY(!a.IsPlaying());
        QCOMPARE(a.FrameCount(), 32);

        a.SetPlayFrom(3);
        a.SetPlayTo(5);
        a.SetCycles(2);
        QVERIFY(!a.IsPlaying()); // not acmPlaying yet
        QSignalSpy finished(&a, &TAnimatedSymbol::PlayFinished);
        a.SetState(acmPlaying);
        QVERIFY(a.IsPlaying());
        QCOMPARE(a.CurrentFrame(), 3);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(a.CurrentFrame(), 5);
        QVERIFY(!a.IsPlaying());
    }

    void emptyNameCloses() {
        TAnimatedSymbol a;
        a.SetAVIName(clip_);
        QVERIFY(a.IsOpen());
        a.SetAVIName("");
        QVERIFY(!a.IsOpen());
    }

    void refusedClipRaisesTheTextAndStaysClosed() {
        TAnimatedSymbol a;
        a.SetAVIName(clip_);
        const std::string bad = dir_.WriteFile("sound.avi", "RIFF\4\0\0\0AVI ");
        try {
            a.SetAVIName(bad);
            QFAIL("no error");
        } catch (const EAviError& e) {
            QCOMPARE(QString::fromStdString(e.what()),
                     QString::fromStdString("Could not open AVI \"" + bad +
                                            "\"\n\nIt must be a silent AVI file/resource."));
        }
        QVERIFY(!a.IsOpen());
    }

    void withoutCenterTheControlTakesTheClipSize() {
        TAnimatedSymbol a;
        a.SetCenter(false);
        a.SetAVIName(clip_);
        QCOMPARE(a.size(), QSize(80, 50));
    }

    void transparentDrawsTheBackgroundInTheControlColour() {
        TAnimatedSymbol a;
        QPalette pal = a.palette();
        pal.setColor(a.backgroundRole(), QColor(10, 200, 30));
        a.setPalette(pal);
        a.SetAutoPlay(false);
        a.SetState(acmOpen);
        a.SetCenter(false);
        a.SetAVIName(clip_);
        QImage shot = a.grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(10, 200, 30));
        a.SetTransparent(false);
        shot = a.grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(192, 192, 192));
    }
};

QTEST_MAIN(AniSymblTest)
#include "AniSymbl_guitest.moc"

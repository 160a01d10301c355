#include "components/Lzrw1Kh.h"
#include "media/Media.h"

#include <QImage>
#include <QTest>

using namespace veltrane;

class MediaGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void backgroundPictureLoadsInQt() {
        const std::string bmp = TCompressStream().DecompressBytes(media::BackImageFileData());
        QImage image;
        QVERIFY(
            image.loadFromData(reinterpret_cast<const uchar*>(bmp.data()), int(bmp.size()), "BMP"));
        QCOMPARE(image.size(), QSize(224, 200));
        // Light enough behind black text everywhere.
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        QVERIFY2(darkest > 180, qPrintable(QString::number(darkest)));
    }
};

QTEST_MAIN(MediaGuiTest)
#include "Media_guitest.moc"

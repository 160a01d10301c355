// Every toolbar picture is clearly coloured when enabled and plain faint grey when disabled.

#include "browser/ui/ToolbarIcons.h"

#include <QColor>
#include <QImage>
#include <QtTest>

using namespace veltrane;

namespace {

struct Tally {
    int coloured = 0; // opaque enough and well saturated
    int visible = 0;
    int maxAlpha = 0;
};

Tally Count(const QPixmap& Picture) {
    Tally t;
    const QImage image = Picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            t.maxAlpha = std::max(t.maxAlpha, c.alpha());
            if (c.alpha() < 40)
                continue;
            ++t.visible;
            if (c.hsvSaturation() > 100)
                ++t.coloured;
        }
    return t;
}

} // namespace

class ToolbarIconsTest : public QObject {
    Q_OBJECT

  private slots:
    void enabledIsColouredAndDisabledIsFaintGrey() {
        for (TToolbarControl control : AllToolbarControls()) {
            const QIcon icon = ToolbarIcon(control);
            if (control == TToolbarControl::EditDockCurrentDir) {
                QVERIFY(icon.isNull());
                continue;
            }
            const int n = static_cast<int>(control);
            const Tally normal = Count(icon.pixmap(22, 22, QIcon::Normal));
            const Tally disabled = Count(icon.pixmap(22, 22, QIcon::Disabled));
            QVERIFY2(normal.coloured > 20, qPrintable(QString::number(n)));
            QCOMPARE(disabled.coloured, 0);
            QVERIFY2(disabled.maxAlpha < normal.maxAlpha / 2, qPrintable(QString::number(n)));
        }
    }
};

QTEST_MAIN(ToolbarIconsTest)
#include "ToolbarIcons_guitest.moc"

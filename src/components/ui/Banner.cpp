#include "components/ui/Banner.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace veltrane {

std::vector<int> BannerPositions(int View, int Content, long long Offset, bool NoGap) {
    std::vector<int> starts;
    if (View <= 0 || Content <= 0)
        return starts;
    // One period brings the picture back to where it was: with NoGap one content length
    // (once the first copy has entered), without a gap the view plus the content.
    long long pos;
    if (NoGap) {
        pos = View - Offset;
        if (pos < -Content)
            pos = -Content + ((pos + Content) % Content + Content) % Content;
        for (long long p = pos; p < View; p += Content)
            starts.push_back(static_cast<int>(p));
    } else {
        const long long period = static_cast<long long>(View) + Content;
        pos = View - ((Offset % period) + period) % period;
        starts.push_back(static_cast<int>(pos));
    }
    return starts;
}

TBanner::TBanner(QWidget* Parent) : QWidget(Parent) {
    Timer_.setInterval(50);
    connect(&Timer_, &QTimer::timeout, this, &TBanner::Step);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
}

void TBanner::SetLines(const QStringList& Value) {
    Lines = Value;
    update();
}

void TBanner::SetEnabled(bool Value) {
    if (!Value) {
        Timer_.stop();
        return;
    }
    if (Lines.isEmpty() && Bitmap.isNull())
        throw EBannerError("Assign a bitmap or text to banner before enabling");
    Offset_ = 0;
    Timer_.start();
    update();
}

int TBanner::ContentLength() const {
    if (!Bitmap.isNull())
        return Vertical() ? Bitmap.height() : Bitmap.width();
    const QFontMetrics fm(font());
    if (Vertical())
        return fm.lineSpacing() * static_cast<int>(Lines.size());
    // Sideways the lines follow each other on one row, a blank apart.
    return fm.horizontalAdvance(Lines.join(' ') + ' ');
}

void TBanner::Step() {
    Offset_ += ScrollPixels;
    const int view = Vertical() ? height() : width();
    const int content = ContentLength();
    // Kept small; a whole period later the picture is the same.
    const long long period = NoGap ? content : static_cast<long long>(view) + content;
    if (period > 0 && Offset_ > 2 * period + view)
        Offset_ -= period;
    update();
    emit OnScroll();
}

void TBanner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(TextColor);
    const bool vertical = Vertical();
    const int view = vertical ? height() : width();
    const int content = ContentLength();
    const QFontMetrics fm(font());
    for (int start : BannerPositions(view, content, Offset_, NoGap)) {
        // Positions count from the entering edge; turn them into coordinates.
        const bool fromFar = ScrollDirection == sdBottomToTop || ScrollDirection == sdRightToLeft;
        const int at = fromFar ? start : view - start - content;
        if (!Bitmap.isNull()) {
            if (vertical)
                p.drawPixmap((width() - Bitmap.width()) / 2, at, Bitmap);
            else
                p.drawPixmap(at, (height() - Bitmap.height()) / 2, Bitmap);
            continue;
        }
        if (vertical) {
            int y = at;
            for (const QString& line : Lines) {
                p.drawText(QRect(0, y, width(), fm.lineSpacing()), Qt::AlignHCenter | Qt::AlignVCenter,
                           line);
                y += fm.lineSpacing();
            }
        } else {
            p.drawText(QRect(at, 0, content, height()), Qt::AlignLeft | Qt::AlignVCenter,
                       Lines.join(' ') + ' ');
        }
    }
}

void TBanner::showEvent(QShowEvent* Event) {
    QWidget::showEvent(Event);
    if (AutoEnable && !Enabled() && (!Lines.isEmpty() || !Bitmap.isNull()))
        SetEnabled(true);
}

void TBanner::mouseReleaseEvent(QMouseEvent* Event) {
    if (rect().contains(Event->position().toPoint()))
        emit OnClick();
}

} // namespace veltrane

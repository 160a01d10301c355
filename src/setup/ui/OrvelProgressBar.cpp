#include "setup/ui/OrvelProgressBar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace veltrane {

TOrvelProgressBar::TOrvelProgressBar(QWidget* Parent) : QWidget(Parent) {
    BarColor_ = palette().color(QPalette::Highlight);
    resize(150, 24);
}

void TOrvelProgressBar::SetBackColor(const QColor& C) {
    BackColor_ = C;
    update();
}

void TOrvelProgressBar::SetBarColor(const QColor& C) {
    BarColor_ = C;
    update();
}

void TOrvelProgressBar::SetMaxValue(qint64 V) {
    MaxValue_ = std::max<qint64>(0, V);
    Progress_ = std::min(Progress_, MaxValue_);
    update();
}

void TOrvelProgressBar::SetProgress(qint64 V) {
    Progress_ = std::clamp<qint64>(V, 0, MaxValue_);
    update();
}

int TOrvelProgressBar::FilledWidth(qint64 Progress, qint64 Max, int Width) {
    if (Max <= 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(Progress) / static_cast<double>(Max) * (Width - 2)));
}

int TOrvelProgressBar::Percent(qint64 Progress, qint64 Max) {
    if (Max <= 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(Progress) / static_cast<double>(Max) * 100));
}

void TOrvelProgressBar::paintEvent(QPaintEvent*) {
    QPainter P(this);
    const QRect Inner = rect().adjusted(1, 1, -1, -1);
    P.setPen(palette().color(QPalette::WindowText));
    P.drawRect(rect().adjusted(0, 0, -1, -1));
    const int Filled = FilledWidth(Progress_, MaxValue_, width());
    const QRect Done(Inner.left(), Inner.top(), Filled, Inner.height());
    const QRect Rest(Inner.left() + Filled, Inner.top(), Inner.width() - Filled, Inner.height());
    P.fillRect(Done, BarColor_);
    P.fillRect(Rest, BackColor_);
    const QString Text = QString("%1%").arg(Percent(Progress_, MaxValue_));
    P.setFont(font());
    P.save();
    P.setClipRect(Done);
    P.setPen(BackColor_);
    P.drawText(Inner, Qt::AlignCenter, Text);
    P.restore();
    P.setClipRect(Rest);
    P.setPen(BarColor_);
    P.drawText(Inner, Qt::AlignCenter, Text);
}

} // namespace veltrane

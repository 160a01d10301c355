#include "components/ui/LightSpd.h"

#include <QPainter>

#include <algorithm>

namespace veltrane {

namespace {

double StepOf(TLightSpeedSpeed Speed) {
    static const double steps[] = {0.005, 0.01, 0.02, 0.035, 0.05, 0.09};
    return steps[std::clamp(static_cast<int>(Speed), 0, 5)];
}

} // namespace

TLightSpeed::TLightSpeed(QWidget* Parent) : QWidget(Parent) {
    Timer_.setInterval(50);
    connect(&Timer_, &QTimer::timeout, this, &TLightSpeed::Step);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetStarsCount(100);
}

void TLightSpeed::SetStarsCount(int Value) {
    StarsCount_ = std::max(0, Value);
    Stars_.resize(StarsCount_);
    for (Star& s : Stars_)
        Place(s, true);
    update();
}

void TLightSpeed::Place(Star& S, bool Anywhere) {
    std::uniform_real_distribution<double> spread(-1.0, 1.0), depth(0.1, 1.0);
    S.x = spread(Random_);
    S.y = spread(Random_);
    S.z = Anywhere ? depth(Random_) : 1.0;
    S.prevZ = S.z;
    if (Options & loColored)
        S.color = QColor::fromHsv(std::uniform_int_distribution<int>(0, 359)(Random_), 120, 255);
    else
        S.color = QColor(255, 255, 255);
}

void TLightSpeed::SetActive(bool Value) {
    if (Value) {
        // The colour option may have changed since the stars were placed.
        for (Star& s : Stars_)
            Place(s, true);
        Timer_.start();
    } else {
        Timer_.stop();
    }
    update();
}

void TLightSpeed::Step() {
    const double step = StepOf(Speed);
    for (Star& s : Stars_) {
        s.prevZ = s.z;
        s.z -= step;
        if (s.z <= 0.02)
            Place(s, false);
    }
    update();
}

void TLightSpeed::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!Active())
        return;
    const double scale = std::max(width(), height()) * 0.5;
    for (const Star& s : Stars_) {
        const QPointF at(CenterX + s.x / s.z * scale * 0.25, CenterY + s.y / s.z * scale * 0.25);
        if (!rect().contains(at.toPoint()))
            continue;
        // Stars brighten from Brightness to full as they come near.
        const double nearness = 1.0 - s.z;
        const int level = std::clamp(int(Brightness + (255 - Brightness) * nearness), 0, 255);
        QColor c = s.color;
        c.setRgb(c.red() * level / 255, c.green() * level / 255, c.blue() * level / 255);
        const double size = 1.0 + 2.0 * nearness;
        if ((Options & loMultiplay) && s.prevZ > s.z) {
            const QPointF from(CenterX + s.x / s.prevZ * scale * 0.25,
                               CenterY + s.y / s.prevZ * scale * 0.25);
            p.setPen(QPen(c, size * 0.6));
            p.drawLine(from, at);
        }
        p.fillRect(QRectF(at.x(), at.y(), size, size), c);
    }
}

} // namespace veltrane

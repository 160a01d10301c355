#include "components/ui/AMAdvLed.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <map>
#include <utility>

namespace veltrane {

namespace {

const QRgb Silver = qRgb(192, 192, 192);

QPainterPath Polygon(std::initializer_list<QPointF> Points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(Points));
    path.closeSubpath();
    return path;
}

// The lamp's outline inside R (already inset for the bevel).
QPainterPath Shape(TLedType Type, const QRectF& R) {
    const qreal l = R.left(), t = R.top(), r = R.right(), b = R.bottom();
    const qreal w = R.width(), h = R.height();
    const QPointF c = R.center();
    QPainterPath path;
    switch (Type) {
    case ltDiamond:
        return Polygon({{c.x(), t}, {r, c.y()}, {c.x(), b}, {l, c.y()}});
    case ltEllipsHrz:
        path.addEllipse(QRectF(l, c.y() - h * 0.3, w, h * 0.6));
        return path;
    case ltEllipsVrt:
        path.addEllipse(QRectF(c.x() - w * 0.3, t, w * 0.6, h));
        return path;
    case ltMoonLeft:
    case ltMoonRight: {
        QPainterPath disc, bite;
        disc.addEllipse(R);
        const qreal shift = Type == ltMoonLeft ? w * 0.4 : -w * 0.4;
        bite.addEllipse(R.translated(shift, 0));
        return disc.subtracted(bite);
    }
    case ltParallelBck:
        return Polygon({{l, t}, {r - w * 0.3, t}, {r, b}, {l + w * 0.3, b}});
    case ltParallelFwd:
        return Polygon({{l + w * 0.3, t}, {r, t}, {r - w * 0.3, b}, {l, b}});
    case ltPentagon: {
        QPolygonF p;
        for (int i = 0; i < 5; ++i) {
            const qreal a = -M_PI / 2 + i * 2 * M_PI / 5;
            p << QPointF(c.x() + w / 2 * std::cos(a), c.y() + h / 2 * std::sin(a) + h * 0.05);
        }
        path.addPolygon(p);
        path.closeSubpath();
        return path;
    }
    case ltRound:
        path.addEllipse(R);
        return path;
    case ltRectangleHrz:
        path.addRect(QRectF(l, c.y() - h * 0.3, w, h * 0.6));
        return path;
    case ltRectangleVrt:
        path.addRect(QRectF(c.x() - w * 0.3, t, w * 0.6, h));
        return path;
    case ltSquare:
        path.addRect(R);
        return path;
    case ltTriangleDwn:
        return Polygon({{l, t}, {r, t}, {c.x(), b}});
    case ltTriangleLeft:
        return Polygon({{r, t}, {r, b}, {l, c.y()}});
    case ltTriangleRight:
        return Polygon({{l, t}, {r, c.y()}, {l, b}});
    case ltTriangleUp:
        return Polygon({{c.x(), t}, {r, b}, {l, b}});
    }
    path.addEllipse(R);
    return path;
}

} // namespace

QImage LedMaskPicture(const std::string& Name, QSize Size) {
    const auto picture = ParseLedBitmapName(Name);
    if (!picture || Size.isEmpty())
        return {};
    QImage image(Size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // No smoothing: silver must stay exactly silver where the colour goes.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRectF area = QRectF(image.rect()).adjusted(1, 1, -2, -2);
    const QPainterPath shape = Shape(picture->Type, area);
    p.fillPath(shape, QColor(Silver));
    const QColor light(255, 255, 255), dark(64, 64, 64), mid(128, 128, 128);
    if (picture->Border == brRaised || picture->Border == brLowered) {
        const bool raised = picture->Border == brRaised;
        // The bevel: light from the top left when raised, from the bottom right when lowered.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(raised ? light : dark, 1));
        p.drawPath(shape.translated(-1, -1));
        p.setPen(QPen(raised ? dark : light, 1));
        p.drawPath(shape.translated(1, 1));
        p.fillPath(shape, QColor(Silver));
    } else if (picture->Ctl3D) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(mid, 1));
        p.drawPath(shape.translated(1, 1));
        p.fillPath(shape, QColor(Silver));
    }
    return image;
}

TAMAdvLed::TAMAdvLed(QWidget* Parent) : QWidget(Parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void TAMAdvLed::SetBorderStyle(TLedBorderStyle Value) {
    if (State_.SetBorderStyle(Value))
        update();
}

void TAMAdvLed::SetCtl3D(bool Value) {
    if (State_.SetCtl3D(Value))
        update();
}

void TAMAdvLed::SetLedType(TLedType Value) {
    if (State_.SetLedType(Value))
        update();
}

void TAMAdvLed::SetLedOn(bool Value) {
    if (!State_.SetLedOn(Value))
        return;
    emit OnLedStateChanged(this, Value, State_.ChangeCount);
    update();
}

void TAMAdvLed::SetColorOn(const QColor& Value) {
    ColorOn_ = Value;
    update();
}

void TAMAdvLed::SetColorOff(const QColor& Value) {
    ColorOff_ = Value;
    update();
}

QImage TAMAdvLed::Picture() const {
    // The masks are the same for every lamp of a kind and size: drawn once, kept.
    static std::map<std::pair<std::string, std::pair<int, int>>, QImage> cache;
    const auto key = std::make_pair(BitmapName(), std::make_pair(width(), height()));
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, LedMaskPicture(key.first, size())).first;
    QImage image = it->second.copy();
    const QRgb fill = (LedOn() ? ColorOn_ : ColorOff_).rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == Silver)
                line[x] = fill;
    }
    return image;
}

void TAMAdvLed::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Picture());
}

void TAMAdvLed::mousePressEvent(QMouseEvent* Event) {
    emit OnMouseDown(Event);
}

void TAMAdvLed::mouseReleaseEvent(QMouseEvent* Event) {
    emit OnMouseUp(Event);
    if (rect().contains(Event->position().toPoint()))
        emit OnClick();
}

} // namespace veltrane

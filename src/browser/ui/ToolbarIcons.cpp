#include "browser/ui/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace veltrane {

namespace {

// All glyphs are drawn on a 22-unit square and scaled to the wanted size.
constexpr qreal kUnit = 22;

QPen Outline(const QColor& Fill) {
    return QPen(Fill.darker(170), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Folder(QPainter& P, const QColor& Fill) {
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(8, 6);
    path.lineTo(10, 8);
    path.lineTo(20, 8);
    path.lineTo(20, 18);
    path.lineTo(2, 18);
    path.closeSubpath();
    P.setPen(Outline(Fill));
    P.setBrush(Fill);
    P.drawPath(path);
}

void Disc(QPainter& P, const QColor& Fill) {
    P.setPen(Outline(Fill));
    P.setBrush(Fill);
    P.drawEllipse(QRectF(2, 2, 18, 18));
}

void Letters(QPainter& P, const QString& Text, const QColor& Color, const QRectF& Box,
             qreal PixelSize) {
    QFont font = P.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(PixelSize));
    P.setFont(font);
    P.setPen(Color);
    P.drawText(Box, Qt::AlignCenter, Text);
}

void Draw(QPainter& P, TToolbarControl Control) {
    const QColor green(40, 160, 50), red(205, 45, 40), blue(40, 100, 210), orange(235, 150, 30),
        violet(140, 60, 180), teal(20, 150, 150), brown(170, 100, 30);
    const QPen white(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (Control) {
    case TToolbarControl::ShowDir:
        Folder(P, orange);
        break;
    case TToolbarControl::Recursive: {
        // A folder with a branch going down into another.
        P.save();
        P.scale(0.75, 0.75);
        Folder(P, orange);
        P.restore();
        P.save();
        P.translate(7, 7);
        P.scale(0.68, 0.68);
        Folder(P, orange.lighter(115));
        P.restore();
        P.setPen(QPen(brown, 1.6));
        P.drawLine(QPointF(4, 14), QPointF(4, 17));
        P.drawLine(QPointF(4, 17), QPointF(8, 17));
        break;
    }
    case TToolbarControl::Refresh: {
        P.setPen(QPen(green, 3, Qt::SolidLine, Qt::FlatCap));
        P.setBrush(Qt::NoBrush);
        P.drawArc(QRectF(4, 4, 14, 14), 60 * 16, 290 * 16);
        QPolygonF head;
        head << QPointF(12, 1) << QPointF(18, 5) << QPointF(12, 9);
        P.setPen(Qt::NoPen);
        P.setBrush(green);
        P.drawPolygon(head);
        break;
    }
    case TToolbarControl::Select:
    case TToolbarControl::Deselect: {
        const bool plus = Control == TToolbarControl::Select;
        Disc(P, plus ? green : red);
        P.setPen(white);
        P.drawLine(QPointF(6.5, 11), QPointF(15.5, 11));
        if (plus)
            P.drawLine(QPointF(11, 6.5), QPointF(11, 15.5));
        break;
    }
    case TToolbarControl::EditMore: {
        // A sheet with a pencil across it.
        P.setPen(Outline(QColor(230, 235, 250)));
        P.setBrush(QColor(240, 244, 255));
        P.drawRect(QRectF(3, 2, 12, 17));
        P.setPen(QPen(QColor(120, 130, 160), 1));
        for (qreal y : {6.0, 9.0, 12.0})
            P.drawLine(QPointF(5, y), QPointF(13, y));
        P.setPen(QPen(blue.darker(130), 1));
        P.setBrush(blue);
        QPolygonF pencil;
        pencil << QPointF(18, 5) << QPointF(21, 8) << QPointF(11, 18) << QPointF(7, 19)
               << QPointF(8, 15);
        P.drawPolygon(pencil);
        break;
    }
    case TToolbarControl::RenameFile:
        P.setPen(Outline(violet));
        P.setBrush(violet.lighter(170));
        P.drawRoundedRect(QRectF(1.5, 4.5, 19, 13), 2, 2);
        Letters(P, "Ab", violet.darker(140), QRectF(1.5, 4.5, 19, 13), 11);
        break;
    case TToolbarControl::PlayListEditor:
        P.setPen(QPen(teal, 2.4, Qt::SolidLine, Qt::RoundCap));
        for (qreal y : {5.0, 10.0, 15.0})
            P.drawLine(QPointF(3, y), QPointF(12, y));
        P.setPen(Qt::NoPen);
        P.setBrush(teal);
        P.drawEllipse(QRectF(13, 14, 6, 5));
        P.setPen(QPen(teal, 1.8));
        P.drawLine(QPointF(18.2, 16.5), QPointF(18.2, 4));
        P.drawLine(QPointF(18.2, 4), QPointF(21, 6));
        break;
    case TToolbarControl::ReadTags: {
        QPolygonF tag;
        tag << QPointF(1.5, 6) << QPointF(16, 6) << QPointF(20.5, 11) << QPointF(16, 16)
            << QPointF(1.5, 16);
        P.setPen(Outline(orange));
        P.setBrush(orange);
        P.drawPolygon(tag);
        Letters(P, "ID3", brown.darker(160), QRectF(1.5, 6, 16, 10), 8);
        break;
    }
    case TToolbarControl::Play: {
        QPolygonF triangle;
        triangle << QPointF(5, 3) << QPointF(19, 11) << QPointF(5, 19);
        P.setPen(Outline(green));
        P.setBrush(green);
        P.drawPolygon(triangle);
        break;
    }
    case TToolbarControl::DeleteSelected: {
        P.setPen(Outline(red));
        P.setBrush(red);
        P.drawRect(QRectF(5, 7, 12, 13));
        P.drawRect(QRectF(3, 4, 16, 2.5));
        P.drawRect(QRectF(9, 2, 4, 2));
        P.setPen(QPen(Qt::white, 1.4));
        for (qreal x : {8.0, 11.0, 14.0})
            P.drawLine(QPointF(x, 9.5), QPointF(x, 17.5));
        break;
    }
    case TToolbarControl::Help:
    case TToolbarControl::About: {
        Disc(P, blue);
        const bool help = Control == TToolbarControl::Help;
        Letters(P, help ? "?" : "i", Qt::white, QRectF(2, 2, 18, 18), 14);
        break;
    }
    case TToolbarControl::EditPreferences: {
        // A cog.
        const QPointF c(11, 11);
        QPainterPath cog;
        for (int i = 0; i < 16; ++i) {
            const qreal a = i * std::numbers::pi / 8;
            const qreal r = (i % 2 == 0) ? 9.5 : 7;
            const QPointF p(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
            if (i == 0)
                cog.moveTo(p);
            else
                cog.lineTo(p);
        }
        cog.closeSubpath();
        cog.addEllipse(c, 3, 3);
        cog.setFillRule(Qt::OddEvenFill);
        P.setPen(Outline(teal));
        P.setBrush(teal);
        P.drawPath(cog);
        break;
    }
    case TToolbarControl::Quit: {
        Disc(P, red);
        P.setPen(white);
        P.setBrush(Qt::NoBrush);
        P.drawArc(QRectF(6.5, 6.5, 9, 9), 120 * 16, 300 * 16);
        P.drawLine(QPointF(11, 5), QPointF(11, 10.5));
        break;
    }
    case TToolbarControl::EditDockCurrentDir:
        break;
    }
}

QPixmap Picture(TToolbarControl Control, int Size, qreal Ratio) {
    QPixmap pixmap(QSize(Size, Size) * Ratio);
    pixmap.setDevicePixelRatio(Ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(Size / kUnit, Size / kUnit);
    Draw(painter, Control);
    return pixmap;
}

} // namespace

QPixmap DisabledPixmap(const QPixmap& Picture) {
    QImage image = Picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            // Grey, lightened towards the toolbar's background, and faint.
            const int g = 110 + qGray(p) / 3;
            line[x] = qRgba(g, g, g, qAlpha(p) * 45 / 100);
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(Picture.devicePixelRatio());
    return result;
}

QIcon ToolbarIcon(TToolbarControl Control, int Size) {
    if (Control == TToolbarControl::EditDockCurrentDir)
        return {};
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        const QPixmap normal = Picture(Control, Size, ratio);
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(normal, QIcon::Active);
        icon.addPixmap(DisabledPixmap(normal), QIcon::Disabled);
    }
    return icon;
}

} // namespace veltrane

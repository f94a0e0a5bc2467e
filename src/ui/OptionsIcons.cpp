#include "ui/OptionsIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace OptionsIcons {

namespace {

constexpr int kSmall = 16;
constexpr int kLarge = 32;

// Every picture is drawn at twice its size too, for high-density screens.
template <typename Draw> QPixmap paint(int size, qreal ratio, Draw draw)
{
    QPixmap pixmap(int(size * ratio), int(size * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pixmap;
}

template <typename Draw> QIcon smallIcon(Draw draw)
{
    QIcon icon;
    icon.addPixmap(paint(kSmall, 1.0, draw));
    icon.addPixmap(paint(kSmall, 2.0, draw));
    return icon;
}

void drawCircleMark(QPainter &p, const QColor &fill)
{
    p.setPen(QPen(fill.darker(140), 1.0));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

} // namespace

QPixmap modemPicture()
{
    return paint(kLarge, 1.0, [](QPainter &p) {
        // A desktop modem: a flat case with status lights and a front slope.
        QLinearGradient body(0, 10, 0, 26);
        body.setColorAt(0, QColor(0xe8, 0xea, 0xee));
        body.setColorAt(1, QColor(0x9a, 0xa1, 0xad));
        QPainterPath shape;
        shape.moveTo(3, 24);
        shape.lineTo(6, 12);
        shape.lineTo(26, 12);
        shape.lineTo(29, 24);
        shape.closeSubpath();
        p.setPen(QPen(QColor(0x4a, 0x50, 0x5c), 1.0));
        p.setBrush(body);
        p.drawPath(shape);
        p.setBrush(QColor(0x5a, 0x61, 0x6e));
        p.drawRoundedRect(QRectF(3, 24, 26, 4), 1, 1);
        const QColor lights[] = {QColor(0x2e, 0xc4, 0x4a), QColor(0x2e, 0xc4, 0x4a), QColor(0xf5, 0xb0, 0x1c),
                                 QColor(0xd9, 0x3a, 0x2b)};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(lights[i]);
            p.drawEllipse(QRectF(9 + i * 4, 19, 2.5, 2.5));
        }
        // The telephone cord.
        p.setPen(QPen(QColor(0x4a, 0x50, 0x5c), 1.4));
        p.setBrush(Qt::NoBrush);
        QPainterPath cord;
        cord.moveTo(24, 12);
        cord.cubicTo(24, 6, 29, 8, 29, 3);
        p.drawPath(cord);
    });
}

QPixmap isdnPicture()
{
    return paint(kLarge, 1.0, [](QPainter &p) {
        // An adapter card with its chip and the bus contacts.
        p.setPen(QPen(QColor(0x1d, 0x5c, 0x2e), 1.0));
        p.setBrush(QColor(0x3a, 0x9a, 0x52));
        p.drawRoundedRect(QRectF(2.5, 7.5, 27, 16), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x22, 0x22, 0x26));
        p.drawRect(QRectF(7, 11, 9, 8));
        p.setBrush(QColor(0xd8, 0xd8, 0xdc));
        p.drawRect(QRectF(19, 11, 7, 3));
        p.setBrush(QColor(0xe0, 0xb0, 0x3a));
        for (int i = 0; i < 7; ++i)
            p.drawRect(QRectF(5 + i * 3.4, 23.5, 2, 4));
        // The S0 socket on the bracket.
        p.setBrush(QColor(0x9a, 0xa1, 0xad));
        p.drawRect(QRectF(27, 4, 3, 24));
        p.setBrush(QColor(0x33, 0x33, 0x38));
        p.drawRect(QRectF(27.5, 13, 2, 5));
    });
}

QIcon infoNode()
{
    return smallIcon([](QPainter &p) {
        drawCircleMark(p, QColor(0x2f, 0x6f, 0xc9));
        p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
        p.drawPoint(QPointF(8, 4.8));
    });
}

QIcon featurePresent()
{
    return smallIcon([](QPainter &p) {
        drawCircleMark(p, QColor(0x2e, 0xa0, 0x43));
        p.drawPolyline(QPolygonF({QPointF(4.8, 8.3), QPointF(7, 10.5), QPointF(11.2, 5.6)}));
    });
}

QIcon featureAbsent()
{
    return smallIcon([](QPainter &p) {
        drawCircleMark(p, QColor(0xc9, 0x3b, 0x2f));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    });
}

QIcon group()
{
    return smallIcon([](QPainter &p) {
        // Two heads, the group of contacts.
        p.setPen(QPen(QColor(0x7a, 0x4b, 0x12), 0.8));
        p.setBrush(QColor(0xf0, 0xb4, 0x4c));
        p.drawEllipse(QRectF(8.5, 2.5, 5, 5));
        p.drawChord(QRectF(6.5, 8, 9, 10), 0, 180 * 16);
        p.setBrush(QColor(0x4c, 0x8c, 0xe0));
        p.setPen(QPen(QColor(0x1f, 0x4a, 0x86), 0.8));
        p.drawEllipse(QRectF(2.5, 4, 5, 5));
        p.drawChord(QRectF(0.5, 9.5, 9, 10), 0, 180 * 16);
    });
}

QPixmap speaker()
{
    return paint(kSmall, 1.0, [](QPainter &p) {
        p.setPen(QPen(QColor(0x30, 0x36, 0x40), 1.0));
        p.setBrush(QColor(0x5b, 0x66, 0x78));
        p.drawPolygon(QPolygonF({QPointF(1.5, 6), QPointF(4.5, 6), QPointF(8.5, 2.5), QPointF(8.5, 13.5),
                                 QPointF(4.5, 10), QPointF(1.5, 10)}));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x2f, 0x6f, 0xc9), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(6, 5, 6, 6), -50 * 16, 100 * 16);
        p.drawArc(QRectF(5, 2.5, 10, 11), -50 * 16, 100 * 16);
    });
}

namespace {

// A head in profile, facing right, with the sound leaving its mouth; drawn in a box of SIZE.
void drawSpeakingHead(QPainter &p, qreal size)
{
    p.scale(size / 16.0, size / 16.0);
    QPainterPath head;
    head.moveTo(2, 15.5);
    head.cubicTo(2, 12, 1, 10, 1.5, 7);
    head.cubicTo(2, 2.5, 5, 1, 7.5, 1);
    head.cubicTo(10, 1, 11.5, 3, 11.5, 5.5);
    head.lineTo(12.5, 7.6);
    head.lineTo(11.4, 8);
    head.lineTo(11.3, 10.5);
    head.cubicTo(11, 11.5, 9.5, 11.5, 8, 11.2);
    head.lineTo(8, 15.5);
    head.closeSubpath();
    p.setPen(QPen(QColor(0x30, 0x36, 0x40), 0.8));
    p.setBrush(QColor(0x5b, 0x66, 0x78));
    p.drawPath(head);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x2f, 0x6f, 0xc9), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(10.5, 6, 3, 4), -60 * 16, 120 * 16);
    p.drawArc(QRectF(10.5, 4, 5, 8), -60 * 16, 120 * 16);
}

} // namespace

QPixmap speechPicture()
{
    return paint(kLarge, 1.0, [](QPainter &p) { drawSpeakingHead(p, kLarge); });
}

QPixmap voice()
{
    return paint(kSmall, 1.0, [](QPainter &p) { drawSpeakingHead(p, kSmall); });
}

} // namespace OptionsIcons

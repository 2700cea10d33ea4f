// SPDX-License-Identifier: MIT
// The four spade cards shown before the first deal: a friendly drawing instead of the pips.
#include "art.h"

#include <QPainter>
#include <QPolygonF>
#include <QtMath>

namespace cardgen {

namespace {

const QColor ink { 0x33, 0x2A, 0x22 };
const QColor lacquer { 0xB0, 0x1E, 0x23 };
const QColor gold { 0xE8, 0xB8, 0x2E };
const QColor bamboo { 0xE2, 0xC2, 0x86 };
const QColor porcelain { 0x2F, 0x5F, 0xA8 };
const QColor skin { 0xFB, 0xDC, 0xC0 };
const QColor blush { 0xF5, 0xA3, 0xA0 };
const QColor romper { 0x8F, 0xC3, 0xEA };
const QColor cushion { 0x9C, 0xCC, 0x8E };
const QColor stitch { 0xD0, 0x24, 0x2C };
const QColor leather { 0xF7, 0xF4, 0xEC };
const QColor brass { 0xC8, 0x93, 0x2E };
const QColor brassDark { 0x7A, 0x55, 0x18 };
const QColor shadow { 0xE6, 0xE6, 0xE6 };

void fill(QPainter &painter, const QPainterPath &path, const QColor &colour, const QColor &outline = ink,
    qreal width = 1.0)
{
    painter.setBrush(colour);
    if (width > 0)
        painter.setPen(QPen(outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        painter.setPen(Qt::NoPen);
    painter.drawPath(path);
}

void stroke(QPainter &painter, const QPainterPath &path, const QColor &colour, qreal width)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

QPainterPath ellipse(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

// One chopstick from its thick end at `top` to its tip at `tip`, tapering.
void drawChopstick(QPainter &painter, QPointF top, QPointF tip, const QColor &colour, bool banded)
{
    const QPointF along = tip - top;
    const qreal length = std::hypot(along.x(), along.y());
    const QPointF across(-along.y() / length, along.x() / length);
    QPainterPath stick;
    stick.moveTo(top + across * 3.2);
    stick.lineTo(tip + across * 1.2);
    stick.lineTo(tip - across * 1.2);
    stick.lineTo(top - across * 3.2);
    stick.closeSubpath();
    fill(painter, stick, colour, ink, 0.9);
    if (banded) {
        // Gold rings near the grip, as on lacquered chopsticks.
        for (const qreal at : { 0.10, 0.16 }) {
            const QPointF centre = top + along * at;
            const qreal half = 3.2 - 2.0 * at;
            QPainterPath ring;
            ring.moveTo(centre + across * half);
            ring.lineTo(centre - across * half);
            stroke(painter, ring, gold, 2.2);
        }
    }
}

void drawChopsticks(QPainter &painter)
{
    // The sticks lie across a small porcelain rest, shadow first.
    fill(painter, ellipse(QPointF(80, 190), 26, 4), shadow, shadow, 0);
    QPainterPath rest;
    rest.moveTo(56, 178);
    rest.cubicTo(56, 172, 64, 172, 66, 176);
    rest.cubicTo(72, 181, 88, 181, 94, 176);
    rest.cubicTo(96, 172, 104, 172, 104, 178);
    rest.lineTo(104, 185);
    rest.cubicTo(104, 190, 56, 190, 56, 185);
    rest.closeSubpath();
    fill(painter, rest, porcelain);
    for (const qreal x : { 64.0, 80.0, 96.0 })
        fill(painter, ellipse(QPointF(x, 185), 2, 1.6), Qt::white, ink, 0);

    drawChopstick(painter, QPointF(44, 46), QPointF(92, 208), bamboo, false);
    drawChopstick(painter, QPointF(54, 44), QPointF(98, 206), bamboo, false);
    drawChopstick(painter, QPointF(112, 48), QPointF(60, 206), lacquer, true);
    drawChopstick(painter, QPointF(120, 52), QPointF(66, 210), lacquer, true);
}

void drawBaby(QPainter &painter)
{
    const qreal cx = cardWidth / 2.0;
    // A cushion to sit on.
    fill(painter, ellipse(QPointF(cx, 190), 46, 12), cushion);

    // Legs stretched forward, feet up.
    fill(painter, ellipse(QPointF(cx - 17, 180), 14, 10), romper);
    fill(painter, ellipse(QPointF(cx + 17, 180), 14, 10), romper);
    fill(painter, ellipse(QPointF(cx - 29, 178), 7, 8.5), skin);
    fill(painter, ellipse(QPointF(cx + 29, 178), 7, 8.5), skin);

    // Arms reaching out from behind a round body.
    for (const int side : { -1, 1 }) {
        QPainterPath arm;
        arm.moveTo(cx + side * 10, 130);
        arm.cubicTo(cx + side * 30, 128, cx + side * 40, 140, cx + side * 44, 150);
        arm.lineTo(cx + side * 35, 156);
        arm.cubicTo(cx + side * 30, 148, cx + side * 22, 146, cx + side * 14, 148);
        arm.closeSubpath();
        fill(painter, arm, romper);
        fill(painter, ellipse(QPointF(cx + side * 41, 155), 6, 6), skin);
    }
    QPainterPath body;
    body.moveTo(cx - 14, 124);
    body.cubicTo(cx - 34, 134, cx - 34, 178, cx, 180);
    body.cubicTo(cx + 34, 178, cx + 34, 134, cx + 14, 124);
    body.closeSubpath();
    fill(painter, body, romper);
    // A little spade on the romper, the card's own suit.
    drawPip(painter, Suit::spades, QPointF(cx, 158), 16, false, Qt::white);

    // A big head with one curl on top.
    const QPointF head(cx, 98);
    fill(painter, ellipse(head + QPointF(-27, 2), 5, 7), skin);
    fill(painter, ellipse(head + QPointF(27, 2), 5, 7), skin);
    fill(painter, ellipse(head, 27, 26), skin);
    QPainterPath curl;
    curl.moveTo(cx - 2, 73);
    curl.cubicTo(cx - 6, 64, cx + 6, 60, cx + 7, 67);
    curl.cubicTo(cx + 7, 71, cx + 2, 72, cx + 1, 68);
    stroke(painter, curl, ink, 1.6);

    // Happy closed eyes, rosy cheeks and a smile.
    for (const int side : { -1, 1 }) {
        QPainterPath eye;
        eye.moveTo(cx + side * 10 - 5, 97);
        eye.quadTo(cx + side * 10, 91, cx + side * 10 + 5, 97);
        stroke(painter, eye, ink, 1.6);
        fill(painter, ellipse(QPointF(cx + side * 16, 106), 5, 3.5), blush, blush, 0);
    }
    QPainterPath smile;
    smile.moveTo(cx - 7, 108);
    smile.quadTo(cx, 116, cx + 7, 108);
    smile.quadTo(cx, 112, cx - 7, 108);
    fill(painter, smile, QColor(0xC8, 0x4B, 0x4B), ink, 1.2);
}

void drawBaseball(QPainter &painter, QPointF centre, qreal radius, qreal turn)
{
    fill(painter, ellipse(centre + QPointF(4, radius + 5), radius * 0.9, 4.5), shadow, shadow, 0);
    fill(painter, ellipse(centre, radius, radius), leather, ink, 1.2);
    // A soft shade on the lower right makes it round.
    QPainterPath shade = ellipse(centre, radius - 0.6, radius - 0.6)
                             .subtracted(ellipse(centre + QPointF(-radius * 0.18, -radius * 0.18),
                                 radius * 0.98, radius * 0.98));
    fill(painter, shade, QColor(0xDD, 0xD8, 0xCC), ink, 0);

    painter.save();
    painter.translate(centre);
    painter.rotate(turn);
    for (const int side : { -1, 1 }) {
        // A seam curves in from top and bottom; the stitches cross it as short ticks.
        QPainterPath seam;
        const qreal x = side * radius * 0.98;
        seam.moveTo(x * 0.55, -radius * 0.84);
        seam.cubicTo(x * 0.15, -radius * 0.35, x * 0.15, radius * 0.35, x * 0.55, radius * 0.84);
        stroke(painter, seam, stitch, 1.1);
        for (int tick = 1; tick < 8; ++tick) {
            const qreal t = tick / 8.0;
            const QPointF at = seam.pointAtPercent(t);
            const qreal angle = qDegreesToRadians(seam.angleAtPercent(t));
            const QPointF normal(std::sin(angle) * 3.0, std::cos(angle) * 3.0);
            QPainterPath stitchMark;
            stitchMark.moveTo(at - normal + QPointF(0, -1.2));
            stitchMark.lineTo(at);
            stitchMark.lineTo(at + normal + QPointF(0, -1.2));
            stroke(painter, stitchMark, stitch, 1.0);
        }
    }
    painter.restore();
}

void drawBaseballs(QPainter &painter)
{
    drawBaseball(painter, QPointF(62, 96), 27, -20);
    drawBaseball(painter, QPointF(94, 160), 27, 25);
}

void drawKey(QPainter &painter)
{
    painter.save();
    painter.translate(78, 126);
    painter.rotate(-30);

    // The bow: three rings in a clover round a hole, the way old keys were cast.
    QPainterPath bow;
    for (const QPointF lobe : { QPointF(0, -74), QPointF(-13, -58), QPointF(13, -58) })
        bow = bow.united(ellipse(lobe, 13, 13));
    bow = bow.united(ellipse(QPointF(0, -52), 8, 8));
    fill(painter, bow, brass, brassDark, 1.3);
    for (const QPointF hole : { QPointF(0, -75), QPointF(-14, -58), QPointF(14, -58) })
        fill(painter, ellipse(hole, 5.5, 5.5), Qt::white, brassDark, 1.1);

    // Collar, shaft and bit with its wards.
    QPainterPath collar;
    collar.addRoundedRect(QRectF(-8, -44, 16, 8), 3, 3);
    QPainterPath shaft;
    shaft.addRect(QRectF(-4.5, -38, 9, 106));
    QPainterPath bit;
    bit.moveTo(4, 40);
    bit.lineTo(24, 40);
    bit.lineTo(24, 48);
    bit.lineTo(18, 48);
    bit.lineTo(18, 53);
    bit.lineTo(24, 53);
    bit.lineTo(24, 66);
    bit.lineTo(12, 66);
    bit.lineTo(12, 58);
    bit.lineTo(4, 58);
    bit.closeSubpath();
    fill(painter, shaft.united(bit), brass, brassDark, 1.3);
    fill(painter, collar, brass, brassDark, 1.3);
    fill(painter, ellipse(QPointF(0, 68), 4.5, 2.5), brass, brassDark, 1.1);

    // A highlight down the shaft and a worn patch on the bow.
    stroke(
        painter,
        [] {
            QPainterPath p;
            p.moveTo(-1.8, -34);
            p.lineTo(-1.8, 62);
            return p;
        }(),
        QColor(0xF2, 0xD2, 0x86), 1.3);
    stroke(
        painter,
        [] {
            QPainterPath p;
            p.moveTo(-8, -84);
            p.quadTo(-4, -87, 2, -86.5);
            return p;
        }(),
        QColor(0xF2, 0xD2, 0x86), 1.5);
    painter.restore();
}

} // namespace

QImage drawBuiltin(Builtin which)
{
    QImage image = blankCard();
    QPainter painter(&image);
    startPainting(painter);
    switch (which) {
    case Builtin::ace:
        drawChopsticks(painter);
        break;
    case Builtin::two:
        drawBaby(painter);
        break;
    case Builtin::ten:
        drawBaseballs(painter);
        break;
    case Builtin::four:
        drawKey(painter);
        break;
    }
    static const int ranks[] = { 1, 2, 10, 4 };
    drawIndices(painter, rankLabel(ranks[static_cast<int>(which)]), Suit::spades);
    return image;
}

} // namespace cardgen

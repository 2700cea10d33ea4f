// SPDX-License-Identifier: MIT
// The four suit shapes, drawn as paths so that they look the same on every system.
#include "art.h"

#include <QPainter>
#include <QTransform>

namespace cardgen {

bool isRed(Suit suit)
{
    return suit == Suit::hearts || suit == Suit::diamonds;
}

QColor suitColour(Suit suit)
{
    return isRed(suit) ? cardRed : cardBlack;
}

namespace {

QPainterPath heart()
{
    QPainterPath path;
    path.moveTo(50, 96);
    path.cubicTo(38, 80, 4, 60, 4, 31);
    path.cubicTo(4, 14, 15, 4, 28, 4);
    path.cubicTo(39, 4, 47, 11, 50, 21);
    path.cubicTo(53, 11, 61, 4, 72, 4);
    path.cubicTo(85, 4, 96, 14, 96, 31);
    path.cubicTo(96, 60, 62, 80, 50, 96);
    path.closeSubpath();
    return path;
}

QPainterPath diamond()
{
    QPainterPath path;
    path.moveTo(50, 2);
    path.quadTo(66, 30, 88, 50);
    path.quadTo(66, 70, 50, 98);
    path.quadTo(34, 70, 12, 50);
    path.quadTo(34, 30, 50, 2);
    path.closeSubpath();
    return path;
}

// The stem that spades and clubs share, flaring out at the foot.
QPainterPath stem(qreal top)
{
    QPainterPath path;
    path.moveTo(46.5, top);
    path.cubicTo(46, 80, 40, 91, 30, 97);
    path.lineTo(70, 97);
    path.cubicTo(60, 91, 54, 80, 53.5, top);
    path.closeSubpath();
    return path;
}

QPainterPath spade()
{
    QPainterPath path;
    path.moveTo(50, 3);
    path.cubicTo(60, 22, 96, 38, 96, 60);
    path.cubicTo(96, 74, 86, 83, 74, 83);
    path.cubicTo(63, 83, 55, 76, 51, 68);
    path.lineTo(49, 68);
    path.cubicTo(45, 76, 37, 83, 26, 83);
    path.cubicTo(14, 83, 4, 74, 4, 60);
    path.cubicTo(4, 38, 40, 22, 50, 3);
    path.closeSubpath();
    return path.united(stem(62));
}

QPainterPath club()
{
    QPainterPath path;
    path.addEllipse(QPointF(50, 26), 22, 22);
    path = path.united([] {
        QPainterPath p;
        p.addEllipse(QPointF(26, 60), 22, 22);
        return p;
    }());
    path = path.united([] {
        QPainterPath p;
        p.addEllipse(QPointF(74, 60), 22, 22);
        return p;
    }());
    // Fills the gap where the three leaves meet.
    QPainterPath middle;
    middle.addEllipse(QPointF(50, 52), 12, 12);
    path = path.united(middle);
    return path.united(stem(56));
}

} // namespace

QPainterPath suitPath(Suit suit)
{
    // Built once: the boolean operations are slow enough to notice over hundreds of pips.
    static const QPainterPath paths[4] = { spade(), heart(), club(), diamond() };
    return paths[static_cast<int>(suit) - 1];
}

void drawPip(QPainter &painter, Suit suit, QPointF centre, qreal size, bool upsideDown, const QColor &colour)
{
    painter.save();
    painter.translate(centre);
    if (upsideDown)
        painter.rotate(180);
    painter.scale(size / 100.0, size / 100.0);
    painter.translate(-50, -50);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour.isValid() ? colour : suitColour(suit));
    painter.drawPath(suitPath(suit));
    painter.restore();
}

} // namespace cardgen

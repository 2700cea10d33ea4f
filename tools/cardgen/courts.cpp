// SPDX-License-Identifier: MIT
// Jack, queen and king: a framed portrait, drawn once for the upper half and turned half round
// for the lower half, in the few flat colours of traditional court cards with black outlines.
#include "art.h"

#include <QPainter>
#include <QPolygonF>

namespace cardgen {

namespace {

const QColor blue { 0x1F, 0x4A, 0x9C };
const QColor gold { 0xF4, 0xC2, 0x30 };
const QColor hair { 0xD9, 0x9A, 0x1E };
const QColor skin { 0xFA, 0xDB, 0xB8 };
const QColor steel { 0xD8, 0xDE, 0xE6 };
const QColor wood { 0x8B, 0x5A, 0x2B };
const QColor green { 0x2E, 0x7D, 0x32 };

// The portrait panel, inside the corner indices; its halves meet at the card's middle.
const QRectF panel(27, 20, 102, 211);
constexpr qreal halfHeight = 105.5;

enum class Court { jack = 11, queen = 12, king = 13 };

struct Palette {
    QColor main;
    QColor second;
    QColor trim;
};

void shape(QPainter &painter, const QPainterPath &path, const QColor &fill, qreal outline = 0.8)
{
    painter.setBrush(fill);
    painter.setPen(
        outline > 0 ? QPen(cardBlack, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) : QPen(Qt::NoPen));
    painter.drawPath(path);
}

void line(QPainter &painter, QPointF from, QPointF to, const QColor &colour, qreal width)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
}

QPainterPath ellipse(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Shoulders and robe, cut off by the panel's middle line.
void drawRobe(QPainter &painter, Court court, const Palette &colours)
{
    QPainterPath robe;
    robe.moveTo(7, 110);
    robe.lineTo(8, 86);
    robe.cubicTo(9, 73, 22, 67, 36, 64);
    robe.lineTo(68, 64);
    robe.cubicTo(82, 67, 95, 73, 96, 86);
    robe.lineTo(97, 110);
    robe.closeSubpath();
    shape(painter, robe, colours.main);

    // Sleeve seams give the shoulders some form.
    QPainterPath seams;
    seams.moveTo(24, 70);
    seams.cubicTo(20, 80, 20, 96, 22, 110);
    seams.moveTo(80, 70);
    seams.cubicTo(84, 80, 84, 96, 82, 110);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(cardBlack, 0.7));
    painter.drawPath(seams);

    // A sprinkling of small lozenges, the embroidery of real court robes.
    for (const QPointF spot : { QPointF(29, 76), QPointF(75, 76), QPointF(31, 94), QPointF(73, 94),
             QPointF(15, 100), QPointF(89, 100) }) {
        shape(painter,
            polygon(
                { spot + QPointF(0, -3), spot + QPointF(3, 0), spot + QPointF(0, 3), spot + QPointF(-3, 0) }),
            colours.trim, 0.5);
    }

    // The front of the robe in the second colour, with trimmed edges and buttons.
    shape(painter, polygon({ { 42, 66 }, { 62, 66 }, { 65, 110 }, { 39, 110 } }), colours.second);
    line(painter, QPointF(42, 66), QPointF(39, 110), colours.trim, 2.4);
    line(painter, QPointF(62, 66), QPointF(65, 110), colours.trim, 2.4);
    for (qreal y = 78; y < 106; y += 9)
        shape(painter, ellipse(QPointF(52, y), 2, 2), colours.trim, 0.5);

    if (court == Court::king) {
        // Ermine collar: white with black tails.
        QPainterPath collar;
        collar.moveTo(30, 66);
        collar.cubicTo(40, 60, 64, 60, 74, 66);
        collar.cubicTo(70, 74, 62, 76, 52, 76);
        collar.cubicTo(42, 76, 34, 74, 30, 66);
        collar.closeSubpath();
        shape(painter, collar, Qt::white);
        for (const QPointF tail : { QPointF(38, 68), QPointF(46, 71), QPointF(58, 71), QPointF(66, 68) })
            shape(painter,
                polygon({ tail + QPointF(0, -1.5), tail + QPointF(1.2, 1.5), tail + QPointF(-1.2, 1.5) }),
                cardBlack, 0);
    } else if (court == Court::queen) {
        // A square neckline with a gold necklace and a red pendant.
        shape(painter, polygon({ { 41, 62 }, { 63, 62 }, { 62, 71 }, { 42, 71 } }), skin);
        QPainterPath necklace;
        necklace.moveTo(43, 63);
        necklace.quadTo(52, 71, 61, 63);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(gold, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(necklace);
        shape(painter, ellipse(QPointF(52, 68), 1.8, 2.2), cardRed, 0.5);
        line(painter, QPointF(41, 71), QPointF(63, 71), gold, 2);
    } else {
        // A plain standing collar with a gold trim.
        shape(painter, polygon({ { 38, 63 }, { 66, 63 }, { 62, 71 }, { 42, 71 } }), colours.second);
        line(painter, QPointF(42, 71), QPointF(62, 71), gold, 1.8);
    }
}

void drawHead(QPainter &painter, Court court)
{
    const QPointF centre(52, 43);
    shape(painter, polygon({ { 47, 54 }, { 57, 54 }, { 58, 64 }, { 46, 64 } }), skin);
    shape(painter, ellipse(centre, 11.5, 14), skin);

    // Eyes, brows, nose and mouth: a few strokes read better than detail at this size.
    shape(painter, ellipse(QPointF(47.5, 42), 1.5, 1.1), cardBlack, 0);
    shape(painter, ellipse(QPointF(56.5, 42), 1.5, 1.1), cardBlack, 0);
    line(painter, QPointF(45, 38.6), QPointF(49.5, 38), cardBlack, 0.8);
    line(painter, QPointF(54.5, 38), QPointF(59, 38.6), cardBlack, 0.8);
    QPainterPath nose;
    nose.moveTo(52.2, 41.5);
    nose.lineTo(51, 47.5);
    nose.lineTo(53.4, 47.8);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(cardBlack, 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(nose);
    line(painter, QPointF(49.5, 51.6), QPointF(54.5, 51.6), cardRed, 1.3);
    if (court == Court::queen) {
        shape(painter, ellipse(QPointF(45.5, 48), 2, 1.4), QColor(0xF2, 0xA0, 0x9A), 0);
        shape(painter, ellipse(QPointF(58.5, 48), 2, 1.4), QColor(0xF2, 0xA0, 0x9A), 0);
    }
}

void drawKingHair(QPainter &painter)
{
    shape(painter, ellipse(QPointF(52, 44), 15, 15), hair);
}

void drawBeard(QPainter &painter)
{
    QPainterPath beard;
    beard.moveTo(40.6, 45);
    beard.cubicTo(41, 58, 46, 67, 52, 69);
    beard.cubicTo(58, 67, 63, 58, 63.4, 45);
    beard.cubicTo(60, 52, 56, 54.5, 52, 54.5);
    beard.cubicTo(48, 54.5, 44, 52, 40.6, 45);
    beard.closeSubpath();
    QPainterPath moustache;
    moustache.moveTo(52, 49.5);
    moustache.cubicTo(49, 48.2, 45.5, 49, 44, 52.5);
    moustache.cubicTo(47, 51.2, 50, 51.4, 52, 51);
    moustache.cubicTo(54, 51.4, 57, 51.2, 60, 52.5);
    moustache.cubicTo(58.5, 49, 55, 48.2, 52, 49.5);
    moustache.closeSubpath();
    shape(painter, beard, hair);
    shape(painter, moustache, hair, 0.6);
}

void drawCrown(QPainter &painter)
{
    shape(painter,
        polygon({ { 38, 26 }, { 36.5, 14 }, { 43, 20 }, { 47, 12 }, { 52, 19 }, { 57, 12 }, { 61, 20 },
            { 67.5, 14 }, { 66, 26 } }),
        gold);
    shape(painter, polygon({ { 38, 24 }, { 66, 24 }, { 66, 31 }, { 38, 31 } }), gold);
    for (const QPointF tip : { QPointF(36.5, 14), QPointF(47, 12), QPointF(57, 12), QPointF(67.5, 14) })
        shape(painter, ellipse(tip, 1.6, 1.6), Qt::white, 0.5);
    shape(painter, ellipse(QPointF(44, 27.5), 1.6, 1.6), cardRed, 0.5);
    shape(painter, ellipse(QPointF(52, 27.5), 2, 2), blue, 0.5);
    shape(painter, ellipse(QPointF(60, 27.5), 1.6, 1.6), cardRed, 0.5);
}

void drawQueenHair(QPainter &painter)
{
    QPainterPath locks;
    locks.moveTo(41, 32);
    locks.cubicTo(35, 42, 37, 58, 31, 68);
    locks.cubicTo(36, 70, 41, 68, 45, 64);
    locks.lineTo(59, 64);
    locks.cubicTo(63, 68, 68, 70, 73, 68);
    locks.cubicTo(67, 58, 69, 42, 63, 32);
    locks.closeSubpath();
    shape(painter, locks, hair);
}

void drawQueenFringe(QPainter &painter)
{
    QPainterPath fringe;
    fringe.moveTo(40.5, 42);
    fringe.cubicTo(39.5, 31, 45, 28.5, 52, 28.5);
    fringe.cubicTo(59, 28.5, 64.5, 31, 63.5, 42);
    fringe.cubicTo(61, 36, 57, 34.5, 52, 34.5);
    fringe.cubicTo(47, 34.5, 43, 36, 40.5, 42);
    fringe.closeSubpath();
    shape(painter, fringe, hair);
}

void drawTiara(QPainter &painter)
{
    QPainterPath band;
    band.moveTo(40, 31);
    band.cubicTo(44, 26, 60, 26, 64, 31);
    band.lineTo(63, 34);
    band.cubicTo(58, 30, 46, 30, 41, 34);
    band.closeSubpath();
    shape(painter, band, gold, 0.5);
    shape(painter, polygon({ { 44, 28.8 }, { 45.5, 21 }, { 48, 27.5 } }), gold, 0.5);
    shape(painter, polygon({ { 56, 27.5 }, { 58.5, 21 }, { 60, 28.8 } }), gold, 0.5);
    shape(painter, polygon({ { 48.5, 27.6 }, { 52, 14 }, { 55.5, 27.6 } }), gold, 0.5);
    shape(painter, ellipse(QPointF(52, 24), 1.8, 2.2), cardRed, 0.5);
    shape(painter, ellipse(QPointF(45.5, 21), 1.2, 1.2), Qt::white, 0.4);
    shape(painter, ellipse(QPointF(58.5, 21), 1.2, 1.2), Qt::white, 0.4);
}

void drawJackHair(QPainter &painter)
{
    for (const QPointF curl : { QPointF(40.5, 47), QPointF(63.5, 47), QPointF(40, 39), QPointF(64, 39),
             QPointF(41.5, 54), QPointF(62.5, 54) })
        shape(painter, ellipse(curl, 4.6, 4.6), hair);
}

void drawCap(QPainter &painter, const Palette &colours)
{
    // The feather first, so the cap covers its quill.
    QPainterPath feather;
    feather.moveTo(60, 26);
    feather.cubicTo(66, 18, 74, 14, 86, 12);
    feather.cubicTo(82, 19, 76, 24, 64, 29);
    feather.closeSubpath();
    shape(painter, feather, Qt::white);
    line(painter, QPointF(62, 27.5), QPointF(84, 13), cardBlack, 0.5);

    QPainterPath cap;
    cap.moveTo(36, 32);
    cap.cubicTo(33, 20, 42, 13, 54, 13);
    cap.cubicTo(66, 13, 73, 21, 69, 32);
    cap.closeSubpath();
    shape(painter, cap, colours.second);
    shape(painter, polygon({ { 37, 28 }, { 68, 28 }, { 68.5, 33 }, { 36.5, 33 } }), colours.trim);
    shape(painter, ellipse(QPointF(62, 30.5), 1.5, 1.5), Qt::white, 0.5);
}

// A hand coming out of a trimmed cuff, holding whatever passes through centre.
void drawHand(QPainter &painter, QPointF centre, const Palette &colours)
{
    shape(painter,
        polygon({ centre + QPointF(-7, 4), centre + QPointF(7, 4), centre + QPointF(7, 9),
            centre + QPointF(-7, 9) }),
        colours.trim);
    shape(painter, ellipse(centre, 5, 4.5), skin);
}

void drawSword(QPainter &painter, const Palette &colours)
{
    shape(painter, polygon({ { 83.5, 16 }, { 86, 7 }, { 88.5, 16 }, { 88.5, 76 }, { 83.5, 76 } }), steel);
    line(painter, QPointF(86, 16), QPointF(86, 74), QColor(0x9A, 0xA4, 0xB0), 0.7);
    shape(painter, polygon({ { 77, 76 }, { 95, 76 }, { 95, 80 }, { 77, 80 } }), gold);
    drawHand(painter, QPointF(86, 86), colours);
}

void drawHalberd(QPainter &painter, const Palette &colours)
{
    shape(painter, polygon({ { 84.6, 16 }, { 87.4, 16 }, { 87.4, 110 }, { 84.6, 110 } }), wood, 0.6);
    shape(painter, polygon({ { 86, 3 }, { 89.5, 14 }, { 86, 18 }, { 82.5, 14 } }), steel);
    QPainterPath blade;
    blade.moveTo(87.4, 17);
    blade.cubicTo(94, 17, 98, 21, 98, 28);
    blade.cubicTo(94, 25, 90, 26, 87.4, 29);
    blade.closeSubpath();
    shape(painter, blade, steel);
    drawHand(painter, QPointF(86, 86), colours);
}

void drawFlower(QPainter &painter, const Palette &colours)
{
    QPainterPath stalk;
    stalk.moveTo(18, 84);
    stalk.cubicTo(15, 72, 21, 60, 16, 46);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(green, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(stalk);
    QPainterPath leaf;
    leaf.moveTo(17.5, 66);
    leaf.cubicTo(22, 60, 27, 60, 30, 61);
    leaf.cubicTo(26, 66, 21, 67, 17.5, 66);
    leaf.closeSubpath();
    shape(painter, leaf, green, 0.6);
    const QPointF heart(16, 42);
    for (int petal = 0; petal < 5; ++petal) {
        painter.save();
        painter.translate(heart);
        painter.rotate(petal * 72.0);
        shape(painter, ellipse(QPointF(0, -5), 3.4, 4.8), cardRed, 0.6);
        painter.restore();
    }
    shape(painter, ellipse(heart, 2.5, 2.5), gold, 0.6);
    drawHand(painter, QPointF(18, 86), colours);
}

// The upper half of the portrait, in panel coordinates with the panel's top-left corner at 0, 0.
void drawFigure(QPainter &painter, Suit suit, Court court, const Palette &colours)
{
    drawPip(painter, suit, QPointF(9, 10), 12);
    // The panel is 102 wide; the figure is drawn about x = 52.
    painter.translate(-1, 0);

    // Head, hair and headwear are drawn small and enlarged about the neck, so the face fills the half.
    const auto headScale = [&painter] {
        painter.translate(52, 57);
        painter.scale(1.2, 1.2);
        painter.translate(-52, -57);
    };

    if (court == Court::queen) {
        painter.save();
        headScale();
        drawQueenHair(painter);
        painter.restore();
    }
    drawRobe(painter, court, colours);

    painter.save();
    headScale();
    switch (court) {
    case Court::king:
        drawKingHair(painter);
        drawHead(painter, court);
        drawBeard(painter);
        drawCrown(painter);
        break;
    case Court::queen:
        drawHead(painter, court);
        drawQueenFringe(painter);
        drawTiara(painter);
        break;
    case Court::jack:
        drawJackHair(painter);
        drawHead(painter, court);
        drawCap(painter, colours);
        break;
    }
    painter.restore();

    switch (court) {
    case Court::king:
        drawSword(painter, colours);
        break;
    case Court::queen:
        drawFlower(painter, colours);
        break;
    case Court::jack:
        drawHalberd(painter, colours);
        break;
    }
}

} // namespace

void drawCourt(QPainter &painter, Suit suit, int rank)
{
    const Court court = static_cast<Court>(rank);
    // Each suit its own robe, so the four kings (and queens, and jacks) tell apart at a glance.
    const Palette colours = suit == Suit::spades ? Palette { blue, cardRed, gold }
        : suit == Suit::hearts                   ? Palette { cardRed, blue, gold }
        : suit == Suit::clubs                    ? Palette { blue, gold, cardRed }
                                                 : Palette { cardRed, gold, blue };

    for (int half = 0; half < 2; ++half) {
        painter.save();
        if (half == 1) {
            painter.translate(cardWidth, cardHeight);
            painter.rotate(180);
        }
        painter.setClipRect(QRectF(panel.left(), panel.top(), panel.width(), halfHeight));
        painter.translate(panel.topLeft());
        drawFigure(painter, suit, court, colours);
        painter.restore();
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(suitColour(suit), 1.0));
    painter.drawRect(panel);
    painter.drawLine(QPointF(panel.left(), cardHeight / 2.0), QPointF(panel.right(), cardHeight / 2.0));
}

} // namespace cardgen

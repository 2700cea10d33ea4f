// SPDX-License-Identifier: MIT
// The program icon: a blue card behind a white one that reads "24".
// Each size is drawn on its own grid rather than scaled, so the small ones stay sharp.
#include "art.h"

#include <QPainter>

namespace cardgen {

namespace {

const QColor backBlue { 0x1F, 0x4A, 0x9C };
const QColor edge { 0x2B, 0x2B, 0x2B };

QFont numberFont(qreal pixelSize, bool condensed)
{
    QFont font;
    font.setFamilies({ QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
        QStringLiteral("FreeSans"), QStringLiteral("sans-serif") });
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(QFont::Black);
    if (condensed)
        font.setStretch(QFont::Condensed);
    return font;
}

// 16 pixels: every pixel placed by hand, since no font stays legible at this size.
void drawTiny(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(edge);
    painter.drawRect(0, 2, 8, 13);
    painter.setBrush(backBlue);
    painter.drawRect(1, 3, 6, 11);
    painter.setBrush(edge);
    painter.drawRect(3, 0, 13, 16);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 1, 11, 14);

    // "2" and "4", four by seven pixels each.
    static const char *const digits[7] = {
        ".##. #..#",
        "#..# #..#",
        "...# #..#",
        "..#. ####",
        ".#.. ...#",
        "#... ...#",
        "#### ...#",
    };
    painter.setBrush(cardRed);
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 9; ++column) {
            if (digits[row][column] == '#')
                painter.drawRect(5 + column, 4 + row, 1, 1);
        }
    }
}

// 32 pixels: upright cards on whole pixels, the number as large as the card allows.
void drawSmall(QPainter &painter)
{
    painter.setPen(QPen(edge, 1.0));
    painter.setBrush(backBlue);
    painter.drawRoundedRect(QRectF(0.5, 2.5, 18, 26), 2, 2);
    painter.setBrush(Qt::white);
    const QRectF front(8.5, 1.5, 23, 29);
    painter.drawRoundedRect(front, 3, 3);
    painter.setFont(numberFont(17, true));
    painter.setPen(cardRed);
    painter.drawText(front.adjusted(0, 0, 1, 0), Qt::AlignCenter, QStringLiteral("24"));
}

void drawLarge(QPainter &painter, int size)
{
    const qreal s = size;
    const QSizeF card(0.60 * s, 0.82 * s);
    const qreal radius = 0.07 * s;
    const qreal line = std::max(1.0, s / 48.0);

    // The back card, tilted left, with the white rim of a printed card back.
    painter.save();
    painter.translate(0.37 * s, 0.50 * s);
    painter.rotate(-14);
    painter.setPen(QPen(edge, line));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(QPointF(-card.width() / 2, -card.height() / 2), card), radius, radius);
    const qreal rim = 0.05 * s;
    painter.setPen(Qt::NoPen);
    painter.setBrush(backBlue);
    painter.drawRoundedRect(QRectF(-card.width() / 2 + rim, -card.height() / 2 + rim, card.width() - 2 * rim,
                                card.height() - 2 * rim),
        radius * 0.6, radius * 0.6);
    painter.restore();

    // The front card, tilted right, with the number and two small hearts.
    painter.save();
    painter.translate(0.62 * s, 0.52 * s);
    painter.rotate(8);
    const QRectF face(QPointF(-card.width() / 2, -card.height() / 2), card);
    painter.setPen(QPen(edge, line));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(face, radius, radius);
    painter.setFont(numberFont(0.36 * s, false));
    painter.setPen(cardRed);
    painter.drawText(face, Qt::AlignCenter, QStringLiteral("24"));
    if (size >= 64) {
        const qreal pip = 0.13 * s;
        drawPip(painter, Suit::hearts, face.topLeft() + QPointF(pip * 0.8, pip * 0.8), pip);
        drawPip(painter, Suit::hearts, face.bottomRight() - QPointF(pip * 0.8, pip * 0.8), pip, true);
    }
    painter.restore();
}

} // namespace

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    startPainting(painter);
    if (size <= 16)
        drawTiny(painter);
    else if (size <= 32)
        drawSmall(painter);
    else
        drawLarge(painter, size);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace cardgen

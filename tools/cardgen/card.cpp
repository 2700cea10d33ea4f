// SPDX-License-Identifier: MIT
// The card blank, the corner indices and the pip layouts of the number cards.
#include "art.h"

#include <QPainter>
#include <QStringList>

#include <array>
#include <vector>

namespace cardgen {

void startPainting(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont indexFont(qreal pixelSize, bool condensed)
{
    QFont font;
    font.setFamilies({ QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif"),
        QStringLiteral("FreeSerif"), QStringLiteral("serif") });
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(QFont::Bold);
    if (condensed) {
        font.setStretch(QFont::Condensed);
        font.setLetterSpacing(QFont::AbsoluteSpacing, -1.5);
    }
    return font;
}

QImage blankCard()
{
    QImage image(cardWidth, cardHeight, QImage::Format_RGB32);
    image.fill(faceColour);
    QPainter painter(&image);
    startPainting(painter);
    // Half-pixel inset so the one-pixel border lands on whole pixels.
    const QRectF outline(0.5, 0.5, cardWidth - 1.0, cardHeight - 1.0);
    painter.setPen(QPen(borderGrey, 1.0));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(outline, cornerRadius, cornerRadius);
    return image;
}

namespace {

void drawIndex(QPainter &painter, const QString &rank, Suit suit)
{
    const bool wide = rank.size() > 1;
    painter.setFont(indexFont(wide ? 18 : 20, wide));
    painter.setPen(suitColour(suit));
    const QRectF rankBox(1, 3, 24, 24);
    painter.drawText(rankBox, Qt::AlignHCenter | Qt::AlignTop, rank);
    drawPip(painter, suit, QPointF(13, 36), 16);
}

// Pip centres on a grid: columns 0, 1, 2 (left, middle, right), rows from 0 (top) to 1 (bottom).
struct PipPlace {
    int column;
    qreal row;
};

std::vector<PipPlace> pipPlaces(int rank)
{
    const PipPlace topLeft { 0, 0 }, topRight { 2, 0 }, bottomLeft { 0, 1 }, bottomRight { 2, 1 };
    const PipPlace middleLeft { 0, 0.5 }, middleRight { 2, 0.5 };
    switch (rank) {
    case 1:
        return { { 1, 0.5 } };
    case 2:
        return { { 1, 0 }, { 1, 1 } };
    case 3:
        return { { 1, 0 }, { 1, 0.5 }, { 1, 1 } };
    case 4:
        return { topLeft, topRight, bottomLeft, bottomRight };
    case 5:
        return { topLeft, topRight, { 1, 0.5 }, bottomLeft, bottomRight };
    case 6:
        return { topLeft, topRight, middleLeft, middleRight, bottomLeft, bottomRight };
    case 7:
        return { topLeft, topRight, { 1, 0.25 }, middleLeft, middleRight, bottomLeft, bottomRight };
    case 8:
        return { topLeft, topRight, { 1, 0.25 }, middleLeft, middleRight, { 1, 0.75 }, bottomLeft,
            bottomRight };
    case 9:
        return { topLeft, topRight, { 0, 1.0 / 3 }, { 2, 1.0 / 3 }, { 1, 0.5 }, { 0, 2.0 / 3 },
            { 2, 2.0 / 3 }, bottomLeft, bottomRight };
    case 10:
        return { topLeft, topRight, { 1, 1.0 / 6 }, { 0, 1.0 / 3 }, { 2, 1.0 / 3 }, { 0, 2.0 / 3 },
            { 2, 2.0 / 3 }, { 1, 5.0 / 6 }, bottomLeft, bottomRight };
    default:
        return {};
    }
}

void drawPips(QPainter &painter, Suit suit, int rank)
{
    if (rank == 1) {
        const QPointF centre(cardWidth / 2.0, cardHeight / 2.0);
        if (suit != Suit::spades) {
            drawPip(painter, suit, centre, 62);
            return;
        }
        // The ace of spades traditionally carries the largest pip, with an engraved inner line.
        drawPip(painter, suit, centre, 80);
        painter.save();
        painter.translate(centre);
        painter.scale(0.66, 0.66);
        painter.translate(-50, -50);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 1.4 / 0.66));
        painter.drawPath(suitPath(suit));
        painter.restore();
        return;
    }
    constexpr std::array<qreal, 3> columns { 46, 78, 110 };
    constexpr qreal top = 39, bottom = 212;
    constexpr qreal pipSize = 28;
    for (const PipPlace &place : pipPlaces(rank)) {
        const QPointF centre(columns[place.column], top + (bottom - top) * place.row);
        drawPip(painter, suit, centre, pipSize, place.row > 0.5);
    }
}

} // namespace

QString rankLabel(int rank)
{
    static const char *const labels[] = { "A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K" };
    return QString::fromLatin1(labels[rank - 1]);
}

void drawIndices(QPainter &painter, const QString &rank, Suit suit)
{
    drawIndex(painter, rank, suit);
    painter.save();
    painter.translate(cardWidth, cardHeight);
    painter.rotate(180);
    drawIndex(painter, rank, suit);
    painter.restore();
}

QImage drawCard(Suit suit, int rank)
{
    QImage image = blankCard();
    QPainter painter(&image);
    startPainting(painter);
    if (rank > 10)
        drawCourt(painter, suit, rank);
    else
        drawPips(painter, suit, rank);
    drawIndices(painter, rankLabel(rank), suit);
    return image;
}

} // namespace cardgen

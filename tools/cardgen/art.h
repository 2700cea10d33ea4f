// SPDX-License-Identifier: MIT
// Shared pieces of the card and icon drawings.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QString>

class QPainter;

namespace cardgen {

// Numbered as the game numbers them: 1 spades, 2 hearts, 3 clubs, 4 diamonds.
enum class Suit { spades = 1, hearts, clubs, diamonds };

inline constexpr int cardWidth = 156;
inline constexpr int cardHeight = 251;
inline constexpr qreal cornerRadius = 8.0;

// The picture box behind a card shows the face colour, so the corners blend into it.
inline const QColor faceColour { 0xF0, 0xF0, 0xF0 };
inline const QColor cardRed { 0xC8, 0x10, 0x2E };
inline const QColor cardBlack { 0x1A, 0x1A, 0x1A };
inline const QColor borderGrey { 0x70, 0x70, 0x70 };

bool isRed(Suit suit);
QColor suitColour(Suit suit);

// The suit shape in a 100 x 100 box with its centre at 50, 50.
QPainterPath suitPath(Suit suit);

// Fills the suit shape with its middle at centre, `size` pixels high; upside down for the lower half.
void drawPip(QPainter &painter, Suit suit, QPointF centre, qreal size, bool upsideDown = false,
    const QColor &colour = QColor());

// Bold font for the indices; the later families stand in where the first is missing.
QFont indexFont(qreal pixelSize, bool condensed);

// A white card with rounded corners and a thin border on the face colour, ready to paint on.
QImage blankCard();

// The rank and a small suit at the top left and, turned half round, at the bottom right.
void drawIndices(QPainter &painter, const QString &rank, Suit suit);

// Every picture is drawn for its exact pixel size, with antialiasing.
void startPainting(QPainter &painter);

// "A", "2" to "10", "J", "Q", "K".
QString rankLabel(int rank);

QImage drawCard(Suit suit, int rank);
void drawCourt(QPainter &painter, Suit suit, int rank);

enum class Builtin { ace, two, ten, four };
QImage drawBuiltin(Builtin which);

QImage drawIcon(int size);

// Baseline JPEG, three components (YCbCr), colour at full or half resolution;
// false if the file cannot be written.
// `name` goes into the file's comment (COM) segment as UTF-8, so that the game can tell a screen
// reader which card a picture shows.
bool writeJpeg(const QImage &image, const QString &path, int quality, bool fullColour, const QString &name);

} // namespace cardgen

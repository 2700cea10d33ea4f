// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include <QByteArrayView>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "window/picture.h"

// A picture's pixels as an image, without a copy: valid while the picture is.
QImage pictureImage(const Picture &picture);

// The image text that tests read a decoded picture's comment text under.
inline constexpr char pictureCommentKey[] = "Comment";

// A picture comment as the core makes it for a screen reader
// (pictureCommentText), as a QString.
QString pictureCommentText(QByteArrayView bytes);

// A picture box control: no border, the face colour behind, and a picture
// drawn by display mode. It handles no input of its own; the window layer
// turns presses on it into game events, and keeps the block the picture
// was decoded from.
//
// For assistive technology it is an image named after the control, described
// by its picture's comment (what the card shows), with a press action that
// clicks it as the mouse would.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Shows the picture, taking its pixels over; a null picture leaves the
    // box empty.
    void setPicture(Picture picture);
    bool hasImage() const { return !m_pixmap.isNull(); }
    // The comment of the picture shown, made safe to read out; empty when
    // the picture has none or no picture is shown.
    QString pictureComment() const { return m_comment; }

    // 0: own size at the top-left, cut off; 1: stretched to fill; 2: centred,
    // shrunk keeping proportions when larger than the box. Negative is 0;
    // other values are kept and drawn as 0.
    void setDisplayMode(std::int32_t mode);
    std::int32_t displayMode() const { return m_displayMode; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_pixmap;
    QString m_comment;
    std::int32_t m_displayMode = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "runtime/memory.h"

// A picture box control: no border, the face colour behind, and a picture
// drawn by display mode. It handles no input of its own; the window layer
// turns presses on it into game events.
//
// For assistive technology it is an image named after the control, described
// by its picture's comment (what the card shows), with a press action that
// clicks it as the mouse would.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);
    ~PictureBox() override;

    // Stores a copy of the block and shows its picture, decoded here once,
    // comment included. An empty, unrecognised or undecodable block leaves
    // the box empty; the copy is still the stored value.
    void setPicture(Bytes block);
    // The stored block (owned by the box); nullptr when none.
    Bytes picture() const { return m_block; }
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
    Bytes m_block = nullptr;
    QPixmap m_pixmap;
    QString m_comment;
    std::int32_t m_displayMode = 0;
};

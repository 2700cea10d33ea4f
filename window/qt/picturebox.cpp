#include "picturebox.h"

#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage pictureImage(const Picture &picture)
{
    if (picture.isNull())
        return {};
    return QImage(reinterpret_cast<const uchar *>(picture.pixels.data()), picture.width, picture.height,
        qsizetype(picture.width) * 4, picture.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

void PictureBox::setPicture(const Picture &picture)
{
    // Copied once here, into an image the pixmap may take over whole (a
    // pixmap may share a wrapped buffer that the picture then frees);
    // painting only draws.
    m_pixmap = picture.isNull() ? QPixmap() : QPixmap::fromImage(pictureImage(picture).copy());
    update();
}

void PictureBox::setDisplayMode(std::int32_t mode)
{
    mode = mode < 0 ? 0 : mode;
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The active group's face colour in every state: a disabled box looks the
    // same as an enabled one.
    painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Button));
    if (m_pixmap.isNull())
        return;

    const QSize own = m_pixmap.deviceIndependentSize().toSize();
    switch (m_displayMode) {
    case 1:
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_pixmap);
        break;
    case 2:
        if (own.width() > width() || own.height() > height()) {
            const QSize fitted = own.scaled(size(), Qt::KeepAspectRatio);
            const QRect target(
                QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(target, m_pixmap);
        } else {
            painter.drawPixmap(QPoint((width() - own.width()) / 2, (height() - own.height()) / 2), m_pixmap);
        }
        break;
    default:
        // Own size from the top-left corner; the painter's clip cuts the rest.
        painter.drawPixmap(QPoint(0, 0), m_pixmap);
        break;
    }
}

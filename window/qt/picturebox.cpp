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
    return QImage(reinterpret_cast<const uchar *>(picture.pixels.get()), picture.width, picture.height,
        qsizetype(picture.width) * 4, picture.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

void PictureBox::setPicture(Picture picture)
{
    m_pixmap = QPixmap();
    if (!picture.isNull()) {
        // The image takes the words over and frees them when the last image
        // or pixmap sharing them goes: no copy on the way to the pixmap.
        // Painting only draws.
        const std::int32_t width = picture.width, height = picture.height;
        const QImage::Format format = picture.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        std::uint32_t *words = picture.pixels.release();
        QImage image(
            reinterpret_cast<uchar *>(words), width, height, qsizetype(width) * 4, format,
            [](void *owned) { delete[] static_cast<std::uint32_t *>(owned); }, words);
        m_pixmap = QPixmap::fromImage(std::move(image));
    }
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

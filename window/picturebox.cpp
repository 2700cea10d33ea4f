#include "picturebox.h"

#include <QPaintEvent>
#include <QPainter>

#include "picture.h"

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox()
{
    releaseMemory(m_block);
}

void PictureBox::setPicture(Bytes block)
{
    // Copy first: the caller may be handing back the block it got from us.
    Bytes copy = newBytes(bytesData(block), std::size_t(bytesCount(block)));
    releaseMemory(m_block);
    m_block = copy;
    m_pixmap = QPixmap();

    if (m_block) {
        // Decoded once here; painting only draws.
        QImage image = decodePicture(bytesData(m_block), std::size_t(bytesCount(m_block)));
        if (!image.isNull())
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

// SPDX-License-Identifier: MIT
#include "picturebox.h"

#include <algorithm>
#include <string_view>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QStringDecoder>

#include "qtplatform_p.h"
#include "qttext.h"

namespace {
QAccessibleInterface *pictureBoxAccessible(const QString &className, QObject *object);
} // namespace

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(pictureBoxAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {

QImage::Format qtFormat(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::rgb24:
        return QImage::Format_RGB888;
    case PixelLayout::argb32:
        return QImage::Format_ARGB32;
    case PixelLayout::rgb32:
        break;
    }
    return QImage::Format_RGB32;
}

class PictureBoxAccessible : public QAccessibleWidget {
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : QAccessibleWidget(box, QAccessible::Graphic)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Description)
            return static_cast<const PictureBox *>(widget())->pictureComment();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }

    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Where a pointer would press: the middle of the part in view.
        QWidget *box = widget();
        const QRegion seen = box->visibleRegion();
        if (!box->isVisible() || seen.isEmpty())
            return;
        const QPoint middle = box->rect().center();
        clickLikeMouse(box, seen.contains(middle) ? middle : seen.begin()->center());
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

QAccessibleInterface *pictureBoxAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("PictureBox"))
        if (auto box = qobject_cast<PictureBox *>(object))
            return new PictureBoxAccessible(box);
    return nullptr;
}

} // namespace

QString pictureCommentText(QByteArrayView bytes)
{
    const std::u32string text
        = ::pictureCommentText(std::string_view(bytes.data(), std::size_t(bytes.size())));
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

QImage pictureImage(const Picture &picture)
{
    if (picture.isNull())
        return {};
    return QImage(
        picture.row(0), picture.width, picture.height, qsizetype(picture.stride), qtFormat(picture.layout));
}

void PictureBox::setPicture(Picture picture)
{
    m_pixmap = QPixmap();
    const QString oldComment = m_comment;
    m_comment.clear();
    if (!picture.isNull()) {
        // Painting and screen readers only read what is worked out here.
        m_comment
            = pictureCommentText(QByteArrayView(picture.comment.data(), qsizetype(picture.comment.size())));
        // The image takes the rows over and frees them when the last image
        // sharing them goes; the pixmap converts them once, or shares them
        // where the layout is already the screen's. Painting only draws.
        const QImage::Format format = qtFormat(picture.layout);
        const std::int32_t width = picture.width, height = picture.height;
        const auto stride = qsizetype(picture.stride);
        std::uint32_t *words = picture.words.release();
        QImage image(
            reinterpret_cast<uchar *>(words), width, height, stride, format,
            [](void *owned) { delete[] static_cast<std::uint32_t *>(owned); }, words);
        m_pixmap = QPixmap::fromImage(std::move(image));
    }
    if (m_comment != oldComment) {
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
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

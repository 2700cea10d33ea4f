// SPDX-License-Identifier: MIT
#include "picturebox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>

#include "picture.h"
#include "registry.h"

namespace {

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
    const QString oldComment = m_comment;
    m_comment.clear();

    if (m_block) {
        // Decoded once here; painting and screen readers only read the result.
        QImage image = decodePicture(bytesData(m_block), std::size_t(bytesCount(m_block)));
        if (!image.isNull()) {
            m_comment = image.text(QString::fromLatin1(pictureCommentKey));
            m_pixmap = QPixmap::fromImage(std::move(image));
        }
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

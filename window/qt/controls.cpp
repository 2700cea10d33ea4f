// SPDX-License-Identifier: MIT
#include "controls.h"

#include <algorithm>
#include <climits>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <QWindow>

namespace {

// Rows one pixel taller than the font; tabs to stops of eight average
// characters.
class ListItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), option.fontMetrics.height() + 1);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette &palette = option.palette;
        if (selected)
            painter->fillRect(option.rect, palette.color(QPalette::Active, QPalette::Highlight));
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(8 * option.fontMetrics.averageCharWidth());
        painter->setFont(option.font);
        painter->setPen(
            palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(option.rect.adjusted(2, 0, -2, 0)), index.data().toString(), textOption);
        if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Active)) {
            QPen pen(palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
            pen.setStyle(Qt::DotLine);
            painter->setPen(pen);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }
};

// Static text whose name is always the label's text.
class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(TransparentLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<const TransparentLabel *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

// Leaves hidden controls out: a screen reader walking the window should
// meet only what a sighted player could see, not a verdict kept hidden
// between checks, nor the timer and the script host.
class ClientAreaAccessible : public QAccessibleWidget {
public:
    explicit ClientAreaAccessible(ClientArea *area)
        : QAccessibleWidget(area, QAccessible::Client)
    {
    }

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = shownChildren();
        return index >= 0 && index < children.size()
            ? QAccessible::queryAccessibleInterface(children.at(index))
            : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(shownChildren().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

private:
    QList<QWidget *> shownChildren() const
    {
        QList<QWidget *> shown;
        for (QObject *object : widget()->children()) {
            auto child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->isHidden())
                shown.append(child);
        }
        return shown;
    }
};

QAccessibleInterface *controlAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("TransparentLabel"))
        if (auto label = qobject_cast<TransparentLabel *>(object))
            return new LabelAccessible(label);
    if (className == QLatin1String("ClientArea"))
        if (auto area = qobject_cast<ClientArea *>(object))
            return new ClientAreaAccessible(area);
    return nullptr;
}

void installControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(controlAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

CaptionButton::CaptionButton(QWidget *parent)
    : QPushButton(parent)
{
    // Enter presses no button.
    setAutoDefault(false);
    setDefault(false);
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
            style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(),
        isEnabled(), caption, QPalette::ButtonText);
}

EditBox::EditBox(QWidget *parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    setFrame(false);
    setMaxLength(INT_MAX); // no length limit
    setTextMargins(2, 1, 2, 1);
    QPalette colours = palette();
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(colours);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    showSelection(false);
}

void EditBox::showSelection(bool shown)
{
    // A hidden selection is drawn in the box's own colours; it stays in
    // place for when the focus comes back.
    QPalette colours = palette();
    const QPalette standard = QApplication::palette(this);
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        colours.setColor(group, QPalette::Highlight,
            shown ? standard.color(group, QPalette::Highlight) : colours.color(group, QPalette::Base));
        colours.setColor(group, QPalette::HighlightedText,
            shown ? standard.color(group, QPalette::HighlightedText) : colours.color(group, QPalette::Text));
    }
    setPalette(colours);
}

void EditBox::focusInEvent(QFocusEvent *event)
{
    showSelection(true);
    QLineEdit::focusInEvent(event);
}

void EditBox::focusOutEvent(QFocusEvent *event)
{
    showSelection(false);
    QLineEdit::focusOutEvent(event);
}

void EditBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setUniformItemSizes(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new ListItemDelegate(this));
    QPalette colours = palette();
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(colours);
}

BlockProgressBar::BlockProgressBar(QWidget *parent)
    : QProgressBar(parent)
{
    setOrientation(Qt::Horizontal);
    setTextVisible(false);
}

void BlockProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    const QRect outer = rect();
    painter.fillRect(outer, colours.color(QPalette::Active, QPalette::Button));
    // Thin sunken border: shadow above and left, light below and right.
    painter.setPen(colours.color(QPalette::Active, QPalette::Dark));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(colours.color(QPalette::Active, QPalette::Light));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());

    const QRect inner = outer.adjusted(2, 2, -2, -2);
    const qint64 span = qint64(maximum()) - minimum();
    if (inner.isEmpty() || span <= 0)
        return;
    const int filled = int(inner.width() * (qint64(value()) - minimum()) / span);
    const int block = std::max(2, inner.height() * 2 / 3);
    const int gap = 2;
    painter.setClipRect(inner);
    const QColor chunk = colours.color(QPalette::Active, QPalette::Highlight);
    for (int x = 0; x < filled; x += block + gap)
        painter.fillRect(QRect(inner.left() + x, inner.top(), block, inner.height()), chunk);
}

TransparentLabel::TransparentLabel(QWidget *parent)
    : QWidget(parent)
{
    installControlAccessibility();
    // No background of its own: the parent's shows through.
    setAutoFillBackground(false);
}

void TransparentLabel::setText(const QString &text)
{
    const bool changed = text != m_text;
    m_text = text;
    // Repaints together with what lies behind it.
    update();
    // A hidden label says nothing now; it is heard when it shows.
    if (changed && !isHidden()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

bool TransparentLabel::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
        // The parent's accessible children change with this label.
        if (QWidget *parent = parentWidget()) {
            QAccessibleEvent reorder(parent, QAccessible::ObjectReorder);
            QAccessible::updateAccessibility(&reorder);
        }
        // What a label says when it comes into view is news, even when the
        // text is the one it had when it was last hidden: the same verdict
        // twice running.
        if (event->type() == QEvent::ShowToParent && !m_text.isEmpty()) {
            QAccessibleEvent shown(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&shown);
        }
    }
    return handled;
}

void TransparentLabel::setTextColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

void TransparentLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(m_colour);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

ClientArea::ClientArea(QWidget *parent, const QColor &background)
    : QWidget(parent)
    , m_background(background)
{
    installControlAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_background);
}

void ClientArea::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (onFocusIn)
        onFocusIn();
}

MainFrame::MainFrame(const QColor &background, QSize outer)
    : QWidget(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_client(new ClientArea(this, background))
    , m_outer(outer)
{
    setAttribute(Qt::WA_DeleteOnClose);
    fit();
}

MainFrame::~MainFrame()
{
    if (onDestroy)
        onDestroy();
}

void MainFrame::setOuterSize(QSize outer)
{
    m_outer = outer;
    fit();
}

void MainFrame::fit()
{
    // The frame is known once the window manager has framed the window; until
    // then, and where there is none, it counts as nothing.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const int own = frame.isNull() ? 1 : 0;
    const QSize client(std::max(0, m_outer.width() - frame.left() - frame.right() - 2 * own),
        std::max(0, m_outer.height() - frame.top() - frame.bottom() - 2 * own));
    const QSize whole = client + QSize(2 * own, 2 * own);
    if (own != m_ownFrame || whole != size()) {
        m_ownFrame = own;
        // Fixed: the user cannot resize the window, nor maximise it.
        setFixedSize(whole);
        update();
    }
    m_client->setGeometry(own, own, client.width(), client.height());
}

bool MainFrame::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::PlatformSurface:
        // The window manager may have framed the window since.
        {
            const bool handled = QWidget::event(event);
            fit();
            return handled;
        }
    case QEvent::FocusIn:
    case QEvent::WindowActivate: {
        const bool handled = QWidget::event(event);
        if (onFocusWanted && (focusWidget() == nullptr || focusWidget() == this || focusWidget() == m_client))
            onFocusWanted();
        return handled;
    }
    default:
        return QWidget::event(event);
    }
}

void MainFrame::closeEvent(QCloseEvent *event)
{
    if (onCloseRequest && !onCloseRequest())
        event->ignore();
    else
        event->accept();
}

void MainFrame::paintEvent(QPaintEvent *)
{
    if (m_ownFrame <= 0)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Active, QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// SPDX-License-Identifier: MIT
#include "qtplatform.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>
#include <cstring>
#include <optional>

#include "controls.h"
#include "display.h"
#include "keycodes.h"
#include "picturebox.h"
#include "qtplatform_p.h"
#include "qttext.h"
#include "window/platform.h"

namespace {

// ---- Which control a widget shows ----------------------------------------

struct Owner {
    WindowId window = 0;
    ControlId control = 0;
    bool own = false; // the control's own widget, not a part inside it
};

// Every widget the backend built for a control, and the window's frame and
// client area (for the window unit).
QHash<const QObject *, Owner> &owners()
{
    static QHash<const QObject *, Owner> map;
    return map;
}

// The control that a widget (or a widget inside a control) belongs to.
std::optional<Owner> ownerOf(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        const auto found = owners().constFind(o);
        if (found != owners().constEnd())
            return *found;
    }
    return std::nullopt;
}

// ---- Pictures ----------------------------------------------------------

const char *qtFormat(PictureFormat format)
{
    switch (format) {
    case PictureFormat::bmp:
        return "bmp";
    case PictureFormat::icon:
        return "ico";
    case PictureFormat::cursor:
        return "cur";
    case PictureFormat::gif:
        return "gif";
    default:
        return nullptr;
    }
}

// Qt's own readers for BMP, icons, cursors and GIF.
class QtPictureReader : public PictureReader {
public:
    std::optional<std::pair<std::int64_t, std::int64_t>> declaredSize(
        const unsigned char *data, std::size_t size, PictureFormat format) override
    {
        Reading reading(data, size, format);
        const QSize declared = reading.reader.size();
        if (!declared.isValid())
            return std::nullopt;
        return std::pair<std::int64_t, std::int64_t>(declared.width(), declared.height());
    }

    Picture read(const unsigned char *data, std::size_t size, PictureFormat format) override
    {
        Reading reading(data, size, format);
        QImage image = reading.reader.read();
        if (image.isNull())
            return {};
        const bool alpha = image.hasAlphaChannel();
        image.convertTo(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        Picture picture = Picture::ofSize(
            image.width(), image.height(), alpha ? PixelLayout::argb32 : PixelLayout::rgb32);
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(picture.row(y), image.constScanLine(y), std::size_t(image.width()) * 4);
        return picture;
    }

private:
    struct Reading {
        Reading(const unsigned char *data, std::size_t size, PictureFormat format)
            : bytes(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
            , buffer(&bytes)
        {
            // Qt's own guard in its readers, in megabytes; the layer's is
            // checked first from the header where the reader can tell the size.
            QImageReader::setAllocationLimit(int(maxPictureBytes / (std::int64_t(1024) * 1024)));
            buffer.open(QIODevice::ReadOnly);
            reader.setDevice(&buffer);
            reader.setFormat(qtFormat(format));
            reader.setAutoDetectImageFormat(false);
            reader.setDecideFormatFromContent(false);
        }
        QByteArray bytes;
        QBuffer buffer;
        QImageReader reader;
    };
};

// ---- Controls ----------------------------------------------------------

Qt::FocusReason qtReason(FocusReason reason)
{
    switch (reason) {
    case FocusReason::tab:
        return Qt::TabFocusReason;
    case FocusReason::backtab:
        return Qt::BacktabFocusReason;
    case FocusReason::activation:
        break;
    }
    return Qt::ActiveWindowFocusReason;
}

// A control's widget, owned: destroyed with the control unless Qt destroyed
// it first along with its window.
class QtControl : public PlatformControl {
public:
    QtControl(QWidget *widget, const ControlPlan &plan)
        : m_widget(widget)
    {
        owners().insert(widget, { plan.window, plan.id, true });
    }
    ~QtControl() override
    {
        owners().remove(m_widget.data());
        delete m_widget.data();
    }

    void move(std::int32_t left, std::int32_t top) override { m_widget->move(left, top); }
    void resize(std::int32_t width, std::int32_t height) override { m_widget->resize(width, height); }
    void setVisible(bool visible) override { m_widget->setVisible(visible); }
    void setEnabled(bool enabled) override { m_widget->setEnabled(enabled); }
    void raiseToTop() override { m_widget->raise(); }
    Area placement() const override
    {
        const QRect place = m_widget->geometry();
        return { place.x(), place.y(), place.width(), place.height() };
    }
    bool isShown() const override { return m_widget->isVisible(); }
    bool isEnabled() const override { return m_widget->isEnabled(); }
    bool hasFocus() const override
    {
        const QWidget *focused = QApplication::focusWidget();
        return focused && (focused == m_widget || m_widget->isAncestorOf(focused));
    }
    void takeFocus(FocusReason reason) override { m_widget->setFocus(qtReason(reason)); }
    std::pair<double, double> clientFromScreen(double x, double y) const override
    {
        const QPointF local = client()->mapFromGlobal(QPointF(x, y));
        return { local.x(), local.y() };
    }

    QWidget *widget() const { return m_widget; }

protected:
    // The widget in which the control's client coordinates count.
    virtual QWidget *client() const { return m_widget; }

    template <typename Widget> Widget *as() const { return static_cast<Widget *>(m_widget.data()); }

private:
    QPointer<QWidget> m_widget;
};

class QtButton : public QtControl {
public:
    using QtControl::QtControl;
    void setText(std::string_view text) override { as<CaptionButton>()->setText(fromGbk(text)); }
};

class QtEditBox : public QtControl {
public:
    using QtControl::QtControl;
    void setText(std::string_view text) override
    {
        as<EditBox>()->setText(fromGbk(text));
        as<EditBox>()->setCursorPosition(0);
    }
    std::string text() const override { return toGbk(as<EditBox>()->text()); }
    void appendText(std::string_view text) override
    {
        // At the very end whatever the player selected; setText leaves
        // nothing for the box's undo.
        EditBox *edit = as<EditBox>();
        const QString content = edit->text() + fromGbk(text);
        edit->deselect();
        edit->setText(content);
        edit->setCursorPosition(int(content.size()));
    }
};

class QtListBox : public QtControl {
public:
    using QtControl::QtControl;
    std::int32_t addItem(std::string_view text, std::int32_t data) override
    {
        ListBox *list = as<ListBox>();
        auto item = new QListWidgetItem(fromGbk(text));
        item->setData(Qt::UserRole, data);
        list->addItem(item);
        const int index = list->row(item);
        return index < 0 ? -1 : index;
    }

protected:
    QWidget *client() const override { return as<ListBox>()->viewport(); }
};

class QtProgressBar : public QtControl {
public:
    using QtControl::QtControl;
    void setRange(std::int32_t minimum, std::int32_t maximum, std::int32_t position) override
    {
        as<BlockProgressBar>()->setRange(minimum, maximum);
        as<BlockProgressBar>()->setValue(position);
    }
};

class QtLabel : public QtControl {
public:
    using QtControl::QtControl;
    void setText(std::string_view text) override { as<TransparentLabel>()->setText(fromGbk(text)); }
};

class QtPictureBox : public QtControl {
public:
    using QtControl::QtControl;
    void setPicture(Picture picture) override { as<PictureBox>()->setPicture(std::move(picture)); }
    void setDisplayMode(std::int32_t mode) override { as<PictureBox>()->setDisplayMode(mode); }
};

std::unique_ptr<QtControl> buildControl(const ControlPlan &plan, QWidget *parent)
{
    std::unique_ptr<QtControl> control;
    switch (plan.kind) {
    case ControlKind::button: {
        auto button = new CaptionButton(parent);
        button->setText(fromGbk(plan.text));
        QObject::connect(button, &QPushButton::clicked, button,
            [window = plan.window, id = plan.id] { deliverClick(window, id); });
        control = std::make_unique<QtButton>(button, plan);
        break;
    }
    case ControlKind::pictureBox: {
        auto box = new PictureBox(parent);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAccessibleName(fromGbk(plan.name));
        control = std::make_unique<QtPictureBox>(box, plan);
        break;
    }
    case ControlKind::editBox: {
        auto edit = new EditBox(parent);
        edit->setText(fromGbk(plan.text));
        edit->setCursorPosition(0);
        control = std::make_unique<QtEditBox>(edit, plan);
        break;
    }
    case ControlKind::listBox:
        control = std::make_unique<QtListBox>(new ListBox(parent), plan);
        break;
    case ControlKind::progressBar: {
        auto bar = new BlockProgressBar(parent);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setRange(plan.minimum, plan.maximum);
        bar->setValue(plan.minimum);
        control = std::make_unique<QtProgressBar>(bar, plan);
        break;
    }
    case ControlKind::transparentLabel: {
        auto label = new TransparentLabel(parent);
        label->setFocusPolicy(Qt::NoFocus);
        label->setText(fromGbk(plan.text));
        if (plan.textColour)
            label->setTextColour(QColor(plan.textColour->red, plan.textColour->green, plan.textColour->blue));
        control = std::make_unique<QtLabel>(label, plan);
        break;
    }
    case ControlKind::timer:
    case ControlKind::scriptComponent:
        // Never drawn; a plain widget holds their place.
        control = std::make_unique<QtControl>(new QWidget(parent), plan);
        break;
    case ControlKind::window:
        return nullptr;
    }
    QWidget *widget = control->widget();
    if (plan.font) {
        QFont font(fromGbk(plan.font->face));
        font.setPixelSize(plan.font->height);
        font.setWeight(QFont::Weight(plan.font->weight));
        font.setStyleStrategy(QFont::PreferQuality);
        widget->setFont(font);
    }
    if (plan.tabStop)
        widget->setFocusPolicy(Qt::StrongFocus);
    else if (plan.kind != ControlKind::button)
        widget->setFocusPolicy(Qt::NoFocus);
    widget->setObjectName(fromGbk(plan.name));
    widget->setGeometry(plan.left, plan.top, plan.width, plan.height);
    widget->setVisible(plan.visible);
    return control;
}

// ---- The window --------------------------------------------------------

class QtWindow : public PlatformWindow {
public:
    explicit QtWindow(const WindowPlan &plan)
        : m_frame(new MainFrame(QColor(plan.background.red, plan.background.green, plan.background.blue),
            QSize(plan.width, plan.height)))
    {
        owners().insert(m_frame, { plan.id, plan.unit, true });
        owners().insert(m_frame->clientArea(), { plan.id, plan.unit, false });
        m_frame->setWindowTitle(fromGbk(plan.title));
        QIcon icon;
        for (const auto &bytes : plan.icons) {
            QPixmap pixmap;
            if (pixmap.loadFromData(bytes.data(), uint(bytes.size())))
                icon.addPixmap(pixmap);
        }
        m_frame->setWindowIcon(icon);
        m_frame->move(plan.left, plan.top);
        const WindowId id = plan.id;
        m_frame->onCloseRequest = [id] { return windowCloseRequested(id); };
        // Qt destroys the frame once a close is granted: the layer then
        // forgets the window, and with it this object. Nothing of the
        // closure is used after that.
        m_frame->onDestroy = [this, id] {
            const WindowId going = id;
            forget();
            windowDestroyed(going);
        };
        m_frame->onFocusWanted = [id] { windowFocusWanted(id); };
        m_frame->clientArea()->onFocusIn = m_frame->onFocusWanted;
    }
    ~QtWindow() override
    {
        if (MainFrame *frame = m_frame) {
            // The layer already knows: the frame's destruction reports nothing.
            frame->onDestroy = nullptr;
            forget();
            delete frame;
        }
    }

    void move(std::int32_t left, std::int32_t top) override { m_frame->move(left, top); }
    // Keeps the window's place; nothing inside moves.
    void resize(std::int32_t width, std::int32_t height) override
    {
        m_frame->setOuterSize(QSize(width, height));
    }
    void setVisible(bool visible) override { m_frame->setVisible(visible); }
    void setEnabled(bool enabled) override { m_frame->setEnabled(enabled); }
    void raiseToTop() override { m_frame->raise(); }
    Area placement() const override
    {
        const QRect place = m_frame->frameGeometry();
        return { place.x(), place.y(), place.width(), place.height() };
    }
    bool isShown() const override { return m_frame->isVisible(); }
    bool isEnabled() const override { return m_frame->isEnabled(); }
    bool hasFocus() const override { return m_frame->isActiveWindow(); }
    void takeFocus(FocusReason) override { m_frame->activateWindow(); }
    std::pair<double, double> clientFromScreen(double x, double y) const override
    {
        const QPointF local = m_frame->clientArea()->mapFromGlobal(QPointF(x, y));
        return { local.x(), local.y() };
    }

    std::unique_ptr<PlatformControl> createControl(const ControlPlan &plan) override
    {
        return buildControl(plan, m_frame->clientArea());
    }
    void show() override
    {
        m_frame->show();
        m_frame->activateWindow();
    }
    void close() override { m_frame->close(); }

    MainFrame *frame() const { return m_frame; }

private:
    void forget()
    {
        owners().remove(m_frame->clientArea());
        owners().remove(m_frame);
        m_frame = nullptr;
    }

    MainFrame *m_frame;
};

// ---- Input ---------------------------------------------------------------

std::int32_t keyState(Qt::KeyboardModifiers modifiers)
{
    std::int32_t state = 0;
    if (modifiers & Qt::ControlModifier)
        state |= keyStateCtrl;
    if (modifiers & Qt::ShiftModifier)
        state |= keyStateShift;
    if (modifiers & Qt::AltModifier)
        state |= keyStateAlt;
    return state;
}

MouseButton buttonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::NoButton:
        return MouseButton::none;
    case Qt::LeftButton:
        return MouseButton::left;
    case Qt::RightButton:
        return MouseButton::right;
    default:
        return MouseButton::other;
    }
}

// The hook acts on input as it first arrives. Qt hands an event that a
// widget leaves alone on to its parents, but as a copy that no longer counts
// as spontaneous; and Qt's own sent events are not input.
class InputHook : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return event->spontaneous() && mouse(watched, static_cast<QMouseEvent *>(event));
        case QEvent::Wheel:
            return event->spontaneous() && wheel(watched, static_cast<QWheelEvent *>(event));
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return event->spontaneous() && key(watched, static_cast<QKeyEvent *>(event));
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            focus(watched, event);
            return false;
        default:
            return false;
        }
    }

    static std::optional<Owner> owner(QObject *watched)
    {
        return watched->isWidgetType() ? ownerOf(watched) : std::nullopt;
    }

    // Also takes clicks that assistive technology makes (clickLikeMouse).
    static bool mouse(QObject *watched, QMouseEvent *event)
    {
        const auto ids = owner(watched);
        if (!ids)
            return false;
        MouseAction action = MouseAction::move;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            action = MouseAction::press;
            break;
        case QEvent::MouseButtonDblClick:
            // Qt delivers the second press of a double click as this alone.
            action = MouseAction::doubleClick;
            break;
        case QEvent::MouseButtonRelease:
            action = MouseAction::release;
            break;
        default:
            break;
        }
        const QPointF global = event->globalPosition();
        return deliverMouse(ids->window, ids->control, action, buttonOf(event->button()), global.x(),
            global.y(), keyState(event->modifiers()));
    }

private:
    static bool wheel(QObject *watched, QWheelEvent *event)
    {
        const auto ids = owner(watched);
        return ids
            && deliverWheel(
                ids->window, ids->control, event->angleDelta().y() / 120, keyState(event->modifiers()));
    }

    static bool key(QObject *watched, QKeyEvent *event)
    {
        const auto ids = owner(watched);
        if (!ids)
            return false;
        const bool pressed = event->type() == QEvent::KeyPress;
        const std::vector<std::int32_t> typed = pressed
            ? typedCharacters(event->key(), event->modifiers(), event->text())
            : std::vector<std::int32_t>();
        return deliverKey(ids->window, ids->control, pressed,
            virtualKeyCode(event->key(), event->modifiers()), keyState(event->modifiers()), typed);
    }

    static void focus(QObject *watched, QEvent *event)
    {
        if (!watched->isWidgetType())
            return;
        const auto found = owners().constFind(watched);
        if (found != owners().constEnd() && found->own)
            deliverFocus(found->window, found->control, event->type() == QEvent::FocusIn);
    }
};

} // namespace

void clickLikeMouse(QWidget *widget, QPoint at)
{
    const QPointer<QWidget> target(widget);
    for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
        // The press's handler may have taken the widget away.
        if (!target)
            return;
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(
            type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
        if (!InputHook::mouse(target, &event) && target->isEnabled())
            QCoreApplication::sendEvent(target, &event);
    }
}

namespace {

// ---- The platform ----------------------------------------------------------

class QtTimer : public PlatformTimer {
public:
    QtTimer(std::int32_t period, std::function<void()> tick)
        : m_tick(std::move(tick))
    {
        // Ticks that fall due while the thread is busy do not queue up:
        // QTimer fires once when it is next looked at.
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
            // The handler may stop this very timer, destroying this object.
            const std::weak_ptr<bool> alive = m_alive;
            const std::function<void()> tick = m_tick;
            m_ticking = true;
            tick();
            if (!alive.expired())
                m_ticking = false;
        });
        m_timer->start(period);
    }
    ~QtTimer() override
    {
        m_timer->stop();
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        // A tick's handler may stop its own timer: the QTimer is still
        // delivering its signal then, and goes once that is over.
        if (m_ticking)
            m_timer->deleteLater();
        else
            delete m_timer;
    }

private:
    std::function<void()> m_tick;
    QTimer *m_timer = new QTimer;
    bool m_ticking = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// Fonts the window asks for by their Windows names; on other systems the
// nearest installed faces of the same style stand in at the same height.
void substituteFonts()
{
    QFont::insertSubstitutions(QString::fromUtf8("隶书"),
        { "AR PL UKai CN", "AR PL UKai TW", "AR PL KaitiM GB", "WenQuanYi Zen Hei" });
    QFont::insertSubstitutions(QString::fromUtf8("宋体"),
        { "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC", "WenQuanYi Zen Hei" });
}

class QtPlatform : public Platform {
public:
    void start() override
    {
        if (!qApp) {
            ensureDisplayAvailable();
            static int argc = 1;
            static char name[] = "kelmora";
            static char *argv[] = { name, nullptr };
            m_ownApplication = std::make_unique<QApplication>(argc, argv);
        }
        substituteFonts();
        m_userInterfaceThread = QThread::currentThread();
        if (!m_hook) {
            m_hook = new InputHook;
            m_hook->setParent(qApp);
            qApp->installEventFilter(m_hook);
        }
    }

    void shutDown(bool afterFatalError) override
    {
        if (afterFatalError) {
            (void)m_ownApplication.release();
        } else if (m_ownApplication) {
            m_ownApplication.reset();
            m_hook = nullptr; // went with the application
        }
    }

    Area primaryWorkArea() const override
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect();
        return { area.x(), area.y(), area.width(), area.height() };
    }

    std::unique_ptr<PlatformWindow> createWindow(const WindowPlan &plan) override
    {
        return std::make_unique<QtWindow>(plan);
    }

    std::unique_ptr<PlatformTimer> startTimer(std::int32_t period, std::function<void()> tick) override
    {
        return std::make_unique<QtTimer>(period, std::move(tick));
    }

    PictureReader *pictureReader() override { return &qtPictureReader(); }

    void showFatalReport(std::string_view title, std::string_view report) override
    {
        if (qApp && QThread::currentThread() == m_userInterfaceThread) {
            QString text = fromGbk(report);
            text.replace("\r\n", "\n");
            // Owned by no window; the windows still repaint while it shows.
            QMessageBox box(QMessageBox::Critical, fromGbk(title), text, QMessageBox::Ok);
            box.exec();
        } else {
            const std::string shown = fromGbk(report).toStdString();
            std::fputs(shown.c_str(), stderr);
        }
    }

    void runLoop() override { QApplication::exec(); }

    void quitLoop() override
    {
        if (qApp)
            QCoreApplication::quit();
    }

private:
    std::unique_ptr<QApplication> m_ownApplication;
    QThread *m_userInterfaceThread = nullptr;
    InputHook *m_hook = nullptr;
};

} // namespace

PictureReader &qtPictureReader()
{
    static QtPictureReader reader;
    return reader;
}

Platform &qtPlatform()
{
    static QtPlatform platform;
    return platform;
}

QWidget *widgetOf(const PlatformControl *control)
{
    if (auto window = dynamic_cast<const QtWindow *>(control))
        return window->frame();
    if (auto shown = dynamic_cast<const QtControl *>(control))
        return shown->widget();
    return nullptr;
}

QWidget *clientAreaOf(const PlatformControl *window)
{
    auto qtWindow = dynamic_cast<const QtWindow *>(window);
    return qtWindow && qtWindow->frame() ? qtWindow->frame()->clientArea() : nullptr;
}

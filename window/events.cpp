#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include "controls.h"
#include "keycodes.h"
#include "lifecycle.h"
#include "qttext.h"
#include "registry.h"
#include "runtime/fatal.h"
#include "wttexts.h"

namespace {

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

// Positions travel as unsigned 16-bit numbers.
std::int32_t coordinate(qreal value)
{
    return std::int32_t(std::uint16_t(std::int16_t(qRound(value))));
}

// Qt hands an input event that a widget ignores on to its parents; the
// control that first saw it is the one whose event it is.
struct SeenInput {
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointF globalPosition;
    int key = 0;
    bool matches(const QInputEvent &event, QPointF global, int eventKey) const
    {
        return type == event.type() && timestamp == event.timestamp() && globalPosition == global && key == eventKey;
    }
};

// Tells a picture box's double click apart at the second press itself, so
// that it raises the double-click event instead of a second press.
struct LastPress {
    const QObject *target = nullptr;
    quint64 timestamp = 0;
    QPointF globalPosition;
};

class InputHook : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return mouse(watched, static_cast<QMouseEvent *>(event));
        case QEvent::Wheel:
            return wheel(watched, static_cast<QWheelEvent *>(event));
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return key(watched, static_cast<QKeyEvent *>(event));
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            focus(watched, event);
            return false;
        default:
            return false;
        }
    }

private:
    // The control an input event is for, if it is a control of a loaded
    // window and it takes input.
    static std::optional<ControlRef> target(QObject *watched)
    {
        if (!watched->isWidgetType())
            return std::nullopt;
        auto ref = controlOfWidget(watched);
        if (!ref)
            return std::nullopt;
        QWidget *widget = ref->control->widget;
        // A disabled control takes no input: Qt passes the event on to the
        // control beneath, where it is seen again.
        if (widget && !widget->isEnabled())
            return std::nullopt;
        return ref;
    }

    // Raises the event; true when the handler swallowed the input.
    static bool raise(const ControlRef &ref, Event number, std::initializer_list<std::int32_t> arguments)
    {
        return raiseControlEvent(*ref.window, *ref.control, std::int32_t(number), arguments);
    }

    bool mouse(QObject *watched, QMouseEvent *event)
    {
        const QPointF global = event->globalPosition();
        if (seen.matches(*event, global, int(event->button())))
            return false;
        auto ref = target(watched);
        if (!ref)
            return false;
        seen = {event->type(), event->timestamp(), global, int(event->button())};

        // Positions in the control's own client area.
        QWidget *client = clientWidget(*ref->window, *ref->control);
        const QPointF local = client ? client->mapFromGlobal(global) : event->position();
        const std::initializer_list<std::int32_t> arguments{
            coordinate(local.x()), coordinate(local.y()), keyState(event->modifiers())};
        const bool picture = ref->control->kind == ControlKind::pictureBox;

        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (event->button() == Qt::LeftButton) {
                if (picture && isDoubleClick(watched, *event)) {
                    lastPress = {};
                    return raise(*ref, Event::doubleClicked, arguments);
                }
                lastPress = {watched, event->timestamp(), global};
                return raise(*ref, Event::leftPressed, arguments);
            }
            if (event->button() == Qt::RightButton)
                return raise(*ref, Event::rightPressed, arguments);
            return false;
        case QEvent::MouseButtonRelease:
            if (event->button() == Qt::LeftButton)
                return raise(*ref, Event::leftReleased, arguments);
            if (event->button() == Qt::RightButton)
                return raise(*ref, Event::rightReleased, arguments);
            return false;
        case QEvent::MouseButtonDblClick:
            // The press before it has already been told apart.
            return false;
        default:
            return raise(*ref, Event::mouseMoved, arguments);
        }
    }

    bool isDoubleClick(QObject *watched, const QMouseEvent &event) const
    {
        const auto hints = QGuiApplication::styleHints();
        const QPointF moved = event.globalPosition() - lastPress.globalPosition;
        return lastPress.target == watched && event.timestamp() - lastPress.timestamp <= quint64(hints->mouseDoubleClickInterval())
            && qAbs(moved.x()) <= hints->mouseDoubleClickDistance() && qAbs(moved.y()) <= hints->mouseDoubleClickDistance();
    }

    bool wheel(QObject *watched, QWheelEvent *event)
    {
        if (seen.matches(*event, event->globalPosition(), 0))
            return false;
        auto ref = target(watched);
        if (!ref)
            return false;
        seen = {event->type(), event->timestamp(), event->globalPosition(), 0};
        return raise(*ref, Event::wheelTurned, {event->angleDelta().y() / 120, keyState(event->modifiers())});
    }

    bool key(QObject *watched, QKeyEvent *event)
    {
        if (seen.matches(*event, {}, event->key()))
            return false;
        auto ref = target(watched);
        if (!ref)
            return false;
        seen = {event->type(), event->timestamp(), {}, event->key()};
        const std::int32_t state = keyState(event->modifiers());

        if (event->type() == QEvent::KeyPress) {
            // The window's own keys go no further and raise nothing.
            const bool plain = (state & (keyStateCtrl | keyStateAlt)) == 0;
            if (plain && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
                moveFocus(*ref->window, event->key() == Qt::Key_Tab && !(state & keyStateShift));
                return true;
            }
            if (state == 0 && event->key() == Qt::Key_Escape) {
                if (ref->window->definition->data->escapeCloses && ref->window->frame)
                    ref->window->frame->close();
                return true;
            }
        }
        const std::int32_t code = virtualKeyCode(event->key(), event->modifiers());
        const bool pressed = event->type() == QEvent::KeyPress;
        if (raise(*ref, pressed ? Event::keyPressed : Event::keyReleased, {code, state}))
            return true;
        if (pressed && !event->text().isEmpty() && event->text().at(0).isPrint()) {
            const std::string bytes = toGbk(event->text().left(1));
            std::int32_t character = 0;
            for (unsigned char byte : bytes)
                character = (character << 8) | byte;
            return raise(*ref, Event::characterTyped, {character});
        }
        return false;
    }

    void focus(QObject *watched, QEvent *event)
    {
        if (!watched->isWidgetType())
            return;
        auto ref = controlOfWidget(watched);
        if (ref && ref->control->widget == watched)
            raise(*ref, event->type() == QEvent::FocusIn ? Event::gotFocus : Event::lostFocus, {});
    }

    SeenInput seen;
    LastPress lastPress;
};

bool isEligible(const ControlState &control)
{
    const QWidget *widget = control.widget;
    return control.definition && control.definition->data->tabStop && widget && widget->isVisible()
        && widget->isEnabled();
}

// The focus order: the controls that take part, in reverse defined order.
std::vector<ControlState *> focusOrder(LoadedWindow &window)
{
    std::vector<ControlState *> order;
    for (auto it = window.controls.rbegin(); it != window.controls.rend(); ++it)
        if (it->definition && it->definition->data->tabStop)
            order.push_back(&*it);
    return order;
}

} // namespace

void installInputHook()
{
    static InputHook *hook = nullptr;
    if (hook)
        return;
    hook = new InputHook;
    hook->setParent(qApp);
    qApp->installEventFilter(hook);
}

bool raiseEvent(EventRecord &event)
{
    if (eventHoldCount() > 0)
        return false;
    LoadedWindow *window = findLoadedWindow(event.window);
    if (!window)
        reportFatalError(0, wt::eventWindowNotFound);
    ControlState *control = findControl(*window, event.control);
    if (!control)
        reportFatalError(0, wt::eventControlNotFound);
    if (!kindRaisesEvents(control->kind))
        reportFatalError(0, wt::eventControlInvalid);
    const auto &handlers = control == &window->unit ? window->definition->handlers : control->definition->handlers;
    const auto bound = handlers.find(event.number);
    if (bound == handlers.end())
        return false;
    // Copied: a handler may unload the window that holds the binding.
    const EventHandler handler = bound->second;
    const std::optional<std::int32_t> result = handler(event);
    event.hasResult = result.has_value();
    event.result = result.value_or(0);
    return true;
}

bool raiseControlEvent(const LoadedWindow &window, const ControlState &control, std::int32_t number,
                       std::initializer_list<std::int32_t> arguments)
{
    EventRecord event{window.id, control.id, number};
    for (std::int32_t argument : arguments)
        if (event.argumentCount < 5)
            event.arguments[event.argumentCount++] = argument;
    return raiseEvent(event) && event.hasResult && event.result == 0;
}

void moveFocus(LoadedWindow &window, bool forward)
{
    const std::vector<ControlState *> order = focusOrder(window);
    if (order.empty())
        return;
    const QWidget *focused = QApplication::focusWidget();
    std::ptrdiff_t current = -1;
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i]->widget && (focused == order[i]->widget || order[i]->widget->isAncestorOf(focused)))
            current = std::ptrdiff_t(i);
    const auto count = std::ptrdiff_t(order.size());
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        std::ptrdiff_t index = current < 0 ? (forward ? step - 1 : count - step)
                                           : ((current + (forward ? step : -step)) % count + count) % count;
        if (isEligible(*order[std::size_t(index)])) {
            order[std::size_t(index)]->widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void focusFirstControl(LoadedWindow &window)
{
    for (ControlState *control : focusOrder(window)) {
        if (isEligible(*control)) {
            control->widget->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

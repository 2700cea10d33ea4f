// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

#include "controls.h"
#include "keycodes.h"
#include "lifecycle.h"
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

private:
    // The unit whose event mouse input is: the control under the pointer, or,
    // when that is disabled, the window beneath it, here the main window.
    static std::optional<ControlRef> mouseTarget(QObject *watched)
    {
        auto ref = watched->isWidgetType() ? controlOfWidget(watched) : std::nullopt;
        if (ref && ref->control->widget && !ref->control->widget->isEnabled())
            ref->control = &ref->window->unit;
        return ref;
    }

    // Raises the event; true when the handler swallowed the input.
    static bool raise(const ControlRef &ref, Event number, std::initializer_list<std::int32_t> arguments)
    {
        return raiseControlEvent(*ref.window, *ref.control, std::int32_t(number), arguments);
    }

public:
    // Also takes clicks that assistive technology makes (clickLikeMouse).
    static bool mouse(QObject *watched, QMouseEvent *event)
    {
        const auto ref = mouseTarget(watched);
        if (!ref)
            return false;
        // Positions in the client area of the unit whose event it is.
        QWidget *client = clientWidget(*ref->window, *ref->control);
        const QPointF local = client ? client->mapFromGlobal(event->globalPosition()) : event->position();
        const std::initializer_list<std::int32_t> arguments { coordinate(local.x()), coordinate(local.y()),
            keyState(event->modifiers()) };
        const bool left = event->button() == Qt::LeftButton;
        const bool right = event->button() == Qt::RightButton;

        switch (event->type()) {
        case QEvent::MouseButtonPress:
            return (left || right) && raise(*ref, left ? Event::leftPressed : Event::rightPressed, arguments);
        case QEvent::MouseButtonDblClick:
            // Qt delivers the second press of a double click as this alone. A
            // picture box tells it apart; to every other unit it is a press.
            if (left && ref->control->kind == ControlKind::pictureBox)
                return raise(*ref, Event::doubleClicked, arguments);
            return (left || right) && raise(*ref, left ? Event::leftPressed : Event::rightPressed, arguments);
        case QEvent::MouseButtonRelease:
            return (left || right)
                && raise(*ref, left ? Event::leftReleased : Event::rightReleased, arguments);
        default:
            return raise(*ref, Event::mouseMoved, arguments);
        }
    }

private:
    bool wheel(QObject *watched, QWheelEvent *event)
    {
        const auto ref = mouseTarget(watched);
        return ref
            && raise(
                *ref, Event::wheelTurned, { event->angleDelta().y() / 120, keyState(event->modifiers()) });
    }

    bool key(QObject *watched, QKeyEvent *event)
    {
        auto ref = watched->isWidgetType() ? controlOfWidget(watched) : std::nullopt;
        // A key for a disabled control goes on untouched and raises nothing.
        if (!ref || (ref->control->widget && !ref->control->widget->isEnabled()))
            return false;
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
        const WindowId window = ref->window->id;
        const ControlId control = ref->control->id;
        const std::int32_t code = virtualKeyCode(event->key(), event->modifiers());
        const bool pressed = event->type() == QEvent::KeyPress;
        if (raise(*ref, pressed ? Event::keyPressed : Event::keyReleased, { code, state }))
            return true;
        if (!pressed)
            return false;
        // Every character the key types, control characters included, as a
        // character message would bring them one by one.
        bool swallowed = false;
        for (const std::int32_t character :
            typedCharacters(event->key(), event->modifiers(), event->text())) {
            // A handler may have changed the window; look again.
            LoadedWindow *stillLoaded = findLoadedWindow(window);
            ControlState *stillThere = stillLoaded ? findControl(*stillLoaded, control) : nullptr;
            if (!stillThere)
                break;
            swallowed |= raiseControlEvent(
                *stillLoaded, *stillThere, std::int32_t(Event::characterTyped), { character });
        }
        return swallowed;
    }

    void focus(QObject *watched, QEvent *event)
    {
        if (!watched->isWidgetType())
            return;
        auto ref = controlOfWidget(watched);
        if (ref && ref->control->widget == watched)
            raise(*ref, event->type() == QEvent::FocusIn ? Event::gotFocus : Event::lostFocus, {});
    }
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
    std::for_each(window.controls.rbegin(), window.controls.rend(), [&order](ControlState &control) {
        if (control.definition && control.definition->data->tabStop)
            order.push_back(&control);
    });
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
    observeEvent(event);
    const auto &handlers
        = control == &window->unit ? window->definition->handlers : control->definition->handlers;
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
    EventRecord event { window.id, control.id, number };
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
            order[std::size_t(index)]->widget->setFocus(
                forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
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

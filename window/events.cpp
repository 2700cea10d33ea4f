// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cmath>

#include "lifecycle.h"
#include "registry_p.h"
#include "runtime/fatal.h"
#include "wttexts.h"

namespace {

// Virtual-key codes of the window's own keys.
constexpr std::int32_t vkTab = 0x09;
constexpr std::int32_t vkEscape = 0x1b;

// Positions travel as unsigned 16-bit numbers.
std::int32_t coordinate(double value)
{
    return std::int32_t(std::uint16_t(std::int16_t(std::lround(value))));
}

struct Target {
    LoadedWindow *window;
    ControlState *control;
};

std::optional<Target> findTarget(WindowId window, ControlId control)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    if (!state || !platformOf(*loaded, *state))
        return std::nullopt;
    return Target { loaded, state };
}

bool isEnabled(Target target)
{
    return platformOf(*target.window, *target.control)->isEnabled();
}

// The unit whose event mouse input is: the control under the pointer, or,
// when that is disabled, the window beneath it, here the main window.
std::optional<Target> mouseTarget(WindowId window, ControlId control)
{
    auto target = findTarget(window, control);
    if (target && !isEnabled(*target))
        target->control = &target->window->unit;
    return target;
}

// Raises the event; true when the handler swallowed the input.
bool raise(Target target, Event number, std::initializer_list<std::int32_t> arguments)
{
    return raiseControlEvent(*target.window, *target.control, std::int32_t(number), arguments);
}

bool isEligible(LoadedWindow &window, ControlState &control)
{
    const PlatformControl *shown = platformOf(window, control);
    return control.definition && control.definition->data->tabStop && shown && shown->isShown()
        && shown->isEnabled();
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

void observeEvent(const EventRecord &event)
{
    if (runtimeState().eventObserver)
        runtimeState().eventObserver(event);
}

bool deliverMouse(WindowId window, ControlId control, MouseAction action, MouseButton button, double screenX,
    double screenY, std::int32_t keyState)
{
    const auto target = mouseTarget(window, control);
    if (!target)
        return false;
    // Positions in the client area of the unit whose event it is.
    const auto [x, y] = platformOf(*target->window, *target->control)->clientFromScreen(screenX, screenY);
    const std::initializer_list<std::int32_t> arguments { coordinate(x), coordinate(y), keyState };
    const bool left = button == MouseButton::left;
    const bool right = button == MouseButton::right;

    switch (action) {
    case MouseAction::press:
        return (left || right) && raise(*target, left ? Event::leftPressed : Event::rightPressed, arguments);
    case MouseAction::doubleClick:
        // The second press of a double click. A picture box tells it apart;
        // to every other unit it is a press.
        if (left && target->control->kind == ControlKind::pictureBox)
            return raise(*target, Event::doubleClicked, arguments);
        return (left || right) && raise(*target, left ? Event::leftPressed : Event::rightPressed, arguments);
    case MouseAction::release:
        return (left || right)
            && raise(*target, left ? Event::leftReleased : Event::rightReleased, arguments);
    case MouseAction::move:
        break;
    }
    return raise(*target, Event::mouseMoved, arguments);
}

bool deliverWheel(WindowId window, ControlId control, std::int32_t steps, std::int32_t keyState)
{
    const auto target = mouseTarget(window, control);
    return target && raise(*target, Event::wheelTurned, { steps, keyState });
}

bool deliverKey(WindowId window, ControlId control, bool pressed, std::int32_t code, std::int32_t keyState,
    std::span<const std::int32_t> typed)
{
    const auto target = findTarget(window, control);
    // A key for a disabled control goes on untouched and raises nothing.
    if (!target || !isEnabled(*target))
        return false;
    const bool chord = (keyState & (keyStateCtrl | keyStateAlt)) != 0;

    if (pressed) {
        // The window's own keys go no further and raise nothing.
        if (!chord && code == vkTab) {
            moveFocus(*target->window, !(keyState & keyStateShift));
            return true;
        }
        if (keyState == 0 && code == vkEscape) {
            if (target->window->definition->data->escapeCloses)
                target->window->frame->close();
            return true;
        }
    }
    if (raise(*target, pressed ? Event::keyPressed : Event::keyReleased, { code, keyState }))
        return true;
    if (!pressed)
        return false;
    // Every character the key types, control characters included, as a
    // character message would bring them one by one.
    bool swallowed = false;
    for (const std::int32_t character : typed) {
        // A handler may have changed the window; look again.
        const auto still = findTarget(window, control);
        if (!still)
            break;
        swallowed |= raise(*still, Event::characterTyped, { character });
    }
    return swallowed;
}

void tickTimer(WindowId window, ControlId control)
{
    EventRecord event { window, control, std::int32_t(Event::tick) };
    raiseEvent(event);
}

void deliverFocus(WindowId window, ControlId control, bool gained)
{
    if (const auto target = findTarget(window, control))
        raise(*target, gained ? Event::gotFocus : Event::lostFocus, {});
}

void deliverClick(WindowId window, ControlId control)
{
    EventRecord event { window, control, std::int32_t(Event::clicked) };
    raiseEvent(event);
}

void moveFocus(LoadedWindow &window, bool forward)
{
    const std::vector<ControlState *> order = focusOrder(window);
    if (order.empty())
        return;
    std::ptrdiff_t current = -1;
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i]->platform && order[i]->platform->hasFocus())
            current = std::ptrdiff_t(i);
    const auto count = std::ptrdiff_t(order.size());
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        std::ptrdiff_t index = current < 0 ? (forward ? step - 1 : count - step)
                                           : ((current + (forward ? step : -step)) % count + count) % count;
        if (isEligible(window, *order[std::size_t(index)])) {
            order[std::size_t(index)]->platform->takeFocus(forward ? FocusReason::tab : FocusReason::backtab);
            return;
        }
    }
}

void focusFirstControl(LoadedWindow &window)
{
    for (ControlState *control : focusOrder(window)) {
        if (isEligible(window, *control)) {
            control->platform->takeFocus(FocusReason::activation);
            return;
        }
    }
}

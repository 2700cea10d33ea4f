// SPDX-License-Identifier: MIT
#include "operations.h"

#include <algorithm>
#include <optional>

#include "eval/scriptcomponent.h"
#include "registry_p.h"
#include "runtime/fatal.h"
#include "wttexts.h"

namespace {

constexpr std::int32_t placeLimit = 32627;

std::int32_t low32(PropertyValue value)
{
    return std::int32_t(std::uint32_t(std::uint64_t(value)));
}

ControlState &findForProperty(WindowId window, ControlId control, LoadedWindow *&loaded)
{
    loaded = findLoadedWindow(window);
    if (!loaded)
        reportFatalError(0, wt::windowNotLoaded);
    ControlState *state = findControl(*loaded, control);
    if (!state)
        reportFatalError(0, wt::controlNotFound);
    return *state;
}

// A command's edit box, list box or script component: it must exist, be of
// the kind and be built.
ControlState &findForCommand(WindowId window, ControlId control, ControlKind kind)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    if (!state || state->kind != kind || !state->platform)
        reportFatalError(0, wt::controlNotFound);
    return *state;
}

// The window's outer rectangle, frame included, on the desktop; a control's
// rectangle in the client area. None while it is not built.
std::optional<Area> liveGeometry(LoadedWindow &window, ControlState &control)
{
    const PlatformControl *shown = platformOf(window, control);
    return shown ? std::optional(shown->placement()) : std::nullopt;
}

bool neverShown(ControlKind kind)
{
    return kind == ControlKind::timer || kind == ControlKind::scriptComponent;
}

// The same period again changes nothing, so a running timer keeps its
// rhythm; another restarts it with the first tick one period later; 0 (or
// less) stops it.
void setPeriod(const LoadedWindow &window, ControlState &control, std::int32_t period)
{
    period = std::max(period, 0);
    if (period == control.period)
        return;
    control.period = period;
    control.timer.reset();
    if (period > 0) {
        const WindowId windowId = window.id;
        const ControlId controlId = control.id;
        control.timer = runtimeState().platform->startTimer(
            period, [windowId, controlId] { tickTimer(windowId, controlId); });
        ++control.timerStarts;
    }
}

// Copy first: the caller may be handing back the block it got from us.
void setPicture(ControlState &control, Bytes block)
{
    Bytes copy = newBytes(bytesData(block), std::size_t(bytesCount(block)));
    releaseMemory(control.picture);
    control.picture = copy;
    // Decoded once here; the control only draws it.
    control.platform->setPicture(decodePicture(
        bytesData(copy), std::size_t(bytesCount(copy)), runtimeState().platform->pictureReader()));
}

std::string textOf(PropertyValue value)
{
    return std::string(textView(valueText(value)));
}

PropertyValue newTextValue(std::string_view text)
{
    return textValue(text.empty() ? nullptr : newText(text));
}

void applyCommon(LoadedWindow &window, ControlState &control, Property property)
{
    PlatformControl *shown = platformOf(window, control);
    if (!shown)
        return;
    const bool unit = &control == &window.unit;
    switch (property) {
    case Property::left:
    case Property::top:
        shown->move(control.left, control.top);
        break;
    case Property::width:
    case Property::height:
        shown->resize(control.width, control.height);
        if (unit)
            raiseControlEvent(window, control, std::int32_t(Event::sizeChanged));
        break;
    case Property::visible:
        shown->setVisible(control.visible && !neverShown(control.kind));
        break;
    case Property::disabled:
        shown->setEnabled(!control.disabled);
        break;
    default:
        break;
    }
}

void writeOwn(const LoadedWindow &window, ControlState &control, std::int32_t property, PropertyValue value)
{
    PlatformControl &shown = *control.platform;
    switch (control.kind) {
    case ControlKind::button:
        if (property == std::int32_t(ButtonProperty::caption)) {
            control.text = textOf(value);
            shown.setText(control.text);
        }
        break;
    case ControlKind::editBox:
        // Whole new content: the caret goes back to the start, as at load.
        if (property == std::int32_t(EditProperty::content))
            shown.setText(textOf(value));
        break;
    case ControlKind::pictureBox:
        if (property == std::int32_t(PictureProperty::picture)) {
            setPicture(control, valueBytes(value));
        } else if (property == std::int32_t(PictureProperty::displayMode)) {
            // Negative is 0; other values are kept and drawn as 0.
            const std::int32_t mode = std::max(low32(value), 0);
            if (mode != control.displayMode) {
                control.displayMode = mode;
                shown.setDisplayMode(mode);
            }
        }
        break;
    case ControlKind::transparentLabel:
        if (property == std::int32_t(LabelProperty::text)) {
            control.text = textOf(value);
            shown.setText(control.text);
        }
        break;
    case ControlKind::progressBar: {
        if (property == std::int32_t(ProgressProperty::minimum))
            control.minimum = low32(value);
        else if (property == std::int32_t(ProgressProperty::maximum))
            control.maximum = low32(value);
        else if (property == std::int32_t(ProgressProperty::position))
            control.position = std::clamp(low32(value), 0, 32767);
        else
            break;
        // The stored position reads back as written; the bar shows it within
        // its range.
        const std::int32_t maximum = std::max(control.minimum, control.maximum);
        shown.setRange(control.minimum, maximum, std::clamp(control.position, control.minimum, maximum));
        break;
    }
    case ControlKind::timer:
        if (property == std::int32_t(TimerProperty::period))
            setPeriod(window, control, low32(value));
        break;
    case ControlKind::scriptComponent:
        control.script->writeProperty(property - 8, value);
        break;
    case ControlKind::listBox:
    case ControlKind::window:
        break;
    }
}

PropertyValue readOwn(ControlState &control, std::int32_t property)
{
    switch (control.kind) {
    case ControlKind::button:
        if (property == std::int32_t(ButtonProperty::caption))
            return newTextValue(control.text);
        break;
    case ControlKind::editBox:
        if (property == std::int32_t(EditProperty::content))
            return newTextValue(control.platform->text());
        break;
    case ControlKind::pictureBox:
        if (property == std::int32_t(PictureProperty::picture))
            return bytesValue(newBytes(bytesData(control.picture), std::size_t(bytesCount(control.picture))));
        if (property == std::int32_t(PictureProperty::displayMode))
            return control.displayMode;
        break;
    case ControlKind::transparentLabel:
        if (property == std::int32_t(LabelProperty::text))
            return newTextValue(control.text);
        break;
    case ControlKind::progressBar:
        if (property == std::int32_t(ProgressProperty::minimum))
            return control.minimum;
        if (property == std::int32_t(ProgressProperty::maximum))
            return control.maximum;
        if (property == std::int32_t(ProgressProperty::position))
            return control.position;
        break;
    case ControlKind::timer:
        if (property == std::int32_t(TimerProperty::period))
            return control.period;
        break;
    case ControlKind::scriptComponent:
        return control.script->readProperty(property - 8);
    case ControlKind::listBox:
    case ControlKind::window:
        break;
    }
    return 0;
}

} // namespace

void writeProperty(
    WindowId window, ControlId control, std::int32_t property, std::int32_t, PropertyValue value)
{
    LoadedWindow *loaded = nullptr;
    ControlState &state = findForProperty(window, control, loaded);
    if (property >= 0 && property <= 7) {
        // A move keeps the other edge and a resize the other dimension where
        // the window has them now, not where they were last written.
        if (const auto live = property <= 3 ? liveGeometry(*loaded, state) : std::nullopt) {
            state.left = live->left;
            state.top = live->top;
            state.width = live->width;
            state.height = live->height;
        }
        const std::int32_t number = low32(value);
        switch (Property(property)) {
        case Property::left:
            state.left = std::clamp(number, -placeLimit, placeLimit);
            break;
        case Property::top:
            state.top = std::clamp(number, -placeLimit, placeLimit);
            break;
        case Property::width:
            state.width = std::clamp(number, 0, placeLimit);
            break;
        case Property::height:
            state.height = std::clamp(number, 0, placeLimit);
            break;
        case Property::tag:
            state.tag = textOf(value);
            break;
        case Property::visible:
            state.visible = number != 0;
            break;
        case Property::disabled:
            state.disabled = number != 0;
            break;
        case Property::mousePointer:
            state.mousePointer = std::max(number, 0);
            break;
        }
        applyCommon(*loaded, state, Property(property));
        return;
    }
    if (!state.platform)
        reportFatalError(0, wt::controlWindowMissing);
    writeOwn(*loaded, state, property, value);
}

PropertyValue readProperty(WindowId window, ControlId control, std::int32_t property, std::int32_t)
{
    LoadedWindow *loaded = nullptr;
    ControlState &state = findForProperty(window, control, loaded);
    if (property >= 0 && property <= 7) {
        // Place and size as the window has them now (the player may have
        // moved the main window), else as stored.
        const std::optional<Area> live = liveGeometry(*loaded, state);
        switch (Property(property)) {
        case Property::left:
            return live ? live->left : state.left;
        case Property::top:
            return live ? live->top : state.top;
        case Property::width:
            return live ? live->width : state.width;
        case Property::height:
            return live ? live->height : state.height;
        case Property::tag:
            return newTextValue(state.tag);
        case Property::visible:
            return state.visible;
        case Property::disabled:
            return state.disabled;
        case Property::mousePointer:
            return state.mousePointer;
        }
    }
    if (!state.platform)
        reportFatalError(0, wt::controlWindowMissing);
    return readOwn(state, property);
}

void appendEditText(WindowId window, ControlId editBox, std::initializer_list<Text> texts)
{
    ControlState &edit = findForCommand(window, editBox, ControlKind::editBox);
    for (Text text : texts)
        edit.platform->appendText(textView(text));
}

std::int32_t addListItem(WindowId window, ControlId listBox, Text text, std::int32_t data)
{
    ControlState &list = findForCommand(window, listBox, ControlKind::listBox);
    return list.platform->addItem(textView(text), data);
}

Text evaluateExpression(WindowId window, ControlId scriptComponent, Text expression)
{
    ControlState &host = findForCommand(window, scriptComponent, ControlKind::scriptComponent);
    return host.script->evaluateExpression(expression ? expression : "");
}

// SPDX-License-Identifier: MIT
#include "operations.h"

#include <QListWidget>

#include <algorithm>
#include <optional>

#include "controls.h"
#include "eval/scriptcomponent.h"
#include "picturebox.h"
#include "qttext.h"
#include "registry.h"
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

// A command's edit box or list box: it must exist, be of the kind and be built.
template <typename Widget> Widget *findForCommand(WindowId window, ControlId control, ControlKind kind)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    Widget *widget = state && state->kind == kind ? qobject_cast<Widget *>(state->widget.data()) : nullptr;
    if (!widget)
        reportFatalError(0, wt::controlNotFound);
    return widget;
}

std::string textOf(PropertyValue value)
{
    return std::string(textView(valueText(value)));
}

PropertyValue newTextValue(std::string_view text)
{
    return textValue(text.empty() ? nullptr : newText(text));
}

// The main window's outer rectangle, frame included, on the desktop; a
// control's rectangle in the client area. None while it is not built.
std::optional<QRect> liveGeometry(const LoadedWindow &window, const ControlState &control)
{
    if (&control == &window.unit)
        return window.frame ? std::optional(window.frame->frameGeometry()) : std::nullopt;
    return control.widget ? std::optional(control.widget->geometry()) : std::nullopt;
}

void applyCommon(LoadedWindow &window, ControlState &control, std::int32_t property)
{
    QWidget *widget = control.widget;
    if (!widget)
        return;
    const bool unit = &control == &window.unit;
    switch (Property(property)) {
    case Property::left:
    case Property::top:
        widget->move(control.left, control.top);
        break;
    case Property::width:
    case Property::height:
        if (unit) {
            window.frame->setOuterSize(QSize(control.width, control.height));
            raiseControlEvent(window, control, std::int32_t(Event::sizeChanged));
        } else {
            widget->resize(control.width, control.height);
        }
        break;
    case Property::visible: {
        const bool neverShown
            = control.kind == ControlKind::timer || control.kind == ControlKind::scriptComponent;
        widget->setVisible(control.visible && !neverShown);
        break;
    }
    case Property::disabled:
        widget->setEnabled(!control.disabled);
        break;
    default:
        break;
    }
}

void writeOwn(ControlState &control, std::int32_t property, PropertyValue value)
{
    QWidget *widget = control.widget;
    switch (control.kind) {
    case ControlKind::button:
        if (property == std::int32_t(ButtonProperty::caption)) {
            control.text = textOf(value);
            static_cast<CaptionButton *>(widget)->setText(fromGbk(control.text));
        }
        break;
    case ControlKind::editBox:
        if (property == std::int32_t(EditProperty::content)) {
            // Whole new content: the caret goes back to the start, as at load.
            auto edit = static_cast<EditBox *>(widget);
            edit->setText(fromGbk(textOf(value)));
            edit->setCursorPosition(0);
        }
        break;
    case ControlKind::pictureBox:
        if (property == std::int32_t(PictureProperty::picture))
            static_cast<PictureBox *>(widget)->setPicture(valueBytes(value));
        else if (property == std::int32_t(PictureProperty::displayMode))
            static_cast<PictureBox *>(widget)->setDisplayMode(std::max(low32(value), 0));
        break;
    case ControlKind::transparentLabel:
        if (property == std::int32_t(LabelProperty::text)) {
            control.text = textOf(value);
            auto label = static_cast<TransparentLabel *>(widget);
            label->setText(fromGbk(control.text));
        }
        break;
    case ControlKind::progressBar: {
        auto bar = static_cast<BlockProgressBar *>(widget);
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
        bar->setRange(control.minimum, std::max(control.minimum, control.maximum));
        bar->setValue(std::clamp(control.position, bar->minimum(), bar->maximum()));
        break;
    }
    case ControlKind::timer:
        if (property == std::int32_t(TimerProperty::period))
            static_cast<TimerControl *>(widget)->setPeriod(low32(value));
        break;
    case ControlKind::scriptComponent:
        static_cast<ScriptHost *>(widget)->component().writeProperty(property - 8, value);
        break;
    case ControlKind::listBox:
    case ControlKind::window:
        break;
    }
}

PropertyValue readOwn(ControlState &control, std::int32_t property)
{
    QWidget *widget = control.widget;
    switch (control.kind) {
    case ControlKind::button:
        if (property == std::int32_t(ButtonProperty::caption))
            return newTextValue(control.text);
        break;
    case ControlKind::editBox:
        if (property == std::int32_t(EditProperty::content))
            return newTextValue(toGbk(static_cast<EditBox *>(widget)->text()));
        break;
    case ControlKind::pictureBox:
        if (property == std::int32_t(PictureProperty::picture)) {
            Bytes stored = static_cast<PictureBox *>(widget)->picture();
            return bytesValue(newBytes(bytesData(stored), std::size_t(bytesCount(stored))));
        }
        if (property == std::int32_t(PictureProperty::displayMode))
            return static_cast<PictureBox *>(widget)->displayMode();
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
            return static_cast<TimerControl *>(widget)->period();
        break;
    case ControlKind::scriptComponent:
        return static_cast<ScriptHost *>(widget)->component().readProperty(property - 8);
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
            state.left = live->x();
            state.top = live->y();
            state.width = live->width();
            state.height = live->height();
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
        applyCommon(*loaded, state, property);
        return;
    }
    if (!state.widget)
        reportFatalError(0, wt::controlWindowMissing);
    writeOwn(state, property, value);
}

PropertyValue readProperty(WindowId window, ControlId control, std::int32_t property, std::int32_t)
{
    LoadedWindow *loaded = nullptr;
    ControlState &state = findForProperty(window, control, loaded);
    // Place and size as the window has them now (the player may have moved
    // the main window), else as stored.
    const std::optional<QRect> live = liveGeometry(*loaded, state);
    switch (property) {
    case 0:
        return live ? live->x() : state.left;
    case 1:
        return live ? live->y() : state.top;
    case 2:
        return live ? live->width() : state.width;
    case 3:
        return live ? live->height() : state.height;
    case 4:
        return newTextValue(state.tag);
    case 5:
        return state.visible;
    case 6:
        return state.disabled;
    case 7:
        return state.mousePointer;
    default:
        break;
    }
    if (!state.widget)
        reportFatalError(0, wt::controlWindowMissing);
    return readOwn(state, property);
}

void appendEditText(WindowId window, ControlId editBox, std::initializer_list<Text> texts)
{
    auto edit = findForCommand<EditBox>(window, editBox, ControlKind::editBox);
    for (Text text : texts) {
        // At the very end whatever the player selected; setText leaves
        // nothing for the box's undo.
        const QString content = edit->text() + fromGbk(textView(text));
        edit->deselect();
        edit->setText(content);
        edit->setCursorPosition(int(content.size()));
    }
}

std::int32_t addListItem(WindowId window, ControlId listBox, Text text, std::int32_t data)
{
    auto list = findForCommand<ListBox>(window, listBox, ControlKind::listBox);
    auto item = new QListWidgetItem(fromGbk(textView(text)));
    item->setData(Qt::UserRole, data);
    list->addItem(item);
    const int index = list->row(item);
    return index < 0 ? -1 : index;
}

Text evaluateExpression(WindowId window, ControlId scriptComponent, Text expression)
{
    auto host = findForCommand<ScriptHost>(window, scriptComponent, ControlKind::scriptComponent);
    return host->component().evaluateExpression(expression ? expression : "");
}

// SPDX-License-Identifier: MIT
#pragma once

#include <concepts>
#include <cstdint>
#include <type_traits>

#include "runtime/memory.h"
#include "window/ids.h"

// The game's only way to touch controls. `part` selects one attribute of a
// font property; it is -1 everywhere else. Texts go in as textValue(Text)
// (no text stands for ""), byte blocks as bytesValue(Bytes).
void writeProperty(
    WindowId window, ControlId control, std::int32_t property, std::int32_t part, PropertyValue value);
// Integers and Booleans in the low 32 bits; a text as a new Text the caller
// releases (no text for the empty text).
[[nodiscard]] PropertyValue readProperty(
    WindowId window, ControlId control, std::int32_t property, std::int32_t part);

template <typename P>
concept PropertyNumber = std::is_enum_v<P> && std::same_as<std::underlying_type_t<P>, std::int32_t>;

template <PropertyNumber P>
void writeProperty(WindowId window, ControlId control, P property, std::int32_t part, PropertyValue value)
{
    writeProperty(window, control, static_cast<std::int32_t>(property), part, value);
}
template <PropertyNumber P>
[[nodiscard]] PropertyValue readProperty(WindowId window, ControlId control, P property, std::int32_t part)
{
    return readProperty(window, control, static_cast<std::int32_t>(property), part);
}

// Appends each text at the very end of an edit box's content.
void appendEditText(WindowId window, ControlId editBox, std::initializer_list<Text> texts);
// Adds an item at the end of an unsorted list box; its index, or -1 when the
// list refused it.
std::int32_t addListItem(WindowId window, ControlId listBox, Text text, std::int32_t data = 0);

// The script component's command: the expression's value as a new text, or
// no text when it cannot be evaluated.
[[nodiscard]] Text evaluateExpression(WindowId window, ControlId scriptComponent, Text expression);

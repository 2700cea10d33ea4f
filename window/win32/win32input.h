// SPDX-License-Identifier: MIT
#pragma once

// How Windows input messages map onto the layer's input, free of any
// window, so that tests reach it without one.

#include <cstdint>
#include <optional>

#include "window/platform.h"

struct MouseMessage {
    MouseAction action = MouseAction::move;
    MouseButton button = MouseButton::none;
};

// A client-area mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN ...); nullopt
// for any other message.
std::optional<MouseMessage> mouseMessage(unsigned message);

// The key state of a mouse message's wParam (MK_CONTROL, MK_SHIFT), Alt
// being read apart.
std::int32_t mouseKeyState(std::uintptr_t wParam, bool altDown);

// The key code the layer raises for a virtual key: the numeric keypad's
// digits give the digit keys' codes, and its minus, point and slash the main
// keyboard's; every other key keeps its own.
std::int32_t layerKeyCode(unsigned virtualKey);

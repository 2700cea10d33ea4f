// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Windows and controls are named by two 32-bit identifiers from the form:
// the window's and the control's. A window is also a unit with a control
// identifier of its own.
using WindowId = std::int32_t;
using ControlId = std::int32_t;

// Property numbers. 0 to 7 are common to every kind; a kind's own count on.
enum class Property : std::int32_t {
    left = 0,
    top = 1,
    width = 2,
    height = 3,
    tag = 4,
    visible = 5,
    disabled = 6,
    mousePointer = 7,
};
enum class ButtonProperty : std::int32_t { caption = 10 };
enum class EditProperty : std::int32_t { content = 8 };
enum class PictureProperty : std::int32_t { picture = 10, displayMode = 11 };
enum class LabelProperty : std::int32_t { text = 8 };
enum class ProgressProperty : std::int32_t { minimum = 11, maximum = 12, position = 13 };
enum class TimerProperty : std::int32_t { period = 8 };
enum class ScriptProperty : std::int32_t { language = 8, errorInfo = 9, timeout = 10 };

// Event numbers. The negative ones are common to every kind; a kind's own
// count from 0.
enum class Event : std::int32_t {
    leftPressed = -1,
    leftReleased = -2,
    doubleClicked = -3,
    rightPressed = -4,
    rightReleased = -5,
    mouseMoved = -6,
    gotFocus = -7,
    lostFocus = -8,
    keyPressed = -9,
    keyReleased = -10,
    characterTyped = -11,
    wheelTurned = -12,
    clicked = 0, // a button's
    tick = 0, // a timer's
    // The window's own: created, asked to close (a result of 0 refuses),
    // destroyed, outer size changed.
    windowCreated = 0,
    closeRequested = 1,
    windowDestroyed = 2,
    sizeChanged = 3,
};

// Key state bits of mouse and key events.
inline constexpr std::int32_t keyStateCtrl = 1;
inline constexpr std::int32_t keyStateShift = 2;
inline constexpr std::int32_t keyStateAlt = 4;

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Windows and controls are named by two 32-bit identifiers from the window
// data: the window's and the control's. The main window is also a unit with
// a control identifier of its own.
using WindowId = std::int32_t;
using ControlId = std::int32_t;

inline constexpr WindowId mainWindow = 0x4b4d0001;

// The main window's controls, in their defined (and stacking) order.
namespace control {
inline constexpr ControlId mainWindowUnit = 0x4b4d0100; // the window itself
inline constexpr ControlId rewriteButton = 0x4b4d0101; // 按钮删除 "重写"
inline constexpr ControlId closeParenButton = 0x4b4d0102; // 符号右撇
inline constexpr ControlId openParenButton = 0x4b4d0103; // 符号左撇
inline constexpr ControlId divideButton = 0x4b4d0104; // 符号除
inline constexpr ControlId multiplyButton = 0x4b4d0105; // 符号乘
inline constexpr ControlId minusButton = 0x4b4d0106; // 符号减
inline constexpr ControlId plusButton = 0x4b4d0107; // 符号加
inline constexpr ControlId historyButton = 0x4b4d0108; // 按钮3 "历史记录<<"
inline constexpr ControlId historyList = 0x4b4d0109; // 列表框1
inline constexpr ControlId countdownTimer = 0x4b4d010a; // 时钟1
inline constexpr ControlId timeLabel = 0x4b4d010b; // 透明标签2
inline constexpr ControlId timeBar = 0x4b4d010c; // 进度条1
inline constexpr ControlId scriptComponent = 0x4b4d010d; // 脚本组件1
inline constexpr ControlId verdictLabel = 0x4b4d010e; // 透明标签1
inline constexpr ControlId expressionBox = 0x4b4d010f; // 编辑框1
inline constexpr ControlId dealButton = 0x4b4d0110; // 按钮2 "重新发牌"
inline constexpr ControlId checkButton = 0x4b4d0111; // 按钮1 "验算结果"
inline constexpr ControlId cardBox4 = 0x4b4d0112; // 图片框4
inline constexpr ControlId cardBox3 = 0x4b4d0113; // 图片框3
inline constexpr ControlId cardBox2 = 0x4b4d0114; // 图片框2
inline constexpr ControlId cardBox1 = 0x4b4d0115; // 图片框1
} // namespace control

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

// SPDX-License-Identifier: MIT
#pragma once

#include "window/form.h"
#include "window/ids.h"

// The game's form: its one window, the controls on it and the handler names
// they are bound to. Adding a control takes an identifier here and an entry
// in form.cpp's table; a new handler also a name in program.cpp.

inline constexpr WindowId mainWindow = 0x4b4d0001;

// The main window's outer width with the history list shown, and without it.
inline constexpr std::int32_t mainWindowWidth = 1011;
inline constexpr std::int32_t narrowWindowWidth = 777;

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

// The game's form, with its built-in pictures compiled in.
const Form &gameForm();

// SPDX-License-Identifier: MIT
#pragma once

// The window tests' own form: one window with a control of every kind.

#include "testbuiltins.h"
#include "window/form.h"

inline constexpr WindowId testWindow = 0x54530001;

namespace tc {
inline constexpr ControlId unit = 0x54530100;
inline constexpr ControlId button = 0x54530101;
inline constexpr ControlId edit = 0x54530102;
inline constexpr ControlId list = 0x54530103;
inline constexpr ControlId timer = 0x54530104;
inline constexpr ControlId label = 0x54530105;
inline constexpr ControlId bar = 0x54530106;
inline constexpr ControlId script = 0x54530107;
inline constexpr ControlId picture1 = 0x54530108;
inline constexpr ControlId picture2 = 0x54530109;
} // namespace tc

namespace testform {

inline constexpr BindingData tickBindings[] = { { 0, "countdownTick" } };
inline constexpr BindingData clickBindings[] = { { 0, "checkAnswer" } };

inline constexpr ControlData controls[] = {
    { .kind = ControlKind::button,
        .name = "按钮1",
        .id = tc::button,
        .left = 10,
        .top = 200,
        .width = 96,
        .height = 32,
        .tabStop = true,
        .text = "验算结果",
        .bindings = clickBindings },
    { .kind = ControlKind::editBox,
        .name = "编辑框1",
        .id = tc::edit,
        .left = 120,
        .top = 200,
        .width = 200,
        .height = 32,
        .tabStop = true,
        .text = "" },
    { .kind = ControlKind::listBox,
        .name = "列表框1",
        .id = tc::list,
        .left = 340,
        .top = 10,
        .width = 200,
        .height = 180,
        .tabStop = true },
    { .kind = ControlKind::timer,
        .name = "时钟1",
        .id = tc::timer,
        .left = 340,
        .top = 200,
        .width = 40,
        .height = 24,
        .visible = false,
        .bindings = tickBindings },
    { .kind = ControlKind::transparentLabel,
        .name = "透明标签1",
        .id = tc::label,
        .left = 10,
        .top = 240,
        .width = 168,
        .height = 24,
        .text = "还有100秒",
        .font = { .face = "宋体", .height = 20, .weight = 400 },
        .textColour = Rgb {} },
    { .kind = ControlKind::progressBar,
        .name = "进度条1",
        .id = tc::bar,
        .left = 200,
        .top = 240,
        .width = 300,
        .height = 24,
        .minimum = 0,
        .maximum = 100 },
    { .kind = ControlKind::scriptComponent,
        .name = "脚本组件1",
        .id = tc::script,
        .left = 400,
        .top = 200,
        .width = 88,
        .height = 32,
        .visible = false },
    { .kind = ControlKind::pictureBox,
        .name = "图片框2",
        .id = tc::picture2,
        .left = 180,
        .top = 10,
        .width = 156,
        .height = 180 },
    { .kind = ControlKind::pictureBox,
        .name = "图片框1",
        .id = tc::picture1,
        .left = 10,
        .top = 10,
        .width = 156,
        .height = 180,
        .picture = "ace.jpg" },
};

inline constexpr WindowData windows[] = {
    { .name = "窗口",
        .id = testWindow,
        .unit = tc::unit,
        .title = "测试窗口",
        .width = 560,
        .height = 300,
        .background = { 128, 160, 128 },
        .icons = {},
        .escapeCloses = true,
        .bindings = {},
        .controls = controls },
};

inline constexpr BuiltinPicture pictures[] = { { "ace.jpg", builtin::ace_jpg } };

} // namespace testform

inline constexpr Form testForm { testform::windows, testform::pictures };

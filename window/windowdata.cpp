// SPDX-License-Identifier: MIT
#include "windowdata.h"

#include <algorithm>
#include <array>
#include <set>

#include <QFile>

#include "runtime/gbk.h"

namespace {

using namespace control;

constexpr std::int32_t clicked = static_cast<std::int32_t>(Event::clicked);
constexpr std::int32_t leftPressed = static_cast<std::int32_t>(Event::leftPressed);
constexpr std::int32_t tick = static_cast<std::int32_t>(Event::tick);

constexpr BindingData rewriteBindings[] = { { clicked, "clearExpression" } };
constexpr BindingData closeParenBindings[] = { { clicked, "appendCloseParen" } };
constexpr BindingData openParenBindings[] = { { clicked, "appendOpenParen" } };
constexpr BindingData divideBindings[] = { { clicked, "appendDivide" } };
constexpr BindingData multiplyBindings[] = { { clicked, "appendMultiply" } };
constexpr BindingData minusBindings[] = { { clicked, "appendMinus" } };
constexpr BindingData plusBindings[] = { { clicked, "appendPlus" } };
constexpr BindingData historyBindings[] = { { clicked, "toggleHistory" } };
constexpr BindingData timerBindings[] = { { tick, "countdownTick" } };
constexpr BindingData dealBindings[] = { { clicked, "dealHand" } };
constexpr BindingData checkBindings[] = { { clicked, "checkAnswer" } };
constexpr BindingData card4Bindings[] = { { leftPressed, "pickCard4" } };
constexpr BindingData card3Bindings[] = { { leftPressed, "pickCard3" } };
constexpr BindingData card2Bindings[] = { { leftPressed, "pickCard2" } };
constexpr BindingData card1Bindings[] = { { leftPressed, "pickCard1" } };

constexpr Rgb black { 0, 0, 0 };
constexpr Rgb red { 255, 0, 0 };

// In their defined order, which is also the stacking order: the first lies
// on top of all that follow it.
constexpr ControlData mainControls[] = {
    { .kind = ControlKind::button,
        .name = "按钮删除",
        .id = rewriteButton,
        .left = 522,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = "重写",
        .bindings = rewriteBindings },
    { .kind = ControlKind::button,
        .name = "符号右撇",
        .id = closeParenButton,
        .left = 462,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = ")",
        .bindings = closeParenBindings },
    { .kind = ControlKind::button,
        .name = "符号左撇",
        .id = openParenButton,
        .left = 398,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = "(",
        .bindings = openParenBindings },
    { .kind = ControlKind::button,
        .name = "符号除",
        .id = divideButton,
        .left = 334,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = "/",
        .bindings = divideBindings },
    { .kind = ControlKind::button,
        .name = "符号乘",
        .id = multiplyButton,
        .left = 270,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = "*",
        .bindings = multiplyBindings },
    { .kind = ControlKind::button,
        .name = "符号减",
        .id = minusButton,
        .left = 206,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = "-",
        .bindings = minusBindings },
    { .kind = ControlKind::button,
        .name = "符号加",
        .id = plusButton,
        .left = 142,
        .top = 294,
        .width = 40,
        .height = 32,
        .tabStop = true,
        .text = "+",
        .bindings = plusBindings },
    { .kind = ControlKind::button,
        .name = "按钮3",
        .id = historyButton,
        .left = 657,
        .top = 385,
        .width = 96,
        .height = 24,
        .tabStop = true,
        .text = "历史记录<<",
        .bindings = historyBindings },
    { .kind = ControlKind::listBox,
        .name = "列表框1",
        .id = historyList,
        .left = 776,
        .top = 17,
        .width = 216,
        .height = 392,
        .tabStop = true },
    { .kind = ControlKind::timer,
        .name = "时钟1",
        .id = countdownTimer,
        .left = 592,
        .top = 384,
        .width = 40,
        .height = 24,
        .visible = false,
        .bindings = timerBindings },
    { .kind = ControlKind::transparentLabel,
        .name = "透明标签2",
        .id = timeLabel,
        .left = 448,
        .top = 384,
        .width = 168,
        .height = 24,
        .text = "还有100秒",
        .font = { .face = "宋体", .height = 20, .weight = 400 },
        .textColour = black },
    { .kind = ControlKind::progressBar,
        .name = "进度条1",
        .id = timeBar,
        .left = 40,
        .top = 384,
        .width = 384,
        .height = 24,
        .minimum = 0,
        .maximum = 100 },
    { .kind = ControlKind::scriptComponent,
        .name = "脚本组件1",
        .id = scriptComponent,
        .left = 608,
        .top = 288,
        .width = 88,
        .height = 32,
        .visible = false },
    { .kind = ControlKind::transparentLabel,
        .name = "透明标签1",
        .id = verdictLabel,
        .left = 630,
        .top = 322,
        .width = 115,
        .height = 64,
        .visible = false,
        .text = "正确",
        .font = { .face = "隶书", .height = 48, .weight = 400 },
        .textColour = red },
    { .kind = ControlKind::editBox,
        .name = "编辑框1",
        .id = expressionBox,
        .left = 195,
        .top = 340,
        .width = 288,
        .height = 32,
        .tabStop = true,
        .text = "" },
    { .kind = ControlKind::button,
        .name = "按钮2",
        .id = dealButton,
        .left = 40,
        .top = 341,
        .width = 136,
        .height = 33,
        .tabStop = true,
        .text = "重新发牌",
        .bindings = dealBindings },
    { .kind = ControlKind::button,
        .name = "按钮1",
        .id = checkButton,
        .left = 502,
        .top = 341,
        .width = 96,
        .height = 32,
        .tabStop = true,
        .text = "验算结果",
        .bindings = checkBindings },
    { .kind = ControlKind::pictureBox,
        .name = "图片框4",
        .id = cardBox4,
        .left = 586,
        .top = 18,
        .width = 168,
        .height = 254,
        .picture = "four.jpg",
        .bindings = card4Bindings },
    { .kind = ControlKind::pictureBox,
        .name = "图片框3",
        .id = cardBox3,
        .left = 396,
        .top = 18,
        .width = 168,
        .height = 255,
        .picture = "ten.jpg",
        .bindings = card3Bindings },
    { .kind = ControlKind::pictureBox,
        .name = "图片框2",
        .id = cardBox2,
        .left = 205,
        .top = 17,
        .width = 168,
        .height = 256,
        .picture = "two.jpg",
        .bindings = card2Bindings },
    { .kind = ControlKind::pictureBox,
        .name = "图片框1",
        .id = cardBox1,
        .left = 16,
        .top = 16,
        .width = 168,
        .height = 256,
        .picture = "ace.jpg",
        .bindings = card1Bindings },
};

constexpr const char *mainIcons[] = { "icon16.png", "icon32.png", "icon48.png", "icon64.png", "icon128.png" };

constexpr WindowData windows[] = {
    { .name = "主窗口",
        .id = mainWindow,
        .unit = control::mainWindowUnit,
        .title = "Kelmora小游戏",
        .width = 1011,
        .height = 454,
        .background = { 128, 160, 128 },
        .icons = mainIcons,
        .escapeCloses = true,
        .bindings = {},
        .controls = mainControls },
};

std::optional<std::string> gbkText(const char *utf8)
{
    return utf8ToGbk(utf8 ? utf8 : "");
}

std::optional<std::vector<unsigned char>> builtinBytes(const char *alias)
{
    QFile file(QString::fromLatin1(builtinPrefix) + QString::fromUtf8(alias));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return std::nullopt;
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

bool eventExists(ControlKind kind, std::int32_t event)
{
    if (event >= static_cast<std::int32_t>(Event::wheelTurned)
        && event <= static_cast<std::int32_t>(Event::leftPressed))
        return kindRaisesEvents(kind);
    switch (kind) {
    case ControlKind::window:
        return event >= static_cast<std::int32_t>(Event::windowCreated)
            && event <= static_cast<std::int32_t>(Event::sizeChanged);
    case ControlKind::button:
    case ControlKind::timer:
        return event == 0;
    default:
        return false;
    }
}

// Binds by name. A name that the program does not supply makes the data
// unreadable, unless the caller lets such events stay unbound.
std::optional<std::map<std::int32_t, EventHandler>> bind(ControlKind kind,
    std::span<const BindingData> bindings, std::span<const NamedHandler> handlers, MissingHandlers missing)
{
    std::map<std::int32_t, EventHandler> bound;
    for (const BindingData &binding : bindings) {
        if (!binding.handler || !eventExists(kind, binding.event) || bound.contains(binding.event))
            return std::nullopt;
        const auto named = std::find_if(handlers.begin(), handlers.end(),
            [&binding](const NamedHandler &h) { return h.name == binding.handler && h.handler; });
        if (named != handlers.end())
            bound.emplace(binding.event, named->handler);
        else if (missing == MissingHandlers::refuse)
            return std::nullopt;
    }
    return bound;
}

} // namespace

std::span<const WindowData> windowTable()
{
    return windows;
}

bool kindRaisesEvents(ControlKind kind)
{
    // The script component takes no input and never passes its engine's
    // events on.
    return kind != ControlKind::scriptComponent;
}

std::optional<std::vector<ResolvedWindow>> resolveWindowData(
    std::span<const WindowData> table, std::span<const NamedHandler> handlers, MissingHandlers missing)
{
    std::vector<ResolvedWindow> resolved;
    std::set<WindowId> windowIds;
    for (const WindowData &window : table) {
        if (!windowIds.insert(window.id).second || window.width < 0 || window.height < 0)
            return std::nullopt;
        ResolvedWindow &out = resolved.emplace_back();
        out.data = &window;
        auto title = gbkText(window.title);
        auto bound = bind(ControlKind::window, window.bindings, handlers, missing);
        if (!title || !bound || !window.name || !gbkText(window.name))
            return std::nullopt;
        out.title = std::move(*title);
        out.handlers = std::move(*bound);
        for (const char *alias : window.icons) {
            auto icon = builtinBytes(alias);
            if (!icon)
                return std::nullopt;
            out.icons.push_back(std::move(*icon));
        }

        std::set<ControlId> controlIds { window.unit };
        for (const ControlData &control : window.controls) {
            if (control.kind == ControlKind::window || !controlIds.insert(control.id).second
                || control.width < 0 || control.height < 0 || !control.name || !gbkText(control.name))
                return std::nullopt;
            ResolvedControl &c = out.controls.emplace_back();
            c.data = &control;
            auto text = gbkText(control.text);
            auto controlBound = bind(control.kind, control.bindings, handlers, missing);
            if (!text || !controlBound)
                return std::nullopt;
            c.text = std::move(*text);
            c.handlers = std::move(*controlBound);
            if (control.picture) {
                auto picture = builtinBytes(control.picture);
                if (!picture)
                    return std::nullopt;
                c.picture = std::move(*picture);
            }
        }
    }
    return resolved;
}

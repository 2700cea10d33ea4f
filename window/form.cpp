// SPDX-License-Identifier: MIT
#include "form.h"

#include <algorithm>
#include <set>

#include "runtime/gbk.h"

namespace {

std::optional<std::string> gbkText(const char *utf8)
{
    return utf8ToGbk(utf8 ? utf8 : "");
}

std::optional<std::vector<unsigned char>> builtinBytes(const Form &form, const char *alias)
{
    for (const BuiltinPicture &picture : form.pictures)
        if (alias && picture.alias && std::string_view(picture.alias) == alias && !picture.bytes.empty())
            return std::vector<unsigned char>(picture.bytes.begin(), picture.bytes.end());
    return std::nullopt;
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

// Binds by name. A name that the program does not supply makes the form
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

bool kindRaisesEvents(ControlKind kind)
{
    // The script component takes no input and never passes its engine's
    // events on.
    return kind != ControlKind::scriptComponent;
}

std::optional<std::vector<ResolvedWindow>> resolveForm(
    const Form &form, std::span<const NamedHandler> handlers, MissingHandlers missing)
{
    std::vector<ResolvedWindow> resolved;
    std::set<WindowId> windowIds;
    for (const WindowData &window : form.windows) {
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
            auto icon = builtinBytes(form, alias);
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
            auto name = gbkText(control.name);
            auto text = gbkText(control.text);
            auto face = gbkText(control.font.face);
            auto controlBound = bind(control.kind, control.bindings, handlers, missing);
            if (!name || !text || !face || !controlBound)
                return std::nullopt;
            c.name = std::move(*name);
            c.text = std::move(*text);
            c.fontFace = std::move(*face);
            c.handlers = std::move(*controlBound);
            if (control.picture) {
                auto picture = builtinBytes(form, control.picture);
                if (!picture)
                    return std::nullopt;
                c.picture = std::move(*picture);
            }
        }
    }
    return resolved;
}

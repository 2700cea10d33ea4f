// SPDX-License-Identifier: MIT
#include "lifecycle.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "eval/scriptcomponent.h"
#include "registry_p.h"
#include "runtime/fatal.h"
#include "runtime/files.h"
#include "runtime/gbk.h"
#include "wttexts.h"

namespace {

void presentFatalError(std::int32_t code, Text message)
{
    RuntimeState &s = runtimeState();
    // A report raised while one is on screen ends the process at once.
    if (s.reportingFatalError)
        return;
    s.reportingFatalError = true;
    // Never lowered again: nothing of the game may run from here on.
    holdEvents();
    const std::string report = composeFatalReport(code, message);
    if (s.reportBox)
        s.reportBox(report);
    else if (s.platform)
        s.platform->showFatalReport(wt::fatalBoxTitle, report);
    else
        std::fputs(gbkToUtf8(report).value_or(report).c_str(), stderr);
    s.exitRoutine = nullptr;
    shutDownRuntime();
}

bool neverShown(ControlKind kind)
{
    return kind == ControlKind::timer || kind == ControlKind::scriptComponent;
}

ControlPlan planOf(const LoadedWindow &window, const ControlState &control)
{
    const ResolvedControl &definition = *control.definition;
    const ControlData &data = *definition.data;
    ControlPlan plan;
    plan.window = window.id;
    plan.id = control.id;
    plan.kind = control.kind;
    plan.name = definition.name;
    plan.left = control.left;
    plan.top = control.top;
    plan.width = control.width;
    plan.height = control.height;
    plan.visible = control.visible && !neverShown(control.kind);
    plan.tabStop = data.tabStop;
    plan.text = control.text;
    if (data.font.face)
        plan.font = PlatformFont { definition.fontFace, data.font.height, data.font.weight };
    plan.textColour = data.textColour;
    plan.minimum = control.minimum;
    plan.maximum = control.maximum;
    return plan;
}

std::unique_ptr<PlatformControl> buildControl(PlatformWindow &frame, const ControlPlan &plan)
{
    const ControlBuilder &builder = runtimeState().controlBuilder;
    return builder ? builder(frame, plan) : frame.createControl(plan);
}

void unregisterWindow(WindowId id)
{
    RuntimeState &s = runtimeState();
    auto &loaded = s.loaded;
    for (auto it = loaded.begin(); it != loaded.end(); ++it) {
        if ((*it)->id == id) {
            // Out of the list first: nothing finds it while it goes.
            const std::unique_ptr<LoadedWindow> going = std::move(*it);
            loaded.erase(it);
            break;
        }
    }
    if (loaded.empty() && s.platform)
        s.platform->quitLoop();
}

} // namespace

ControlState::ControlState() = default;

ControlState::~ControlState()
{
    releaseMemory(picture);
}

RuntimeState &runtimeState()
{
    static RuntimeState instance;
    return instance;
}

void holdEvents()
{
    ++runtimeState().holdCount;
}

void releaseEvents()
{
    --runtimeState().holdCount;
}

int eventHoldCount()
{
    return runtimeState().holdCount;
}

LoadedWindow *findLoadedWindow(WindowId window)
{
    for (auto &loaded : runtimeState().loaded)
        if (loaded->id == window)
            return loaded.get();
    return nullptr;
}

ControlState *findControl(LoadedWindow &window, ControlId control)
{
    if (control == window.unit.id)
        return &window.unit;
    for (ControlState &state : window.controls)
        if (state.id == control)
            return &state;
    return nullptr;
}

PlatformControl *platformOf(LoadedWindow &window, ControlState &control)
{
    return &control == &window.unit ? window.frame.get() : control.platform.get();
}

void destroyWindow(WindowId id)
{
    if (LoadedWindow *loaded = findLoadedWindow(id)) {
        EventRecord event { id, loaded->unit.id, std::int32_t(Event::windowDestroyed) };
        raiseEvent(event);
    }
    unregisterWindow(id);
}

void windowDestroyed(WindowId window)
{
    destroyWindow(window);
}

bool windowCloseRequested(WindowId id)
{
    LoadedWindow *loaded = findLoadedWindow(id);
    if (!loaded)
        return true;
    EventRecord event { id, loaded->unit.id, std::int32_t(Event::closeRequested) };
    return !(raiseEvent(event) && event.hasResult && event.result == 0);
}

void windowFocusWanted(WindowId id)
{
    if (LoadedWindow *loaded = findLoadedWindow(id))
        focusFirstControl(*loaded);
}

void startRuntime(Platform &platform, const Form &form, std::span<const NamedHandler> handlers)
{
    RuntimeState &s = runtimeState();
    s.platform = &platform;
    platform.start();
    initRunDirectory();
    setFatalErrorPresenter(presentFatalError);
    auto resolved = resolveForm(form, handlers, s.missingHandlers);
    if (!resolved)
        reportFatalError(0, wt::windowDataUnreadable);
    s.data = std::make_shared<const std::vector<ResolvedWindow>>(std::move(*resolved));
}

void registerExitRoutine(void (*routine)())
{
    runtimeState().exitRoutine = routine;
}

void loadWindow(WindowId id)
{
    RuntimeState &s = runtimeState();
    const ResolvedWindow *definition = nullptr;
    if (s.data)
        for (const ResolvedWindow &window : *s.data)
            if (window.data->id == id)
                definition = &window;
    if (!definition || !s.platform || findLoadedWindow(id))
        reportFatalError(0, wt::windowLoadFailed);

    holdEvents();
    auto window = std::make_unique<LoadedWindow>();
    LoadedWindow &w = *window;
    w.data = s.data;
    w.definition = definition;
    w.id = id;
    const WindowData &data = *definition->data;
    w.unit.id = data.unit;
    w.unit.kind = ControlKind::window;
    w.unit.width = data.width;
    w.unit.height = data.height;
    w.unit.text = definition->title;
    // Centred in the primary screen's work area, which need not start at the
    // desktop's origin; each division drops its fraction (toward zero).
    const Area area = s.workArea ? *s.workArea : s.platform->primaryWorkArea();
    w.unit.left = area.left + (area.width - data.width) / 2;
    w.unit.top = area.top + (area.height - data.height) / 2;

    for (const ResolvedControl &control : definition->controls) {
        ControlState &c = w.controls.emplace_back();
        c.definition = &control;
        c.id = control.data->id;
        c.kind = control.data->kind;
        c.left = control.data->left;
        c.top = control.data->top;
        c.width = control.data->width;
        c.height = control.data->height;
        c.visible = control.data->visible;
        c.text = control.text;
        c.minimum = control.data->minimum;
        c.maximum = control.data->maximum;
        if (c.kind == ControlKind::scriptComponent)
            c.script = std::make_unique<ScriptComponent>();
    }
    s.loaded.push_back(std::move(window));

    WindowPlan plan;
    plan.id = id;
    plan.unit = w.unit.id;
    plan.title = definition->title;
    plan.left = w.unit.left;
    plan.top = w.unit.top;
    plan.width = data.width;
    plan.height = data.height;
    plan.background = data.background;
    plan.icons = definition->icons;
    w.frame = s.platform->createWindow(plan);
    if (!w.frame) {
        unregisterWindow(id);
        reportFatalError(0, wt::windowLoadFailed);
    }

    for (ControlState &control : w.controls) {
        control.platform = buildControl(*w.frame, planOf(w, control));
        if (!control.platform) {
            // Nothing of a half-built window stays on screen.
            destroyWindow(id);
            reportFatalError(0, wt::windowLoadFailed);
        }
        if (control.kind == ControlKind::pictureBox && !control.definition->picture.empty()) {
            const auto &picture = control.definition->picture;
            control.picture = newBytes(picture.data(), picture.size());
            control.platform->setPicture(
                decodePicture(picture.data(), picture.size(), s.platform->pictureReader()));
        }
    }
    // The first defined lies on top: raise from the last to the first.
    std::for_each(w.controls.rbegin(), w.controls.rend(),
        [](ControlState &control) { control.platform->raiseToTop(); });
    releaseEvents();

    EventRecord created { id, w.unit.id, std::int32_t(Event::windowCreated) };
    raiseEvent(created);
    // The created handler may have unloaded it.
    LoadedWindow *still = findLoadedWindow(id);
    if (still && still->unit.visible) {
        still->frame->show();
        focusFirstControl(*still);
    }
}

void runMessageLoop()
{
    RuntimeState &s = runtimeState();
    if (s.loaded.empty() || !s.platform)
        return;
    s.platform->runLoop();
}

void shutDownRuntime()
{
    RuntimeState &s = runtimeState();
    holdEvents();
    while (!s.loaded.empty())
        destroyWindow(s.loaded.back()->id);
    if (auto routine = std::exchange(s.exitRoutine, nullptr))
        routine();
    s.data.reset();
    setFatalErrorPresenter(nullptr);
    // After a fatal error the toolkit may be in the middle of delivering an
    // event, a handler's caller; the process ends right after instead.
    if (s.platform)
        s.platform->shutDown(s.reportingFatalError);
}

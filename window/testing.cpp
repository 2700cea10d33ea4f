// SPDX-License-Identifier: MIT
#include "testing.h"

#include "platform.h"
#include "registry_p.h"

PlatformControl *platformControl(WindowId window, ControlId control)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    return state ? platformOf(*loaded, *state) : nullptr;
}

PlatformWindow *platformWindow(WindowId window)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    return loaded ? loaded->frame.get() : nullptr;
}

void unloadWindow(WindowId window)
{
    if (findLoadedWindow(window))
        destroyWindow(window);
}

void setFatalReportBox(FatalReportBox box)
{
    runtimeState().reportBox = std::move(box);
}

void setEventObserver(EventObserver observer)
{
    runtimeState().eventObserver = std::move(observer);
}

void setControlBuilder(ControlBuilder builder)
{
    runtimeState().controlBuilder = std::move(builder);
}

void failControlBuild(ControlId control)
{
    if (control == 0) {
        setControlBuilder({});
        return;
    }
    setControlBuilder([control](PlatformWindow &window, const ControlPlan &plan) {
        return plan.id == control ? nullptr : window.createControl(plan);
    });
}

void allowMissingHandlers(bool allowed)
{
    runtimeState().missingHandlers = allowed ? MissingHandlers::leaveUnbound : MissingHandlers::refuse;
}

void setPrimaryWorkArea(std::optional<Area> area)
{
    runtimeState().workArea = area;
}

bool fireTimerTick(WindowId window, ControlId control)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    if (!state || state->kind != ControlKind::timer || !state->timer)
        return false;
    tickTimer(window, control);
    return true;
}

int timerStarts(WindowId window, ControlId control)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    return state ? state->timerStarts : 0;
}

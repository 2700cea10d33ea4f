// SPDX-License-Identifier: MIT
#pragma once

// The window layer's own state: the loaded windows, each control's stored
// settings and what shows it, the event hold. Not for the game, nor for a
// backend.

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/memory.h"
#include "window/form.h"
#include "window/platform.h"
// Beside it in the source and in the tests' include root.
#include "testing.h"

class ScriptComponent;

struct ControlState {
    ControlState();
    ~ControlState();
    ControlState(const ControlState &) = delete;
    ControlState &operator=(const ControlState &) = delete;

    const ResolvedControl *definition = nullptr; // none for the window unit
    ControlId id = 0;
    ControlKind kind = ControlKind::window;
    // The common settings, kept so that they can be read whether or not the
    // control is shown.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string tag; // GBK
    bool visible = true;
    bool disabled = false;
    std::int32_t mousePointer = 0;
    // Own settings that read back as written.
    std::string text; // GBK: a button's caption, a label's text, the title
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t position = 0;
    Bytes picture = nullptr; // a picture box's block, owned here
    std::int32_t displayMode = 0;
    std::int32_t period = 0; // a timer's
    std::unique_ptr<PlatformTimer> timer; // while it runs
    int timerStarts = 0; // restarts included
    std::unique_ptr<ScriptComponent> script;
    // What shows the control; none for the window unit (see LoadedWindow).
    std::unique_ptr<PlatformControl> platform;
};

struct LoadedWindow {
    std::shared_ptr<const std::vector<ResolvedWindow>> data; // keeps `definition` alive
    const ResolvedWindow *definition = nullptr;
    WindowId id = 0;
    // Destroyed after the controls, which it holds on screen.
    std::unique_ptr<PlatformWindow> frame;
    ControlState unit;
    std::deque<ControlState> controls; // in their defined order
};

struct RuntimeState {
    Platform *platform = nullptr;
    std::shared_ptr<const std::vector<ResolvedWindow>> data;
    std::vector<std::unique_ptr<LoadedWindow>> loaded;
    int holdCount = 0;
    void (*exitRoutine)() = nullptr;
    bool reportingFatalError = false;
    // Test seams.
    FatalReportBox reportBox;
    EventObserver eventObserver;
    ControlBuilder controlBuilder;
    MissingHandlers missingHandlers = MissingHandlers::refuse;
    std::optional<Area> workArea;
};

RuntimeState &runtimeState();

LoadedWindow *findLoadedWindow(WindowId window);
ControlState *findControl(LoadedWindow &window, ControlId control);

// What shows a control: the window itself for the window unit.
PlatformControl *platformOf(LoadedWindow &window, ControlState &control);

// A timer control's tick, as its timer fires it.
void tickTimer(WindowId window, ControlId control);

// Destroys a loaded window: raises its destroyed event, then takes it off
// screen and forgets it.
void destroyWindow(WindowId window);

// Raises an event of a control; gives true when a handler gave the result
// 0, which swallows the input.
bool raiseControlEvent(const LoadedWindow &window, const ControlState &control, std::int32_t number,
    std::initializer_list<std::int32_t> arguments = {});

// Keyboard focus moves along the tab order: forward for Tab, back for
// Shift+Tab, over visible and enabled controls, wrapping at both ends.
void moveFocus(LoadedWindow &window, bool forward);
void focusFirstControl(LoadedWindow &window);

void holdEvents();
void releaseEvents();

// Hands an event about to be delivered to the tests' observer, if any.
void observeEvent(const EventRecord &event);

// SPDX-License-Identifier: MIT
#pragma once

// Seams for tests, free of any toolkit. The game itself never uses these.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "window/ids.h"
#include "window/lifecycle.h"

class PlatformControl;
class PlatformWindow;
struct ControlPlan;
struct Area;

// What shows a control, or the window itself for the window unit; nullptr
// when it is not loaded.
PlatformControl *platformControl(WindowId window, ControlId control);
// What shows a loaded window; nullptr when it is not loaded.
PlatformWindow *platformWindow(WindowId window);

// Destroys a loaded window at once, as closing it would once its close
// request has been granted; nothing when it is not loaded. Lets one process
// load the window afresh for each test.
void unloadWindow(WindowId window);

// Replaces the fatal error box: gets the report's text (GBK) instead of
// showing it; the process still ends with exit code -1 afterwards. An empty
// function restores the message box.
using FatalReportBox = std::function<void(const std::string &report)>;
void setFatalReportBox(FatalReportBox box);

// Sees every event that is raised and not held back, before its handler is
// looked up, so that tests can check events that the game binds no handler
// to. An empty function removes it.
using EventObserver = std::function<void(const EventRecord &event)>;
void setEventObserver(EventObserver observer);

// Builds each control of later loads in place of the window's own
// createControl; nullptr fails the load as a control whose settings cannot
// be read would. An empty function restores the window's own.
using ControlBuilder
    = std::function<std::unique_ptr<PlatformControl>(PlatformWindow &window, const ControlPlan &plan)>;
void setControlBuilder(ControlBuilder builder);

// Makes building this control fail in later loads (0: none): a builder that
// refuses it and builds the others as usual.
void failControlBuild(ControlId control);

// Lets later startRuntime calls accept a handler list that leaves some of the
// form's handler names out: their events stay unbound. For tests that bind
// only the handlers they look at; without it a missing name makes the form
// unreadable, as it does for the program.
void allowMissingHandlers(bool allowed);

// Stands in for the primary screen's work area when later windows are
// centred (nullopt: the screen's own).
void setPrimaryWorkArea(std::optional<Area> area);

// Fires a timer control's tick as its timer would, without waiting for it;
// false, and nothing happens, when the timer is not running.
bool fireTimerTick(WindowId window, ControlId control);
// How often a timer control's timer has been started, restarts included,
// since it was built: a timer that keeps its rhythm is not started again.
int timerStarts(WindowId window, ControlId control);

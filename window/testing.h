// SPDX-License-Identifier: MIT
#pragma once

// Seams for tests. The game itself never uses these.

#include <functional>
#include <optional>
#include <string>

#include <QRect>
#include <QWidget>

#include "ids.h"
#include "lifecycle.h"

// The widget of a control, or the main window's top-level widget for the
// window unit; nullptr when it is not built.
QWidget *controlWidget(WindowId window, ControlId control);
// The main window's client area, in which the controls are placed.
QWidget *clientAreaWidget(WindowId window);

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

// Makes building this control fail in later loads (0: none), as a control
// whose settings cannot be read would.
void failControlBuild(ControlId control);

// Lets later startRuntime calls accept a handler list that leaves some of the
// window data's handler names out: their events stay unbound. For tests that
// bind only the handlers they look at; without it a missing name makes the
// window data unreadable, as it does for the program.
void allowMissingHandlers(bool allowed);

// Stands in for the primary screen's work area when later windows are
// centred (nullopt: the screen's own).
void setPrimaryWorkArea(std::optional<QRect> area);

// Fires a timer control's tick as its timer would, without waiting for it;
// false, and nothing happens, when the timer is not running.
bool fireTimerTick(WindowId window, ControlId control);
// How often a timer control's timer has been started, restarts included,
// since it was built: a timer that keeps its rhythm is not started again.
int timerStarts(WindowId window, ControlId control);

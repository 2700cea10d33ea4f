// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "window/ids.h"

// What an event carries. After delivery it also holds whether the handler
// gave a result and, if so, the result.
struct EventRecord {
    WindowId window = 0;
    ControlId control = 0;
    std::int32_t number = 0;
    std::int32_t argumentCount = 0;
    std::int32_t arguments[5] = {};
    bool hasResult = false;
    std::int32_t result = 0;
};

// A handler gets the event's arguments; a result of 0 swallows the input.
using EventHandler = std::function<std::optional<std::int32_t>(const EventRecord &)>;
struct NamedHandler {
    std::string_view name;
    EventHandler handler;
};

class Platform;
struct Form;

// Heap, run directory and current directory, the toolkit that shows the
// windows, and the form, whose handler names are resolved against
// `handlers`. The platform and the form must outlive the run time.
void startRuntime(Platform &platform, const Form &form, std::span<const NamedHandler> handlers);
void registerExitRoutine(void (*routine)());
void loadWindow(WindowId window);
void runMessageLoop();
void shutDownRuntime();
int eventHoldCount();

// Gives whether a handler was called.
bool raiseEvent(EventRecord &event);

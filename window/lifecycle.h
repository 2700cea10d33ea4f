// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "ids.h"

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

// Heap, run directory and current directory, the user-interface thread and
// the window data, whose handler names are resolved against `handlers`.
void startRuntime(std::span<const NamedHandler> handlers);
void registerExitRoutine(void (*routine)());
void loadWindow(WindowId window);
void runMessageLoop();
void shutDownRuntime();
int eventHoldCount();

// Gives whether a handler was called.
bool raiseEvent(EventRecord &event);

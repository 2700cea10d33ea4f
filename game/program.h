// SPDX-License-Identifier: MIT
#pragma once

#include <span>

#include "window/lifecycle.h"

class Platform;

// The program's start routine, on the given platform: returns 0 once the
// main window is closed; the run time then shuts down.
int startProgram(Platform &platform);
void initProgramVariables();
void releaseProgramVariables();

// The handlers by the names the form binds them to.
std::span<const NamedHandler> gameHandlers();

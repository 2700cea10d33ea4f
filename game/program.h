// SPDX-License-Identifier: MIT
#pragma once

#include <span>

#include "window/lifecycle.h"

// The program's start routine: returns 0 once the main window is closed;
// the run time then shuts down.
int startProgram();
void initProgramVariables();
void releaseProgramVariables();

// The handlers by the names the window data binds them to.
std::span<const NamedHandler> gameHandlers();

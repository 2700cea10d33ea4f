// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "memory.h"

// Ends the program after a fatal run-time error. The window layer installs
// the presenter that shows the report box; until then the report goes to
// standard error and the process ends with exit code -1.
[[noreturn]] void reportFatalError(std::int32_t code, Text message);

using FatalErrorPresenter = void (*)(std::int32_t code, Text message);
void setFatalErrorPresenter(FatalErrorPresenter presenter); // nullptr restores the default

// The report's text: "运行时出错!\r\n\r\n", the code line when the code is
// not 0 and the message line when there is a message. Built without
// allocateMemory, since a refused allocation is one of the reports.
[[nodiscard]] std::string composeFatalReport(std::int32_t code, Text message);

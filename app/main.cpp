// SPDX-License-Identifier: MIT
#include "game/program.h"
#include "window/qt/qtplatform.h"

int main()
{
    const int exitCode = startProgram(qtPlatform());
    shutDownRuntime();
    return exitCode;
}

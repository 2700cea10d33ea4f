// SPDX-License-Identifier: MIT
#include "game/program.h"
#ifdef _WIN32
#include "window/win32/win32platform.h"
#else
#include "window/qt/qtplatform.h"
#endif

int main()
{
#ifdef _WIN32
    Platform &platform = win32Platform();
#else
    Platform &platform = qtPlatform();
#endif
    const int exitCode = startProgram(platform);
    shutDownRuntime();
    return exitCode;
}

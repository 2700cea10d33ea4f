// SPDX-License-Identifier: MIT
#include "game/program.h"

int main()
{
    const int exitCode = startProgram();
    shutDownRuntime();
    return exitCode;
}

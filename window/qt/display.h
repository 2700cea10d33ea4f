// SPDX-License-Identifier: MIT
#pragma once

// Where the game would open its window on X and no X server can be reached,
// prints one line saying so and ends the process with exit code 1, before Qt
// would abort with a trace of its own. Elsewhere it does nothing.
void ensureDisplayAvailable();

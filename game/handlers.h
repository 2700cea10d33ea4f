// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Event handlers of the main window's controls.
void dealHand();
void pickCard(std::int32_t card); // card 1 to 4
void appendSymbol(const char *symbol);
void clearExpression();
void checkAnswer();
void toggleHistory();
void countdownTick();

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <initializer_list>

#include "memory.h"

// A new text holding the pieces one after another; never no text, also when
// every piece is empty.
[[nodiscard]] Text joinTexts(std::initializer_list<Text> pieces);
// -1, 0 or 1; bytes compared as unsigned, no text equal to "".
int compareTexts(Text a, Text b);
std::int32_t textLength(Text t);
// The bytes printf's "%d" and "%.13g" write in the C locale, whatever locale
// the process has switched to; an empty result is no text.
[[nodiscard]] Text toText(std::int32_t value);
[[nodiscard]] Text toText(double value);
// Rounds toward zero whatever the rounding mode; the mode is left as it was.
std::int64_t truncateToInteger(double x);

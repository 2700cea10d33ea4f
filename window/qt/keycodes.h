// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <Qt>

// The virtual-key code that key events carry, from Qt's key and modifiers.
// The keypad's digits, minus, point and slash give the main keyboard's
// codes; shifted symbols give the code of the key they are on (US layout).
// 0 for a key with no code.
std::int32_t virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The characters a key press types into the focused control, each as its
// code in the window's code page (GBK; a Chinese character as lead byte *
// 256 + trail byte), in order; none for a key that types nothing. Control
// characters count: Enter 13, Backspace 8, Tab 9, Escape 27, and Ctrl with
// a letter 1 to 26. Alt chords type nothing.
std::vector<std::int32_t> typedCharacters(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text);

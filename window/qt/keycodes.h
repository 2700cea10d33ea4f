#pragma once

#include <cstdint>

#include <Qt>

// The virtual-key code that key events carry, from Qt's key and modifiers.
// The keypad's digits, minus, point and slash give the main keyboard's
// codes; shifted symbols give the code of the key they are on (US layout).
// 0 for a key with no code.
std::int32_t virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A text is a zero-terminated GBK byte string. Lengths and comparisons count
// bytes. No text (nullptr) is valid and reads as the empty text. A text made
// by an operation is a block from allocateMemory owned by whoever receives
// it; a variable may instead refer to one of the program's constant texts,
// which releaseMemory leaves alone.
using Text = const char *;

// A byte block: an array block of one dimension whose elements are bytes.
// Layout: int32 dimension count (always 1), int32 byte count n, n bytes.
// An empty byte block is no block at all (nullptr), never one with n = 0.
using Bytes = const void *;

// Property values and event results cross the control layer as 64 bits:
// integers and Booleans in the low 32 bits, texts and byte blocks as
// their address.
using PropertyValue = std::int64_t;

// A block of `size` bytes from the process heap. A refusal is the fatal
// error "分配 %d 字节内存失败!" (code 0); this never returns no block.
[[nodiscard]] void *allocateMemory(std::size_t size);

// Gives a block back. Does nothing for nullptr and for an address inside the
// program's constant data, so a holder may release whatever it refers to.
void releaseMemory(const void *block);

// True for an address inside the program's own constant data and tables.
bool isConstantData(const void *address);

// Releases the text a variable holds and lets it take the new value.
inline void replaceText(Text &variable, Text value)
{
    if (variable != value)
        releaseMemory(variable);
    variable = value;
}

// A new text holding a copy of `bytes` (may be empty: a block with just the
// terminator).
[[nodiscard]] Text newText(std::string_view bytes);
// Reads a text, no text as "".
inline std::string_view textView(Text t)
{
    return t ? std::string_view(t) : std::string_view();
}

// Byte blocks.
[[nodiscard]] Bytes newBytes(const void *data, std::size_t count); // nullptr for 0 or over 2^31-1 bytes
// A writable byte block of `count` (> 0) bytes, for filling in place;
// setBytesCount may then shorten it.
[[nodiscard]] void *newByteBlock(std::int32_t count);
void setBytesCount(void *block, std::int32_t count);
std::int32_t bytesCount(Bytes block); // 0 for nullptr
const unsigned char *bytesData(Bytes block); // nullptr for nullptr

// Array blocks of 32-bit signed integers with one dimension.
[[nodiscard]] void *newIntArray(std::int32_t count);
std::int32_t arrayElementCount(const void *block);
// Element `index`, counting from 1. Below 1 is the fatal error with code 4,
// above the element count the one with code 1.
std::int32_t &intArrayElement(void *block, std::int32_t index);

// Property values hold block addresses by design.
// NOLINTBEGIN(performance-no-int-to-ptr)
inline PropertyValue textValue(Text t)
{
    return static_cast<PropertyValue>(reinterpret_cast<std::intptr_t>(t));
}
inline Text valueText(PropertyValue v)
{
    return reinterpret_cast<Text>(static_cast<std::intptr_t>(v));
}
inline PropertyValue bytesValue(Bytes b)
{
    return static_cast<PropertyValue>(reinterpret_cast<std::intptr_t>(b));
}
inline Bytes valueBytes(PropertyValue v)
{
    return reinterpret_cast<Bytes>(static_cast<std::intptr_t>(v));
}
// NOLINTEND(performance-no-int-to-ptr)

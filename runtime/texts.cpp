// SPDX-License-Identifier: MIT
#include "texts.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

Text joinTexts(std::initializer_list<Text> pieces)
{
    std::size_t total = 0;
    for (Text piece : pieces)
        total += std::size_t(textLength(piece));
    auto joined = static_cast<char *>(allocateMemory(total + 1));
    char *end = joined;
    for (Text piece : pieces) {
        const std::size_t length = std::size_t(textLength(piece));
        if (length)
            std::memcpy(end, piece, length);
        end += length;
    }
    *end = '\0';
    return joined;
}

int compareTexts(Text a, Text b)
{
    if (!a)
        return (!b || !*b) ? 0 : -1;
    if (!b)
        return *a ? 1 : 0;
    for (;; ++a, ++b) {
        const auto x = static_cast<unsigned char>(*a);
        const auto y = static_cast<unsigned char>(*b);
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
}

std::int32_t textLength(Text t)
{
    return t ? std::int32_t(std::strlen(t)) : 0;
}

namespace {

// The bytes of printf's "%d" and "%.13g" in the C locale, whatever locale the
// application has switched to: to_chars never reads it, printf would write a
// decimal comma.
template <typename... Format> Text formatted(auto value, Format... format)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    const auto length = std::size_t(written.ptr - buffer);
    return written.ec == std::errc() && length > 0 ? newText(std::string_view(buffer, length)) : nullptr;
}

} // namespace

Text toText(std::int32_t value)
{
    return formatted(value);
}

Text toText(double value)
{
    return formatted(value, std::chars_format::general, 13);
}

std::int64_t truncateToInteger(double x)
{
    // std::trunc rounds toward zero in every rounding mode and leaves the
    // mode alone. Values with no 64-bit form give the processor's "integer
    // indefinite" instead of undefined behaviour.
    const double whole = std::trunc(x);
    if (!(whole >= -0x1p63 && whole < 0x1p63))
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(whole);
}

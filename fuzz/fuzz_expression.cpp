// SPDX-License-Identifier: MIT
// Any bytes as the expression a script component evaluates, then its error
// information read back, as the game's answer check would meet them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "eval/scriptcomponent.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"

namespace {

// A text crosses as a zero-terminated string, so a NUL ends it.
std::string_view untilNul(const std::uint8_t *data, std::size_t size)
{
    auto text = reinterpret_cast<const char *>(data);
    auto end = static_cast<const char *>(std::memchr(text, 0, size));
    return { text, end ? std::size_t(end - text) : size };
}

// Values are numbers, or a regular expression's source joined to them:
// digits, signs, letters of "NaN"/"Infinity"/"e", ".", "/", "(", ")" and
// the blanks a pattern may hold. Nothing of the input's other bytes leaks
// through.
bool isResultByte(unsigned char c)
{
    return (c >= 0x20 && c <= 0x7E) || c == '\t' || c == '\v' || c == '\f';
}

// True when the text does not end inside a double-byte character, pairing
// bytes from the start as the cut does.
bool endsOnCharacter(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (!isGbkLeadByte(static_cast<unsigned char>(text[at])))
            at += 1;
        else if (at + 1 < text.size())
            at += 2;
        else
            return false;
    }
    return true;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view source = untilNul(data, size);
    Text expression = newText(source);
    ScriptComponent component;

    Text result = component.evaluateExpression(expression);
    if (result) {
        const std::string_view text = textView(result);
        check(!text.empty());
        for (char c : text)
            check(isResultByte(static_cast<unsigned char>(c)));
    }

    Text error = valueText(component.readProperty(scriptkind::errorInfo));
    const std::string_view info = textView(error);
    check(info.size() <= 256);
    check(endsOnCharacter(info));
    // A value leaves no error; an error is always composed the same way.
    check(!result || info.empty());
    check(info.empty() || info.starts_with("Error: "));
    // Reading clears the error.
    Text again = valueText(component.readProperty(scriptkind::errorInfo));
    check(again == nullptr);

    releaseMemory(error);
    releaseMemory(result);
    releaseMemory(expression);
    return 0;
}

// SPDX-License-Identifier: MIT
#include "win32text.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "runtime/gbk.h"
#include "window/picture.h"

namespace {

constexpr wchar_t replacementCharacter = 0xFFFD;

} // namespace

std::wstring wideFromGbk(std::string_view gbk)
{
    if (auto wide = gbkToWide(gbk))
        return *wide;
    std::wstring text;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t length
            = isGbkLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
        if (auto one = gbkToWide(gbk.substr(i, length)))
            text += *one;
        else
            text += replacementCharacter;
        i += length;
    }
    return text;
}

std::string gbkFromWide(std::wstring_view wide)
{
    if (auto gbk = wideToGbk(wide))
        return *gbk;
    std::string out;
    for (std::size_t i = 0; i < wide.size();) {
        const std::size_t length = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
        out += wideToGbk(wide.substr(i, length)).value_or("?");
        i += length;
    }
    return out;
}

std::wstring wideCommentText(std::string_view bytes)
{
    std::wstring text;
    for (const char32_t code : ::pictureCommentText(bytes)) {
        if (code > 0xFFFF) {
            text += wchar_t(0xD800 + ((code - 0x10000) >> 10));
            text += wchar_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += wchar_t(code);
        }
    }
    return text;
}

std::vector<std::int32_t> typedCodes(std::wstring_view characters)
{
    std::vector<std::int32_t> codes;
    for (std::size_t i = 0; i < characters.size();) {
        const std::size_t length = IS_HIGH_SURROGATE(characters[i]) && i + 1 < characters.size() ? 2 : 1;
        std::int32_t code = 0;
        for (unsigned char byte : gbkFromWide(characters.substr(i, length)))
            code = (code << 8) | byte;
        codes.push_back(code);
        i += length;
    }
    return codes;
}

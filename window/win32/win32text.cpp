// SPDX-License-Identifier: MIT
#include "win32text.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "runtime/gbk.h"
#include "window/picture.h"

namespace {

constexpr wchar_t replacementCharacter = 0xFFFD;

std::optional<std::wstring> strictUtf8(std::string_view bytes)
{
    if (bytes.empty())
        return std::wstring();
    if (bytes.size() > 0x3fffffff)
        return std::nullopt;
    const int n
        = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), wide.data(), n);
    return wide;
}

// Unicode's White_Space characters.
bool isWhiteSpace(char32_t code)
{
    return code == 0x20 || (code >= 0x09 && code <= 0x0D) || code == 0x85 || code == 0xA0 || code == 0x1680
        || (code >= 0x2000 && code <= 0x200A) || code == 0x2028 || code == 0x2029 || code == 0x202F
        || code == 0x205F || code == 0x3000;
}

// Invisible characters that change how the text around them reads:
// direction overrides and isolates, joiners, soft hyphens, tags.
bool isFormatCharacter(char32_t code)
{
    return code == 0xAD || code == 0x61C || code == 0x180E || (code >= 0x200B && code <= 0x200F)
        || (code >= 0x202A && code <= 0x202E) || (code >= 0x2060 && code <= 0x2064)
        || (code >= 0x2066 && code <= 0x206F) || code == 0xFEFF || (code >= 0xFFF9 && code <= 0xFFFB)
        || (code >= 0xE0000 && code <= 0xE007F);
}

bool isNonCharacter(char32_t code)
{
    return (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
}

bool isControlCharacter(wchar_t unit)
{
    WORD type = 0;
    return GetStringTypeW(CT_CTYPE1, &unit, 1, &type) && (type & C1_CNTRL);
}

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

std::wstring pictureCommentText(std::string_view bytes)
{
    std::wstring text;
    if (auto utf8 = strictUtf8(bytes))
        text = std::move(*utf8);
    else
        text = wideFromGbk(bytes);

    std::wstring kept;
    bool pendingSpace = false;
    for (std::size_t i = 0; i < text.size();) {
        const wchar_t unit = text[i];
        char32_t code = unit;
        std::size_t units = 1;
        if (IS_HIGH_SURROGATE(unit) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) {
            code = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            units = 2;
        }
        i += units;
        if (isWhiteSpace(code)) {
            pendingSpace = !kept.empty();
            continue;
        }
        // Control characters could move a braille cursor or a terminal;
        // format characters could make the text read as something else.
        if (units == 1 && unit >= 0xD800 && unit <= 0xDFFF)
            continue; // a lone surrogate
        if ((units == 1 && isControlCharacter(unit)) || isFormatCharacter(code) || isNonCharacter(code))
            continue;
        const std::size_t needed = units + (pendingSpace ? 1 : 0);
        if (kept.size() + needed > std::size_t(maxPictureCommentLength))
            break;
        if (pendingSpace)
            kept += L' ';
        pendingSpace = false;
        kept.append(text, i - units, units);
    }
    return kept;
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

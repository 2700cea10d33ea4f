// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions at the program's edges, through iconv (on Windows through
// code page 936). Invalid input gives nullopt rather than a guess.
std::optional<std::string> gbkToUtf8(std::string_view gbk);
std::optional<std::string> utf8ToGbk(std::string_view utf8);
#ifdef _WIN32
// The wide (UTF-16) texts of the Windows API.
std::optional<std::wstring> gbkToWide(std::string_view gbk);
std::optional<std::string> wideToGbk(std::wstring_view wide);
#endif

// True for a byte that opens a double-byte GBK character. Walking a text,
// such a byte and the one after it are one character (when there is one).
constexpr bool isGbkLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xfe;
}

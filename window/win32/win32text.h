// SPDX-License-Identifier: MIT
#pragma once

// Texts at the Windows edge, free of any window: what the backend shows
// and hands back, kept apart so that tests reach them without a window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// GBK bytes as UTF-16 for the Windows API; a byte sequence that is no GBK
// becomes U+FFFD, one character at a time, so that one bad byte spoils only
// itself.
std::wstring wideFromGbk(std::string_view gbk);

// UTF-16 from the system as GBK bytes; characters GBK lacks become '?'.
std::string gbkFromWide(std::wstring_view wide);

// A picture comment's bytes as text for a screen reader: UTF-8 when they
// are valid UTF-8 (what our card generator writes), else GBK (code page
// 936), as older card sets may carry. Control and format characters are
// dropped, white space runs become one space, the ends are trimmed, and the
// text is cut to maxPictureCommentLength UTF-16 units without splitting a
// character.
std::wstring pictureCommentText(std::string_view bytes);

// The characters that character messages brought for one key press, each as
// its GBK code (a Chinese character as lead byte * 256 + trail byte); a
// character GBK lacks counts as '?'.
std::vector<std::int32_t> typedCodes(std::wstring_view characters);
